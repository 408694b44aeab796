#include "settings/voltage_band.h"

#include "device/rail_table.h"
#include "settings/alarm_thresholds.h"

namespace settings {

VoltageBand BandAbout(float threshold, double nominal) {
  VoltageBand band;
  if (static_cast<double>(threshold) >= nominal) {
    band.high = threshold;
    const float excess = static_cast<float>(static_cast<double>(threshold) - nominal);
    band.low = static_cast<float>(nominal - static_cast<double>(excess));
  } else {
    band.low = threshold;
    const float shortfall = static_cast<float>(nominal - static_cast<double>(threshold));
    band.high = static_cast<float>(nominal + static_cast<double>(shortfall));
  }
  return band;
}

void KeepVoltageUpperEdges(AlarmSettings& alarms) {
  // An upper edge is its own upper edge, so the 12 V threshold that four rails share may be
  // taken four times.
  for (const device::Reading* r : device::kAlarmRows) {
    if (r->rule != device::AlarmRule::OutsideBand) continue;
    AlarmThreshold& threshold = alarms.*ThresholdField(*r);
    threshold.Value = BandAbout(threshold.Value, device::RailOf(r->rail).nominal).high;
  }
}

}  // namespace settings
