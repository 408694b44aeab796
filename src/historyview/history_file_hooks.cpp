#include "historyview/history_file_hooks.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <string>
#include <vector>

#include "history/history_columns.h"
#include "history/history_database.h"
#include "history/history_query.h"
#include "history/history_schema.h"
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

// Every minute or summary row of the range into `buckets`, each with its min, mean and max.
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

// The SQL of the columns drawn of `table` over ?1 <= time <= ?2; `suffixes` follows each
// column's name, with "@" for the name again ("_min, @_mean, @_max").
std::string RangeSql(std::string sql, std::string_view suffixes, std::string_view table) {
  for (std::string_view name : kColumnNames) {
    sql += ", ";
    for (const char c : std::string(name) + std::string(suffixes)) {
      if (c == '@')
        sql += name;
      else
        sql += c;
    }
  }
  return sql + " FROM " + std::string(table) + " WHERE time >= ?1 AND time <= ?2";
}

// The whole summary stretches of a range that the summary holds, from <= time < to; empty
// (both at the range's start) when the range is read without it.
struct SummaryStretch {
  std::int64_t from;
  std::int64_t to;
};

// A stretch stands for a range's point when it is no wider than one: a week and a month. The
// summary holds every stretch up to its newest one; a file without one (an older Quelta's
// that was never recorded into since) is read whole from its polls and minutes.
SummaryStretch SummedStretch(history::HistoryDatabase& db, std::int64_t fromMs, std::int64_t toMs,
                             std::int64_t width) {
  constexpr std::int64_t w = history::kSummaryWidthMs;
  const SummaryStretch none{fromMs, fromMs};
  if (width < w || fromMs < 0) return none;
  const std::int64_t newest = db.QueryInteger("SELECT coalesce(max(time), -1) FROM summary", -1);
  if (newest < 0) return none;
  const std::int64_t first = (fromMs + w - 1) / w * w;
  // Stretches that end by the range's end (which is in the range) and by the summary's end.
  const std::int64_t last = std::min((toMs + 1) / w * w, newest + w);
  if (last <= first) return none;
  return {first, last};
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
  // One read transaction: every statement below sees the same commit, so a fold or a summing
  // up committed meanwhile neither loses rows nor counts them twice.
  db.Execute("BEGIN");
  const std::int64_t width = std::max<std::int64_t>(1, (toMs - fromMs) / kBucketsPerRange);
  BucketFolder buckets(fromMs, toMs, width);
  const SummaryStretch summed = SummedStretch(db, fromMs, toMs, width);
  // Only the columns the window draws, read in time order and folded as they come: no
  // grouping in SQL, nothing sorted, nothing read twice. What the summary holds is read from
  // it; the polls and minute rows only before and after.
  const std::string pollSql = RangeSql("SELECT time", "", "poll");
  const std::string minuteSql = RangeSql("SELECT time, polls", "_min, @_mean, @_max", "minute");
  for (const auto& [from, to] : {std::pair{fromMs, summed.from - 1}, {summed.to, toMs}}) {
    if (to < from) continue;
    history::HistoryStatement minutes = PrepareRange(db, minuteSql, file, from, to, record.error);
    if (!minutes) return record;
    FoldMinutes(minutes, buckets);
    history::HistoryStatement polls = PrepareRange(db, pollSql, file, from, to, record.error);
    if (!polls) return record;
    FoldPolls(polls, buckets);
  }
  if (summed.to > summed.from) {
    history::HistoryStatement stretches = db.Prepare(history::SummaryRowsSql(
        std::vector<std::string_view>(kColumnNames.begin(), kColumnNames.end())));
    if (!stretches) {
      record.error = "cannot read the history file " + file.string() + ": " + db.Error();
      return record;
    }
    stretches.Bind(1, summed.from);
    stretches.Bind(2, summed.to);
    FoldMinutes(stretches, buckets);
  }
  db.Execute("COMMIT");
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
