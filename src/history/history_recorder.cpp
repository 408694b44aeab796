#include "history/history_recorder.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>

#include "history/history_columns.h"
#include "history/history_database.h"
#include "history/history_schema.h"
#include "history/history_set_aside.h"
#include "history/history_summary_keeper.h"

namespace history {
namespace {

constexpr mode_t kStateFolderMode = 0700;
// Fold and prune about once a minute of the clock: a minute row needs no more.
constexpr std::chrono::minutes kMaintainEvery{1};
// How often a switch to WAL that found the file locked is tried again.
constexpr std::chrono::milliseconds kWalSwitchRetry{5};
// The WAL's share of the cap, at most this much: checkpoints keep it below.
constexpr std::uint64_t kMaxWalBudget = 8ull * 1000 * 1000;
// When the used pages pass the high mark, the oldest rows go until they are under the low one.
constexpr double kTrimHighMark = 0.90;
constexpr double kTrimLowMark = 0.80;
constexpr int kMaxTrimRounds = 64;
std::string SystemError(sqlite3* db) {
  const int error = db == nullptr ? 0 : sqlite3_system_errno(db);
  return error == 0 ? std::string() : std::string(": ") + std::strerror(error);
}

}  // namespace

class HistoryRecorder::Impl {
 public:
  Impl(HistoryRecorderOptions options, const HistoryClock& clock)
      : options_(std::move(options)), clock_(clock) {
    if (options_.processId == 0) options_.processId = static_cast<std::int64_t>(::getpid());
    if (options_.maxBytes == 0) options_.maxBytes = kDefaultMaxBytes;
  }

  bool Open() {
    if (db_.IsOpen()) return true;
    if (!CreateFolders()) return false;
    struct stat info {};
    if (::lstat(options_.file.c_str(), &info) == 0) {
      if (!S_ISREG(info.st_mode)) {
        return Fail("the history file " + options_.file.string() +
                    " is not a regular file; nothing is recorded");
      }
    } else if (::access(options_.file.parent_path().c_str(), W_OK) != 0) {
      // Said here: SQLite would name only the last of its attempts (a read-only open).
      return Fail("cannot create the history file " + options_.file.string() + ": " +
                  std::strerror(errno));
    }
    const int opened = db_.Open(options_.file, HistoryDatabase::Mode::ReadWrite);
    if (opened != SQLITE_OK) {
      const std::string why = db_.Error() + SystemError(db_.Handle());
      db_.Close();
      return Fail("cannot open the history file " + options_.file.string() + ": " + why);
    }
    const FileVerdict verdict = Judge();
    if (verdict == FileVerdict::Damaged || verdict == FileVerdict::Foreign) {
      db_.Close();
      const SetAsideResult aside = SetAside(
          options_.file, verdict == FileVerdict::Damaged ? "damaged" : "foreign", clock_.Now());
      if (!aside.done) return Fail(aside.message);
      notices_.push_back(aside.message);
      if (db_.Open(options_.file, HistoryDatabase::Mode::ReadWrite) != SQLITE_OK) {
        const std::string why = db_.Error() + SystemError(db_.Handle());
        db_.Close();
        return Fail("cannot open a new history file " + options_.file.string() + ": " + why);
      }
    } else if (verdict == FileVerdict::Newer) {
      db_.Close();
      return Fail("the history file " + options_.file.string() +
                  " was written by a newer Quelta; nothing is recorded");
    } else if (verdict == FileVerdict::Unreadable) {
      const std::string why = db_.Error() + SystemError(db_.Handle());
      db_.Close();
      return Fail("cannot read the history file " + options_.file.string() + ": " + why);
    }
    if (!Prepare()) {
      const std::string why = db_.Error() + SystemError(db_.Handle());
      db_.Close();
      return Fail("cannot record in the history file " + options_.file.string() + ": " + why);
    }
    return true;
  }

  bool RecordPoll(HistoryTime time, const device::ReadingSet& readings) {
    summary_.NotePoll(Millis(time));
    const bool stored = WithRetry([&] {
      insertPoll_.Reset();
      insertPoll_.Bind(1, static_cast<std::int64_t>(time.time_since_epoch().count()));
      insertPoll_.Bind(2, options_.processId);
      for (std::size_t i = 0; i < kHistoryColumnCount; ++i)
        insertPoll_.Bind(static_cast<int>(i) + 3, kHistoryColumns[i].read(readings));
      const int code = insertPoll_.Step();
      insertPoll_.Reset();
      return code;
    });
    if (stored && (!lastMaintained_ || clock_.Now() - *lastMaintained_ >= kMaintainEvery))
      Maintain();
    return stored;
  }

