#pragma once

#include <cstdint>

#include "platform/ui/geometry.h"

namespace ui {

enum class MouseButton : std::uint8_t { Left = 1, Right = 2, Middle = 4 };

// Buttons held down, as a bit set of MouseButton values.
using MouseButtons = std::uint8_t;

inline constexpr bool Holds(MouseButtons held, MouseButton button) {
  return (held & static_cast<MouseButtons>(button)) != 0;
}

// One mouse notification as a control or window receives it.
struct MouseEvent {
  MouseButton button = MouseButton::Left;  // the button pressed or released (moves: Left)
  Point pos;                               // relative to the receiver's top-left corner
  Point windowPos;                         // in window client coordinates
  MouseButtons held = 0;                   // buttons down after this event
};

enum class Cursor : std::uint8_t { Arrow, Hand };

}  // namespace ui
