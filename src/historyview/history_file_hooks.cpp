#include "historyview/history_file_hooks.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <string>
#include <vector>

#include "history/history_columns.h"
#include "history/history_database.h"
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

// SQLITE_ROW, without the SQLite header here.
constexpr int kStepRow = 100;

// Folds rows into equal buckets across a range as they arrive, in any order: least of the
// least, mean weighted by the polls behind each row, greatest of the greatest.
class BucketFolder {
 public:
  BucketFolder(std::int64_t fromMs, std::int64_t toMs, std::int64_t width)
      : fromMs_(fromMs),
        width_(width),
        buckets_(static_cast<std::size_t>((toMs - fromMs) / width + 1)) {}

  void Add(std::int64_t timeMs, std::int64_t polls, const std::array<Sample, kChannelCount>& v) {
    if (timeMs < fromMs_ || polls <= 0) return;
    const auto index = static_cast<std::size_t>((timeMs - fromMs_) / width_);
    if (index >= buckets_.size()) return;
    Bucket& b = buckets_[index];
    for (std::size_t c = 0; c < kChannelCount; ++c) {
      if (b.polls == 0) {
        b.min[c] = v[c].min;
        b.max[c] = v[c].max;
      } else {
        b.min[c] = std::min(b.min[c], v[c].min);
        b.max[c] = std::max(b.max[c], v[c].max);
      }
      b.sum[c] += static_cast<double>(v[c].mean) * static_cast<double>(polls);
    }
    b.polls += polls;
  }

  std::vector<HistoryRow> Rows() const {
    std::vector<HistoryRow> rows;
    for (std::size_t i = 0; i < buckets_.size(); ++i) {
      const Bucket& b = buckets_[i];
      if (b.polls == 0) continue;
      HistoryRow row;
      row.timeMs = fromMs_ + static_cast<std::int64_t>(i) * width_;
      row.spanMs = width_;
      row.count = static_cast<std::uint32_t>(b.polls);
      for (std::size_t c = 0; c < kChannelCount; ++c) {
        row.values[c] =
            Sample{b.min[c], static_cast<float>(b.sum[c] / static_cast<double>(b.polls)), b.max[c]};
      }
      rows.push_back(row);
    }
    return rows;
  }

 private:
  struct Bucket {
    std::int64_t polls = 0;
    std::array<float, kChannelCount> min{};
    std::array<float, kChannelCount> max{};
    std::array<double, kChannelCount> sum{};
  };
  std::int64_t fromMs_;
  std::int64_t width_;
  std::vector<Bucket> buckets_;
};

// The statement of `sql` over [fromMs, toMs]; empty, with `error` set, when it cannot be had.
history::HistoryStatement PrepareRange(history::HistoryDatabase& db, const std::string& sql,
                                       const std::filesystem::path& file, std::int64_t fromMs,
                                       std::int64_t toMs, std::string& error) {
  history::HistoryStatement statement = db.Prepare(sql);
  if (!statement) {
    error = "cannot read the history file " + file.string() + ": " + db.Error();
    return statement;
  }
  statement.Bind(1, fromMs);
  statement.Bind(2, toMs);
  return statement;
}

// Every minute row of the range into `buckets`, each with its min, mean and max.
void FoldMinutes(history::HistoryStatement& minutes, BucketFolder& buckets) {
  std::array<Sample, kChannelCount> values{};
  while (minutes.Step() == kStepRow) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
      const int at = 2 + static_cast<int>(c) * 3;
      values[c] =
          Sample{static_cast<float>(minutes.Real(at)), static_cast<float>(minutes.Real(at + 1)),
                 static_cast<float>(minutes.Real(at + 2))};
    }
    buckets.Add(minutes.Integer(0), minutes.Integer(1), values);
  }
}

// Every poll of the range into `buckets`, one reading standing for its min, mean and max.
void FoldPolls(history::HistoryStatement& polls, BucketFolder& buckets) {
  std::array<Sample, kChannelCount> values{};
  while (polls.Step() == kStepRow) {
    for (std::size_t c = 0; c < kChannelCount; ++c) {
      const auto v = static_cast<float>(polls.Real(1 + static_cast<int>(c)));
      values[c] = Sample{v, v, v};
    }
    buckets.Add(polls.Integer(0), 1, values);
  }
}

// The alarm and connection-loss events from a month before the range to its end.
std::vector<HistoryEvent> ReadEvents(history::HistoryQuery& query, std::int64_t fromMs,
                                     std::int64_t toMs) {
  std::vector<HistoryEvent> events;
  const std::int64_t eventsFrom = fromMs - LengthOf(RangeChoice::Month).count();
  for (const history::HistoryEvent& e : query.Events(At(eventsFrom), At(toMs + 1))) {
    switch (e.kind) {
      case history::HistoryEventKind::AlarmStart:
        events.push_back({Ms(e.time), HistoryEvent::Kind::AlarmStart, e.row});
        break;
      case history::HistoryEventKind::AlarmEnd:
        events.push_back({Ms(e.time), HistoryEvent::Kind::AlarmEnd, e.row});
        break;
      case history::HistoryEventKind::ConnectionLost:
        events.push_back({Ms(e.time), HistoryEvent::Kind::ConnectionLost, {}});
        break;
      case history::HistoryEventKind::ConnectionBack:
        break;  // the loss ends with the next poll
    }
  }
  return events;
}

}  // namespace

HistoryRecord ReadHistory(history::HistoryQuery& query, const std::filesystem::path& file,
                          std::int64_t fromMs, std::int64_t toMs) {
  HistoryRecord record;
  // The reader checks the file is a record of ours and says why not; the points themselves
  // come from a narrow read of our own.
  if (!query.Open()) {
    record.error = query.LastError();
    return record;
  }
  history::HistoryDatabase db;
  if (db.Open(file, history::HistoryDatabase::Mode::ReadOnly) != 0) {
    record.error = "cannot read the history file " + file.string() + ": " + db.Error();
    return record;
  }
  db.Execute("PRAGMA busy_timeout = 5000");
  const std::int64_t width = std::max<std::int64_t>(1, (toMs - fromMs) / kBucketsPerRange);
  BucketFolder buckets(fromMs, toMs, width);
  // Only the columns the window draws, read in time order and folded as they come: no
  // grouping in SQL, nothing sorted, nothing read twice.
  std::string pollSql = "SELECT time";
  std::string minuteSql = "SELECT time, polls";
  for (std::string_view name : kColumnNames) {
    const std::string n(name);
    pollSql += ", " + n;
    minuteSql += ", " + n + "_min, " + n + "_mean, " + n + "_max";
  }
  pollSql += " FROM poll WHERE time >= ?1 AND time <= ?2";
  minuteSql += " FROM minute WHERE time >= ?1 AND time <= ?2";
  {
    history::HistoryStatement minutes =
        PrepareRange(db, minuteSql, file, fromMs, toMs, record.error);
    if (!minutes) return record;
    FoldMinutes(minutes, buckets);
  }
  {
    history::HistoryStatement polls = PrepareRange(db, pollSql, file, fromMs, toMs, record.error);
    if (!polls) return record;
    FoldPolls(polls, buckets);
  }
  record.rows = buckets.Rows();
  record.events = ReadEvents(query, fromMs, toMs);
  return record;
}

HistoryWindowHooks FileHistoryHooks(std::filesystem::path file, platform::RegistryStore& store) {
  HistoryWindowHooks hooks;
  hooks.load = [file = std::move(file)](std::int64_t fromMs, std::int64_t toMs) {
    history::HistoryQuery query(file);
    return ReadHistory(query, file, fromMs, toMs);
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
