// The 5-minute summary the recorder keeps beside the polls and minute rows, on a virtual clock.
#include <gtest/gtest.h>

#include "history/history_recorder.h"
#include "history/virtual_history_clock.h"
#include "support/temp_folder.h"
#include "tests/history/database_check.h"
#include "tests/history/history_test_support.h"

namespace {

using history::HistoryRecorder;
using history::HistoryRecorderOptions;
using history::kHistoryColumnCount;
using history_testing::kStart;
using history_testing::Readings;
using history_testing::SummaryRows;
using namespace std::chrono_literals;

// kStart in ms: a stretch's start as well as a minute's.
const std::int64_t kStartMs = kStart.time_since_epoch().count();
constexpr std::int64_t kStretchMs = 5 * 60'000;

class HistorySummary : public ::testing::Test {
 protected:
  HistoryRecorderOptions Options(std::int64_t pid = 4242) const {
    HistoryRecorderOptions options;
    options.file = folder_ / "state/quelta/history.sqlite";
    options.processId = pid;
    return options;
  }

  // Polls of 100, 200 and 330 at 0 s, 1 min and 4 min 59 s of the first stretch, and one of
  // 900 at the start of the next.
  void RecordTwoStretches(HistoryRecorder& recorder) {
    for (const auto& [offset, base] :
         {std::pair{0s, 100.0f}, {60s, 200.0f}, {299s, 330.0f}, {300s, 900.0f}})
      ASSERT_TRUE(recorder.RecordPoll(kStart + offset, Readings(base))) << recorder.LastError();
  }

  void Maintain(HistoryRecorder& recorder, history::HistoryTime at) {
    clock_.Set(at);
    ASSERT_TRUE(recorder.Maintain()) << recorder.LastError();
  }

  // Every reading of a summary row against its least, mean and greatest base value: column i
  // holds i * 1000 + the base.
  static void ExpectRow(const history_testing::SummaryRow& row, std::int64_t time,
                        std::int64_t polls, double min, double mean, double max) {
    EXPECT_EQ(row.time, time);
    EXPECT_EQ(row.polls, polls);
    ASSERT_EQ(row.min.size(), kHistoryColumnCount);
    for (std::size_t i = 0; i < kHistoryColumnCount; ++i) {
      SCOPED_TRACE(history::kHistoryColumns[i].name);
      const double thousands = static_cast<double>(i) * 1000.0;
      EXPECT_EQ(row.min[i], thousands + min);
      EXPECT_EQ(row.mean[i], thousands + mean);
      EXPECT_EQ(row.max[i], thousands + max);
    }
  }

  std::filesystem::path File() const { return Options().file; }

