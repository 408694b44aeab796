#include "pages/window_drag.h"

#include "platform/ui/control.h"
#include "platform/ui/window.h"

namespace pages {

void WindowDrag::Attach(ui::Control& surface) {
  surface.OnMouseDown = [this](ui::Control&, const ui::MouseEvent& e) { MouseDown(e.button); };
  surface.OnMouseMove = [this](ui::Control&, const ui::MouseEvent& e) { MouseMove(e.held); };
  surface.OnMouseUp = [this](ui::Control&, const ui::MouseEvent&) { MouseUp(); };
}

void WindowDrag::AttachBackground() {
  window_.OnMouseDown = [this](ui::Window&, const ui::MouseEvent& e) { MouseDown(e.button); };
  window_.OnMouseMove = [this](ui::Window&, const ui::MouseEvent& e) { MouseMove(e.held); };
  window_.OnMouseUp = [this](ui::Window&, const ui::MouseEvent&) { MouseUp(); };
}

void WindowDrag::MouseDown(ui::MouseButton button) {
  if (button == ui::MouseButton::Left) dragging_ = true;
}

void WindowDrag::MouseMove(ui::MouseButtons held) {
  if (!dragging_) return;
  dragging_ = false;
  if (ui::Holds(held, ui::MouseButton::Left)) window_.BeginSystemMove();
}

void WindowDrag::MouseUp() {
  dragging_ = false;
}

}  // namespace pages
