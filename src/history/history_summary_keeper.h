#pragma once

#include <cstdint>
#include <optional>

#include "history/history_database.h"

namespace history {

// Keeps one recorder's file's summary (see history_recorder.h) up to date: which stretches are
// summed up, and the statements that sum them up. Its calls run inside the recorder's
// maintenance transaction; what they did counts once that transaction is committed.
class HistorySummaryKeeper {
 public:
  // The statements on `db`, which must outlive them; false when any could not be had.
  bool Prepare(HistoryDatabase& db);
  // The statements go and what was known of the file is forgotten: a new file starts afresh.
  void Reset();

  // A poll was stored: one stamped in a stretch already summed up (a clock set back, a disk
  // that stalled) has that stretch summed up again at the next maintenance.
  void NotePoll(std::int64_t timeMs);
  // After the rows older than `edgeMs` were dropped: the stretches wholly before it go, and the
  // one it cuts is summed up again from what is left of it, if it was summed up at all.
  int Cut(std::int64_t edgeMs);
  // Sums up the stretches due at `nowMs` (those that ended a minute ago or more), at most a
  // quarter day of them, oldest first. A SQLite result code: SQLITE_DONE when all went well.
  int CatchUp(std::int64_t nowMs);
  // The maintenance transaction that ran CatchUp was committed. (One rolled back is simply not
  // told: the next CatchUp starts from what was committed before.)
  void Committed();

 private:
  std::int64_t Backlog(std::int64_t none);
  int Resummarize(std::int64_t fromMs, std::int64_t toMs);

  HistoryDatabase* db_ = nullptr;
  HistoryStatement clear_;
  HistoryStatement summarize_;
  HistoryStatement dropBefore_;
  HistoryStatement rowAt_;
  // The summary holds every stretch before this, as far as this recorder knows; none until its
  // first maintenance looked.
  std::optional<std::int64_t> summarizedTo_;
  // The earliest time of a poll of ours stamped before summarizedTo_ since the last maintenance.
  std::optional<std::int64_t> lateFrom_;
  // What the latest CatchUp reached, taken as summed up once committed.
  std::optional<std::int64_t> reached_;
};

}  // namespace history
