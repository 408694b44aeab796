#include <gtest/gtest.h>

#include "history/history_query.h"
#include "history/history_recorder.h"
#include "history/virtual_history_clock.h"
#include "support/temp_folder.h"
#include "tests/history/history_test_support.h"

namespace {

using history::HistoryRecorder;
using history::HistoryRecorderOptions;
using history::HistoryTime;
using history::kHistoryColumnCount;
using history_testing::kStart;
using history_testing::Readings;
using namespace std::chrono_literals;

constexpr std::int64_t kPid = 4242;
// Far enough both ways that every row of a test lies between.
const HistoryTime kEver = kStart - std::chrono::days(400);
const HistoryTime kNever = kStart + std::chrono::days(400);

class HistoryFold : public ::testing::Test {
 protected:
  HistoryRecorderOptions Options() const {
    HistoryRecorderOptions options;
    options.file = folder_ / "state/quelta/history.sqlite";
    options.processId = kPid;
    return options;
  }

  // Three polls 3 s apart in the first minute: 100, 200, 330 over every column.
  void RecordFirstMinute(HistoryRecorder& recorder) {
    for (const auto& [offset, base] : {std::pair{0s, 100.0f}, {3s, 200.0f}, {6s, 330.0f}})
      ASSERT_TRUE(recorder.RecordPoll(kStart + offset, Readings(base))) << recorder.LastError();
  }

  std::vector<history::HistoryRow> AllRows() {
    history::HistoryQuery query(Options().file);
    return query.Rows(kEver, kNever);
  }

  testing_support::TempFolder folder_;
  history::VirtualHistoryClock clock_{kStart};
};

TEST_F(HistoryFold, PollsStayAsTakenUntilTheirWholeMinuteIsADayOld) {
  HistoryRecorder recorder(Options(), clock_);
  RecordFirstMinute(recorder);

  // The minute ends at kStart + 1 min; it folds once that end is 24 h back.
  clock_.Set(kStart + 24h + 1min - 1ms);
  ASSERT_TRUE(recorder.Maintain()) << recorder.LastError();
  std::vector<history::HistoryRow> rows = AllRows();
  ASSERT_EQ(rows.size(), 3u);
  for (const history::HistoryRow& row : rows) {
    EXPECT_FALSE(row.folded);
    EXPECT_EQ(row.polls, 1);
    EXPECT_EQ(row.processId, kPid);
  }
  EXPECT_EQ(rows[1].time, kStart + 3s);
  EXPECT_EQ(rows[1].values.mean[22], 22200.0);  // WattTotal of the second poll

  clock_.Set(kStart + 24h + 1min);
  ASSERT_TRUE(recorder.Maintain()) << recorder.LastError();
  rows = AllRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(rows[0].folded);
  EXPECT_EQ(rows[0].time, kStart);
  EXPECT_EQ(rows[0].polls, 3);
  EXPECT_EQ(rows[0].processId, kPid);
}

TEST_F(HistoryFold, AMinuteRowHoldsLeastMeanAndGreatestOfEveryReading) {
  HistoryRecorder recorder(Options(), clock_);
  RecordFirstMinute(recorder);
  // A poll of the next minute stays apart, and stays raw while its minute is young enough.
  ASSERT_TRUE(recorder.RecordPoll(kStart + 1min, Readings(900.0f)));
  clock_.Set(kStart + 24h + 1min);
  ASSERT_TRUE(recorder.Maintain());

  const std::vector<history::HistoryRow> rows = AllRows();
  ASSERT_EQ(rows.size(), 2u);
  // (100 + 200 + 330) / 3 = 210 in every column, offset by its thousands.
  for (std::size_t i = 0; i < kHistoryColumnCount; ++i) {
    SCOPED_TRACE(history::kHistoryColumns[i].name);
    const double thousands = static_cast<double>(i) * 1000.0;
    EXPECT_EQ(rows[0].values.min[i], thousands + 100.0);
    EXPECT_EQ(rows[0].values.mean[i], thousands + 210.0);
    EXPECT_EQ(rows[0].values.max[i], thousands + 330.0);
    EXPECT_EQ(rows[1].values.mean[i], thousands + 900.0);
  }
  EXPECT_FALSE(rows[1].folded);
}

TEST_F(HistoryFold, ALatePollOfAFoldedMinuteMergesWeightedByPolls) {
  HistoryRecorder recorder(Options(), clock_);
  RecordFirstMinute(recorder);
  clock_.Set(kStart + 24h + 1min);
  ASSERT_TRUE(recorder.Maintain());
  // Stamped inside the folded minute (a clock set back): it joins that minute's row.
  ASSERT_TRUE(recorder.RecordPoll(kStart + 59s, Readings(50.0f)));
  clock_.Advance(1min);
  ASSERT_TRUE(recorder.Maintain());

  const std::vector<history::HistoryRow> rows = AllRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].polls, 4);
  // (3 * 210 + 50) / 4 = 170
  EXPECT_EQ(rows[0].values.min[22], 22050.0);
  EXPECT_EQ(rows[0].values.mean[22], 22170.0);
  EXPECT_EQ(rows[0].values.max[22], 22330.0);
}

