#pragma once

#include <array>

#include "device/reading_set.h"

namespace device {

// A reading by the name it carries in every output (JSON keys, hand-over lines).
struct ReadingField {
  const char* name;
  float ReadingSet::*member;
};

// The readings of each reply group, in reply order.
inline constexpr std::array<ReadingField, 8> kVoltageFields{{
    {"Vol5V", &ReadingSet::Vol5V},
    {"Vol33V", &ReadingSet::Vol33V},
    {"Vol5Vsb", &ReadingSet::Vol5Vsb},
    {"Vol12V4", &ReadingSet::Vol12V4},
    {"Vol12V1", &ReadingSet::Vol12V1},
    {"Vol12V2", &ReadingSet::Vol12V2},
    {"Vol12V3", &ReadingSet::Vol12V3},
    {"VolNeg12V", &ReadingSet::VolNeg12V},
}};
inline constexpr std::array<ReadingField, 6> kCurrentFields{{
    {"Cur5V", &ReadingSet::Cur5V},
    {"Cur33V", &ReadingSet::Cur33V},
    {"Cur12V1", &ReadingSet::Cur12V1},
    {"Cur12V2", &ReadingSet::Cur12V2},
    {"Cur12V3", &ReadingSet::Cur12V3},
    {"Cur12V4", &ReadingSet::Cur12V4},
}};
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
