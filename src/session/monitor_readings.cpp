#include "session/monitor_readings.h"

#include <array>

#include "device/reading_fields.h"

namespace session {
namespace {

// A new value becomes the peak when there is none yet or it is higher.
void Raise(float& peak, float value) {
  if (peak == 0.0f || peak < value) peak = value;
}

}  // namespace

VoltageWindow WindowOf(VoltageRail rail) {
  return RailOf(rail).window;
}

VoltageWindow WindowOf(CurrentRail rail) {
  return RailOf(rail).window;
}

namespace {

// Copies one reply group's readings, leaving every other reading as it was.
template <std::size_t N>
void CopyFields(const std::array<device::ReadingField, N>& fields, const device::ReadingSet& from,
                device::ReadingSet& to) {
  for (const device::ReadingField& field : fields) to.*field.member = from.*field.member;
}

}  // namespace

void MonitorReadings::CopyVoltages(const device::ReadingSet& from) {
  CopyFields(device::kVoltageFields, from, values_);
}

void MonitorReadings::CopyCurrents(const device::ReadingSet& from) {
  CopyFields(device::kCurrentFields, from, values_);
  for (int i = 0; i < kCurrentRailCount; ++i) {
    Raise(currentPeaks_[static_cast<std::size_t>(i)], Current(static_cast<CurrentRail>(i)));
  }
}

void MonitorReadings::CopyWatt(float wattTotal) {
  values_.WattTotal = wattTotal;
  Raise(wattPeak_, wattTotal);
}

void MonitorReadings::CopyFans(const device::ReadingSet& from) {
  CopyFields(device::kFanFields, from, values_);
}

void MonitorReadings::CopyTemps(const device::ReadingSet& from) {
  CopyFields(device::kTemperatureFields, from, values_);
}

ShownValue MonitorReadings::Voltage(VoltageRail rail) const {
  const float volts = values_.*RailOf(rail).volts;
  // The -12 V rail is the one whose readings are never positive.
  if (rail == VoltageRail::Neg12V) return {volts * -1.0f, true};
  return {volts, false};
}

float MonitorReadings::Current(CurrentRail rail) const {
  return values_.*RailOf(rail).amps;
}

float MonitorReadings::CurrentPeak(CurrentRail rail) const {
  return currentPeaks_[static_cast<std::size_t>(rail)];
}

void MonitorReadings::ClearPeaks() {
  wattPeak_ = 0.0f;
  currentPeaks_.fill(0.0f);
}

}  // namespace session
