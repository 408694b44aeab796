// The history window, live on Qt's offscreen platform, over a generated record.
#include "historyview/history_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QScreen>
#include <filesystem>

#include "history/history_query.h"
#include "history/history_recorder.h"
#include "history/history_settings.h"
#include "history/virtual_history_clock.h"
#include "historyview/history_file_hooks.h"
#include "platform/registry/reg_file_store.h"
#include "support/temp_folder.h"
#include "tests/history/database_check.h"

namespace historyview {
namespace {

constexpr std::int64_t kNow = 1'800'000'000'000;
constexpr std::int64_t kMinute = 60'000;
constexpr std::int64_t kDay = 24 * 60 * kMinute;

class QtWidgets {
 private:
  int argc_ = 1;
  char name_[8] = "test";
  char* argv_[1] = {name_};
  QApplication qt_{argc_, argv_};
};

class HistoryWindowTest : public ::testing::Test {
 protected:
  HistoryWindowHooks Hooks() {
    HistoryWindowHooks hooks;
    hooks.now = [] { return kNow; };
    hooks.load = [this](std::int64_t fromMs, std::int64_t toMs) {
      ++loads_;
      HistoryRecord record;
      for (const HistoryRow& row : rows_) {
        if (row.timeMs >= fromMs && row.timeMs <= toMs) record.rows.push_back(row);
      }
      record.events = events_;
      return record;
    };
    hooks.recording = [this] { return recording_; };
    hooks.setRecording = [this](bool on) {
      if (!storable_) return false;
      recording_ = on;
      return true;
    };
    return hooks;
  }

  QtWidgets qt_;
  std::vector<HistoryRow> rows_;
  std::vector<HistoryEvent> events_;
  int loads_ = 0;
  bool recording_ = true;
  bool storable_ = true;
};

// A poll every minute for the last day with power 300 W; the hour before now at 400 W.
void OneDayOfPolls(std::vector<HistoryRow>& rows) {
  for (std::int64_t t = kNow - kDay + kMinute; t <= kNow; t += kMinute) {
    HistoryRow row;
    row.timeMs = t;
    const float watt = t > kNow - 60 * kMinute ? 400.0f : 300.0f;
    row[Channel::Watt] = {watt, watt, watt};
    row[Channel::Vol12V1] = {12.0f, 12.0f, 12.0f};
    rows.push_back(row);
  }
}

TEST_F(HistoryWindowTest, OpensOnTheLastDayAndEachRangeButtonReadsItsOwnStretch) {
  OneDayOfPolls(rows_);
  HistoryWindow window(Hooks());
  window.resize(1000, 800);
  window.Open();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.Model().Range(), RangeChoice::Day);
  EXPECT_EQ(window.Model().Shown().size(), 1440u);
  EXPECT_TRUE(window.StatusText().startsWith(QStringLiteral("1,440 polls")))
      << window.StatusText().toStdString();
  const Stats day = window.Model().StatsOf(Channel::Watt);
  EXPECT_EQ(day.min, 300.0f);
  EXPECT_EQ(day.max, 400.0f);

  window.ShowRange(RangeChoice::Hour);
  EXPECT_EQ(window.Model().Shown().size(), 61u);                 // both edges of the hour
  EXPECT_EQ(window.Model().StatsOf(Channel::Watt).min, 300.0f);  // the first edge's poll
  EXPECT_EQ(window.Model().StatsOf(Channel::Watt).mean, (300.0f + 60 * 400.0f) / 61);
  EXPECT_EQ(loads_, 2);

  const QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.size(), window.size());
}

TEST_F(HistoryWindowTest, OpensWithinASmallScreenAndKeepsASizeGivenToIt) {
  HistoryWindow window(Hooks());
  window.Open();
  const QSize room = window.screen()->availableGeometry().size();
  ASSERT_LT(room.height(), window.sizeHint().height()) << "the test wants a screen too small";
  EXPECT_LE(window.height(), room.height());
  EXPECT_GT(window.height(), room.height() * 8 / 10) << "the charts get the room there is";
  EXPECT_LE(window.width(), room.width());
  window.hide();
  window.resize(700, 500);
  window.Open();
  EXPECT_EQ(window.size(), QSize(700, 500));
}

TEST_F(HistoryWindowTest, TheRecordBoxFollowsTheSwitchAndSaysWhenItCannotBeStored) {
  HistoryWindow window(Hooks());
  window.Open();
  EXPECT_TRUE(window.StatusText().startsWith(QStringLiteral("Nothing recorded")));
  ASSERT_TRUE(window.RecordBox()->isVisible());
  EXPECT_TRUE(window.RecordBox()->isChecked());
  window.RecordBox()->click();
  EXPECT_FALSE(recording_);
  storable_ = false;
  window.RecordBox()->click();
  EXPECT_FALSE(window.RecordBox()->isChecked());
  EXPECT_EQ(window.StatusText(), QStringLiteral("The recording switch could not be stored."));
}

