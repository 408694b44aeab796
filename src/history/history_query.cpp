#include "history/history_query.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <iterator>
#include <limits>

#include "history/history_database.h"
#include "history/history_schema.h"

namespace history {
namespace {

constexpr int kFirstValueColumn = 4;  // after time, pid, polls, folded

std::int64_t Millis(HistoryTime time) {
  return time.time_since_epoch().count();
}

// Fills a row from a statement in the unified shape.
void ReadRow(const HistoryStatement& statement, HistoryRow& row) {
  row.time = HistoryTime(std::chrono::milliseconds(statement.Integer(0)));
  row.processId = statement.Integer(1);
  row.polls = statement.Integer(2);
  row.folded = statement.Integer(3) != 0;
  for (std::size_t i = 0; i < kHistoryColumnCount; ++i) {
    const int at = kFirstValueColumn + static_cast<int>(i) * 3;
    row.values.min[i] = statement.Real(at);
    row.values.mean[i] = statement.Real(at + 1);
    row.values.max[i] = statement.Real(at + 2);
  }
}

}  // namespace

class HistoryQuery::Impl {
 public:
  explicit Impl(std::filesystem::path file) : file_(std::move(file)) {}

  bool Open() {
    if (db_.IsOpen()) return true;
    struct stat info {};
    if (::stat(file_.c_str(), &info) != 0)
      return Fail("no history yet: " + file_.string() + " does not exist");
    if (!S_ISREG(info.st_mode)) return Fail(file_.string() + " is not a regular file");
    if (db_.Open(file_, HistoryDatabase::Mode::ReadOnly) != SQLITE_OK) {
      const std::string why = db_.Error();
      db_.Close();
      return Fail("cannot open the history file " + file_.string() + ": " + why);
    }
    db_.Execute("PRAGMA busy_timeout = 5000");
    const std::int64_t applicationId = db_.QueryInteger("PRAGMA application_id", -1);
    if (applicationId != kApplicationId) {
      const std::string why = applicationId == -1 ? db_.Error() : "not a Quelta history file";
      db_.Close();
      return Fail("cannot read the history file " + file_.string() + ": " + why);
    }
    return true;
  }

  std::vector<HistoryRow> Rows(HistoryTime from, HistoryTime to) {
    std::vector<HistoryRow> rows;
    if (!ForEachRow(from, to, [&rows](const HistoryRow& row) { rows.push_back(row); })) return {};
    return rows;
  }

  bool ForEachRow(HistoryTime from, HistoryTime to,
                  const std::function<void(const HistoryRow&)>& take) {
    // Each table is stepped in its key's order and the two merged as they come: one sort of
    // a month of wide rows in SQLite cost more than the whole read.
    if (!Open()) return false;
    HistoryStatement minutes = db_.Prepare(MinuteRowsSql());
    if (!Ready(minutes)) return false;
    HistoryStatement polls = db_.Prepare(PollRowsSql());
    if (!Ready(polls)) return false;
    for (HistoryStatement* statement : {&minutes, &polls}) {
      statement->Bind(1, Millis(from));
      statement->Bind(2, Millis(to));
    }
    int minuteCode = minutes.Step();
    int pollCode = polls.Step();
    HistoryRow row;
    while (minuteCode == SQLITE_ROW || pollCode == SQLITE_ROW) {
      // A minute row sorts before a poll of the same time and writer: it starts the minute.
      bool minuteFirst = pollCode != SQLITE_ROW;
      if (minuteCode == SQLITE_ROW && pollCode == SQLITE_ROW) {
        const std::int64_t minuteTime = minutes.Integer(0);
        const std::int64_t pollTime = polls.Integer(0);
        minuteFirst = minuteTime < pollTime ||
                      (minuteTime == pollTime && minutes.Integer(1) <= polls.Integer(1));
      }
      HistoryStatement& next = minuteFirst ? minutes : polls;
      ReadRow(next, row);
      take(row);
      (minuteFirst ? minuteCode : pollCode) = next.Step();
    }
    if (minuteCode != SQLITE_DONE) return Finished(minuteCode);
    return Finished(pollCode);
  }

