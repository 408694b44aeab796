#include "alarms/alarm_evaluation.h"

#include "settings/alarm_thresholds.h"

namespace alarms {
namespace {

bool Outside(float reading, const VoltageBand& band, bool enable) {
  const bool inside = band.low < reading && reading < band.high;
  return !inside && enable;
}

bool Above(float reading, const settings::AlarmThreshold& threshold) {
  return reading > threshold.Value && threshold.Enable;
}

bool Below(float reading, const settings::AlarmThreshold& threshold) {
  return reading < threshold.Value && threshold.Enable;
}

bool InAlarm(const device::Reading& row, const device::ReadingSet& readings,
             const settings::AlarmSettings& s, bool monitorPageShown) {
  const float reading = readings.*row.field;
  if (row.rule == device::AlarmRule::PowerAbove) {
    return reading > s.Watt && monitorPageShown && !s.WattMuted;
  }
  // One threshold and one switch serve the four 12 V rails.
  const settings::AlarmThreshold& threshold = s.*settings::ThresholdField(row);
  switch (row.rule) {
    case device::AlarmRule::Above:
      return Above(reading, threshold);
    case device::AlarmRule::Below:
      return Below(reading, threshold);
    case device::AlarmRule::OutsideBand:
      return Outside(reading,
                     settings::BandAbout(threshold.Value, device::RailOf(row.rail).nominal),
                     threshold.Enable);
    default:
      return false;
  }
}

}  // namespace

bool TemperatureInAlarm(float reading, const settings::AlarmThreshold& threshold) {
  return Above(reading, threshold);
}

AlarmState EvaluateAlarms(const device::ReadingSet& readings,
                          const settings::AlarmSettings& settings, bool monitorPageShown) {
  AlarmState state;
  for (const device::Reading* row : device::kAlarmRows) {
    state[row->row] = InAlarm(*row, readings, settings, monitorPageShown);
  }
  return state;
}

}  // namespace alarms
