#include "platform/ui/control.h"

#include <stdexcept>

#include "platform/ui/window.h"

namespace ui {
namespace {

// Calls a copy of the routine: it may destroy the control that holds it.
template <typename Routine, typename... Args>
void CallRoutine(const Routine& routine, Args&&... args) {
  if (!routine) return;
  const Routine copy = routine;
  copy(std::forward<Args>(args)...);
}

}  // namespace

Control::Control(Window& owner) : owner_(&owner) {
  owner.Register(*this);
}

Control::~Control() {
  if (owner_) owner_->Unregister(*this);
}

void Control::SetBounds(const Rect& bounds) {
  if (bounds == bounds_) return;
  Invalidate();
  bounds_ = bounds;
  Invalidate();
  NotifyChanged();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (owner_) {
    owner_->Invalidate(bounds_);
    if (!visible) owner_->ControlHidden(*this);
  }
  NotifyChanged();
  VisibleChanged();
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  NotifyChanged();
}

void Control::MouseDown(const MouseEvent& event) {
  CallRoutine(OnMouseDown, *this, event);
}
void Control::MouseMove(const MouseEvent& event) {
  CallRoutine(OnMouseMove, *this, event);
}
void Control::MouseUp(const MouseEvent& event) {
  CallRoutine(OnMouseUp, *this, event);
}
void Control::MouseEnter() {
  CallRoutine(OnMouseEnter, *this);
}
void Control::MouseLeave() {
  CallRoutine(OnMouseLeave, *this);
}

#ifdef QUELTA_UI_QT
void Control::Paint(QPainter&) const {}
#endif
void Control::PaintFrame(FrameCanvas&) const {}

void Control::AddPicturesDrawn(std::vector<BitmapUse>&) const {}

void Control::Invalidate() const {
  if (owner_ && visible_) owner_->Invalidate(bounds_);
}

void Control::NotifyChanged() {
  if (owner_) owner_->ControlChanged(*this);
}

Application& Control::App() const {
  if (!owner_) throw std::logic_error("a control whose window is gone has no application");
  return owner_->App();
}

}  // namespace ui
