#include "skin/track_bar_layouts.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "platform/ui/image.h"
#include "platform/ui/window.h"

namespace skin {

std::unique_ptr<ui::Image> MakeTrackBarPart(const ui::Control& host, const ui::Rect& bounds) {
  if (!host.Owner()) throw std::logic_error("a display whose window is gone cannot make parts");
  auto part = std::make_unique<ui::Image>(*host.Owner(), bounds);
  part->SetTransparent(true);
  return part;
}

float ValueAlong(float min, float max, std::int32_t along, std::int32_t span) {
  if (span == 0) return min;
  return min + static_cast<float>(along) * (max - min) / static_cast<float>(span);
}

std::int32_t TruncSaturated(float v) {
  if (std::isnan(v)) return 0;
  constexpr float kLimit = 2147483520.0f;  // the largest float below 2^31
  if (v >= kLimit) return std::numeric_limits<std::int32_t>::max();
  if (v <= -kLimit) return -std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v);
}

}  // namespace skin
