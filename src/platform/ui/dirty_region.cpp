#include "platform/ui/dirty_region.h"

#include <algorithm>

namespace ui {

void DirtyRegion::Add(const Rect& rect) {
  if (rect.IsEmpty()) return;
  for (const Rect& r : rects_) {
    if (r.Contains(rect)) return;
  }
  std::erase_if(rects_, [&](const Rect& r) { return rect.Contains(r); });
  rects_.push_back(rect);
  if (rects_.size() > kMaxRects) {
    const Rect all = Bounds();
    rects_.assign(1, all);
  }
}

Rect DirtyRegion::Bounds() const {
  Rect all;
  for (const Rect& r : rects_) all = all.United(r);
  return all;
}

bool DirtyRegion::Intersects(const Rect& rect) const {
  return std::any_of(rects_.begin(), rects_.end(),
                     [&](const Rect& r) { return r.Intersects(rect); });
}

}  // namespace ui