  bool RecordEvent(HistoryTime time, HistoryEventKind kind, std::string_view row) {
    return WithRetry([&] {
      insertEvent_.Reset();
      insertEvent_.Bind(1, static_cast<std::int64_t>(time.time_since_epoch().count()));
      insertEvent_.Bind(2, options_.processId);
      insertEvent_.Bind(3, EventKindName(kind));
      insertEvent_.Bind(4, row);
      const int code = insertEvent_.Step();
      insertEvent_.Reset();
      return code;
    });
  }

  bool Maintain() {
    if (!Open()) return false;
    const HistoryTime now = clock_.Now();
    lastMaintained_ = now;
    // A poll folds once its whole minute lies more than a day back.
    const HistoryTime foldEdge = MinuteOf(now - kRawAge);
    const HistoryTime keepFrom = now - std::chrono::days(options_.retentionDays);
    if (!Transaction([&] {
          fold_.Reset();
          fold_.Bind(1, Millis(foldEdge));
          int code = fold_.Step();
          fold_.Reset();
          if (code != SQLITE_DONE) return code;
          for (HistoryStatement* prune :
               {&deleteFolded_, &pruneMinutes_, &prunePolls_, &pruneEvents_}) {
            prune->Reset();
            prune->Bind(1, Millis(prune == &deleteFolded_ ? foldEdge : keepFrom));
            code = prune->Step();
            prune->Reset();
            if (code != SQLITE_DONE) return code;
          }
          code = summary_.Cut(Millis(keepFrom));
          if (code != SQLITE_DONE) return code;
          return summary_.CatchUp(Millis(now));
        })) {
      return false;
    }
    summary_.Committed();
    return KeepUnderCap();
  }

  void SetRetentionDays(int days) {
    options_.retentionDays = std::clamp(days, 1, kMaxRetentionDays);
  }

  bool IsOpen() const { return db_.IsOpen(); }
  const std::string& LastError() const { return error_; }
  std::vector<std::string> TakeNotices() { return std::exchange(notices_, {}); }
  const std::filesystem::path& File() const { return options_.file; }
  const HistoryClock& Clock() const { return clock_; }

 private:
  enum class FileVerdict { Ours, New, Foreign, Damaged, Newer, Unreadable };

  static std::int64_t Millis(HistoryTime time) { return time.time_since_epoch().count(); }

  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

  bool CreateFolders() {
    const std::filesystem::path folder = options_.file.parent_path();
    std::filesystem::path partial;
    for (const std::filesystem::path& part : folder) {
      partial /= part;
      if (::mkdir(partial.c_str(), kStateFolderMode) != 0 && errno != EEXIST) {
        return Fail("cannot create the history folder " + partial.string() + ": " +
                    std::strerror(errno));
      }
    }
    return true;
  }

  // What the file at hand is. Reading its marks is the first read of it: a file that is not
  // a database fails there.
  FileVerdict Judge() {
    db_.Execute("PRAGMA busy_timeout = " + std::to_string(options_.busyTimeout.count()));
    // The mark and the tables in one read: another recorder making this file at the same
    // moment is seen before or after, never half-way (its tables read apart from a mark read
    // before it wrote them would pass for a foreign file and be set aside under it).
    HistoryStatement marks = db_.Prepare(
        "SELECT (SELECT application_id FROM pragma_application_id),"
        " (SELECT count(*) FROM sqlite_schema)");
    if (!marks)
      return IsDamage(db_.ExtendedError()) ? FileVerdict::Damaged : FileVerdict::Unreadable;
    const int step = marks.Step();
    if (step != SQLITE_ROW) {
      return IsDamage(step) ? FileVerdict::Damaged : FileVerdict::Unreadable;
    }
    const std::int64_t applicationId = marks.Integer(0);
    const std::int64_t tables = marks.Integer(1);
    marks = {};
    if (applicationId == 0 && tables == 0) return FileVerdict::New;
    if (applicationId != kApplicationId) return FileVerdict::Foreign;
    if (db_.QueryInteger("PRAGMA user_version", 0) > kSchemaVersion) return FileVerdict::Newer;
    // A torn or truncated file opens as well as a sound one: only a look at every page tells.
    HistoryStatement check = db_.Prepare("PRAGMA quick_check(1)");
    if (!check)
      return IsDamage(db_.ExtendedError()) ? FileVerdict::Damaged : FileVerdict::Unreadable;
    const int checked = check.Step();
    if (checked == SQLITE_ROW)
      return check.Text(0) == "ok" ? FileVerdict::Ours : FileVerdict::Damaged;
    return IsDamage(checked) ? FileVerdict::Damaged : FileVerdict::Unreadable;
  }

