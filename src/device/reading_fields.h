#pragma once

#include <array>

#include "device/rail_table.h"
#include "device/reading_set.h"

namespace device {

// A reading by the name it carries in every output (JSON keys, hand-over lines).
struct ReadingField {
  const char* name = nullptr;
  float ReadingSet::*member = nullptr;
};

// The readings of one kind as named fields, in catalogue order: the voltages in reply order,
// the currents by calibration channel, the temperatures T1..T4 then PSU, the fans PSU first.
template <ReadingKind kind>
constexpr auto FieldsOfKind() {
  constexpr auto readings = ReadingsOfKind<kind>();
  std::array<ReadingField, readings.size()> out{};
  for (std::size_t i = 0; i < readings.size(); ++i)
    out[i] = {readings[i]->name.data(), readings[i]->field};
  return out;
}

inline constexpr auto kVoltageFields = FieldsOfKind<ReadingKind::Voltage>();
inline constexpr auto kCurrentFields = FieldsOfKind<ReadingKind::Current>();
inline constexpr auto kTemperatureFields = FieldsOfKind<ReadingKind::Temperature>();
inline constexpr auto kFanFields = FieldsOfKind<ReadingKind::Fan>();
static_assert(kVoltageFields.size() == kRailCount && kCurrentFields.size() == kCurrentRailCount);

}  // namespace device
