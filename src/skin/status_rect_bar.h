#pragma once

#include <cstdint>
#include <memory>

#include "platform/ui/color.h"
#include "skin/track_bar_layouts.h"

namespace ui {
class SolidFill;
class Window;
}  // namespace ui

namespace skin {

// How a status rect runs and reads its value.
struct StatusRectMode {
  bool horizontal = false;  // grows to the right; else upward from the bottom
  bool centered = false;    // vertical only: grows both ways from the middle by the deviation
  // A value below Min is out of range like one past Max: the band is empty and red. Off, the
  // distance below Min fills the bar as a value that far above Min would.
  bool belowRangeAlarms = false;
};

// The band a value paints and whether it ran past the bar's end.
struct StatusBand {
  ui::Rect rect;
  bool overRange = false;
};

// The band `value` paints on a status rect of `layout`.
StatusBand BandOf(const StatusRectGroup& layout, StatusRectMode mode, float value);

// The solid bar of a display, painted on the owning window's surface: the whole bar in the
// button face, then the value's band in the bar colour, or red when out of range.
class StatusRectBar {
 public:
  explicit StatusRectBar(ui::Window& owner);
  ~StatusRectBar();

  void Setup(const StatusRectGroup& layout) { layout_ = layout; }
  // Paints `value` and returns its band.
  StatusBand Draw(float value, StatusRectMode mode, ui::Color color);
  // Where a value of the bar's range puts the marker: 0 at or below Min, Length at or above
  // Max, in proportion between.
  float OffsetOf(float value) const;
  // The value at `fromStart` pixels along the bar (Min when the bar has no length).
  float ValueAt(std::int32_t fromStart) const;

  void Shift(std::int32_t offset);

  const StatusRectGroup& Layout() const { return layout_; }
  void SetLayout(const StatusRectGroup& layout) { layout_ = layout; }
  ui::SolidFill& Fill() const { return *fill_; }

 private:
  StatusRectGroup layout_;
  std::unique_ptr<ui::SolidFill> fill_;
};

}  // namespace skin
