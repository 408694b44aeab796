#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/bitmap.h"
#include "platform/ui/color.h"
#include "platform/ui/dirty_region.h"
#include "platform/ui/geometry.h"
#include "platform/ui/mouse.h"
#include "platform/ui/window_handle.h"

namespace ui {

class Application;
class Control;
class WindowHost;

// A top-level window: a retained scene of controls, drawn in creation order over a background
// colour. Windows are borderless; pixels of the transparent colour key are see-through and
// so give the window its shape. UI thread only, except through its WindowHandle.
class Window {
 public:
  Window(Application& app, Size clientSize);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  Application& App() const { return app_; }

  Size ClientSize() const { return clientSize_; }
  int ClientWidth() const { return clientSize_.width; }
  int ClientHeight() const { return clientSize_.height; }
  void SetClientSize(Size size);
  // Screen position of the client area's top-left corner.
  Point Position() const { return position_; }
  void SetPosition(Point position);
  void CenterOnScreen();

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  // Shown windows stay Visible while minimised.
  bool Visible() const { return visible_; }
  bool Minimized() const { return minimized_; }
  void Show();  // also restores a minimised window
  void Hide();
  void Minimize();
  // Brings the window to the front; the desktop answers with an activation.
  void Activate();
  // Runs OnClose, then hides the window. What closing means for the program is OnClose's call.
  void Close();

  const std::optional<Color>& TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(std::optional<Color> key);
  Color BackgroundColor() const { return background_; }
  void SetBackgroundColor(Color color);

  // Children in creation order (drawn in this order, so the last is on top).
  const std::vector<Control*>& Children() const { return children_; }
  // The pictures the visible children draw as they stand now.
  std::vector<BitmapUse> PicturesDrawn() const;
  void BringToFront(Control& control);
  // The topmost visible, enabled control that takes mouse input at `p`; null for none.
  Control* ControlAt(Point p) const;
  Control* Hovered() const { return hovered_; }
  Control* Captured() const { return captured_; }

  // Repaint only what changed: areas accumulate until the backend paints them.
  void Invalidate(const Rect& area);
  void InvalidateAll() { Invalidate(Rect{0, 0, clientSize_.width, clientSize_.height}); }
  const DirtyRegion& Dirty() const { return dirty_; }
  DirtyRegion TakeDirty();
  // Runs `changes` and paints what they invalidated at once, in one paint, instead of on a
  // later pass of the event loop: an animation frame so costs one paint and no second
  // wake-up. Calls may nest; the outermost paints. A hidden window paints when shown again.
  void PaintAtOnce(const std::function<void()>& changes);

  // Lets the user drag the borderless window with the pointer (the press that started it).
  void BeginSystemMove();

  // For other threads and for controls that post to it (message 2025 and the like).
  WindowHandle Handle() const { return WindowHandle(link_); }

  // Event handlers. Exceptions escaping them are shown in the error box.
  std::function<void(Window&)> OnActivate;
  std::function<void(Window&)> OnClose;
  std::function<void(Window&, const Message&)> OnMessage;
  // Mouse on the window itself (where no control takes it); pos in client coordinates.
  std::function<void(Window&, const MouseEvent&)> OnMouseDown;
  std::function<void(Window&, const MouseEvent&)> OnMouseMove;
  std::function<void(Window&, const MouseEvent&)> OnMouseUp;

  // Desktop input, from the backend or a synthetic mouse (client coordinates).
  void InputMouseDown(MouseButton button, Point p);
  void InputMouseMove(Point p);
  void InputMouseUp(MouseButton button, Point p);
  void InputMouseLeave();
  void InputActivated();
  void InputCloseRequested();
  void InputMoved(Point position);  // the desktop moved the window
  void DeliverMessage(const Message& message);

  WindowHost* Host() const { return host_.get(); }

 private:
  friend class Control;
  void Register(Control& control);
  void Unregister(Control& control);
  void ControlChanged(Control& control);
  void ControlHidden(Control& control);

  MouseEvent EventFor(const Control* receiver, MouseButton button, Point p) const;
  void UpdateHover(Point p);
  template <typename Routine, typename... Args>
  void CallRoutine(const Routine& routine, Args&&... args);

  Application& app_;
  std::shared_ptr<WindowHandle::Link> link_;
  Size clientSize_;
  Point position_;
  std::string caption_;
  bool visible_ = false;
  bool minimized_ = false;
  bool closing_ = false;
  std::optional<Color> transparentColor_;
  Color background_;
  std::vector<Control*> children_;
  Control* hovered_ = nullptr;
  Control* captured_ = nullptr;
  bool windowCaptured_ = false;  // a press on the background holds the pointer
  MouseButtons held_ = 0;
  DirtyRegion dirty_;
  int paintHeld_ = 0;      // PaintAtOnce calls under way
  DirtyRegion heldPaint_;  // what they invalidated so far
  std::unique_ptr<WindowHost> host_;
};

}  // namespace ui
