#pragma once

#include "platform/ui/geometry.h"
#include "platform/ui/mouse.h"

namespace ui {

class Window;

// A pointer for headless runs: moves, presses and releases in window client coordinates,
// delivered exactly as a desktop would deliver them.
class SyntheticMouse {
 public:
  explicit SyntheticMouse(Window& window) : window_(window) {}

  void MoveTo(Point p);
  void Press(MouseButton button = MouseButton::Left);
  void Release(MouseButton button = MouseButton::Left);
  // Moves there, presses and releases.
  void Click(Point p, MouseButton button = MouseButton::Left);
  // Presses at `from`, moves to `to` in `steps` equal moves, releases there.
  void Drag(Point from, Point to, int steps = 1, MouseButton button = MouseButton::Left);
  // The pointer leaves the window.
  void Leave();

  Point Position() const { return position_; }

 private:
  Window& window_;
  Point position_;
};

}  // namespace ui
