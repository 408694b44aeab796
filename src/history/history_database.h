#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace history {

// The file's marks: "QHIS" and the layout's version.
inline constexpr std::int32_t kApplicationId = 0x51484953;
inline constexpr std::int32_t kSchemaVersion = 1;

// A statement of one connection; finalized with it. Step() gives SQLITE_ROW, SQLITE_DONE or
// the error code.
class HistoryStatement {
 public:
  HistoryStatement() = default;
  HistoryStatement(sqlite3_stmt* statement) : statement_(statement) {}
  ~HistoryStatement();
  HistoryStatement(HistoryStatement&& other) noexcept : statement_(other.statement_) {
    other.statement_ = nullptr;
  }
  HistoryStatement& operator=(HistoryStatement&& other) noexcept;

  explicit operator bool() const { return statement_ != nullptr; }
  void Bind(int index, std::int64_t value);
  void Bind(int index, double value);
  void Bind(int index, std::string_view text);
  int Step();
  void Reset();
  std::int64_t Integer(int column) const;
  double Real(int column) const;
  std::string Text(int column) const;

 private:
  sqlite3_stmt* statement_ = nullptr;
};

// One connection to the record's file. Every failing call leaves its message in Error().
class HistoryDatabase {
 public:
  enum class Mode { ReadOnly, ReadWrite };

  HistoryDatabase() = default;
  ~HistoryDatabase();
  HistoryDatabase(const HistoryDatabase&) = delete;
  HistoryDatabase& operator=(const HistoryDatabase&) = delete;

  // SQLite result code; SQLITE_OK (0) when open. A read-write open creates a missing file.
  int Open(const std::filesystem::path& file, Mode mode);
  void Close();
  bool IsOpen() const { return db_ != nullptr; }

  // Runs statements without results; the result code.
  int Execute(std::string_view sql);
  // A prepared statement; empty on failure.
  HistoryStatement Prepare(std::string_view sql);
  // The first column of the first row of a query; `fallback` when there is none or it fails.
  std::int64_t QueryInteger(std::string_view sql, std::int64_t fallback = -1);
  std::string QueryText(std::string_view sql);

  // The latest error's text, as "what (code name)".
  std::string Error() const;
  int ExtendedError() const;
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// Whether a result code says the file is not a sound database of any kind.
bool IsDamage(int code);

}  // namespace history
