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
  const pages::Page page = p_.pages.CurrentPage();
  if (page == pages::Page::kMonitor) p_.monitor.RefreshMonitorPage();
  if (page == pages::Page::kConfig && p_.pages.Config()) p_.pages.Config()->ShowConfigSubPage();
  if (page == pages::Page::kAlarm && p_.pages.AlarmPage()) p_.pages.AlarmPage()->ShowAlarmGroup();
}

}  // namespace mainwindow
