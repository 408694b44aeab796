#pragma once

#include <cstddef>
#include <cstdint>

namespace settings {

// A fan's mode, stored as its number ("Mode"="602"). A stored text may hold any number, so a
// value outside the four is kept as read and simply matches none of them.
enum class FanMode : std::int32_t {
  kPerformance = 601,
  kNormal = 602,
  kSilent = 603,
  kManual = 604,
};

// An alarm group: one registry key each, and the tabs of the alarm page in this order.
enum class AlarmGroup : std::int32_t {
  kWatt = 701,
  kVoltage = 702,
  kCurrent = 703,
  kFanSpeed = 704,
  kTemperature = 705,
};

inline constexpr AlarmGroup kAlarmGroups[] = {AlarmGroup::kWatt, AlarmGroup::kVoltage,
                                              AlarmGroup::kCurrent, AlarmGroup::kFanSpeed,
                                              AlarmGroup::kTemperature};

// The place of a group in kAlarmGroups (Watt 0 .. Temperature 4).
constexpr std::size_t AlarmGroupIndex(AlarmGroup group) {
  return static_cast<std::size_t>(static_cast<std::int32_t>(group) -
                                  static_cast<std::int32_t>(AlarmGroup::kWatt));
}

}  // namespace settings
