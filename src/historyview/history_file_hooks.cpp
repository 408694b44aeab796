#include "historyview/history_file_hooks.h"

#include <algorithm>
#include <chrono>
#include <exception>

#include "history/history_columns.h"
#include "history/history_query.h"
#include "history/history_settings.h"

namespace historyview {
namespace {

using history::HistoryTime;

// The record's column of each reading the window draws, in Channel order.
constexpr std::array<std::string_view, kChannelCount> kColumnNames = {
    "WattTotal", "Vol12V1", "Vol12V2", "Vol12V3", "Vol12V4", "Vol5V",  "Vol33V",
    "TempPSU",   "TempT1",  "TempT2",  "TempT3",  "TempT4",  "FanPSU", "FanSystem"};

constexpr std::array<std::size_t, kChannelCount> ColumnIndices() {
  std::array<std::size_t, kChannelCount> indices{};
  for (std::size_t i = 0; i < kChannelCount; ++i) {
    indices[i] = history::HistoryColumnIndex(kColumnNames[i]);
  }
  return indices;
}
constexpr std::array<std::size_t, kChannelCount> kColumns = ColumnIndices();
static_assert(std::find(kColumns.begin(), kColumns.end(), history::kHistoryColumnCount) ==
                  kColumns.end(),
              "every channel has its column in the record");

HistoryTime At(std::int64_t ms) {
  return HistoryTime(std::chrono::milliseconds(ms));
}

std::int64_t Ms(HistoryTime time) {
  return time.time_since_epoch().count();
}

}  // namespace

HistoryRecord ReadHistory(history::HistoryQuery& query, std::int64_t fromMs, std::int64_t toMs) {
  HistoryRecord record;
  if (!query.Open()) {
    record.error = query.LastError();
    return record;
  }
  const std::int64_t width = std::max<std::int64_t>(1, (toMs - fromMs) / kBucketsPerRange);
  // Ranges of the reader leave their end out; the window's include it.
  const std::vector<history::HistoryRow> buckets =
      query.Buckets(At(fromMs), At(toMs + 1), std::chrono::milliseconds(width));
  record.rows.reserve(buckets.size());
  for (const history::HistoryRow& b : buckets) {
    HistoryRow row;
    row.timeMs = Ms(b.time);
    row.spanMs = width;
    row.count = static_cast<std::uint32_t>(std::max<std::int64_t>(1, b.polls));
    for (std::size_t c = 0; c < kChannelCount; ++c) {
      row.values[c] = Sample{static_cast<float>(b.values.min[kColumns[c]]),
                             static_cast<float>(b.values.mean[kColumns[c]]),
                             static_cast<float>(b.values.max[kColumns[c]])};
    }
    record.rows.push_back(row);
  }
  const std::int64_t eventsFrom = fromMs - LengthOf(RangeChoice::Month).count();
  for (const history::HistoryEvent& e : query.Events(At(eventsFrom), At(toMs + 1))) {
    switch (e.kind) {
      case history::HistoryEventKind::AlarmStart:
        record.events.push_back({Ms(e.time), HistoryEvent::Kind::AlarmStart, e.row});
        break;
      case history::HistoryEventKind::AlarmEnd:
        record.events.push_back({Ms(e.time), HistoryEvent::Kind::AlarmEnd, e.row});
        break;
      case history::HistoryEventKind::ConnectionLost:
        record.events.push_back({Ms(e.time), HistoryEvent::Kind::ConnectionLost, {}});
        break;
      case history::HistoryEventKind::ConnectionBack:
        break;  // the loss ends with the next poll
    }
  }
  return record;
}

HistoryWindowHooks FileHistoryHooks(std::filesystem::path file, platform::RegistryStore& store) {
  HistoryWindowHooks hooks;
  hooks.load = [file = std::move(file)](std::int64_t fromMs, std::int64_t toMs) {
    history::HistoryQuery query(file);
    return ReadHistory(query, fromMs, toMs);
  };
  hooks.now = [] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
  hooks.recording = [&store] {
    try {
      return history::LoadHistorySettings(store).enabled;
    } catch (const std::exception&) {
      return true;  // a value the settings cannot read leaves the default: on
    }
  };
  hooks.setRecording = [&store](bool on) {
    try {
      history::HistorySettings settings = history::LoadHistorySettings(store);
      settings.enabled = on;
      return history::SaveHistorySettings(store, settings);
    } catch (const std::exception&) {
      return false;
    }
  };
  return hooks;
}

}  // namespace historyview
