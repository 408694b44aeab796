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
  return "CREATE TABLE IF NOT EXISTS poll (time INTEGER NOT NULL, pid INTEGER NOT NULL, " +
         Joined("@ REAL") +
         ");\n"
         "CREATE INDEX IF NOT EXISTS poll_time ON poll(time);\n"
         "CREATE TABLE IF NOT EXISTS minute (time INTEGER NOT NULL, pid INTEGER NOT NULL, "
         "polls INTEGER NOT NULL, " +
         Joined("@_min REAL, @_mean REAL, @_max REAL") +
         ", PRIMARY KEY (time, pid)) WITHOUT ROWID;\n"
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
  std::string sql = "INSERT INTO poll (time, pid, " + PollColumnList() + ") VALUES (?, ?";
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

HistoryTime MinuteOf(HistoryTime time) {
  return std::chrono::floor<std::chrono::minutes>(time);
}

}  // namespace history
