#pragma once

#include <array>
#include <cstddef>

#include "device/reading_catalogue.h"

namespace session {

// One flag per alarm row, in the reading catalogue's row order.
inline constexpr std::size_t kAlarmRows = device::kAlarmRowCount;
using AlarmFlags = std::array<bool, kAlarmRows>;

// What one poll brought: the groups that arrived fresh, whether the cycle completed (every
// group read while the device was ready: only then are the alarms judged), and which alarms
// started and ended with that judgement.
struct PollNews {
  bool voltages = false;
  bool currents = false;
  bool watt = false;
  bool fans = false;
  bool temperatures = false;
  bool complete = false;
  AlarmFlags started{};
  AlarmFlags ended{};
};

}  // namespace session
