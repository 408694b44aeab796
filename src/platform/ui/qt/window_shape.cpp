#include "platform/ui/qt/window_shape.h"

#include <vector>

namespace ui::qt {

QRegion OpaqueRegion(const QImage& frame, QRgb key, const QRect& area) {
  const QRect clipped = area & frame.rect();
  std::vector<QRect> runs;
  key |= 0xFF000000u;
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
    int x = clipped.left();
    while (x <= clipped.right()) {
      while (x <= clipped.right() && (line[x] | 0xFF000000u) == key) ++x;
      const int start = x;
      while (x <= clipped.right() && (line[x] | 0xFF000000u) != key) ++x;
      if (x > start) runs.emplace_back(start, y, x - start, 1);
    }
  }
  QRegion region;
  // Rows of runs, top to bottom and left to right, are the banded form setRects expects.
  region.setRects(runs.data(), static_cast<int>(runs.size()));
  return region;
}

bool HasKeyPixel(const QImage& frame, QRgb key, const QRect& area) {
  const QRect clipped = area & frame.rect();
  key |= 0xFF000000u;
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
      if ((line[x] | 0xFF000000u) == key) return true;
    }
  }
  return false;
}

QRegion ScaledRegion(const QRegion& region, int factor) {
  if (factor == 1) return region;
  std::vector<QRect> rects;
  for (const QRect& r : region) {
    rects.emplace_back(r.x() * factor, r.y() * factor, r.width() * factor, r.height() * factor);
  }
  QRegion scaled;
  scaled.setRects(rects.data(), static_cast<int>(rects.size()));
  return scaled;
}

}  // namespace ui::qt
