#pragma once

#include "platform/ui/mouse.h"

namespace ui {
class Control;
class Window;
}  // namespace ui

namespace pages {

// Dragging the borderless window by its background, its control bar or its page pictures:
// a left press arms the drag, a move while armed hands the move to the desktop, a release
// disarms it.
class WindowDrag {
 public:
  explicit WindowDrag(ui::Window& window) : window_(window) {}

  // Routes a surface's press, move and release here (it takes over the control's routines).
  void Attach(ui::Control& surface);
  // The same for the window's own background.
  void AttachBackground();

  void MouseDown(ui::MouseButton button);
  // `held`: the buttons down during the move. The desktop takes the drag over from here and
  // swallows the release, so the drag is disarmed once handed over; a move without the left
  // button held (its release went elsewhere) only disarms it.
  void MouseMove(ui::MouseButtons held);
  void MouseUp();

  bool Dragging() const { return dragging_; }

 private:
  ui::Window& window_;
  bool dragging_ = false;
};

}  // namespace pages
