#pragma once

#include "alarms/alarm_notices.h"
#include "mainwindow/form_main_environment.h"
#include "mainwindow/monitor_page.h"
#include "mainwindow/window_pages.h"
#include "platform/ui/tray_icon.h"
#include "session/monitor_session.h"

namespace mainwindow {

// The window's settings between the store and the session: loaded once at start-up, the
// sensor names saved at exit, the notification switch saved as it changes, the alarm
// defaults restored. A store that cannot be read or written is reported, never fatal.
// UI thread only.
class WindowSettings {
 public:
  struct Parts {
    FormMainEnvironment& env;
    session::MonitorSession& session;
    MonitorPage& monitor;
    const WindowPages& pages;
    alarms::AlarmNotices& notices;
    ui::TrayIcon& tray;
  };
  explicit WindowSettings(Parts parts) : p_(parts) {}

  // The alarm settings with the sensor names, the configuration, the notification switch.
  void Load();
  void SaveSensorNames();
  // "Notify on alarm": switches the desktop notifications and stores the switch.
  void SaveNotifyOnAlarm(bool on);
  // "Default": the alarm page restores its defaults, or, without one, the store does.
  void RestoreAlarmDefaults();

 private:
  Parts p_;
};

}  // namespace mainwindow
