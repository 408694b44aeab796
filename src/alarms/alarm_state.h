#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/alarm_settings.h"

namespace alarms {

// The watched readings, in the order they are evaluated and blinked.
enum class AlarmRow : std::size_t {
  Watt,
  PSUFan,
  SystemFan,
  Vol5V,
  Vol33V,
  Vol12V1,
  Vol12V2,
  Vol12V3,
  Vol12V4,
  Cur5V,
  Cur33V,
  Cur12V1,
  Cur12V2,
  Cur12V3,
  Cur12V4,
  TempPSU,
  TempT1,
  TempT2,
  TempT3,
  TempT4,
};
inline constexpr std::size_t kAlarmRowCount = 20;

// Each row's name in quelta-ctl's output, in row order.
inline constexpr std::array<std::string_view, kAlarmRowCount> kAlarmRowNames = {
    "Watt",    "PSUFan",  "SystemFan", "5V",     "33V",     "12V1",    "12V2",
    "12V3",    "12V4",    "Cur5V",     "Cur33V", "Cur12V1", "Cur12V2", "Cur12V3",
    "Cur12V4", "TempPSU", "T1",        "T2",     "T3",      "T4"};

// The five temperature rows, PSU first.
inline constexpr std::array<AlarmRow, 5> kTemperatureRows = {
    AlarmRow::TempPSU, AlarmRow::TempT1, AlarmRow::TempT2, AlarmRow::TempT3, AlarmRow::TempT4};

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
// muted flags. The power group's flag is the power alarm's muted flag of the settings (stored
// as "WattEnable"); the other four are not stored and start false. UI thread only.
class AlarmStatus {
 public:
  explicit AlarmStatus(settings::AlarmSettings& settings) : settings_(settings) {}

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

  bool InAlarm(AlarmRow row) const { return flags_[row]; }
  const AlarmState& Flags() const { return flags_; }
  AlarmState& Flags() { return flags_; }

 private:
  // Voltage .. Temperature to 0 .. 3; anything else past the end.
  static std::size_t Index(settings::AlarmGroup group) {
    const std::size_t i = settings::AlarmGroupIndex(group) - 1;
    return i < 4 ? i : std::size_t{4};
  }

  settings::AlarmSettings& settings_;
  std::array<bool, 4> muted_{};
  AlarmState flags_;
};

}  // namespace alarms
