#include "mainwindow/gauge_driver.h"

#include <chrono>

#include "alarms/gauge_alarm_rules.h"

namespace mainwindow {
namespace {

constexpr std::chrono::milliseconds kGaugeInterval{1000};

}  // namespace

GaugeDriver::GaugeDriver(ui::Application& app, platform::HidBus& bus,
                         const session::MonitorSession& session,
                         const alarms::AlarmStatus& alarmStatus)
    : session_(session), alarmStatus_(alarmStatus), gauge_(bus), timerGauge_(app) {
  timerGauge_.SetInterval(kGaugeInterval);
  timerGauge_.OnTimer = [this](ui::Timer&) { GaugeTick(); };
  timerGauge_.SetEnabled(true);
}

void GaugeDriver::GaugeTick() {
  const device::ReadingSet& values = session_.Values();
  gauge_.GaugeTick({values.WattTotal, values.TempPSU, values.FanPSU},
                   alarms::GaugeThresholdsOf(session_.Alarms()), GroupMuted());
}

device::GaugeMuted GaugeDriver::GroupMuted() const {
  return device::GaugeMuted{alarmStatus_.GroupMuted(settings::AlarmGroup::kWatt),
                            alarmStatus_.GroupMuted(settings::AlarmGroup::kFanSpeed),
                            alarmStatus_.GroupMuted(settings::AlarmGroup::kTemperature)};
}

}  // namespace mainwindow
