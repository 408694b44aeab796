#pragma once

#include <cstdint>
#include <memory>

#include "pages/page_codes.h"
#include "platform/ui/image.h"

namespace ui {
class Window;
}

namespace pages {

class WindowDrag;

// The three full-size page pictures stacked in one place: ImgManager (shown), ImgConfig and
// ImgAlarm (hidden behind the bar). Each is also a surface that drags the window.
class PageImages {
 public:
  // Creates them at their design places, remembers each FullHeight, then moves the
  // configuration and alarm pictures to their hidden position: with H the full height and
  // Top0 the design top, Height (H mod 50) - 50 and Top Top0 + ((H div 50) + 1) x 50, so that
  // showing takes (H div 50) + 1 steps and ends exactly at Top0 with height H.
  PageImages(ui::Window& window, WindowDrag& drag);

  // The picture of a page; a value outside the three throws std::out_of_range.
  ui::Image& Image(Page pageCode) const;
  int FullHeight(Page pageCode) const;

  ui::Image& ImgManager() const { return *images_[0]; }
  ui::Image& ImgConfig() const { return *images_[1]; }
  ui::Image& ImgAlarm() const { return *images_[2]; }

 private:
  static std::size_t Index(Page pageCode);

  std::unique_ptr<ui::Image> images_[3];
  int fullHeights_[3] = {};
};

}  // namespace pages
