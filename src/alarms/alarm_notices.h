#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "alarms/alarm_state.h"
#include "device/reading_set.h"
#include "settings/alarm_settings.h"

namespace alarms {

// One desktop notification: a title and the sentence under it.
struct AlarmNotice {
  AlarmRow row = AlarmRow::Watt;
  std::string summary;  // "Quelta"
  std::string body;     // "12V2 at 12.71 V is beyond its 5 % band"

  // As one line: "Quelta: 12V2 at 12.71 V is beyond its 5 % band".
  std::string Text() const { return summary + ": " + body; }
};

// The sentence for a row in alarm, from the reading and the threshold that put it there.
// Voltages name their band as a share of the nominal; the others their threshold.
std::string AlarmNoticeBody(AlarmRow row, const device::ReadingSet& readings,
                            const settings::AlarmSettings& settings);

// Decides which alarm rows deserve a notification after an evaluation: those that start
// (off at the evaluation before, on now), not those that stay on, whatever the blink does.
// A row is told at most once per kQuietTime: a row that comes and goes within a minute is
// told the first time only. Switched off, nothing is told, and the rows that start meanwhile
// are not told when it is switched on again while they last. UI thread only.
class AlarmNotices {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::seconds kQuietTime{60};

  explicit AlarmNotices(Clock clock) : clock_(std::move(clock)) {}

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }

  // After each evaluation: the notices to send, in row order.
  std::vector<AlarmNotice> Evaluated(const AlarmState& now, const device::ReadingSet& readings,
                                     const settings::AlarmSettings& settings);

 private:
  Clock clock_;
  bool enabled_ = true;
  AlarmState previous_;
  std::array<std::chrono::steady_clock::time_point, kAlarmRowCount> lastTold_{};
  std::array<bool, kAlarmRowCount> told_{};
};

}  // namespace alarms
