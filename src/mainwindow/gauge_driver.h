#pragma once

#include "alarms/alarm_state.h"
#include "device/gauge_panel.h"
#include "platform/hid/hid_bus.h"
#include "platform/ui/application.h"
#include "platform/ui/timer.h"
#include "session/monitor_session.h"

namespace mainwindow {

// TimerGauge: once a second from the window's creation on, the needle panel shows the
// session's power, PSU temperature and PSU fan against the alarm thresholds. UI thread only.
class GaugeDriver {
 public:
  GaugeDriver(ui::Application& app, platform::HidBus& bus, const session::MonitorSession& session,
              const alarms::AlarmStatus& alarmStatus);

  void GaugeTick();
  ui::Timer& TimerGauge() { return timerGauge_; }
  device::GaugePanel& Gauge() { return gauge_; }

 private:
  // The muted flags of the power, fan-speed and temperature alarm groups as the needle panel
  // reads them. Until the alarm page keeps its own, the power group follows its stored switch
  // and the other two are not muted, as at the window's creation.
  device::GaugeMuted GroupMuted() const;

  const session::MonitorSession& session_;
  const alarms::AlarmStatus& alarmStatus_;
  device::GaugePanel gauge_;
  ui::Timer timerGauge_;
};

}  // namespace mainwindow
