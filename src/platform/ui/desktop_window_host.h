#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <utility>

#include "platform/ui/control.h"
#include "platform/ui/window.h"
#include "platform/ui/window_host.h"

namespace ui {

// A native edit's text is as tall as its box allows, on every desktop alike: the box's height
// less what its frame keeps, never below the smallest text that still reads.
inline constexpr int kSmallestNativeText = 8;
inline constexpr int kEditTextInset = 3;

inline int NativeTextHeight(const Control& control, int inset) {
  return std::max(kSmallestNativeText, control.Height() - inset);
}

// What a window host on a desktop does alike on every system. The native window follows the
// scene window's visibility: hidden, minimised or shown normally. Each edit and combo box of
// the scene has one native child of the backend's (`Native`), made the first time the control
// changes, synced at every change, made again once stale, and dropped with its control or the
// host. A backend says how to show the window and how to make, sync and drop one child.
// UI thread only.
template <typename Native>
class DesktopWindowHost : public WindowHost {
 public:
  void VisibilityChanged() final {
    if (!window_.Visible()) {
      ShowAs(Showing::Hidden);
    } else if (window_.Minimized()) {
      ShowAs(Showing::Minimized);
    } else {
      ShowAs(Showing::Normal);
    }
  }

  void ControlChanged(Control& control) final {
    if (!control.IsNative()) return;
    auto found = natives_.find(&control);
    if (found != natives_.end() && Stale(control, found->second)) {
      ControlRemoved(control);
      found = natives_.end();
    }
    if (found == natives_.end()) {
      std::optional<Native> made = MakeNative(control);
      if (!made) return;  // not a control the desktop has a child for
      found = natives_.emplace(&control, std::move(*made)).first;
    }
    SyncNative(control, found->second);
  }

  void ControlRemoved(Control& control) final {
    const auto found = natives_.find(&control);
    if (found == natives_.end()) return;
    DropNative(found->second);
    natives_.erase(found);
  }

 protected:
  enum class Showing { Hidden, Minimized, Normal };

  explicit DesktopWindowHost(Window& window) : window_(window) {}

  virtual void ShowAs(Showing showing) = 0;
  // The child for an edit or a combo box; none for any other control.
  virtual std::optional<Native> MakeNative(Control& control) = 0;
  // True when the child no longer serves its control and is to be made again.
  virtual bool Stale(const Control& /*control*/, const Native& /*native*/) const { return false; }
  // Puts the control's bounds, visibility, enabled state, text or items on its child.
  virtual void SyncNative(Control& control, Native& native) = 0;
  virtual void DropNative(Native& native) = 0;

  // The child made for a control; null when it has none.
  const Native* NativeOf(const Control& control) const {
    const auto found = natives_.find(&control);
    return found == natives_.end() ? nullptr : &found->second;
  }

  Window& window_;
  std::map<Control*, Native, std::less<>> natives_;
};

}  // namespace ui
