#include "platform/ui/window.h"

#include <algorithm>
#include <exception>

#include "platform/ui/application.h"
#include "platform/ui/backend.h"
#include "platform/ui/control.h"
#include "platform/ui/window_host.h"

namespace ui {

Window::Window(Application& app, Size clientSize)
    : app_(app),
      link_(std::make_shared<WindowHandle::Link>(WindowHandle::Link{&app.Loop(), this})),
      clientSize_(clientSize),
      background_(colors::kButtonFace) {
  host_ = app.GetBackend().CreateWindowHost(*this);
  InvalidateAll();
}

Window::~Window() {
  // Taking the desktop window down may still report input (a lost activation, a leave):
  // nobody listens any more.
  OnActivate = nullptr;
  OnClose = nullptr;
  OnMessage = nullptr;
  OnMouseDown = nullptr;
  OnMouseMove = nullptr;
  OnMouseUp = nullptr;
  host_.reset();
  link_->window = nullptr;
  for (Control* child : children_) child->owner_ = nullptr;
}

template <typename Routine, typename... Args>
void Window::CallRoutine(const Routine& routine, Args&&... args) {
  if (!routine) return;
  const Routine copy = routine;  // the routine may replace or destroy itself
  copy(std::forward<Args>(args)...);
}

void Window::SetClientSize(Size size) {
  if (size == clientSize_) return;
  clientSize_ = size;
  dirty_.Clear();
  InvalidateAll();
  if (host_) host_->GeometryChanged();
}

void Window::SetPosition(Point position) {
  if (position == position_) return;
  position_ = position;
  if (host_) host_->GeometryChanged();
}

void Window::CenterOnScreen() {
  if (host_) host_->CenterOnScreen();
}

void Window::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  if (host_) host_->CaptionChanged();
}

void Window::Show() {
  if (visible_ && !minimized_) return;
  visible_ = true;
  minimized_ = false;
  if (host_) host_->VisibilityChanged();
}

void Window::Hide() {
  if (!visible_) return;
  visible_ = false;
  minimized_ = false;
  if (hovered_) {
    Control* left = hovered_;
    hovered_ = nullptr;
    app_.Guard([&] { left->MouseLeave(); });
  }
  if (host_) host_->VisibilityChanged();
}

void Window::Minimize() {
  if (minimized_) return;
  minimized_ = true;
  visible_ = true;
  if (host_) host_->VisibilityChanged();
}

void Window::Activate() {
  if (host_) host_->Activate();
}

void Window::Close() {
  if (closing_) return;
  closing_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{closing_};
  CallRoutine(OnClose, *this);
  Hide();
}

void Window::SetTransparentColor(std::optional<Color> key) {
  if (key == transparentColor_) return;
  transparentColor_ = key;
  if (host_) host_->ShapeChanged();
}

void Window::SetBackgroundColor(Color color) {
  if (color == background_) return;
  background_ = color;
  InvalidateAll();
}

std::vector<BitmapUse> Window::PicturesDrawn() const {
  std::vector<BitmapUse> uses;
  for (const Control* child : children_) {
    if (child->Visible()) child->AddPicturesDrawn(uses);
  }
  return uses;
}

void Window::BringToFront(Control& control) {
  const auto found = std::find(children_.begin(), children_.end(), &control);
  if (found == children_.end()) return;
  children_.erase(found);
  children_.push_back(&control);
  control.Invalidate();
}

Control* Window::ControlAt(Point p) const {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    Control* c = *it;
    if (c->Visible() && c->Enabled() && c->TakesMouse() && c->Bounds().Contains(p)) return c;
  }
  return nullptr;
}

void Window::Invalidate(const Rect& area) {
  const Rect clipped = area.Intersected(Rect{0, 0, clientSize_.width, clientSize_.height});
  if (clipped.IsEmpty()) return;
  dirty_.Add(clipped);
  if (paintHeld_ > 0) {
    heldPaint_.Add(clipped);
  } else if (host_) {
    host_->Invalidated(clipped);
  }
}

void Window::PaintAtOnce(const std::function<void()>& changes) {
  struct Release {
    Window& window;
    int unwinding = std::uncaught_exceptions();
    ~Release() {
      if (--window.paintHeld_ > 0) return;
      const DirtyRegion held = std::move(window.heldPaint_);
      window.heldPaint_.Clear();
      if (!window.host_ || held.IsEmpty()) return;
      // Changes cut short by an exception are painted later, as any others.
      if (std::uncaught_exceptions() > unwinding) {
        for (const Rect& r : held.Rects()) window.host_->Invalidated(r);
      } else {
        window.host_->PaintNow(held);
      }
    }
  };
  ++paintHeld_;
  const Release release{*this};
  if (changes) changes();
}

