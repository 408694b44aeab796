#include <gtest/gtest.h>

#include <QImage>

#include "skin/image_list_resources.h"
#include "skin_resources.h"

namespace skin {
namespace {

TEST(SkinResources, EveryImageListIsCompiledInWithItsFrames) {
  EXPECT_TRUE(ImageListResourcesPresent());
  for (const ImageListResource& list : kImageListResources) {
    const QImage strip(
        QString::fromUtf8(list.resourcePath.data(), static_cast<int>(list.resourcePath.size())));
    ASSERT_FALSE(strip.isNull()) << list.name;
    EXPECT_EQ(strip.width(), list.cellWidth * list.count) << list.name;
    EXPECT_EQ(strip.height(), list.cellHeight) << list.name;
    // Seen-through magenta has no place in a list picture.
    bool magenta = false;
    for (int y = 0; y < strip.height() && !magenta; ++y) {
      for (int x = 0; x < strip.width() && !magenta; ++x) {
        magenta = (strip.pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
      }
    }
    EXPECT_FALSE(magenta) << list.name;
  }
}

}  // namespace
}  // namespace skin
