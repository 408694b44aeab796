#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "platform/ui/color.h"
#include "platform/ui/frame.h"
#include "platform/ui/geometry.h"

namespace ui::win32 {

// The pixels of a frame that are not the key colour, as rectangles: the runs of each row, a
// run joined to the one above it where both span the same columns (a skin's straight edges
// so cost one rectangle, not one a row). In rows from the top, left to right.
std::vector<Rect> OpaqueRuns(const Frame& frame, Color key);

// A window's shape from its key colour: the region of its opaque pixels, handed to the window
// with SetWindowRgn. The region is made again only when the shape differs from the one the
// window has, so repainting a page that keeps its outline costs a scan, not a new region.
class KeyShape {
 public:
  // Gives `window` the shape of `frame` under `key` (no key: the whole rectangle), each pixel
  // `scale` x `scale` device pixels. Returns whether the window's region was set.
  bool Apply(HWND window, const Frame& frame, std::optional<Color> key, int scale = 1);

  // How many times a region was handed to a window.
  int Rebuilds() const { return rebuilds_; }

 private:
  bool applied_ = false;
  std::optional<std::vector<Rect>> shape_;  // nullopt: no key, the whole window
  Size size_;
  int scale_ = 1;
  int rebuilds_ = 0;
};

}  // namespace ui::win32
