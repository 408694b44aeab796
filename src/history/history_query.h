#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/history_clock.h"
#include "history/history_columns.h"
#include "history/history_event.h"

namespace history {

// Each reading's least, mean and greatest value over what a row covers; for one poll all
// three are the poll's reading. Indexed like kHistoryColumns.
struct HistoryValues {
  std::array<double, kHistoryColumnCount> min{};
  std::array<double, kHistoryColumnCount> mean{};
  std::array<double, kHistoryColumnCount> max{};
};

struct HistoryRow {
  HistoryTime time;            // the poll's time; for a folded row the start of its span
  std::int64_t processId = 0;  // the writer; 0 for a bucket that may mix writers
  std::int64_t polls = 1;      // how many polls the row stands for
  bool folded = false;         // a minute row of the record, or a bucket, rather than a poll
  HistoryValues values;
};

struct HistoryEvent {
  HistoryTime time;
  std::int64_t processId = 0;
  HistoryEventKind kind = HistoryEventKind::AlarmStart;
  std::string row;  // the alarm row; "" for the connection events
};

// Reads the record. Opens the file read-only, never creates or changes it, and never blocks
// a recorder (WAL readers see the last committed poll). Ranges are from <= time < to.
class HistoryQuery {
 public:
  explicit HistoryQuery(std::filesystem::path file);
  ~HistoryQuery();
  HistoryQuery(const HistoryQuery&) = delete;
  HistoryQuery& operator=(const HistoryQuery&) = delete;

  // False when the file is missing, unreadable or not a record of ours: LastError() says
  // which, naming the file. The reads below open it when needed and give nothing on failure.
  bool Open();

  // Polls and minute rows as stored, oldest first (a minute row sorts at its minute's start).
  std::vector<HistoryRow> Rows(HistoryTime from, HistoryTime to);
  // The same rows in the same order, each handed to `take` as it is read (the row is reused
  // for the next one): a month goes by without a month of rows in memory. False, with
  // LastError(), when the read failed; rows taken before that stay taken.
  bool ForEachRow(HistoryTime from, HistoryTime to,
                  const std::function<void(const HistoryRow&)>& take);
  // The same rows folded into buckets `width` wide counted from `from` (a chart's points):
  // least of the least, mean weighted by polls, greatest of the greatest. Empty buckets are
  // left out; processId is 0.
  std::vector<HistoryRow> Buckets(HistoryTime from, HistoryTime to,
                                  std::chrono::milliseconds width);
  // The whole range as one row (a chart's min/mean/max); nullopt when nothing lies in it.
  std::optional<HistoryRow> Summary(HistoryTime from, HistoryTime to);
  std::vector<HistoryEvent> Events(HistoryTime from, HistoryTime to);

  const std::string& LastError() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace history
