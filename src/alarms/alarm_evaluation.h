#pragma once

#include "alarms/alarm_state.h"
#include "device/rail_table.h"
#include "device/reading_set.h"
#include "settings/alarm_settings.h"
#include "settings/voltage_band.h"

namespace alarms {

// A voltage alarm band: a reading strictly between the edges is good, one on an edge is not.
using settings::VoltageBand;

// The temperature rule on its own: reading above the threshold and the alarm switched on.
bool TemperatureInAlarm(float reading, const settings::AlarmThreshold& threshold);

// Every alarm flag, worked out from the readings and the thresholds and switches alone: no
// hysteresis, no count, nothing stored back (a voltage threshold draws the same band from
// either edge). The power row counts only while the monitor page is shown and the power alarm
// is not muted. Rows are walked as the reading catalogue lists them.
AlarmState EvaluateAlarms(const device::ReadingSet& readings,
                          const settings::AlarmSettings& settings, bool monitorPageShown);

}  // namespace alarms