TEST_F(HistoryWindowTest, ThePointerShowsTheReadingsThereAndNothingInAGap) {
  OneDayOfPolls(rows_);
  rows_.erase(rows_.end() - 30, rows_.end() - 10);  // twenty minutes without a poll
  HistoryWindow window(Hooks());
  window.resize(1000, 800);
  window.Open();
  window.ShowRange(RangeChoice::Hour);
  const QRect chart = window.Chart().rect();
  // A move over the middle of the plots sets the pointer to the middle of the hour.
  QMouseEvent move(QEvent::MouseMove,
                   QPointF(64 + (chart.width() - 80) / 2.0, chart.height() / 2.0), QPointF(),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&window.Chart(), &move);
  ASSERT_TRUE(window.Chart().PointerTime());
  EXPECT_NEAR(static_cast<double>(*window.Chart().PointerTime()), kNow - 30 * kMinute, kMinute);
  EXPECT_FALSE(window.Model().ReadingsAt(kNow - 20 * kMinute));
  ASSERT_TRUE(window.Model().ReadingsAt(kNow - 5 * kMinute));
  EXPECT_EQ((*window.Model().ReadingsAt(kNow - 5 * kMinute))[Channel::Watt].mean, 400.0f);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&window.Chart(), &leave);
  EXPECT_FALSE(window.Chart().PointerTime());
}

}  // namespace
}  // namespace historyview

