#include "pages/page_images.h"

#include <stdexcept>
#include <string>

#include "pages/roll_codes.h"
#include "pages/window_drag.h"

namespace pages {

PageImages::PageImages(ui::Window& window, WindowDrag& drag) {
  const ui::Rect places[3] = {kImgManagerPlace, kImgConfigPlace, kImgAlarmPlace};
  for (int i = 0; i < 3; ++i) {
    images_[i] = std::make_unique<ui::Image>(window, places[i]);
    fullHeights_[i] = places[i].height;
    drag.Attach(*images_[i]);
  }
  for (int i = 1; i < 3; ++i) {
    const int h = fullHeights_[i];
    images_[i]->SetBounds(ui::Rect{places[i].left, places[i].top + (h / kRollStep + 1) * kRollStep,
                                   places[i].width, h % kRollStep - kRollStep});
  }
}

std::size_t PageImages::Index(Page pageCode) {
  const std::size_t index = PageIndex(pageCode);
  if (index >= std::size(kPages)) {
    throw std::out_of_range("no page picture for page " +
                            std::to_string(static_cast<std::int32_t>(pageCode)));
  }
  return index;
}

ui::Image& PageImages::Image(Page pageCode) const {
  return *images_[Index(pageCode)];
}

int PageImages::FullHeight(Page pageCode) const {
  return fullHeights_[Index(pageCode)];
}

}  // namespace pages
