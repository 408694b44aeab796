#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>

#include "device/reading_catalogue.h"
#include "device/reading_set.h"

namespace history {

// One reading of a poll as the record keeps it: a REAL column of the same name in the poll
// table, and three ("<name>_min", "<name>_mean", "<name>_max") in the minute table.
struct HistoryColumn {
  std::string_view name;
  double (*read)(const device::ReadingSet&);
};

inline constexpr std::size_t kHistoryColumnCount = device::kReadingCount + 1;

namespace column_readers {
// A column reads its reading through the catalogue's row at `index`.
template <std::size_t index>
double Reading(const device::ReadingSet& r) {
  return double{r.*device::kReadings[index].field};
}
inline double PowerRating(const device::ReadingSet& r) {
  return static_cast<double>(r.PowerRating);
}
template <std::size_t... index>
constexpr std::array<HistoryColumn, kHistoryColumnCount> Columns(std::index_sequence<index...>) {
  return {{{device::kReadings[index].name, &Reading<index>}..., {"PowerRating", &PowerRating}}};
}
}  // namespace column_readers

// Every reading of a ReadingSet, in its order (the catalogue's); the names are its field
// names, so a CSV header, a JSON key and a chart's series all say "Vol12V2". The power rating
// is kept too: a record that outlives a change of PSU says which one it was.
inline constexpr std::array<HistoryColumn, kHistoryColumnCount> kHistoryColumns =
    column_readers::Columns(std::make_index_sequence<device::kReadingCount>());

// The position of a column by name; kHistoryColumnCount when there is none.
constexpr std::size_t HistoryColumnIndex(std::string_view name) {
  for (std::size_t i = 0; i < kHistoryColumnCount; ++i)
    if (kHistoryColumns[i].name == name) return i;
  return kHistoryColumnCount;
}

}  // namespace history
