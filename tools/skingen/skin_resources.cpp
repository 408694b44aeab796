#include "skin_resources.h"

#include <QImage>
#include <QString>

#include "skin/image_list_resources.h"

namespace skin {

bool ImageListResourcesPresent() {
  for (const ImageListResource& list : kImageListResources) {
    const QImage strip(
        QString::fromUtf8(list.resourcePath.data(), static_cast<int>(list.resourcePath.size())));
    if (strip.width() != list.cellWidth * list.count || strip.height() != list.cellHeight) {
      return false;
    }
  }
  return true;
}

}  // namespace skin
