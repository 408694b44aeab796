#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/alarm_settings.h"

namespace alarms {

// Number of threshold displays; their order is the order of CommittedThresholds.
inline constexpr std::size_t kThresholdCount = 17;
// Number of per-threshold switches (the power threshold has none).
inline constexpr std::size_t kSwitchCount = 16;
inline constexpr std::size_t kWattDisplay = 0;

// One threshold of the alarm page: its display and, for all but power, its switch. Switch i
// belongs to display i + 1.
struct ThresholdItem {
  std::string display;     // "AVol12V"
  std::string key;         // its display record: "Voltage\12V", "12V1" (see `current`)
  std::string switchName;  // "A12VLight"; empty for power
  std::string switchKey;   // its switch record: "Voltage\12VLight"
  bool current = false;    // both records sit below the rating's current group
  bool notAt450 = false;   // a 450 W unit has no switch for it
  bool centred = false;    // a voltage: shown as its distance from the nominal
  settings::AlarmGroup group = settings::AlarmGroup::kWatt;
  settings::AlarmThreshold settings::AlarmSettings::*threshold = nullptr;  // null for power
};

// The items in display order: power, then each group's thresholds in the order the group is
// saved (voltages and currents 12 V first, fans PSU first, temperatures PSU first). Built once
// from the reading catalogue.
const std::array<ThresholdItem, kThresholdCount>& ThresholdItems();

}  // namespace alarms
