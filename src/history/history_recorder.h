#pragma once

// The record of every poll: one SQLite file, written by each process that polls the PSU (the
// window's worker, the headless service) and read by quelta-ctl history and the history window.
//
// File: $XDG_STATE_HOME/quelta/history.sqlite (default ~/.local/state/quelta/), see
// history_location.h. Journal in WAL mode, so readers never block the recorder; every writer
// waits up to its busy time-out for another's write, so two recorders both succeed.
// PRAGMA application_id = 0x51484953 ("QHIS") and user_version = 1 mark the file as ours:
// any other SQLite file, or one that is not a database, is set aside, never written into.
//
//   CREATE TABLE poll (          -- one row per completed poll, the newest day of the record
//     time INTEGER NOT NULL,     -- HistoryTime: ms since 1970-01-01T00:00:00Z
//     pid INTEGER NOT NULL,      -- the process that wrote it
//     ReferenceVoltage REAL, Vol5V REAL, ... PowerRating REAL,  -- kHistoryColumns, in order
//     PRIMARY KEY (time, pid)
//   ) WITHOUT ROWID;
//   CREATE TABLE minute (        -- polls older than 24 h, folded per minute and writer
//     time INTEGER NOT NULL,     -- start of the minute, ms
//     pid INTEGER NOT NULL,
//     polls INTEGER NOT NULL,    -- how many polls it folds (>= 1)
//     ReferenceVoltage_min REAL, ReferenceVoltage_mean REAL, ReferenceVoltage_max REAL, ...
//     PRIMARY KEY (time, pid)
//   ) WITHOUT ROWID;
//   CREATE TABLE event (         -- alarm starts and ends, connection lost and back
//     time INTEGER NOT NULL, pid INTEGER NOT NULL,
//     kind TEXT NOT NULL,        -- 'alarm_start' | 'alarm_end' | 'connection_lost' |
//     'connection_back' row TEXT NOT NULL          -- the alarm row ("Watt", "12V2", "T1"...); ''
//     for connections
//   );
//   CREATE INDEX event_time ON event(time);
//   CREATE TABLE summary (       -- every writer's polls and minute rows per 5 minutes, for
//     time INTEGER NOT NULL PRIMARY KEY,  -- charts of long ranges; start of the stretch, ms
//     polls INTEGER NOT NULL,    -- how many polls it sums up
//     ReferenceVoltage_min REAL, ReferenceVoltage_mean REAL, ReferenceVoltage_max REAL, ...
//   ) WITHOUT ROWID;
//
// Life of a row: a poll is one transaction. About once a minute a writer also (in a
// transaction of its own) folds the polls of every whole minute older than 24 h into minute
// rows (min, mean, max of each reading; a minute folded twice merges, weighted by polls),
// drops minute rows and events older than the retention (default 30 days), and, when the file
// nears its cap (100 MB with its WAL), drops the oldest rows first until it fits again. In the
// same transaction it sums up every stretch of 5 minutes that ended a minute ago or more into
// the summary (least of the least, mean weighted by polls, greatest of the greatest); a
// stretch cut by the retention or the cap is summed up again from what is left of it, and one
// that a late poll of this writer fell into is summed up again. A file without the summary
// (made by an older Quelta, which also keeps writing into a newer file) gets it a quarter day
// per maintenance from its oldest row on; its user_version stays 1, as the layout only grew.
//
// The API (all std, no UI): HistoryRecorder appends (this header), HistoryWriter appends from
// its own thread so callers never wait on the disk (history_writer.h), HistoryQuery reads
// (history_query.h), HistorySettings holds the switch and retention (history_settings.h),
// DefaultHistoryFile says where the file is (history_location.h), history_time.h reads and
// writes times as quelta-ctl takes them.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "device/reading_set.h"
#include "history/history_clock.h"
#include "history/history_event.h"

namespace history {

inline constexpr int kDefaultRetentionDays = 30;
inline constexpr int kMaxRetentionDays = 3650;
inline constexpr std::uint64_t kDefaultMaxBytes = 100ull * 1000 * 1000;
// Polls younger than this stay as they were taken; older ones are folded per minute.
inline constexpr std::chrono::hours kRawAge{24};
inline constexpr std::chrono::minutes kFoldWidth{1};

struct HistoryRecorderOptions {
  std::filesystem::path file;
  std::int64_t processId = 0;  // the pid written with every row; 0: this process's id
  int retentionDays = kDefaultRetentionDays;
  std::uint64_t maxBytes = kDefaultMaxBytes;  // the database and its WAL together
  std::chrono::milliseconds busyTimeout{5000};
};

// Appends polls and events to the record. One thread at a time (HistoryWriter owns one on its
// thread); several recorders, in one process or several, may share a file.
class HistoryRecorder {
 public:
  // Opens nothing yet: the first record (or Open) does.
  HistoryRecorder(HistoryRecorderOptions options, const HistoryClock& clock);
  ~HistoryRecorder();
  HistoryRecorder(const HistoryRecorder&) = delete;
  HistoryRecorder& operator=(const HistoryRecorder&) = delete;

  // Opens the file, creating its folders (0700) and a new database when there is none. A file
  // that is damaged or not ours is renamed aside first (a notice names both paths) and a new
  // one made. False when no database could be had (a read-only folder, a full disk):
  // LastError() says why; the next record tries again.
  bool Open();
  bool IsOpen() const;

  // Appends one completed poll in one transaction, stamped `time` (the clock's now when not
  // given), then folds and prunes when that is due. False when the poll was not stored (it is
  // then lost; the record stays whole): LastError() says why.
  bool RecordPoll(const device::ReadingSet& readings);
  bool RecordPoll(HistoryTime time, const device::ReadingSet& readings);
  // Appends one event; `row` names the alarm row, "" for the connection events.
  bool RecordEvent(HistoryEventKind kind, std::string_view row = {});
  bool RecordEvent(HistoryTime time, HistoryEventKind kind, std::string_view row = {});

  // Folds, prunes to the retention and keeps the file under its cap, now. RecordPoll runs it
  // by itself about once a minute of the clock; `history retention DAYS` runs it at once.
  bool Maintain();
  void SetRetentionDays(int days);

  // Why the latest failed call failed ("" when none did).
  const std::string& LastError() const;
  // What the user should be told once (a file set aside, recording failing or back), oldest
  // first; taking them empties the list.
  std::vector<std::string> TakeNotices();

  const std::filesystem::path& File() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace history
