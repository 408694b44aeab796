#pragma once

#include <array>
#include <cstdint>

#include "device/rail_table.h"
#include "device/reading_set.h"

namespace session {

// The eight voltage rails and six current rails the monitor page can show, each standing for
// the rail table's row of the same position.
enum class VoltageRail { V12V1, V12V2, V12V3, V12V4, V5, V33, V5sb, Neg12V };
enum class CurrentRail { C12V1, C12V2, C12V3, C12V4, C5V, C33V };
inline constexpr int kCurrentRailCount = static_cast<int>(device::kCurrentRailCount);

constexpr const device::Rail& RailOf(VoltageRail rail) {
  return device::kRails[static_cast<std::size_t>(rail)];
}
constexpr const device::Rail& RailOf(CurrentRail rail) {
  return device::kRails[static_cast<std::size_t>(rail)];
}
static_assert(RailOf(VoltageRail::V5).key == "5V" && RailOf(VoltageRail::Neg12V).key == "Neg12V");
static_assert(RailOf(CurrentRail::C33V).amps == &device::ReadingSet::Cur33V);

// Lower and upper bound of a rail's normal output, used as the display's bar range.
using VoltageWindow = device::RailWindow;
VoltageWindow WindowOf(VoltageRail rail);
// A current rail's bar range is the window of the voltage rail it carries.
VoltageWindow WindowOf(CurrentRail rail);

// A value as a display shows it: a magnitude and a sign.
struct ShownValue {
  float magnitude = 0.0f;
  bool negative = false;
};

// The main window's copy of the readings with the peaks it keeps. 0 means "none yet".
class MonitorReadings {
 public:
  const device::ReadingSet& Values() const { return values_; }

  // Each copies its group from the worker's readings.
  void CopyVoltages(const device::ReadingSet& from);
  // Also raises every current peak.
  void CopyCurrents(const device::ReadingSet& from);
  // Stores the total power and raises the power peak.
  void CopyWatt(float wattTotal);
  void CopyFans(const device::ReadingSet& from);
  void CopyTemps(const device::ReadingSet& from);
  void SetPowerRating(std::int32_t rating) { values_.PowerRating = rating; }

  // The -12 V rail is shown as its magnitude with the negative sign.
  ShownValue Voltage(VoltageRail rail) const;
  float Current(CurrentRail rail) const;
  float CurrentPeak(CurrentRail rail) const;
  float WattPeak() const { return wattPeak_; }

  // "ClearPeak": every peak back to none.
  void ClearPeaks();

 private:
  device::ReadingSet values_;
  float wattPeak_ = 0.0f;
  std::array<float, kCurrentRailCount> currentPeaks_{};
};

}  // namespace session
