#include "history/history_database.h"

#include <sqlite3.h>

namespace history {

HistoryStatement::~HistoryStatement() {
  sqlite3_finalize(statement_);
}

HistoryStatement& HistoryStatement::operator=(HistoryStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    statement_ = other.statement_;
    other.statement_ = nullptr;
  }
  return *this;
}

void HistoryStatement::Bind(int index, std::int64_t value) {
  sqlite3_bind_int64(statement_, index, value);
}

void HistoryStatement::Bind(int index, double value) {
  sqlite3_bind_double(statement_, index, value);
}

void HistoryStatement::Bind(int index, std::string_view text) {
  // An empty view may have no data at all, which would bind NULL: "" is a text too.
  sqlite3_bind_text(statement_, index, text.empty() ? "" : text.data(),
                    static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

int HistoryStatement::Step() {
  return sqlite3_step(statement_);
}

void HistoryStatement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

std::int64_t HistoryStatement::Integer(int column) const {
  return sqlite3_column_int64(statement_, column);
}

double HistoryStatement::Real(int column) const {
  return sqlite3_column_double(statement_, column);
}

std::string HistoryStatement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(statement_, column);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

HistoryDatabase::~HistoryDatabase() {
  Close();
}

int HistoryDatabase::Open(const std::filesystem::path& file, Mode mode) {
  Close();
  const int flags =
      mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  // NOFOLLOW: the record is a file of ours, not whatever a link points at.
  const int code = sqlite3_open_v2(file.c_str(), &db_, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
  if (code != SQLITE_OK) return code;
  sqlite3_extended_result_codes(db_, 1);
  return SQLITE_OK;
}

void HistoryDatabase::Close() {
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

int HistoryDatabase::Execute(std::string_view sql) {
  if (db_ == nullptr) return SQLITE_MISUSE;
  const std::string text(sql);
  return sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr);
}

HistoryStatement HistoryDatabase::Prepare(std::string_view sql) {
  if (db_ == nullptr) return {};
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(statement);
    return {};
  }
  return HistoryStatement(statement);
}

std::int64_t HistoryDatabase::QueryInteger(std::string_view sql, std::int64_t fallback) {
  HistoryStatement statement = Prepare(sql);
  if (!statement || statement.Step() != SQLITE_ROW) return fallback;
  return statement.Integer(0);
}

std::string HistoryDatabase::QueryText(std::string_view sql) {
  HistoryStatement statement = Prepare(sql);
  if (!statement || statement.Step() != SQLITE_ROW) return {};
  return statement.Text(0);
}

std::string HistoryDatabase::Error() const {
  if (db_ == nullptr) return "not open";
  return std::string(sqlite3_errmsg(db_));
}

int HistoryDatabase::ExtendedError() const {
  return db_ == nullptr ? SQLITE_MISUSE : sqlite3_extended_errcode(db_);
}

bool IsDamage(int code) {
  const int primary = code & 0xff;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

}  // namespace history