TEST_F(HistoryFold, EachWriterFoldsIntoItsOwnMinuteRow) {
  HistoryRecorderOptions other = Options();
  other.processId = 7;
  HistoryRecorder window(Options(), clock_);
  HistoryRecorder service(other, clock_);
  RecordFirstMinute(window);
  ASSERT_TRUE(service.RecordPoll(kStart + 1s, Readings(10.0f)));
  clock_.Set(kStart + 24h + 1min);
  ASSERT_TRUE(service.Maintain());

  const std::vector<history::HistoryRow> rows = AllRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].processId, 7);
  EXPECT_EQ(rows[0].polls, 1);
  EXPECT_EQ(rows[0].values.max[0], 10.0);
  EXPECT_EQ(rows[1].processId, kPid);
  EXPECT_EQ(rows[1].polls, 3);
}

TEST_F(HistoryFold, RowsAndEventsGoOnceOlderThanTheRetention) {
  HistoryRecorderOptions options = Options();
  options.retentionDays = 30;
  HistoryRecorder recorder(options, clock_);
  RecordFirstMinute(recorder);
  ASSERT_TRUE(recorder.RecordEvent(kStart, history::HistoryEventKind::AlarmStart, "12V2"));
  ASSERT_TRUE(recorder.RecordEvent(kStart + 1ms, history::HistoryEventKind::ConnectionLost));

  // Exactly 30 days old: kept (folded by now).
  clock_.Set(kStart + std::chrono::days(30));
  ASSERT_TRUE(recorder.Maintain());
  history::HistoryQuery query(options.file);
  ASSERT_EQ(query.Rows(kEver, kNever).size(), 1u);
  ASSERT_EQ(query.Events(kEver, kNever).size(), 2u);

  // A millisecond older: the minute row and the first event go, the second event stays.
  clock_.Advance(1ms);
  ASSERT_TRUE(recorder.Maintain());
  EXPECT_TRUE(query.Rows(kEver, kNever).empty());
  const std::vector<history::HistoryEvent> events = query.Events(kEver, kNever);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, history::HistoryEventKind::ConnectionLost);
  EXPECT_EQ(events[0].row, "");
}

TEST_F(HistoryFold, AShorterRetentionTakesEffectAtTheNextMaintenance) {
  HistoryRecorder recorder(Options(), clock_);
  RecordFirstMinute(recorder);
  clock_.Set(kStart + std::chrono::days(2));
  ASSERT_TRUE(recorder.Maintain());
  ASSERT_EQ(AllRows().size(), 1u);
  recorder.SetRetentionDays(1);
  ASSERT_TRUE(recorder.Maintain());
  EXPECT_TRUE(AllRows().empty());
}

TEST_F(HistoryFold, RecordingFoldsByItselfAboutOnceAMinute) {
  HistoryRecorder recorder(Options(), clock_);
  RecordFirstMinute(recorder);
  // Polls every 30 s for a day and two minutes: no Maintain() called.
  clock_.Set(kStart + 10s);
  while (clock_.Now() < kStart + 24h + 2min) {
    ASSERT_TRUE(recorder.RecordPoll(clock_.Now(), Readings(1.0f)));
    clock_.Advance(30s);
  }
  history::HistoryQuery query(Options().file);
  const std::vector<history::HistoryRow> first = query.Rows(kStart, kStart + 1min);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_TRUE(first[0].folded);
  // 3 polls, then those at 10 s and 40 s.
  EXPECT_EQ(first[0].polls, 5);
}

TEST_F(HistoryFold, BucketsAndSummaryWeighStoredMinutesByTheirPolls) {
  HistoryRecorder recorder(Options(), clock_);
  RecordFirstMinute(recorder);
  clock_.Set(kStart + 24h + 1min);
  ASSERT_TRUE(recorder.Maintain());
  ASSERT_TRUE(recorder.RecordPoll(kStart + 30min, Readings(400.0f)));
  ASSERT_TRUE(recorder.RecordPoll(kStart + 59min, Readings(500.0f)));
  ASSERT_TRUE(recorder.RecordPoll(kStart + 1h, Readings(700.0f)));

  history::HistoryQuery query(Options().file);
  const std::vector<history::HistoryRow> hours = query.Buckets(kStart, kStart + 3h, 1h);
  ASSERT_EQ(hours.size(), 2u);
  EXPECT_EQ(hours[0].time, kStart);
  EXPECT_EQ(hours[0].polls, 5);
  // (630 + 400 + 500) / 5 = 306
  EXPECT_EQ(hours[0].values.min[5], 5100.0);
  EXPECT_EQ(hours[0].values.mean[5], 5306.0);
  EXPECT_EQ(hours[0].values.max[5], 5500.0);
  EXPECT_EQ(hours[1].time, kStart + 1h);
  EXPECT_EQ(hours[1].polls, 1);

  const std::optional<history::HistoryRow> all = query.Summary(kStart, kStart + 3h);
  ASSERT_TRUE(all.has_value());
  EXPECT_EQ(all->polls, 6);
  // (1530 + 700) / 6 = 371.666...
  EXPECT_NEAR(all->values.mean[5], 5371.66667, 1e-5);
  EXPECT_EQ(all->values.max[5], 5700.0);
  // The range's end is not in it.
  EXPECT_FALSE(query.Summary(kStart + 2h, kStart + 3h).has_value());
  EXPECT_EQ(query.Rows(kStart + 1h, kStart + 1h + 1ms).size(), 1u);
  EXPECT_TRUE(query.Rows(kStart + 59min + 1ms, kStart + 1h).empty());
}

}  // namespace
