#include "skin/status_rect_bar.h"

#include <cmath>
#include <cstdlib>

#include "platform/ui/solid_fill.h"

namespace skin {

StatusBand BandOf(const StatusRectGroup& r, StatusRectMode mode, float value) {
  StatusBand band;
  if (!mode.horizontal && mode.centered) {
    const float mid = (r.Max + r.Min) / 2.0f;
    const std::int32_t half = r.Length / 2;
    const float distance =
        std::fabs(value - mid) * static_cast<float>(r.Length) / (2.0f * (r.Max - mid));
    // On a range of no width the middle itself is 0 away and any other value past the end.
    std::int64_t extent = std::isnan(distance) ? 0 : TruncSaturated(distance);
    band.overRange = half < extent;
    if (band.overRange) extent = half;
    const auto e = static_cast<std::int32_t>(extent);
    band.rect = ui::Rect::FromEdges(r.Left, r.Top + half - e, r.Left + r.Caliper, r.Top + half + e);
    return band;
  }
  std::int64_t extent = std::llabs(static_cast<long long>(
      TruncSaturated((value - r.Min) * static_cast<float>(r.Length) / (r.Max - r.Min))));
  band.overRange = r.Length < extent;
  if (band.overRange) extent = r.Length;
  if (mode.belowRangeAlarms && value < r.Min) {
    band.overRange = true;
    extent = 0;
  }
  const auto e = static_cast<std::int32_t>(extent);
  band.rect = mode.horizontal ? ui::Rect::FromEdges(r.Left, r.Top, r.Left + e, r.Top + r.Caliper)
                              : ui::Rect::FromEdges(r.Left, r.Top + r.Length - e,
                                                    r.Left + r.Caliper, r.Top + r.Length);
  return band;
}

StatusRectBar::StatusRectBar(ui::Window& owner) : fill_(std::make_unique<ui::SolidFill>(owner)) {}

StatusRectBar::~StatusRectBar() = default;

StatusBand StatusRectBar::Draw(float value, StatusRectMode mode, ui::Color color) {
  const StatusRectGroup& r = layout_;
  const ui::Rect area =
      mode.horizontal ? ui::Rect::FromEdges(r.Left, r.Top, r.Left + r.Length, r.Top + r.Caliper)
                      : ui::Rect::FromEdges(r.Left, r.Top, r.Left + r.Caliper, r.Top + r.Length);
  fill_->SetBounds(area);
  fill_->Clear();
  fill_->FillArea(area, ui::colors::kButtonFace);
  const StatusBand band = BandOf(r, mode, value);
  fill_->FillArea(band.rect, band.overRange ? ui::colors::kPureRed : color);
  return band;
}

float StatusRectBar::OffsetOf(float value) const {
  const StatusRectGroup& r = layout_;
  if (value <= r.Min) return 0.0f;
  if (value >= r.Max) return static_cast<float>(r.Length);
  return (value - r.Min) * static_cast<float>(r.Length) / (r.Max - r.Min);
}

float StatusRectBar::ValueAt(std::int32_t fromStart) const {
  return ValueAlong(layout_.Min, layout_.Max, fromStart, layout_.Length);
}

void StatusRectBar::Shift(std::int32_t offset) {
  layout_.Top += offset;
  fill_->SetTop(fill_->Top() + offset);
}

}  // namespace skin
