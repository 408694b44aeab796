#include "mainwindow/monitor_readings.h"

#include <array>

#include "device/reading_fields.h"

namespace mainwindow {
namespace {

constexpr VoltageWindow kWindow5V{4.75f, 5.25f};
constexpr VoltageWindow kWindow33V{3.135f, 3.465f};
constexpr VoltageWindow kWindow12V{11.4f, 12.6f};

// A new value becomes the peak when there is none yet or it is higher.
void Raise(float& peak, float value) {
  if (peak == 0.0f || peak < value) peak = value;
}

float CurrentOf(const device::ReadingSet& r, CurrentRail rail) {
  switch (rail) {
    case CurrentRail::C5V:
      return r.Cur5V;
    case CurrentRail::C33V:
      return r.Cur33V;
    case CurrentRail::C12V1:
      return r.Cur12V1;
    case CurrentRail::C12V2:
      return r.Cur12V2;
    case CurrentRail::C12V3:
      return r.Cur12V3;
    case CurrentRail::C12V4:
      return r.Cur12V4;
  }
  return 0.0f;
}

}  // namespace

VoltageWindow WindowOf(VoltageRail rail) {
  switch (rail) {
    case VoltageRail::V5:
    case VoltageRail::V5sb:
      return kWindow5V;
    case VoltageRail::V33:
      return kWindow33V;
    default:
      return kWindow12V;
  }
}

VoltageWindow WindowOf(CurrentRail rail) {
  switch (rail) {
    case CurrentRail::C5V:
      return kWindow5V;
    case CurrentRail::C33V:
      return kWindow33V;
    default:
      return kWindow12V;
  }
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
    const auto rail = static_cast<CurrentRail>(i);
    Raise(currentPeaks_[static_cast<std::size_t>(i)], CurrentOf(values_, rail));
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
  switch (rail) {
    case VoltageRail::V5:
      return {values_.Vol5V, false};
    case VoltageRail::V33:
      return {values_.Vol33V, false};
    case VoltageRail::V5sb:
      return {values_.Vol5Vsb, false};
    case VoltageRail::V12V1:
      return {values_.Vol12V1, false};
    case VoltageRail::V12V2:
      return {values_.Vol12V2, false};
    case VoltageRail::V12V3:
      return {values_.Vol12V3, false};
    case VoltageRail::V12V4:
      return {values_.Vol12V4, false};
    case VoltageRail::Neg12V:
      return {values_.VolNeg12V * -1.0f, true};
  }
  return {};
}

float MonitorReadings::Current(CurrentRail rail) const {
  return CurrentOf(values_, rail);
}

float MonitorReadings::CurrentPeak(CurrentRail rail) const {
  return currentPeaks_[static_cast<std::size_t>(rail)];
}

void MonitorReadings::ClearPeaks() {
  wattPeak_ = 0.0f;
  currentPeaks_.fill(0.0f);
}

}  // namespace mainwindow
