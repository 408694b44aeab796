#pragma once

#include <chrono>
#include <cstddef>

#include "device/reading_set.h"
#include "history/history_clock.h"
#include "history/history_columns.h"

namespace history_testing {

// 2026-12-01T00:00:00Z: a minute's start, where the virtual clocks begin.
inline const history::HistoryTime kStart =
    history::HistoryTime(std::chrono::milliseconds(1796083200000));

// A poll whose reading in column i is i * 1000 + `base`, so every column differs from every
// other and a swap of two shows.
inline device::ReadingSet Readings(float base) {
  device::ReadingSet r;
  float* const fields[] = {&r.ReferenceVoltage, &r.Vol5V,     &r.Vol33V,   &r.Vol5Vsb,   &r.Vol12V4,
                           &r.Vol12V1,          &r.Vol12V2,   &r.Vol12V3,  &r.VolNeg12V, &r.Cur5V,
                           &r.Cur33V,           &r.Cur12V1,   &r.Cur12V2,  &r.Cur12V3,   &r.Cur12V4,
                           &r.TempT1,           &r.TempT2,    &r.TempT3,   &r.TempT4,    &r.TempPSU,
                           &r.FanPSU,           &r.FanSystem, &r.WattTotal};
  for (std::size_t i = 0; i < std::size(fields); ++i)
    *fields[i] = static_cast<float>(i) * 1000.0f + base;
  r.PowerRating = static_cast<std::int32_t>(23 * 1000 + base);
  return r;
}

}  // namespace history_testing
