#pragma once

#include <string>

#include "alarms/alarm_state.h"
#include "device/reading_set.h"

namespace metrics {

// One poll as the metrics show it.
struct MetricsPoll {
  // Every group of this poll was read. Without it only the rating (when known) and the
  // failure itself are shown: a reading that was not read this time is not shown as if it was.
  bool success = false;
  device::ReadingSet readings;
  alarms::AlarmState alarms;  // judged from `readings`; shown only with them
};

// The OpenMetrics text of one poll: every rail's voltage and (where it has one) current, the
// total power, both fans, the five temperatures, one 0/1 gauge per alarm row, the rating and
// whether the poll succeeded, each family with its HELP and TYPE lines, ending in "# EOF".
// Numbers are written as the shortest text that reads back to the same float.
std::string OpenMetricsText(const MetricsPoll& poll);

// The media type the text is served with.
inline constexpr const char* kOpenMetricsContentType =
    "application/openmetrics-text; version=1.0.0; charset=utf-8";

}  // namespace metrics