  std::vector<HistoryRow> Buckets(HistoryTime from, HistoryTime to,
                                  std::chrono::milliseconds width) {
    std::vector<HistoryRow> rows;
    if (width.count() <= 0 || !Open()) return rows;
    std::string sql = "SELECT ?1 + ((time - ?1) / ?3) * ?3 AS bucket, 0, sum(polls), 1";
    for (const HistoryColumn& column : kHistoryColumns) {
      const std::string name(column.name);
      sql += ", min(" + name + "_min), sum(" + name + "_mean * polls) / sum(polls), max(" + name +
             "_max)";
    }
    sql += " FROM (" + UnifiedRowsSql() + ") GROUP BY bucket ORDER BY bucket";
    HistoryStatement statement = db_.Prepare(sql);
    if (!Ready(statement)) return rows;
    statement.Bind(1, Millis(from));
    statement.Bind(2, Millis(to));
    statement.Bind(3, static_cast<std::int64_t>(width.count()));
    int code = SQLITE_ROW;
    while ((code = statement.Step()) == SQLITE_ROW) ReadRow(statement, rows.emplace_back());
    Finished(code);
    return rows;
  }

  std::optional<HistoryRow> Summary(HistoryTime from, HistoryTime to) {
    if (to <= from) return std::nullopt;
    std::vector<HistoryRow> rows = Buckets(from, to, to - from);
    if (rows.empty()) return std::nullopt;
    return rows.front();
  }

  std::vector<HistoryEvent> Events(HistoryTime from, HistoryTime to) {
    std::vector<HistoryEvent> events;
    if (!Open()) return events;
    HistoryStatement statement = db_.Prepare(
        "SELECT time, pid, kind, row FROM event WHERE time >= ?1 AND time < ?2 ORDER BY time, "
        "rowid");
    if (!Ready(statement)) return events;
    statement.Bind(1, Millis(from));
    statement.Bind(2, Millis(to));
    int code = SQLITE_ROW;
    while ((code = statement.Step()) == SQLITE_ROW) {
      const std::optional<HistoryEventKind> kind = EventKindFromName(statement.Text(2));
      if (!kind) continue;  // a kind a newer Quelta wrote
      events.push_back(HistoryEvent{HistoryTime(std::chrono::milliseconds(statement.Integer(0))),
                                    statement.Integer(1), *kind, statement.Text(3)});
    }
    Finished(code);
    return events;
  }

  const std::string& LastError() const { return error_; }

 private:
  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

  bool Ready(const HistoryStatement& statement) {
    if (statement) return true;
    return Fail("cannot read the history file " + file_.string() + ": " + db_.Error());
  }

  bool Finished(int code) {
    if (code == SQLITE_DONE) {
      error_.clear();
      return true;
    }
    return Fail("cannot read the history file " + file_.string() + ": " + db_.Error());
  }

  std::filesystem::path file_;
  HistoryDatabase db_;
  std::string error_;
};

HistoryQuery::HistoryQuery(std::filesystem::path file)
    : impl_(std::make_unique<Impl>(std::move(file))) {}

HistoryQuery::~HistoryQuery() = default;

bool HistoryQuery::Open() {
  return impl_->Open();
}

std::vector<HistoryRow> HistoryQuery::Rows(HistoryTime from, HistoryTime to) {
  return impl_->Rows(from, to);
}

bool HistoryQuery::ForEachRow(HistoryTime from, HistoryTime to,
                              const std::function<void(const HistoryRow&)>& take) {
  return impl_->ForEachRow(from, to, take);
}

std::vector<HistoryRow> HistoryQuery::Buckets(HistoryTime from, HistoryTime to,
                                              std::chrono::milliseconds width) {
  return impl_->Buckets(from, to, width);
}

std::optional<HistoryRow> HistoryQuery::Summary(HistoryTime from, HistoryTime to) {
  return impl_->Summary(from, to);
}

std::vector<HistoryEvent> HistoryQuery::Events(HistoryTime from, HistoryTime to) {
  return impl_->Events(from, to);
}

const std::string& HistoryQuery::LastError() const {
  return impl_->LastError();
}

}  // namespace history
