#pragma once

#include <cstdint>
#include <filesystem>

#include "historyview/history_window.h"
#include "platform/registry/registry.h"

namespace history {
class HistoryQuery;
}

namespace historyview {

// How many points the window asks for across a range: more than any screen's width, so each
// pixel column still gets its own min/mean/max.
inline constexpr std::int64_t kBucketsPerRange = 2000;

// The record of a stretch of time (both ends included) as the window draws it: the readings it
// draws of the polls and minute rows of `file`, folded into kBucketsPerRange buckets (least,
// poll-weighted mean, greatest), and the events from a month before it on, so an alarm that
// began earlier still shows. `query` (on the same file) vouches for the file and gives the
// events.
HistoryRecord ReadHistory(history::HistoryQuery& query, const std::filesystem::path& file,
                          std::int64_t fromMs, std::int64_t toMs);

// The window's hooks on the real record: the database file (read only, a fresh reader per
// reading), the wall clock, and the recording switch in the settings store. `store` must
// outlive the window.
HistoryWindowHooks FileHistoryHooks(std::filesystem::path file, platform::RegistryStore& store);

}  // namespace historyview
