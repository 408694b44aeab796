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

// The readings of each reply group, in reply order; the rails' come from the rail table.
inline constexpr std::array<ReadingField, kRailCount> kVoltageFields = [] {
  std::array<ReadingField, kRailCount> out{};
  for (std::size_t i = 0; i < kRailCount; ++i) {
    const Rail& rail = *RailsByVoltageSlot()[i];
    out[i] = {rail.voltageField.data(), rail.volts};
  }
  return out;
}();
inline constexpr std::array<ReadingField, kCurrentRailCount> kCurrentFields = [] {
  std::array<ReadingField, kCurrentRailCount> out{};
  for (std::size_t i = 0; i < kCurrentRailCount; ++i) {
    const Rail& rail = *RailsByCurrentChannel()[i];
    out[i] = {rail.currentField.data(), rail.amps};
  }
  return out;
}();
inline constexpr std::array<ReadingField, 5> kTemperatureFields{{
    {"TempT1", &ReadingSet::TempT1},
    {"TempT2", &ReadingSet::TempT2},
    {"TempT3", &ReadingSet::TempT3},
    {"TempT4", &ReadingSet::TempT4},
    {"TempPSU", &ReadingSet::TempPSU},
}};
inline constexpr std::array<ReadingField, 2> kFanFields{{
    {"FanPSU", &ReadingSet::FanPSU},
    {"FanSystem", &ReadingSet::FanSystem},
}};

}  // namespace device