  testing_support::TempFolder folder_;
  history::VirtualHistoryClock clock_{kStart};
};

TEST_F(HistorySummary, AStretchIsSummedUpOnceItEndedAMinuteAgo) {
  HistoryRecorder recorder(Options(), clock_);
  RecordTwoStretches(recorder);

  Maintain(recorder, kStart + 6min - 1ms);
  EXPECT_TRUE(SummaryRows(File()).empty());

  Maintain(recorder, kStart + 6min);
  std::vector<history_testing::SummaryRow> rows = SummaryRows(File());
  ASSERT_EQ(rows.size(), 1u);
  // (100 + 200 + 330) / 3 = 210
  ExpectRow(rows[0], kStartMs, 3, 100, 210, 330);

  // The second stretch on its own edge, the first left as it was.
  Maintain(recorder, kStart + 11min);
  rows = SummaryRows(File());
  ASSERT_EQ(rows.size(), 2u);
  ExpectRow(rows[0], kStartMs, 3, 100, 210, 330);
  ExpectRow(rows[1], kStartMs + kStretchMs, 1, 900, 900, 900);
}

TEST_F(HistorySummary, ALatePollIsSummedUpWithPollsAlreadyFoldedIntoMinutes) {
  HistoryRecorder recorder(Options(), clock_);
  RecordTwoStretches(recorder);
  // A day on: the polls at 0 s and 1 min are folded, the one at 4 min 59 s is not yet.
  Maintain(recorder, kStart + 24h + 2min);
  ASSERT_EQ(history_testing::QueryInteger(File(), "SELECT count(*) FROM minute"), 2);
  ExpectRow(SummaryRows(File()).at(0), kStartMs, 3, 100, 210, 330);

  // Stamped inside the first stretch (a clock set back): the stretch is summed up again from
  // its two minute rows and two polls. (100 + 200 + 50 + 330) / 4 = 170
  ASSERT_TRUE(recorder.RecordPoll(kStart + 2min, Readings(50.0f)));
  Maintain(recorder, kStart + 24h + 3min);
  const std::vector<history_testing::SummaryRow> rows = SummaryRows(File());
  ASSERT_EQ(rows.size(), 2u);
  ExpectRow(rows[0], kStartMs, 4, 50, 170, 330);
  ExpectRow(rows[1], kStartMs + kStretchMs, 1, 900, 900, 900);

  // Folded whole, the same.
  Maintain(recorder, kStart + 24h + 6min);
  ASSERT_EQ(history_testing::QueryInteger(File(), "SELECT count(*) FROM poll"), 0);
  ExpectRow(SummaryRows(File()).at(0), kStartMs, 4, 50, 170, 330);
}

TEST_F(HistorySummary, EveryWritersPollsMeetInOneRowWeightedByPolls) {
  HistoryRecorder window(Options(), clock_);
  HistoryRecorder service(Options(7), clock_);
  RecordTwoStretches(window);
  ASSERT_TRUE(service.RecordPoll(kStart + 1s, Readings(10.0f)));
  ASSERT_TRUE(service.RecordPoll(kStart + 2s, Readings(20.0f)));
  Maintain(service, kStart + 6min);
  // (100 + 200 + 330 + 10 + 20) / 5 = 132
  ExpectRow(SummaryRows(File()).at(0), kStartMs, 5, 10, 132, 330);
}

TEST_F(HistorySummary, AStretchCutByTheRetentionIsSummedUpFromWhatIsLeft) {
  HistoryRecorderOptions options = Options();
  options.retentionDays = 30;
  HistoryRecorder recorder(options, clock_);
  RecordTwoStretches(recorder);

  // Exactly 30 days: all kept.
  Maintain(recorder, kStart + std::chrono::days(30));
  ExpectRow(SummaryRows(File()).at(0), kStartMs, 3, 100, 210, 330);

  // A millisecond older: the minute of the first poll goes. (200 + 330) / 2 = 265
  Maintain(recorder, kStart + std::chrono::days(30) + 1ms);
  std::vector<history_testing::SummaryRow> rows = SummaryRows(File());
  ASSERT_EQ(rows.size(), 2u);
  ExpectRow(rows[0], kStartMs, 2, 200, 265, 330);

  // Up to the last minute of the stretch: one poll left of it.
  Maintain(recorder, kStart + std::chrono::days(30) + 4min);
  ExpectRow(SummaryRows(File()).at(0), kStartMs, 1, 330, 330, 330);

  // Past it: the stretch has gone from the summary, the next is whole.
  Maintain(recorder, kStart + std::chrono::days(30) + 4min + 1ms);
  rows = SummaryRows(File());
  ASSERT_EQ(rows.size(), 1u);
  ExpectRow(rows[0], kStartMs + kStretchMs, 1, 900, 900, 900);
}

TEST_F(HistorySummary, TheSizeCapCutsTheSummaryWithTheRowsItDrops) {
  HistoryRecorderOptions options = Options();
  options.maxBytes = 400'000;
  options.retentionDays = 3650;
  HistoryRecorder recorder(options, clock_);
  // Nearly seven hours at 3 s, three times what the cap holds: the oldest go a tenth at a time,
  // cutting stretches the summary already holds.
  constexpr int kPolls = 8000;
  for (int i = 0; i < kPolls; ++i) {
    clock_.Set(kStart + i * 3s);
    ASSERT_TRUE(recorder.RecordPoll(clock_.Now(), Readings(static_cast<float>(i % 50))))
        << i << ": " << recorder.LastError();
  }
  Maintain(recorder, kStart + kPolls * 3s + 2min);
  ASSERT_GT(history_testing::QueryInteger(File(), "SELECT min(time) FROM poll"), kStartMs)
      << "the cap never cut";
  ASSERT_GT(history_testing::QueryInteger(File(), "SELECT count(*) FROM summary"), 10);
  // Every stretch summed up counts exactly the polls still kept in it, the cut one too.
  const std::string width = std::to_string(kStretchMs);
  EXPECT_EQ(history_testing::QueryInteger(
                File(),
                "SELECT count(*) FROM summary s WHERE s.polls != "
                "(SELECT count(*) FROM poll p WHERE p.time >= s.time AND p.time < s.time + " +
                    width +
                    ") + (SELECT coalesce(sum(polls), 0) FROM minute m WHERE m.time >= s.time "
                    "AND m.time < s.time + " +
                    width + ")"),
            0);
  EXPECT_EQ(history_testing::IntegrityCheck(File()), "ok");
}

TEST_F(HistorySummary, AFileWithoutASummaryGetsItAQuarterDayAtATimeOldestFirst) {
  {
    HistoryRecorder recorder(Options(), clock_);
    RecordTwoStretches(recorder);
    ASSERT_TRUE(recorder.RecordPoll(kStart + 7h, Readings(500.0f)));
    Maintain(recorder, kStart + 24h + 20min);
  }
  // The file as an older Quelta left it: the same tables but the summary.
  ASSERT_TRUE(history_testing::Execute(File(), "DROP TABLE summary"));
  ASSERT_TRUE(SummaryRows(File()).empty());

  // Opened and recorded into: its first quarter day from its oldest row is summed up.
  HistoryRecorder recorder(Options(), clock_);
  ASSERT_TRUE(recorder.RecordPoll(kStart + 24h + 21min, Readings(1.0f))) << recorder.LastError();
  std::vector<history_testing::SummaryRow> rows = SummaryRows(File());
  ASSERT_EQ(rows.size(), 2u);
  ExpectRow(rows[0], kStartMs, 3, 100, 210, 330);
  ExpectRow(rows[1], kStartMs + kStretchMs, 1, 900, 900, 900);
  EXPECT_EQ(history_testing::QueryInteger(File(), "PRAGMA user_version"), 1);
  EXPECT_EQ(history_testing::IntegrityCheck(File()), "ok");

  // The next quarter day at the next maintenance.
  Maintain(recorder, kStart + 24h + 21min);
  rows = SummaryRows(File());
  ASSERT_EQ(rows.size(), 3u);
  ExpectRow(rows[2], kStartMs + 7 * 3'600'000, 1, 500, 500, 500);
}

}  // namespace
