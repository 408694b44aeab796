#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "history/history_query.h"
#include "history/history_recorder.h"
#include "history/virtual_history_clock.h"
#include "support/temp_folder.h"
#include "tests/history/database_check.h"
#include "tests/history/history_test_support.h"
#include "tests/history/kill_rounds.h"
#include "tests/history/private_tmpfs.h"

namespace {

using history::HistoryRecorder;
using history::HistoryRecorderOptions;
using history_testing::kStart;
using history_testing::Readings;
using testing::HasSubstr;
using namespace std::chrono_literals;

const history::HistoryTime kEver = kStart - std::chrono::days(400);
const history::HistoryTime kNever = kStart + std::chrono::days(400);

class HistoryFile : public ::testing::Test {
 protected:
  std::filesystem::path File() const { return folder_ / "quelta/history.sqlite"; }
  HistoryRecorderOptions Options() const {
    HistoryRecorderOptions options;
    options.file = File();
    return options;
  }
  // What the clock makes of a file set aside now.
  std::filesystem::path Aside(const std::string& why) const {
    return File().string() + "." + why + "-20261201T000000Z";
  }

  testing_support::TempFolder folder_;
  history::VirtualHistoryClock clock_{kStart};
};

// A file that is not a database, one cut short, one of another program: each is renamed aside
// whole, the user is told both names, and the poll goes into a new record.
TEST_F(HistoryFile, AnUnusableFileIsSetAsideWholeAndRecordingGoesOnInANewOne) {
  // A record of 3000 polls cut to a third of its length.
  const std::filesystem::path sound = folder_ / "sound.sqlite";
  {
    HistoryRecorderOptions options = Options();
    options.file = sound;
    HistoryRecorder recorder(options, clock_);
    for (int i = 0; i < 3000; ++i) ASSERT_TRUE(recorder.RecordPoll(kStart + i * 3s, Readings(1)));
  }
  ASSERT_EQ(history_testing::IntegrityCheck(sound), "ok");
  const std::string whole = testing_support::ReadFile(sound);
  ASSERT_FALSE(std::filesystem::exists(sound.string() + "-wal"));
  const std::string truncated = whole.substr(0, whole.size() / 3);
  const std::string garbage(5000, 'g');

  struct Case {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    const char* why;
  };
  const Case cases[] = {
      {"garbage", [&](const auto& file) { testing_support::WriteFile(file, garbage); }, "damaged"},
      {"truncated", [&](const auto& file) { testing_support::WriteFile(file, truncated); },
       "damaged"},
      {"foreign", [](const auto& file) { history_testing::MakeForeignDatabase(file); }, "foreign"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder_ / "quelta");
    std::filesystem::create_directories(folder_ / "quelta");
    c.make(File());
    const std::string before = testing_support::ReadFile(File());

    HistoryRecorder recorder(Options(), clock_);
    ASSERT_TRUE(recorder.RecordPoll(Readings(7))) << recorder.LastError();
    const std::vector<std::string> notices = recorder.TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], "the history file " + File().string() + " is " + c.why +
                              "; it was set aside as " + Aside(c.why).string() +
                              " and recording goes on in a new " + File().string());
    EXPECT_EQ(testing_support::ReadFile(Aside(c.why)), before);
    history::HistoryQuery query(File());
    ASSERT_EQ(query.Rows(kEver, kNever).size(), 1u);
    EXPECT_EQ(history_testing::IntegrityCheck(File()), "ok");
  }
  // The foreign database is still the other program's, table and all.
  EXPECT_EQ(history_testing::QueryInteger(Aside("foreign"), "SELECT count(*) FROM notes"), 1);
}

TEST_F(HistoryFile, AFileSetAsideBeforeIsNeverOverwritten) {
  std::filesystem::create_directories(folder_ / "quelta");
  testing_support::WriteFile(Aside("damaged"), "the first one");
  testing_support::WriteFile(File(), "the second one, also not a database");
  HistoryRecorder recorder(Options(), clock_);
  ASSERT_TRUE(recorder.Open()) << recorder.LastError();
  EXPECT_EQ(testing_support::ReadFile(Aside("damaged")), "the first one");
  EXPECT_EQ(testing_support::ReadFile(Aside("damaged").string() + "-2"),
            "the second one, also not a database");
}

TEST_F(HistoryFile, AnEmptyFileOrAnOwnRecordIsKeptAsItIs) {
  std::filesystem::create_directories(folder_ / "quelta");
  testing_support::WriteFile(File(), "");
  {
    HistoryRecorder recorder(Options(), clock_);
    ASSERT_TRUE(recorder.RecordPoll(kStart, Readings(1)));
    EXPECT_TRUE(recorder.TakeNotices().empty());
  }
  HistoryRecorder again(Options(), clock_);
  ASSERT_TRUE(again.RecordPoll(kStart + 3s, Readings(2)));
  EXPECT_TRUE(again.TakeNotices().empty());
  EXPECT_EQ(history_testing::PollsHeld(File()), 2);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_ / "quelta"),
                          std::filesystem::directory_iterator()),
            3);  // the record, its WAL and its shared memory: nothing set aside
}

