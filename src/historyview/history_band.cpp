#include "historyview/history_band.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace historyview {
namespace {

// Source-over of a premultiplied pixel: each channel of what is there keeps (255 - alpha) of
// itself, rounded to the nearest.
class Blender {
 public:
  explicit Blender(QRgb colour) : source_(qPremultiply(colour)), keep_(255 - qAlpha(colour)) {}

  QRgb Over(QRgb under) const {
    const auto part = [this](QRgb value, int shift) {
      const std::uint32_t channel = (value >> shift) & 0xffu;
      return ((channel * keep_ + 127u) / 255u) << shift;
    };
    return source_ + (part(under, 24) | part(under, 16) | part(under, 8) | part(under, 0));
  }

 private:
  QRgb source_;
  std::uint32_t keep_;
};

void FillColumn(QImage& image, const Blender& blend, int x, int top, int bottom) {
  if (x < 0 || x >= image.width()) return;
  top = std::max(top, 0);
  bottom = std::min(bottom, image.height() - 1);
  for (int y = top; y <= bottom; ++y) {
    auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(y)) + x;
    *pixel = blend.Over(*pixel);
  }
}

// Blends the pixels of `rect` within the image for which `take(x, y)` holds.
template <typename Take>
void FillWhere(QImage& image, const QRect& rect, QRgb colour, Take take) {
  if (image.format() != QImage::Format_ARGB32_Premultiplied || qAlpha(colour) == 0) return;
  const QRect inside = rect.intersected(image.rect());
  if (inside.isEmpty()) return;
  const Blender blend(colour);
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = inside.left(); x <= inside.right(); ++x) {
      if (take(x, y)) line[x] = blend.Over(line[x]);
    }
  }
}

int Between(int from, int to, int step, int steps) {
  return from + static_cast<int>(std::lround(static_cast<double>(to - from) * step / steps));
}

}  // namespace

void FillBand(QImage& image, std::span<const BandSpan> spans, int joinColumns, QRgb colour) {
  if (image.format() != QImage::Format_ARGB32_Premultiplied || qAlpha(colour) == 0) return;
  const Blender blend(colour);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const BandSpan& span = spans[i];
    if (i > 0) {
      const BandSpan& last = spans[i - 1];
      const int steps = span.x - last.x;
      if (steps > 1 && steps <= joinColumns) {
        for (int step = 1; step < steps; ++step) {
          FillColumn(image, blend, last.x + step, Between(last.top, span.top, step, steps),
                     Between(last.bottom, span.bottom, step, steps));
        }
      }
    }
    FillColumn(image, blend, span.x, span.top, span.bottom);
  }
}

void FillRect(QImage& image, const QRect& rect, QRgb colour) {
  FillWhere(image, rect, colour, [](int, int) { return true; });
}

void HatchRect(QImage& image, const QRect& rect, QRgb colour) {
  FillWhere(image, rect, colour, [](int x, int y) { return (x + y) % 8 == 7; });
}

}  // namespace historyview
