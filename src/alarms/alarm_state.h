#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/reading_catalogue.h"
#include "settings/alarm_settings.h"

namespace alarms {

// The watched readings and their order come from the reading catalogue.
using device::AlarmRow;
using device::kAlarmRowCount;

// Each row's name in quelta-ctl's output, in row order.
inline constexpr std::array<std::string_view, kAlarmRowCount> kAlarmRowNames = [] {
  std::array<std::string_view, kAlarmRowCount> out{};
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = device::kAlarmRows[i]->rowName;
  return out;
}();

// The rows of one kind of reading, in row order: the temperatures PSU first.
template <device::ReadingKind kind>
constexpr auto RowsOfKind() {
  constexpr std::size_t count = device::ReadingsOfKind<kind>().size();
  std::array<AlarmRow, count> out{};
  std::size_t at = 0;
  for (const device::Reading* r : device::kAlarmRows)
    if (r->kind == kind) out[at++] = r->row;
  return out;
}
inline constexpr auto kTemperatureRows = RowsOfKind<device::ReadingKind::Temperature>();

// One alarm flag per row; all false until the first evaluation.
struct AlarmState {
  std::array<bool, kAlarmRowCount> flags{};

  bool operator[](AlarmRow row) const { return flags[static_cast<std::size_t>(row)]; }
  bool& operator[](AlarmRow row) { return flags[static_cast<std::size_t>(row)]; }
  bool Any() const {
    return std::any_of(flags.begin(), flags.end(), [](bool f) { return f; });
  }
};

// What the rest of the window reads of the alarms: the twenty alarm flags and the five group
// muted flags. The flags are held once, by the model the evaluation writes (`flags`, which must
// outlive this); this reads and sets them there. The power group's flag is the power alarm's
// muted flag of the settings (stored as "WattEnable"); the other four are not stored and start
// false. UI thread only.
class AlarmStatus {
 public:
  using RowFlags = std::array<bool, kAlarmRowCount>;
  AlarmStatus(settings::AlarmSettings& settings, RowFlags& flags)
      : settings_(settings), flags_(flags) {}

  // True while the group is switched off as a whole; false for a value outside the five.
  bool GroupMuted(settings::AlarmGroup group) const {
    if (group == settings::AlarmGroup::kWatt) return settings_.WattMuted;
    const std::size_t i = Index(group);
    return i < muted_.size() && muted_[i];
  }
  void SetGroupMuted(settings::AlarmGroup group, bool muted) {
    if (group == settings::AlarmGroup::kWatt) {
      settings_.WattMuted = muted;
      return;
    }
    const std::size_t i = Index(group);
    if (i < muted_.size()) muted_[i] = muted;
  }

  bool InAlarm(AlarmRow row) const { return flags_[static_cast<std::size_t>(row)]; }
  AlarmState Flags() const { return AlarmState{flags_}; }
  void SetInAlarm(AlarmRow row, bool inAlarm) { flags_[static_cast<std::size_t>(row)] = inAlarm; }

 private:
  // Voltage .. Temperature to 0 .. 3; anything else past the end.
  static std::size_t Index(settings::AlarmGroup group) {
    const std::size_t i = settings::AlarmGroupIndex(group) - 1;
    return i < 4 ? i : std::size_t{4};
  }

  settings::AlarmSettings& settings_;
  std::array<bool, 4> muted_{};
  RowFlags& flags_;
};

}  // namespace alarms
