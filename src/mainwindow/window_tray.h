#pragma once

#include <functional>

#include "alarms/alarm_blink.h"
#include "mainwindow/monitor_page.h"
#include "mainwindow/window_pages.h"
#include "platform/ui/timer.h"

namespace mainwindow {

// What the window does as it goes into the notification area and comes back: nothing turns
// or blinks where nobody sees it, and the shown page is drawn afresh on return. UI thread only.
class WindowTray {
 public:
  struct Parts {
    MonitorPage& monitor;
    ui::Timer& timerAlarm;
    alarms::AlarmBlink& blink;
    const WindowPages& pages;
    // Start-up completed (the pages exist); the window was closed.
    std::function<bool()> started;
    std::function<bool()> closed;
  };
  explicit WindowTray(Parts parts) : p_(std::move(parts)) {}

  void Minimized();
  void Restored();

 private:
  Parts p_;
};

}  // namespace mainwindow
