#pragma once

#include "device/gauge_panel.h"
#include "settings/alarm_settings.h"

namespace alarms {

// The needle panel's thresholds, taken from the alarm settings: the panel alarms on the same
// power, PSU temperature and PSU fan rules as the alarm page.
inline device::GaugeThresholds GaugeThresholdsOf(const settings::AlarmSettings& a) {
  return device::GaugeThresholds{
      a.Watt, {a.TempPSU.Value, a.TempPSU.Enable}, {a.PSUFan.Value, a.PSUFan.Enable}};
}

// The muted flags as the alarm switches leave them when nothing else has touched them: the
// power group as its stored switch says, a fan-speed or temperature group when none of its
// alarms is switched on.
inline device::GaugeMuted GroupMutedBySwitches(const settings::AlarmSettings& a) {
  const bool anyFan = a.PSUFan.Enable || a.SystemFan.Enable;
  const bool anyTemperature =
      a.TempPSU.Enable || a.TempT1.Enable || a.TempT2.Enable || a.TempT3.Enable || a.TempT4.Enable;
  return device::GaugeMuted{a.WattMuted, !anyFan, !anyTemperature};
}

}  // namespace alarms
