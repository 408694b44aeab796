#pragma once

#include <vector>

#include "platform/ui/geometry.h"

namespace ui {

// The part of a window that must be painted again: a short list of rectangles. Rectangles
// inside others are dropped; past a handful the list becomes its bounding box, so adding
// stays cheap however many changes pile up between two paints.
class DirtyRegion {
 public:
  static constexpr std::size_t kMaxRects = 16;

  void Add(const Rect& rect);
  void Clear() { rects_.clear(); }
  bool IsEmpty() const { return rects_.empty(); }
  const std::vector<Rect>& Rects() const { return rects_; }
  Rect Bounds() const;
  // Whether any pixel of `rect` is dirty.
  bool Intersects(const Rect& rect) const;

 private:
  std::vector<Rect> rects_;
};

}  // namespace ui
