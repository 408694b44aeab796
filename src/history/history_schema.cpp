#include "history/history_schema.h"

#include "history/history_columns.h"
#include "history/history_database.h"

namespace history {
namespace {

std::string Joined(const std::string& pattern) {
  // `pattern` holds "@" where each column's name goes.
  std::string out;
  for (const HistoryColumn& column : kHistoryColumns) {
    if (!out.empty()) out += ", ";
    for (const char c : pattern) {
      if (c == '@')
        out += column.name;
      else
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string CreateSchemaSql() {
  // Keyed by time itself (no rowid, no second index): a poll's commit touches one b-tree.
  return "CREATE TABLE IF NOT EXISTS poll (time INTEGER NOT NULL, pid INTEGER NOT NULL, " +
         Joined("@ REAL") +
         ", PRIMARY KEY (time, pid)) WITHOUT ROWID;\n"
         "CREATE TABLE IF NOT EXISTS minute (time INTEGER NOT NULL, pid INTEGER NOT NULL, "
         "polls INTEGER NOT NULL, " +
         Joined("@_min REAL, @_mean REAL, @_max REAL") +
         ", PRIMARY KEY (time, pid)) WITHOUT ROWID;\n"
         "CREATE TABLE IF NOT EXISTS summary (time INTEGER NOT NULL PRIMARY KEY, "
         "polls INTEGER NOT NULL, " +
         Joined("@_min REAL, @_mean REAL, @_max REAL") +
         ") WITHOUT ROWID;\n"
         "CREATE TABLE IF NOT EXISTS event (time INTEGER NOT NULL, pid INTEGER NOT NULL, "
         "kind TEXT NOT NULL, row TEXT NOT NULL);\n"
         "CREATE INDEX IF NOT EXISTS event_time ON event(time);\n"
         "PRAGMA application_id = " +
         std::to_string(kApplicationId) +
         ";\nPRAGMA user_version = " + std::to_string(kSchemaVersion) + ";\n";
}

std::string PollColumnList() {
  return Joined("@");
}

std::string MinuteColumnList() {
  return Joined("@_min, @_mean, @_max");
}

std::string InsertPollSql() {
  // A second poll of one writer in the same millisecond (a clock that stands still) replaces
  // the first rather than failing.
  std::string sql =
      "INSERT OR REPLACE INTO poll (time, pid, " + PollColumnList() + ") VALUES (?, ?";
  for (std::size_t i = 0; i < kHistoryColumnCount; ++i) sql += ", ?";
  return sql + ")";
}

std::string FoldSql() {
  // Integer division floors for the non-negative times of the record.
  return "INSERT INTO minute (time, pid, polls, " + MinuteColumnList() +
         ") SELECT (time / 60000) * 60000 AS start, pid, count(*), " +
         Joined("min(@), avg(@), max(@)") +
         " FROM poll WHERE time < ?1 GROUP BY start, pid "
         "ON CONFLICT (time, pid) DO UPDATE SET polls = polls + excluded.polls, " +
         Joined(
             "@_min = min(@_min, excluded.@_min), "
             "@_mean = (@_mean * polls + excluded.@_mean * excluded.polls) / "
             "(polls + excluded.polls), "
             "@_max = max(@_max, excluded.@_max)");
}

std::string UnifiedRowsSql() {
  return "SELECT time, pid, 1 AS polls, 0 AS folded, " +
         Joined("@ AS @_min, @ AS @_mean, @ AS @_max") +
         " FROM poll WHERE time >= ?1 AND time < ?2 UNION ALL SELECT time, pid, polls, 1, " +
         MinuteColumnList() + " FROM minute WHERE time >= ?1 AND time < ?2";
}

std::string PollRowsSql() {
  return "SELECT time, pid, 1, 0, " + Joined("@, @, @") +
         " FROM poll WHERE time >= ?1 AND time < ?2 ORDER BY time, pid";
}

std::string MinuteRowsSql() {
  return "SELECT time, pid, polls, 1, " + MinuteColumnList() +
         " FROM minute WHERE time >= ?1 AND time < ?2 ORDER BY time, pid";
}

std::string ClearSummarySql() {
  return "DELETE FROM summary WHERE time >= ?1 AND time < ?2";
}

std::string SummarizeSql() {
  // Every writer's polls and minute rows of a stretch together; a minute row lies whole in one
  // stretch, as the stretch is a whole number of minutes long.
  const std::string width = std::to_string(kSummaryWidthMs);
  return "INSERT INTO summary (time, polls, " + MinuteColumnList() + ") SELECT (time / " + width +
         ") * " + width + " AS start, sum(polls), " +
         Joined("min(@_min), sum(@_mean * polls) / sum(polls), max(@_max)") + " FROM (" +
         UnifiedRowsSql() + ") GROUP BY start";
}

std::string SummaryRowsSql(const std::vector<std::string_view>& names) {
  std::string sql = "SELECT time, polls";
  for (const std::string_view name : names) {
    const std::string n(name);
    sql += ", " + n + "_min, " + n + "_mean, " + n + "_max";
  }
  return sql + " FROM summary WHERE time >= ?1 AND time < ?2";
}

HistoryTime MinuteOf(HistoryTime time) {
  return std::chrono::floor<std::chrono::minutes>(time);
}

}  // namespace history