// The window on a database the real recorder wrote.
namespace historyview {
namespace {

class HistoryFileWindowTest : public HistoryWindowTest {
 protected:
  testing_support::TempFolder folder_;
  std::filesystem::path file_ = folder_ / "history.sqlite";
  std::unique_ptr<platform::RegistryStore> store_ =
      std::make_unique<platform::RegFileStore>(folder_.Touch("registry.reg", kSettings));
  static constexpr const char* kSettings =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\NORVANE\\Quelta\\History]\n\"Enabled\"=\"1\"\n"
      "\"RetentionDays\"=\"30\"\n";
};

TEST_F(HistoryFileWindowTest, OpensOnAGeneratedDatabaseWithItsAlarmsLossesAndSwitch) {
  // A day and a half at one poll a minute: the older half day is folded into minute rows.
  const history::HistoryTime start(std::chrono::milliseconds(kNow - 36 * 60 * kMinute));
  history::VirtualHistoryClock clock(start);
  {
    history::HistoryRecorder recorder({file_, 4242}, clock);
    for (int minute = 1; minute <= 36 * 60; ++minute) {
      clock.Advance(std::chrono::minutes(1));
      device::ReadingSet r;
      r.WattTotal = minute <= 35 * 60 ? 300.0f : 500.0f;  // the last hour at 500 W
      r.Vol12V2 = 12.0f;
      if (minute == 35 * 60 + 10) r.Vol12V2 = 12.8f;
      if (minute == 35 * 60 + 10)
        recorder.RecordEvent(history::HistoryEventKind::AlarmStart, "12V2");
      if (minute == 35 * 60 + 12) recorder.RecordEvent(history::HistoryEventKind::AlarmEnd, "12V2");
      if (minute == 35 * 60 + 30) {
        recorder.RecordEvent(history::HistoryEventKind::ConnectionLost, "");
        continue;  // no poll while it is gone
      }
      ASSERT_TRUE(recorder.RecordPoll(r)) << recorder.LastError();
    }
  }
  ASSERT_EQ(clock.Now().time_since_epoch().count(), kNow);

  HistoryWindowHooks hooks = FileHistoryHooks(file_, *store_);
  hooks.now = [] { return kNow; };
  HistoryWindow window(std::move(hooks));
  window.resize(1000, 800);
  window.ShowRange(RangeChoice::Hour);
  window.Open();
  const HistoryModel& model = window.Model();
  const Stats watt = model.StatsOf(Channel::Watt);
  EXPECT_EQ(watt.polls, 60u);   // both ends of the hour, the minute while it was gone left out
  EXPECT_EQ(watt.min, 300.0f);  // the poll on the hour's first edge
  EXPECT_EQ(watt.max, 500.0f);
  EXPECT_EQ(model.StatsOf(Channel::Vol12V2).max, 12.8f);
  EXPECT_EQ(model.AlarmPeriods(),
            (std::vector<Period>{{kNow - 50 * kMinute, kNow - 48 * kMinute, "12V2"}}));
  // The loss lasts until the next poll's point, which starts its column (1.8 s wide).
  const std::vector<Period> losses = model.ConnectionLosses();
  ASSERT_EQ(losses.size(), 1u);
  EXPECT_EQ(losses[0].fromMs, kNow - 30 * kMinute);
  EXPECT_NEAR(static_cast<double>(losses[0].toMs), kNow - 29 * kMinute, 1800);

  // The month: the folded minutes and the polls of the last day together.
  window.ShowRange(RangeChoice::Month);
  const Stats month = window.Model().StatsOf(Channel::Watt);
  EXPECT_EQ(month.polls, 36u * 60 - 1);
  EXPECT_EQ(month.min, 300.0f);
  EXPECT_FLOAT_EQ(month.mean, (2100.0f * 300 + 59 * 500) / 2159);

  // The box shows the stored switch and stores what is chosen.
  EXPECT_TRUE(window.RecordBox()->isChecked());
  window.RecordBox()->click();
  EXPECT_FALSE(history::LoadHistorySettings(*store_).enabled);
  const QImage shot = window.grab().toImage();
  EXPECT_FALSE(shot.isNull());
}

// Eight days at one poll a minute, each reading its own saw-tooth, read back as the window
// reads a week and a day.
TEST_F(HistoryFileWindowTest, AWeekFromTheSummaryDrawsWhatItsPollsAndMinutesDraw) {
  const history::HistoryTime start(std::chrono::milliseconds(kNow - 8 * kDay));
  history::VirtualHistoryClock clock(start);
  {
    history::HistoryRecorder recorder({file_, 4242}, clock);
    for (int minute = 1; minute <= 8 * 24 * 60; ++minute) {
      clock.Advance(std::chrono::minutes(1));
      device::ReadingSet r;
      r.WattTotal = 300.0f + static_cast<float>(minute % 37) * 3.0f;
      r.Vol12V1 = 11.9f + static_cast<float>(minute % 11) * 0.02f;
      r.Vol5V = 4.9f + static_cast<float>(minute % 13) * 0.01f;
      r.TempT4 = 30.0f + static_cast<float>(minute % 17);
      r.FanSystem = 800.0f + static_cast<float>(minute % 19) * 10.0f;
      ASSERT_TRUE(recorder.RecordPoll(r)) << recorder.LastError();
    }
  }
  const auto read = [this](std::int64_t length) {
    history::HistoryQuery query(file_);
    HistoryRecord record = ReadHistory(query, file_, kNow - length, kNow);
    EXPECT_EQ(record.error, "");
    return record.rows;
  };
  const std::int64_t week = LengthOf(RangeChoice::Week).count();
  const std::vector<HistoryRow> summed = read(week);
  const std::vector<HistoryRow> day = read(kDay);

  // A summary row made to lie shows in the week alone: the day is read from its polls.
  ASSERT_TRUE(history_testing::Execute(file_, "UPDATE summary SET WattTotal_max = 9999"));
  const auto greatestWatt = [](const std::vector<HistoryRow>& rows) {
    float greatest = 0.0f;
    for (const HistoryRow& row : rows) greatest = std::max(greatest, row[Channel::Watt].max);
    return greatest;
  };
  EXPECT_EQ(greatestWatt(read(week)), 9999.0f);
  EXPECT_EQ(greatestWatt(read(kDay)), 408.0f);  // 300 + 36 * 3

  // Without the summary (a file an older Quelta wrote) the week is read from the polls and
  // minute rows. A stretch falls whole into the point where it starts, where its minutes may
  // fall on both sides of a point's edge, so the week as a whole is compared, and the points.
  ASSERT_TRUE(history_testing::Execute(file_, "DROP TABLE summary"));
  const std::vector<HistoryRow> unsummed = read(week);
  const auto whole = [](const std::vector<HistoryRow>& rows, std::size_t c) {
    Stats stats{rows.front().values[c].min, 0.0f, rows.front().values[c].max, 0};
    double sum = 0.0;
    for (const HistoryRow& row : rows) {
      stats.min = std::min(stats.min, row.values[c].min);
      stats.max = std::max(stats.max, row.values[c].max);
      sum += static_cast<double>(row.values[c].mean) * row.count;
      stats.polls += row.count;
    }
    stats.mean = static_cast<float>(sum / static_cast<double>(stats.polls));
    return stats;
  };
  ASSERT_FALSE(summed.empty());
  ASSERT_FALSE(unsummed.empty());
  for (std::size_t c = 0; c < kChannelCount; ++c) {
    SCOPED_TRACE(c);
    const Stats a = whole(summed, c);
    const Stats b = whole(unsummed, c);
    EXPECT_EQ(a.polls, 7u * 24 * 60 + 1);  // both ends of the week included
    EXPECT_EQ(a.polls, b.polls);
    EXPECT_EQ(a.min, b.min);
    EXPECT_FLOAT_EQ(a.mean, b.mean);
    EXPECT_EQ(a.max, b.max);
  }
  EXPECT_EQ(whole(summed, 0).max, 408.0f);
  EXPECT_EQ(whole(summed, 0).min, 300.0f);
  // A point a stretch (300 s) and a little more wide (302.4 s): one or two stretches each.
  EXPECT_EQ(summed.size(), unsummed.size());
  EXPECT_EQ(read(kDay).size(), day.size());
}

TEST_F(HistoryFileWindowTest, AMissingDatabaseSaysSoInTheWindow) {
  HistoryWindowHooks hooks = FileHistoryHooks(file_, *store_);
  hooks.now = [] { return kNow; };
  HistoryWindow window(std::move(hooks));
  window.Open();
  EXPECT_TRUE(window.Model().Shown().empty());
  EXPECT_NE(window.StatusText().toStdString().find(file_.string()), std::string::npos)
      << window.StatusText().toStdString();
}

}  // namespace
}  // namespace historyview
