#include "platform/ui/synthetic_mouse.h"

#include <algorithm>

#include "platform/ui/window.h"

namespace ui {

void SyntheticMouse::MoveTo(Point p) {
  position_ = p;
  window_.InputMouseMove(p);
}

void SyntheticMouse::Press(MouseButton button) {
  window_.InputMouseDown(button, position_);
}

void SyntheticMouse::Release(MouseButton button) {
  window_.InputMouseUp(button, position_);
}

void SyntheticMouse::Click(Point p, MouseButton button) {
  MoveTo(p);
  Press(button);
  Release(button);
}

void SyntheticMouse::Drag(Point from, Point to, int steps, MouseButton button) {
  MoveTo(from);
  Press(button);
  steps = std::max(steps, 1);
  for (int i = 1; i <= steps; ++i) {
    MoveTo(Point{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
  }
  Release(button);
}

void SyntheticMouse::Leave() {
  window_.InputMouseLeave();
}

}  // namespace ui