  // Settings of the connection, the layout, and the statements every record uses.
  bool Prepare() {
    const std::int64_t pageSize =
        std::max<std::int64_t>(db_.QueryInteger("PRAGMA page_size", 4096), 512);
    const std::uint64_t walBudget = std::min<std::uint64_t>(options_.maxBytes / 10, kMaxWalBudget);
    maxPages_ = static_cast<std::int64_t>((options_.maxBytes - walBudget) /
                                          static_cast<std::uint64_t>(pageSize));
    const std::int64_t checkpointPages =
        std::max<std::int64_t>(static_cast<std::int64_t>(walBudget) / pageSize / 2, 8);
    db_.Execute("PRAGMA busy_timeout = " + std::to_string(options_.busyTimeout.count()));
    if (!SwitchToWal()) return false;
    const std::string pragmas =
        "PRAGMA synchronous = NORMAL;\n"
        "PRAGMA wal_autocheckpoint = " +
        std::to_string(checkpointPages) +
        ";\nPRAGMA journal_size_limit = " + std::to_string(walBudget / 2) +
        ";\nPRAGMA max_page_count = " + std::to_string(std::max<std::int64_t>(maxPages_, 16)) + ";";
    if (db_.Execute(pragmas) != SQLITE_OK) return false;
    if (db_.Execute("BEGIN IMMEDIATE;\n" + CreateSchemaSql() + "COMMIT;") != SQLITE_OK) {
      db_.Execute("ROLLBACK");
      return false;
    }
    insertPoll_ = db_.Prepare(InsertPollSql());
    insertEvent_ = db_.Prepare("INSERT INTO event (time, pid, kind, row) VALUES (?, ?, ?, ?)");
    fold_ = db_.Prepare(FoldSql());
    deleteFolded_ = db_.Prepare("DELETE FROM poll WHERE time < ?1");
    pruneMinutes_ = db_.Prepare("DELETE FROM minute WHERE time < ?1");
    prunePolls_ = db_.Prepare("DELETE FROM poll WHERE time < ?1");
    pruneEvents_ = db_.Prepare("DELETE FROM event WHERE time < ?1");
    const bool summary = summary_.Prepare(db_);
    return insertPoll_ && insertEvent_ && fold_ && deleteFolded_ && pruneMinutes_ && prunePolls_ &&
           pruneEvents_ && summary;
  }

  // A new file is switched to WAL with the file to itself for a moment, and SQLite answers
  // "locked" at once instead of waiting out the busy time-out: two recorders that open the same
  // new file together (the window and the service) would lose one. So the switch is tried
  // again within the time-out.
  bool SwitchToWal() {
    const auto giveUp = std::chrono::steady_clock::now() + options_.busyTimeout;
    for (;;) {
      if (db_.QueryText("PRAGMA journal_mode = WAL") == "wal") return true;
      if ((db_.ExtendedError() & 0xff) != SQLITE_BUSY) return false;
      if (std::chrono::steady_clock::now() >= giveUp) return false;
      std::this_thread::sleep_for(kWalSwitchRetry);
    }
  }

  void Drop() {
    insertPoll_ = {};
    insertEvent_ = {};
    fold_ = {};
    deleteFolded_ = {};
    pruneMinutes_ = {};
    prunePolls_ = {};
    pruneEvents_ = {};
    summary_.Reset();
    db_.Close();
  }

