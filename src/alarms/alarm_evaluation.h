#pragma once

#include "alarms/alarm_state.h"
#include "device/rail_table.h"
#include "device/reading_set.h"
#include "settings/alarm_settings.h"

namespace alarms {

// Nominal values the voltage bands are mirrored about, the rails' own.
inline constexpr double kNominal5V = device::RailOf(device::RailId::R5V).nominal;
inline constexpr double kNominal33V = device::RailOf(device::RailId::R33V).nominal;
inline constexpr double kNominal12V = device::RailOf(device::RailId::R12V1).nominal;

// A voltage alarm band: a reading strictly between the edges is good, one on an edge is not.
struct VoltageBand {
  float low = 0.0f;
  float high = 0.0f;
};

// The band a voltage threshold describes about `nominal`: the threshold and its mirror image.
// A threshold below the nominal is replaced by its mirror, so it always holds the upper edge
// (and the next save of the voltage group writes that). Each step is rounded to a float.
VoltageBand TakeVoltageBand(float& threshold, double nominal);

// The temperature rule on its own: reading above the threshold and the alarm switched on.
bool TemperatureInAlarm(float reading, const settings::AlarmThreshold& threshold);

// Decides every alarm flag from the readings and the thresholds and switches alone (no
// hysteresis, no count). The power row counts only while the monitor page is shown and the
// power alarm is not muted. May store a voltage threshold back as its upper edge.
void EvaluateAlarms(const device::ReadingSet& readings, settings::AlarmSettings& settings,
                    bool monitorPageShown, AlarmState& state);

}  // namespace alarms
