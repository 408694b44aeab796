#pragma once

#include <functional>
#include <vector>

#include "platform/ui/bitmap.h"
#include "platform/ui/geometry.h"
#include "platform/ui/mouse.h"

class QPainter;

namespace ui {

class FrameCanvas;

class Application;
class Window;

// Something placed on a window: bounds in window client pixels, visible, enabled, a cursor and
// mouse notifications. The creator owns it; it joins its window's children (in creation order,
// the later drawn over the earlier) when made and leaves them when destroyed. The window must
// outlive it or be destroyed first; a control whose window is gone does nothing harmful.
class Control {
 public:
  explicit Control(Window& owner);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // The window it sits on; null once that window was destroyed.
  Window* Owner() const { return owner_; }

  const Rect& Bounds() const { return bounds_; }
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  void SetBounds(const Rect& bounds);
  void SetLeft(int left) { SetBounds(Rect{left, Top(), Width(), Height()}); }
  void SetTop(int top) { SetBounds(Rect{Left(), top, Width(), Height()}); }
  void SetHeight(int height) { SetBounds(Rect{Left(), Top(), Width(), height}); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  // A disabled control lets mouse input through to what lies below it.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  Cursor GetCursor() const { return cursor_; }
  void SetCursor(Cursor cursor) { cursor_ = cursor; }

  // Owner routines, called by the default reactions below (pos relative to the control).
  std::function<void(Control&, const MouseEvent&)> OnMouseDown;
  std::function<void(Control&, const MouseEvent&)> OnMouseMove;
  std::function<void(Control&, const MouseEvent&)> OnMouseUp;
  std::function<void(Control&)> OnMouseEnter;
  std::function<void(Control&)> OnMouseLeave;

  // Mouse input as the window delivers it. A press captures the pointer until the buttons are
  // released (or the control is hidden), so moves and the release reach this control even
  // outside its bounds; enter and leave follow the pointer all the same.
  virtual void MouseDown(const MouseEvent& event);
  virtual void MouseMove(const MouseEvent& event);
  virtual void MouseUp(const MouseEvent& event);
  virtual void MouseEnter();
  virtual void MouseLeave();

#ifdef QUELTA_UI_QT
  // Draws the control onto its window's picture, in window client coordinates.
  virtual void Paint(QPainter& painter) const;
#endif
  // The same into a frame, without the toolkit (the window on Windows). Native controls draw
  // their box only: the desktop's own widget stands on it.
  virtual void PaintFrame(FrameCanvas& canvas) const;
  // Adds the pictures that Paint would draw as the control stands now, so that they can be
  // decoded before the paint needs them.
  virtual void AddPicturesDrawn(std::vector<BitmapUse>& uses) const;
  // Whether mouse input lands on it (a plain fill lets it through to what lies below).
  virtual bool TakesMouse() const {
    return true;
  }
  // Edits and combo boxes are real desktop widgets in a live window.
  virtual bool IsNative() const {
    return false;
  }

  // Marks the control's area to be painted again.
  void Invalidate() const;

 protected:
  // Called after Visible changed.
  virtual void VisibleChanged() {}
  // Tells the window's host that something it mirrors (text, items) changed.
  void NotifyChanged();
  // The application of the owning window; the window must still exist.
  Application& App() const;

 private:
  friend class Window;

  Window* owner_;
  Rect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  Cursor cursor_ = Cursor::Arrow;
};

}  // namespace ui