  // Runs one write (its result code) on an open file. A file found damaged is set aside and
  // the write tried once more in a new one; a full file drops its oldest rows and tries again.
  template <typename Write>
  bool WithRetry(Write write) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (!Open()) return false;
      const int code = write();
      if (code == SQLITE_DONE) {
        error_.clear();
        return true;
      }
      const std::string why = db_.Error() + SystemError(db_.Handle());
      if (IsDamage(code)) {
        Drop();
        const SetAsideResult aside = SetAside(options_.file, "damaged", clock_.Now());
        if (!aside.done) return Fail(aside.message);
        notices_.push_back(aside.message);
        continue;
      }
      if ((code & 0xff) == SQLITE_FULL && AtCap() && attempt == 0) {
        if (TrimOldest(kTrimLowMark)) continue;
      }
      return Fail("cannot record in the history file " + options_.file.string() + ": " + why);
    }
    return Fail("cannot record in the history file " + options_.file.string() + ": " + error_);
  }

  template <typename Body>
  bool Transaction(Body body) {
    if (db_.Execute("BEGIN IMMEDIATE") != SQLITE_OK) {
      return Fail("cannot maintain the history file " + options_.file.string() + ": " +
                  db_.Error());
    }
    const int code = body();
    if (code != SQLITE_DONE) {
      const std::string why = db_.Error();
      db_.Execute("ROLLBACK");
      return Fail("cannot maintain the history file " + options_.file.string() + ": " + why);
    }
    if (db_.Execute("COMMIT") != SQLITE_OK) {
      const std::string why = db_.Error();
      db_.Execute("ROLLBACK");
      return Fail("cannot maintain the history file " + options_.file.string() + ": " + why);
    }
    return true;
  }

  std::int64_t UsedPages() {
    return db_.QueryInteger("PRAGMA page_count", 0) - db_.QueryInteger("PRAGMA freelist_count", 0);
  }

  bool AtCap() { return db_.QueryInteger("PRAGMA page_count", 0) >= maxPages_ - 2; }

  bool KeepUnderCap() {
    if (static_cast<double>(UsedPages()) <= kTrimHighMark * static_cast<double>(maxPages_))
      return true;
    return TrimOldest(kTrimLowMark);
  }

  // Drops the oldest rows, a tenth of the span at a time, until the used pages are under
  // `mark` of the cap. The pages they leave free are used again, so the file stops growing.
  bool TrimOldest(double mark) {
    for (int round = 0; round < kMaxTrimRounds; ++round) {
      if (static_cast<double>(UsedPages()) <= mark * static_cast<double>(maxPages_)) return true;
      const std::int64_t oldest = db_.QueryInteger(
          "SELECT min(t) FROM (SELECT min(time) AS t FROM poll UNION ALL SELECT min(time) FROM "
          "minute UNION ALL SELECT min(time) FROM event)",
          -1);
      const std::int64_t newest = db_.QueryInteger(
          "SELECT max(t) FROM (SELECT max(time) AS t FROM poll UNION ALL SELECT max(time) FROM "
          "minute UNION ALL SELECT max(time) FROM event)",
          -1);
      if (oldest < 0 || newest < oldest) return false;
      const std::int64_t edge = oldest + std::max<std::int64_t>((newest - oldest) / 10, 1000);
      const bool dropped = Transaction([&] {
        for (HistoryStatement* prune : {&pruneMinutes_, &prunePolls_, &pruneEvents_}) {
          prune->Reset();
          prune->Bind(1, edge);
          const int code = prune->Step();
          prune->Reset();
          if (code != SQLITE_DONE) return code;
        }
        return summary_.Cut(edge);
      });
      if (!dropped) return false;
    }
    return false;
  }

  HistoryRecorderOptions options_;
  const HistoryClock& clock_;
  HistoryDatabase db_;
  HistoryStatement insertPoll_;
  HistoryStatement insertEvent_;
  HistoryStatement fold_;
  HistoryStatement deleteFolded_;
  HistoryStatement pruneMinutes_;
  HistoryStatement prunePolls_;
  HistoryStatement pruneEvents_;
  HistorySummaryKeeper summary_;
  std::int64_t maxPages_ = 0;
  std::optional<HistoryTime> lastMaintained_;  // none yet: the first poll maintains
  std::string error_;
  std::vector<std::string> notices_;
};

HistoryRecorder::HistoryRecorder(HistoryRecorderOptions options, const HistoryClock& clock)
    : impl_(std::make_unique<Impl>(std::move(options), clock)) {}

HistoryRecorder::~HistoryRecorder() = default;

bool HistoryRecorder::Open() {
  return impl_->Open();
}

bool HistoryRecorder::IsOpen() const {
  return impl_->IsOpen();
}

bool HistoryRecorder::RecordPoll(const device::ReadingSet& readings) {
  return impl_->RecordPoll(impl_->Clock().Now(), readings);
}

bool HistoryRecorder::RecordPoll(HistoryTime time, const device::ReadingSet& readings) {
  return impl_->RecordPoll(time, readings);
}

bool HistoryRecorder::RecordEvent(HistoryEventKind kind, std::string_view row) {
  return impl_->RecordEvent(impl_->Clock().Now(), kind, row);
}

bool HistoryRecorder::RecordEvent(HistoryTime time, HistoryEventKind kind, std::string_view row) {
  return impl_->RecordEvent(time, kind, row);
}

bool HistoryRecorder::Maintain() {
  return impl_->Maintain();
}

void HistoryRecorder::SetRetentionDays(int days) {
  impl_->SetRetentionDays(days);
}

const std::string& HistoryRecorder::LastError() const {
  return impl_->LastError();
}

std::vector<std::string> HistoryRecorder::TakeNotices() {
  return impl_->TakeNotices();
}

const std::filesystem::path& HistoryRecorder::File() const {
  return impl_->File();
}

}  // namespace history
