#include "mainwindow/window_tray.h"

namespace mainwindow {

void WindowTray::Minimized() {
  p_.monitor.SetFanTimersEnabled(false);
  // Nothing blinks where nobody sees it: the alarms are still judged at every poll cycle, and
  // the blink takes up again when the window comes back.
  p_.timerAlarm.SetEnabled(false);
}

void WindowTray::Restored() {
  if (!p_.started()) return;  // no page is built yet
  p_.monitor.SetFanTimersEnabled(true);
  if (!p_.closed() && !p_.timerAlarm.Enabled()) {
    // The window comes back as a running blink would have left it: one tick now, then
    // one a second.
    p_.blink.TimerAlarmTimer();
    p_.timerAlarm.SetEnabled(true);
  }
  const std::int32_t page = p_.pages.CurrentPage();
  if (page == kMonitorPage) p_.monitor.RefreshMonitorPage();
  if (page == kConfigPage && p_.pages.Config()) p_.pages.Config()->ShowConfigSubPage();
  if (page == kAlarmPage && p_.pages.AlarmPage()) p_.pages.AlarmPage()->ShowAlarmGroup();
}

}  // namespace mainwindow
