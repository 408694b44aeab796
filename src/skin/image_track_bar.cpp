#include "skin/image_track_bar.h"

#include <cmath>
#include <utility>

#include "core/numbers.h"
#include "platform/ui/edit.h"
#include "platform/ui/mouse.h"
#include "platform/ui/solid_fill.h"
#include "platform/ui/window.h"

namespace skin {
namespace {

constexpr int kRatioDecimals = 4;
// The vertical marker beside a status rect sits this far below its origin.
constexpr std::int32_t kStatusRectMarkerDrop = 4;

}  // namespace

TextTarget::TextTarget(ui::Edit* edit) {
  if (edit) write_ = [edit](const std::string& text) { edit->SetText(text); };
}

TImageTrackBar::TImageTrackBar(ui::Window& owner, FileResolver files)
    : ui::Image(owner),
      statusRect_(owner),
      gauge_(*this),
      marker_(*this),
      digits_(*this, std::move(files)) {}

TImageTrackBar::~TImageTrackBar() = default;

// ---- digits ----

void TImageTrackBar::SetupDigits(const DigitGroup& layout) {
  digits_.Setup(layout);
  ShowDigit = true;
}

void TImageTrackBar::SetupDigits(std::int32_t Left, std::int32_t Top, std::int32_t Count,
                                 std::int32_t Width, std::int32_t Height, bool isFloat,
                                 std::int32_t DecimalCount, bool isAttr, bool AltDigitSet) {
  SetupDigits(
      DigitGroup{Left, Top, Width, Height, Count, isFloat, DecimalCount, isAttr, AltDigitSet});
}

void TImageTrackBar::ShowValue(float value, bool negative, bool alternate) {
  if (ShowDigit) digits_.Show(value, negative, alternate);
}

// ---- gauge ----

void TImageTrackBar::SetupStatusBar(std::int32_t Left, std::int32_t Top, std::int32_t Min,
                                    std::int32_t Max, std::int32_t Width, std::int32_t Height,
                                    std::int32_t Scale) {
  ShowSBar = true;
  gauge_.Setup(StatusBarGroup{static_cast<float>(Min), static_cast<float>(Max), Left, Top, Width,
                              Height, Scale});
  SetBounds(ui::Rect{Left, Top, Width, Height});
}

void TImageTrackBar::SetStatusBarValue(std::int32_t value) {
  if (ShowSBar) gauge_.SetValue(value);
}

// ---- marker ----

void TImageTrackBar::SetPositionBarOrigin(std::int32_t Left, std::int32_t Top) {
  ShowPositionBar = true;
  marker_.SetOrigin(Left, Top);
}

void TImageTrackBar::LoadMarker(const std::filesystem::path& path, std::int32_t Width,
                                std::int32_t Height) {
  marker_.Load(
      path, Width, Height, [this](const ui::MouseEvent& e) { MarkerMoved(e); },
      [this] {
        ui::Window* owner = Owner();
        if (owner && OnCommit) {
          const auto commit = OnCommit;
          commit(*owner);
        }
      });
}

// ---- status rect ----

void TImageTrackBar::SetupStatusRect(std::int32_t Left, std::int32_t Top, std::int32_t Length,
                                     std::int32_t Caliper, float Min, float Max, ui::Color color) {
  ShowStatusRect = true;
  statusRect_.Setup(StatusRectGroup{Left, Top, Caliper, Length, Min, Max});
  StatusRectColor = color;
}

void TImageTrackBar::SetPositionValue(float value) {
  overRange_ = false;
  value_ = value;
  // Min, Max and Length are the status rect's even when only the gauge is shown.
  const float offset = statusRect_.OffsetOf(value);
  const PositionBarGroup& origin = marker_.Layout();
  ui::Image& marker = marker_.Picture();
  if (SBHorz) {
    // Larger values lie to the right, as the drag maps them.
    if (ShowSBar || ShowStatusRect) {
      marker.SetLeft(TruncSaturated(static_cast<float>(origin.Left) + offset));
    }
    return;
  }
  std::int32_t top = 0;
  if (ShowSBar) {
    top = TruncSaturated(static_cast<float>(origin.Top) - offset);
  } else if (ShowStatusRect) {
    top = TruncSaturated(static_cast<float>(origin.Top) - offset + kStatusRectMarkerDrop);
  } else {
    return;
  }
  if (statusRect_.Layout().Top >= top) top += marker.Height();
  marker.SetTop(top);
}

void TImageTrackBar::DrawStatusRect() {
  if (!ShowStatusRect) return;
  const StatusBand band = statusRect_.Draw(
      value_, StatusRectMode{SBHorz, CenteredMode, BelowRangeAlarms}, StatusRectColor);
  overRange_ = band.overRange;
  lastBand_ = band.rect;
}

// ---- moving and showing ----

void TImageTrackBar::ShiftVertically(std::int32_t offset) {
  digits_.Shift(offset);
  if (ShowSBar) gauge_.Shift(offset);
  if (ShowPositionBar) marker_.Shift(offset);
  if (ShowStatusRect) statusRect_.Shift(offset);
}

void TImageTrackBar::SetPartsVisible(bool visible) {
  SetVisible(visible);
  digits_.SetVisible(visible, Top());
  if (ShowSBar) gauge_.Picture().SetVisible(visible);
  if (ShowPositionBar) marker_.Picture().SetVisible(visible);
  // The status rect is part of the retained scene, so it hides and shows with the display.
  statusRect_.Fill().SetVisible(visible);
}

// ---- marker drag ----

float TImageTrackBar::ShownTemperature(float celsius) const {
  return TempUnitCode == core::TempUnit::kCelsius ? celsius : core::ToFahrenheit(celsius);
}

std::pair<std::int32_t, std::int32_t> TImageTrackBar::DragLimits() const {
  if (!ShowSBar && ShowStatusRect) {
    const StatusRectGroup& r = statusRect_.Layout();
    const std::int32_t start = SBHorz ? r.Left : r.Top;
    return {start, start + r.Length};
  }
  const StatusBarGroup& b = gauge_.Layout();
  return SBHorz ? std::pair{b.Left, b.Left + b.Width} : std::pair{b.Top, b.Top + b.Height};
}

void TImageTrackBar::MarkerMoved(const ui::MouseEvent& event) {
  const auto [low, high] = DragLimits();
  const std::optional<std::int32_t> edge = marker_.Step(event, SBHorz, low, high);
  if (!edge) return;

  if (ShowStatusRect) {
    // The bar shows the value before this step: it trails the marker by one step.
    DrawStatusRect();
    // Horizontally the bar is all a drag changes.
    if (SBHorz) return;
    const StatusRectGroup& r = statusRect_.Layout();
    value_ = statusRect_.ValueAt(r.Top + r.Length - *edge);
    if (ShowDigit) {
      ShowDraggedOnDigits(value_);
      return;
    }
  }
  const StatusBarGroup& b = gauge_.Layout();
  const PositionBarGroup& origin = marker_.Layout();
  float value = 0.0f;
  if (SBHorz) {
    // A horizontal drag leaves the stored value alone.
    value = ValueAlong(b.Min, b.Max, *edge - origin.Left, b.Width);
  } else {
    if (!ShowPositionBar) return;
    value = ValueAlong(b.Min, b.Max, origin.Top - *edge, b.Height);
    value_ = value;
  }
  OneDecimalTarget.Write(core::FixedText(ShownTemperature(value), 1));
  FinishValueStep(value);
}

void TImageTrackBar::ShowDraggedOnDigits(float value) {
  if (!CenteredMode) {
    ShowValue(ShownTemperature(value), false, Digits().AltDigitSet);
    return;
  }
  const StatusRectGroup& r = statusRect_.Layout();
  const float mid = (r.Max + r.Min) / 2.0f;
  const float ratio = std::fabs(value - mid) / mid;
  const double scale = std::pow(10.0, kRatioDecimals);
  const auto rounded =
      static_cast<float>(std::floor(static_cast<double>(ratio) * scale + 0.5) / scale);
  ShowValue(rounded * 100.0f, value < mid, true);
}

void TImageTrackBar::FinishValueStep(float value) {
  // Whole numbers are truncated, as the pages write them, so what is shown is what is sent.
  WholeNumberTarget.Write(core::FixedText(std::trunc(ShownTemperature(value)), 0));
  if (OnValueStep) OnValueStep(value);
}

}  // namespace skin
