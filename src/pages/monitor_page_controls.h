#pragma once

#include <vector>

#include "pages/control_group.h"
#include "pages/rolled_page.h"
#include "pages/window_hooks.h"

namespace pages {

// The monitor page as a container for the roll: its controls and reading displays (whose
// digits are off while they are behind the bar), and the extras (fan pictures, sensor names)
// that show only while the page is fully out and never move. Leaving the page stops the fan
// animation; arriving starts it again and enables the alarm blink. UI thread only.
class MonitorPageControls : public RolledPage {
 public:
  // Uses StopFanAnimation, StartFanAnimation and EnableAlarmTimer of `hooks`.
  explicit MonitorPageControls(WindowHooks hooks);

  ControlGroup& Controls() { return controls_; }
  ControlGroup& Extras() { return extras_; }

  // Every control of the page at once (the fan animation is the window's).
  void Show();
  void Hide();

  void HideStep(int dy, int barTop) override;
  void ShowStep(int dy, int barTop) override;
  void Carry(int dy) override { controls_.MoveBy(dy); }
  void CompleteBeforeTabs() override;
  bool ExtrasShown() const override { return extrasShown_; }
  void SetExtrasShown(bool shown) override { extrasShown_ = shown; }

 private:
  WindowHooks hooks_;
  ControlGroup controls_{ControlGroup::Digits::kFollowVisibility};
  ControlGroup extras_;
  bool extrasShown_ = true;
};

}  // namespace pages
