#pragma once

#include "platform/ui/dirty_region.h"
#include "platform/ui/geometry.h"

namespace ui {

class Control;

// The backend's side of one window: a live desktop window, or a recorder in headless runs.
// The window tells its host what changed; the host never changes the scene by itself but
// feeds desktop input back through the window's Input... calls.
class WindowHost {
 public:
  virtual ~WindowHost() = default;

  virtual void Invalidated(const Rect& area) = 0;
  // As Invalidated for each area, painting them now rather than on a later pass of the
  // event loop.
  virtual void PaintNow(const DirtyRegion& areas) {
    for (const Rect& r : areas.Rects()) Invalidated(r);
  }
  virtual void GeometryChanged() {}    // client size or screen position
  virtual void VisibilityChanged() {}  // shown, hidden, minimised, restored
  virtual void CaptionChanged() {}
  virtual void ShapeChanged() {}  // transparent colour key switched on, off or changed
  // Bounds, visibility, enabled state, text or items of one control changed.
  virtual void ControlChanged(Control&) {}
  // The control is going away; the host drops what it made for it.
  virtual void ControlRemoved(Control&) {}
  virtual void BeginSystemMove() {}
  virtual void Activate() {}
  virtual void CenterOnScreen() {}
};

}  // namespace ui
