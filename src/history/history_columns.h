#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "device/reading_set.h"

namespace history {

// One reading of a poll as the record keeps it: a REAL column of the same name in the poll
// table, and three ("<name>_min", "<name>_mean", "<name>_max") in the minute table.
struct HistoryColumn {
  std::string_view name;
  double (*read)(const device::ReadingSet&);
};

inline constexpr std::size_t kHistoryColumnCount = 24;

// Every reading of a ReadingSet, in its order; the names are its field names, so a CSV
// header, a JSON key and a chart's series all say "Vol12V2". The power rating is kept too:
// a record that outlives a change of PSU says which one it was.
inline constexpr std::array<HistoryColumn, kHistoryColumnCount> kHistoryColumns{{
    {"ReferenceVoltage", [](const device::ReadingSet& r) { return double{r.ReferenceVoltage}; }},
    {"Vol5V", [](const device::ReadingSet& r) { return double{r.Vol5V}; }},
    {"Vol33V", [](const device::ReadingSet& r) { return double{r.Vol33V}; }},
    {"Vol5Vsb", [](const device::ReadingSet& r) { return double{r.Vol5Vsb}; }},
    {"Vol12V4", [](const device::ReadingSet& r) { return double{r.Vol12V4}; }},
    {"Vol12V1", [](const device::ReadingSet& r) { return double{r.Vol12V1}; }},
    {"Vol12V2", [](const device::ReadingSet& r) { return double{r.Vol12V2}; }},
    {"Vol12V3", [](const device::ReadingSet& r) { return double{r.Vol12V3}; }},
    {"VolNeg12V", [](const device::ReadingSet& r) { return double{r.VolNeg12V}; }},
    {"Cur5V", [](const device::ReadingSet& r) { return double{r.Cur5V}; }},
    {"Cur33V", [](const device::ReadingSet& r) { return double{r.Cur33V}; }},
    {"Cur12V1", [](const device::ReadingSet& r) { return double{r.Cur12V1}; }},
    {"Cur12V2", [](const device::ReadingSet& r) { return double{r.Cur12V2}; }},
    {"Cur12V3", [](const device::ReadingSet& r) { return double{r.Cur12V3}; }},
    {"Cur12V4", [](const device::ReadingSet& r) { return double{r.Cur12V4}; }},
    {"TempT1", [](const device::ReadingSet& r) { return double{r.TempT1}; }},
    {"TempT2", [](const device::ReadingSet& r) { return double{r.TempT2}; }},
    {"TempT3", [](const device::ReadingSet& r) { return double{r.TempT3}; }},
    {"TempT4", [](const device::ReadingSet& r) { return double{r.TempT4}; }},
    {"TempPSU", [](const device::ReadingSet& r) { return double{r.TempPSU}; }},
    {"FanPSU", [](const device::ReadingSet& r) { return double{r.FanPSU}; }},
    {"FanSystem", [](const device::ReadingSet& r) { return double{r.FanSystem}; }},
    {"WattTotal", [](const device::ReadingSet& r) { return double{r.WattTotal}; }},
    {"PowerRating", [](const device::ReadingSet& r) { return static_cast<double>(r.PowerRating); }},
}};

// The position of a column by name; kHistoryColumnCount when there is none.
constexpr std::size_t HistoryColumnIndex(std::string_view name) {
  for (std::size_t i = 0; i < kHistoryColumnCount; ++i)
    if (kHistoryColumns[i].name == name) return i;
  return kHistoryColumnCount;
}

}  // namespace history
