#include "pages/monitor_page_controls.h"

#include <utility>

namespace pages {

MonitorPageControls::MonitorPageControls(WindowHooks hooks) : hooks_(std::move(hooks)) {}

void MonitorPageControls::Show() {
  controls_.Show();
  extras_.Show();
}

void MonitorPageControls::Hide() {
  extras_.Hide();
  controls_.Hide();
}

void MonitorPageControls::HideStep(int dy, int barTop) {
  // The extras go on the first step, with the fan animation.
  if (extrasShown_) {
    extras_.Hide();
    CallHook(hooks_.StopFanAnimation);
    extrasShown_ = false;
  }
  controls_.MoveAndHideBehind(dy, barTop);
}

void MonitorPageControls::ShowStep(int dy, int barTop) {
  controls_.MoveAndShowClear(dy, barTop);
}

void MonitorPageControls::CompleteBeforeTabs() {
  if (!extrasShown_) {
    extras_.Show();
    CallHook(hooks_.StartFanAnimation);
    extrasShown_ = true;
  }
  CallHook(hooks_.EnableAlarmTimer);
}

}  // namespace pages
