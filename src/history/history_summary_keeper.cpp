#include "history/history_summary_keeper.h"

#include <sqlite3.h>

#include <algorithm>

#include "history/history_schema.h"

namespace history {
namespace {

// A stretch is summed up once it ended this long ago: long enough for another writer's poll of
// that stretch to have been committed (its writer stamps it when taken, stores it a little later).
constexpr std::int64_t kLagMs = 60'000;
// At most this much is summed up in one maintenance: a month without a summary took seconds in
// one transaction, long enough for another writer's busy time-out to run out. A quarter day
// takes a few tens of ms; the month is done oldest first within two hours, and until then the
// window reads what is not summed up yet from the polls and minutes.
constexpr std::int64_t kStepMs = 6 * 3'600'000;

// The start of the stretch `ms` lies in; times of the record are not negative.
std::int64_t StretchOf(std::int64_t ms) {
  return std::max<std::int64_t>(ms, 0) / kSummaryWidthMs * kSummaryWidthMs;
}

// Runs a statement without rows, bound to `first` (and `second` when given).
int Run(HistoryStatement& statement, std::int64_t first, std::optional<std::int64_t> second = {}) {
  statement.Reset();
  statement.Bind(1, first);
  if (second) statement.Bind(2, *second);
  const int code = statement.Step();
  statement.Reset();
  return code;
}

}  // namespace

bool HistorySummaryKeeper::Prepare(HistoryDatabase& db) {
  db_ = &db;
  clear_ = db.Prepare(ClearSummarySql());
  summarize_ = db.Prepare(SummarizeSql());
  dropBefore_ = db.Prepare("DELETE FROM summary WHERE time < ?1");
  rowAt_ = db.Prepare("SELECT 1 FROM summary WHERE time = ?1");
  return clear_ && summarize_ && dropBefore_ && rowAt_;
}

void HistorySummaryKeeper::Reset() {
  clear_ = {};
  summarize_ = {};
  dropBefore_ = {};
  rowAt_ = {};
  db_ = nullptr;
  summarizedTo_.reset();
  lateFrom_.reset();
  reached_.reset();
}

void HistorySummaryKeeper::NotePoll(std::int64_t timeMs) {
  if (summarizedTo_ && timeMs < *summarizedTo_)
    lateFrom_ = std::min(lateFrom_.value_or(timeMs), timeMs);
}

int HistorySummaryKeeper::Cut(std::int64_t edgeMs) {
  const std::int64_t first = StretchOf(edgeMs);
  int code = Run(dropBefore_, first);
  if (code != SQLITE_DONE) return code;
  code = Run(rowAt_, first);
  if (code == SQLITE_DONE) return code;  // not summed up yet: it will be from what is left
  if (code != SQLITE_ROW) return code;
  return Resummarize(first, first + kSummaryWidthMs);
}

int HistorySummaryKeeper::CatchUp(std::int64_t nowMs) {
  // A clock set back does not shorten what is known to be summed up.
  const std::int64_t due = std::max(StretchOf(nowMs - kLagMs), summarizedTo_.value_or(0));
  const std::int64_t from = Backlog(due);
  const std::int64_t until = std::min(due, from + kStepMs);
  // Summed up: every stretch before `until` (or, when that was already so by another writer's
  // hand, before the newest stretch the summary holds).
  reached_ = std::max(from, until);
  if (from >= until) return SQLITE_DONE;
  return Resummarize(from, until);
}

void HistorySummaryKeeper::Committed() {
  if (!reached_) return;
  summarizedTo_ = *reached_;
  reached_.reset();
  lateFrom_.reset();
}

// Where summing up must start again: the newest stretch in the summary (any writer's, summed
// again to take the polls committed since), or the earliest stretch a late poll of ours fell
// in. A file without a summary yet (one an older Quelta wrote) starts at its oldest row;
// `none` when it has none.
std::int64_t HistorySummaryKeeper::Backlog(std::int64_t none) {
  std::int64_t from = 0;
  if (summarizedTo_) {
    from = *summarizedTo_;
  } else {
    from = db_->QueryInteger("SELECT coalesce(max(time), -1) FROM summary", -1);
    if (from < 0) {
      from = db_->QueryInteger(
          "SELECT coalesce(min(t), -1) FROM (SELECT min(time) AS t FROM poll UNION ALL "
          "SELECT min(time) FROM minute)",
          -1);
    }
    from = from < 0 ? none : StretchOf(from);
  }
  if (lateFrom_) from = std::min(from, StretchOf(*lateFrom_));
  return from;
}

// The summary rows of the stretches from <= time < to, made again from the polls and minute
// rows there (none for a stretch without any).
int HistorySummaryKeeper::Resummarize(std::int64_t fromMs, std::int64_t toMs) {
  const int code = Run(clear_, fromMs, toMs);
  if (code != SQLITE_DONE) return code;
  return Run(summarize_, fromMs, toMs);
}

}  // namespace history
