#pragma once

#include <algorithm>

namespace ui {

// Pixel positions and sizes in window client coordinates (x to the right, y down).
struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle that covers the pixels left <= x < left + width, top <= y < top + height.
// A negative width or height makes it empty, never a rectangle that runs backwards.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  // The rectangle between two edges, as a desktop fill from (left, top) to (right, bottom).
  static Rect FromEdges(int left, int top, int right, int bottom) {
    return Rect{left, top, right - left, bottom - top};
  }

  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool IsEmpty() const { return width <= 0 || height <= 0; }
  bool Contains(Point p) const {
    return !IsEmpty() && p.x >= left && p.x < Right() && p.y >= top && p.y < Bottom();
  }
  bool Contains(const Rect& r) const {
    return !r.IsEmpty() && !IsEmpty() && r.left >= left && r.top >= top && r.Right() <= Right() &&
           r.Bottom() <= Bottom();
  }
  Rect Intersected(const Rect& r) const {
    const int l = std::max(left, r.left), t = std::max(top, r.top);
    const int rr = std::min(Right(), r.Right()), b = std::min(Bottom(), r.Bottom());
    if (rr <= l || b <= t) return Rect{};
    return FromEdges(l, t, rr, b);
  }
  bool Intersects(const Rect& r) const { return !Intersected(r).IsEmpty(); }
  // The smallest rectangle holding both; an empty one adds nothing.
  Rect United(const Rect& r) const {
    if (r.IsEmpty()) return *this;
    if (IsEmpty()) return r;
    return FromEdges(std::min(left, r.left), std::min(top, r.top), std::max(Right(), r.Right()),
                     std::max(Bottom(), r.Bottom()));
  }
  Rect Translated(int dx, int dy) const { return Rect{left + dx, top + dy, width, height}; }

  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace ui
