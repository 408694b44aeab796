#pragma once

#include <cstdint>
#include <memory>

#include "platform/ui/geometry.h"

namespace ui {
class Control;
class Image;
}  // namespace ui

namespace skin {

// Where and how a display's row of bitmap digits stands.
struct DigitGroup {
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0, Count = 0;
  bool isFloat = false;
  std::int32_t DecimalCount = 0;
  bool isAttr = false;
  bool AltDigitSet = false;
};

// The gauge picture: its place, the value range and the number of picture steps over it.
struct StatusBarGroup {
  float Min = 0.0f, Max = 0.0f;
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0, Scale = 0;
};

// The marker's origin and size.
struct PositionBarGroup {
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

// The solid bar: its origin, thickness (Caliper), length along the value axis and range.
struct StatusRectGroup {
  std::int32_t Left = 0, Top = 0, Caliper = 0, Length = 0;
  float Min = 0.0f, Max = 0.0f;
};

// A picture of `host`'s window at window client coordinates, drawn with the skin's magenta
// see-through. Throws std::logic_error once the window is gone.
std::unique_ptr<ui::Image> MakeTrackBarPart(const ui::Control& host, const ui::Rect& bounds);

// The value `along` pixels from the origin of a scale `span` pixels long over min .. max;
// min when the scale has no length.
float ValueAlong(float min, float max, std::int32_t along, std::int32_t span);

// Truncation toward zero that saturates instead of overflowing; not-a-number gives 0.
std::int32_t TruncSaturated(float v);

}  // namespace skin
