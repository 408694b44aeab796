#include "tests/history/database_check.h"

#include <sqlite3.h>

namespace history_testing {
namespace {

struct Connection {
  sqlite3* db = nullptr;
  explicit Connection(const std::filesystem::path& file, int flags = SQLITE_OPEN_READWRITE) {
    if (sqlite3_open_v2(file.c_str(), &db, flags, nullptr) != SQLITE_OK) {
      sqlite3_close(db);
      db = nullptr;
    }
  }
  ~Connection() { sqlite3_close(db); }
};

}  // namespace

std::string IntegrityCheck(const std::filesystem::path& file) {
  Connection connection(file);
  if (connection.db == nullptr) return "cannot open " + file.string();
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection.db, "PRAGMA integrity_check", -1, &statement, nullptr) !=
      SQLITE_OK)
    return sqlite3_errmsg(connection.db);
  std::string verdict;
  if (sqlite3_step(statement) == SQLITE_ROW) {
    verdict = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  } else {
    verdict = sqlite3_errmsg(connection.db);
  }
  sqlite3_finalize(statement);
  return verdict;
}

std::int64_t QueryInteger(const std::filesystem::path& file, const std::string& sql) {
  Connection connection(file);
  if (connection.db == nullptr) return -1;
  sqlite3_busy_timeout(connection.db, 5000);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection.db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
    return -1;
  const std::int64_t value =
      sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
  sqlite3_finalize(statement);
  return value;
}

std::int64_t PollsHeld(const std::filesystem::path& file) {
  return QueryInteger(file,
                      "SELECT (SELECT count(*) FROM poll) + "
                      "(SELECT coalesce(sum(polls), 0) FROM minute)");
}

std::vector<SummaryRow> SummaryRows(const std::filesystem::path& file) {
  std::vector<SummaryRow> rows;
  Connection connection(file);
  if (connection.db == nullptr) return rows;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection.db, "SELECT * FROM summary ORDER BY time", -1, &statement,
                         nullptr) != SQLITE_OK)
    return rows;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    SummaryRow& row = rows.emplace_back();
    row.time = sqlite3_column_int64(statement, 0);
    row.polls = sqlite3_column_int64(statement, 1);
    for (int at = 2; at + 2 < sqlite3_column_count(statement); at += 3) {
      row.min.push_back(sqlite3_column_double(statement, at));
      row.mean.push_back(sqlite3_column_double(statement, at + 1));
      row.max.push_back(sqlite3_column_double(statement, at + 2));
    }
  }
  sqlite3_finalize(statement);
  return rows;
}

bool Execute(const std::filesystem::path& file, const std::string& sql) {
  Connection connection(file);
  if (connection.db == nullptr) return false;
  sqlite3_busy_timeout(connection.db, 5000);
  return sqlite3_exec(connection.db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

void MakeForeignDatabase(const std::filesystem::path& file) {
  Connection connection(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  sqlite3_exec(connection.db,
               "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('keep me');", nullptr,
               nullptr, nullptr);
}

}  // namespace history_testing