TEST_F(HistoryFile, NeverGrowsPastItsCapAndDropsTheOldestFirst) {
  // A small cap checkpoints every few polls, each with an fsync: on a tmpfs when there is one.
  history_testing::PrivateTmpfs disk(folder_ / "state", 4 << 20);
  HistoryRecorderOptions options = Options();
  if (disk.Ready()) options.file = disk.Path() / "history.sqlite";
  const std::filesystem::path file = options.file;
  options.maxBytes = 400'000;
  options.retentionDays = 3650;
  HistoryRecorder recorder(options, clock_);
  const auto size = [&] {
    std::uintmax_t total = std::filesystem::file_size(file);
    const std::filesystem::path wal = file.string() + "-wal";
    if (std::filesystem::exists(wal)) total += std::filesystem::file_size(wal);
    return total;
  };
  // About 150 bytes a poll: 8000 polls would be three times the cap.
  constexpr int kPolls = 8000;
  for (int i = 0; i < kPolls; ++i) {
    clock_.Set(kStart + i * 3s);
    ASSERT_TRUE(recorder.RecordPoll(Readings(static_cast<float>(i)))) << i << recorder.LastError();
    if (i % 500 == 0) {
      ASSERT_LE(size(), options.maxBytes) << "after poll " << i;
    }
  }
  EXPECT_LE(size(), options.maxBytes);
  history::HistoryQuery query(file);
  const std::vector<history::HistoryRow> rows = query.Rows(kEver, kNever);
  ASSERT_FALSE(rows.empty());
  // The newest poll is there, the oldest went, and what is left runs unbroken to the end.
  EXPECT_EQ(rows.back().time, kStart + (kPolls - 1) * 3s);
  EXPECT_GT(rows.front().time, kStart);
  EXPECT_EQ(rows.back().time - rows.front().time, (rows.size() - 1) * 3s);
  EXPECT_GT(rows.size(), 1000u);  // a trim takes a tenth at a time, not all of it
  EXPECT_EQ(history_testing::IntegrityCheck(file), "ok");
}

TEST_F(HistoryFile, TwoRecordingProcessesAtOnceBothSucceedAndSignTheirRows) {
  // Each round on a new file: the two also race to make it and switch it to WAL.
  constexpr int kRounds = 20;
  constexpr int kPolls = 100;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::filesystem::path file =
        folder_ / ("round" + std::to_string(round)) / "history.sqlite";
    const int first = history_testing::StartRecorder(file, kPolls);
    const int second = history_testing::StartRecorder(file, kPolls);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    for (const int pid : {first, second}) {
      int status = -1;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "recorder " << pid << " failed";
    }
    for (const int pid : {first, second}) {
      EXPECT_EQ(history_testing::QueryInteger(
                    file, "SELECT count(*) FROM poll WHERE pid = " + std::to_string(pid)) +
                    history_testing::QueryInteger(
                        file, "SELECT coalesce(sum(polls), 0) FROM minute WHERE pid = " +
                                  std::to_string(pid)),
                kPolls)
          << "polls of " << pid;
    }
    EXPECT_EQ(history_testing::IntegrityCheck(file), "ok");
  }
}

TEST_F(HistoryFile, AReadOnlyStateFolderIsToldAndNothingBreaks) {
  history_testing::PrivateTmpfs disk(folder_ / "state", 1 << 20);
  if (!disk.Ready()) GTEST_SKIP() << "no private tmpfs: " << disk.Why();
  // One record whose folder is yet to be made, one whose folder is there but empty.
  std::filesystem::create_directories(disk.Path() / "made");
  ASSERT_TRUE(disk.MakeReadOnly()) << disk.Why();
  for (const char* folder : {"quelta", "made"}) {
    SCOPED_TRACE(folder);
    HistoryRecorderOptions options;
    options.file = disk.Path() / folder / "history.sqlite";
    HistoryRecorder recorder(options, clock_);
    EXPECT_FALSE(recorder.RecordPoll(Readings(1)));
    EXPECT_THAT(recorder.LastError(), HasSubstr((disk.Path() / folder).string()));
    EXPECT_THAT(recorder.LastError(), HasSubstr("Read-only file system"));
    EXPECT_FALSE(recorder.RecordEvent(history::HistoryEventKind::ConnectionLost));
    EXPECT_FALSE(recorder.IsOpen());
  }
}

TEST_F(HistoryFile, AFullDiskLosesOnlyThePollsThatDidNotFitAndRecoversWhenThereIsRoom) {
  history_testing::PrivateTmpfs disk(folder_ / "state", 1 << 20);
  if (!disk.Ready()) GTEST_SKIP() << "no private tmpfs: " << disk.Why();
  const std::filesystem::path filler = disk.Path() / "filler";
  testing_support::WriteFile(filler, std::string(256 * 1024, 'f'));
  HistoryRecorderOptions options;
  options.file = disk.Path() / "quelta/history.sqlite";
  HistoryRecorder recorder(options, clock_);
  int stored = 0;
  bool full = false;
  for (int i = 0; i < 20000 && !full; ++i) {
    clock_.Advance(3s);
    if (recorder.RecordPoll(Readings(static_cast<float>(i))))
      ++stored;
    else
      full = true;
  }
  ASSERT_TRUE(full) << "the disk never filled";
  EXPECT_THAT(recorder.LastError(), HasSubstr(options.file.string()));
  EXPECT_THAT(recorder.LastError(), HasSubstr("full"));
  EXPECT_FALSE(recorder.RecordPoll(Readings(1)));
  EXPECT_EQ(history_testing::IntegrityCheck(options.file), "ok");
  EXPECT_EQ(history_testing::PollsHeld(options.file), stored);

  std::filesystem::remove(filler);
  EXPECT_TRUE(recorder.RecordPoll(Readings(2))) << recorder.LastError();
  EXPECT_EQ(history_testing::PollsHeld(options.file), stored + 1);
}

}  // namespace