DirtyRegion Window::TakeDirty() {
  DirtyRegion taken = std::move(dirty_);
  dirty_.Clear();
  return taken;
}

void Window::BeginSystemMove() {
  // The desktop takes the pointer over until the move ends; the release never reaches the
  // scene, so the press is forgotten here, as releasing the mouse capture does on a desktop.
  captured_ = nullptr;
  windowCaptured_ = false;
  held_ = 0;
  if (host_) host_->BeginSystemMove();
}

MouseEvent Window::EventFor(const Control* receiver, MouseButton button, Point p) const {
  MouseEvent event;
  event.button = button;
  event.windowPos = p;
  event.pos = receiver ? Point{p.x - receiver->Left(), p.y - receiver->Top()} : p;
  event.held = held_;
  return event;
}

void Window::UpdateHover(Point p) {
  Control* const target = ControlAt(p);
  if (target == hovered_) return;
  Control* const left = hovered_;
  hovered_ = target;
  if (left) left->MouseLeave();
  // The leave routine may have destroyed the target (Unregister clears hovered_ then).
  if (target && hovered_ == target) target->MouseEnter();
}

void Window::InputMouseDown(MouseButton button, Point p) {
  app_.Guard([&] {
    UpdateHover(p);
    const bool first = held_ == 0;
    held_ |= static_cast<MouseButtons>(button);
    if (captured_) {
      captured_->MouseDown(EventFor(captured_, button, p));
      return;
    }
    Control* const target = first && !windowCaptured_ ? ControlAt(p) : nullptr;
    if (target) {
      captured_ = target;
      target->MouseDown(EventFor(target, button, p));
      return;
    }
    windowCaptured_ = true;
    CallRoutine(OnMouseDown, *this, EventFor(nullptr, button, p));
  });
}

void Window::InputMouseMove(Point p) {
  app_.Guard([&] {
    UpdateHover(p);
    if (captured_) {
      captured_->MouseMove(EventFor(captured_, MouseButton::Left, p));
    } else if (windowCaptured_) {
      CallRoutine(OnMouseMove, *this, EventFor(nullptr, MouseButton::Left, p));
    } else if (Control* const target = ControlAt(p)) {
      target->MouseMove(EventFor(target, MouseButton::Left, p));
    } else {
      CallRoutine(OnMouseMove, *this, EventFor(nullptr, MouseButton::Left, p));
    }
  });
}

void Window::InputMouseUp(MouseButton button, Point p) {
  app_.Guard([&] {
    held_ &= static_cast<MouseButtons>(~static_cast<MouseButtons>(button));
    const bool last = held_ == 0;
    if (Control* const receiver = captured_) {
      if (last) captured_ = nullptr;
      receiver->MouseUp(EventFor(receiver, button, p));
    } else if (windowCaptured_) {
      if (last) windowCaptured_ = false;
      CallRoutine(OnMouseUp, *this, EventFor(nullptr, button, p));
    } else if (Control* const target = ControlAt(p)) {
      target->MouseUp(EventFor(target, button, p));
    } else {
      CallRoutine(OnMouseUp, *this, EventFor(nullptr, button, p));
    }
    UpdateHover(p);
  });
}

void Window::InputMouseLeave() {
  app_.Guard([&] {
    if (!hovered_) return;
    Control* const left = hovered_;
    hovered_ = nullptr;
    left->MouseLeave();
  });
}

void Window::InputActivated() {
  app_.Guard([&] { CallRoutine(OnActivate, *this); });
}

void Window::InputCloseRequested() {
  app_.Guard([&] { Close(); });
}

void Window::InputMoved(Point position) {
  position_ = position;
}

void Window::DeliverMessage(const Message& message) {
  app_.Guard([&] { CallRoutine(OnMessage, *this, message); });
}

void Window::Register(Control& control) {
  children_.push_back(&control);
}

void Window::Unregister(Control& control) {
  std::erase(children_, &control);
  if (hovered_ == &control) hovered_ = nullptr;
  if (captured_ == &control) captured_ = nullptr;
  if (control.Visible()) Invalidate(control.Bounds());
  if (host_) host_->ControlRemoved(control);
}

void Window::ControlHidden(Control& control) {
  // A hidden control cannot be released on: the rest of the press belongs to the window.
  if (captured_ == &control) {
    captured_ = nullptr;
    windowCaptured_ = held_ != 0;
  }
}

void Window::ControlChanged(Control& control) {
  if (host_) host_->ControlChanged(control);
}

}  // namespace ui
