#include "mainwindow/gauge_driver.h"

#include <chrono>

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
  gauge_.GaugeTick({values.WattTotal, values.TempPSU, values.FanPSU}, session_.Alarms(),
                   GroupMuted());
}

device::GaugeMuted GaugeDriver::GroupMuted() const {
  return device::GaugeMuted{alarmStatus_.GroupMuted(settings::kAlarmWatt),
                            alarmStatus_.GroupMuted(settings::kAlarmFanSpeed),
                            alarmStatus_.GroupMuted(settings::kAlarmTemperature)};
}

}  // namespace mainwindow
