#include <gmock/gmock.h>

#include "history/history_query.h"
#include "history/history_settings.h"
#include "history/virtual_history_clock.h"
#include "support/form_main_fixture.h"
#include "tests/history/history_test_support.h"

namespace mainwindow::testing {
namespace {

using history::HistoryEventKind;
using history_testing::kStart;
using namespace std::chrono_literals;

constexpr auto kFlushLimit = 10s;
const history::HistoryTime kEver = kStart - std::chrono::days(1);
const history::HistoryTime kNever = kStart + std::chrono::days(1);

class FormMainHistoryTest : public FormMainTest {
 protected:
  FormMainHistoryTest() {
    historyFile_ = scratch_.Path() / "state/quelta/history.sqlite";
    historyClock_ = &clock_;
  }

  // Cycle n, three seconds after the one before; then everything it handed over is written.
  void Cycle(std::size_t n) {
    clock_.Advance(3s);
    RunCycle(n);
    ASSERT_TRUE(form_->History()->Flush(kFlushLimit)) << "the record was not written in time";
  }

  std::vector<std::pair<HistoryEventKind, std::string>> Events() {
    history::HistoryQuery query(historyFile_);
    std::vector<std::pair<HistoryEventKind, std::string>> events;
    for (const history::HistoryEvent& e : query.Events(kEver, kNever))
      events.emplace_back(e.kind, e.row);
    return events;
  }

  history::VirtualHistoryClock clock_{kStart};
};

TEST_F(FormMainHistoryTest, EveryCompletedPollIsRecordedAsTheWindowHoldsIt) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  std::vector<float> watts;
  for (std::size_t n = 1; n <= 3; ++n) {
    Cycle(n);
    watts.push_back(form.Monitor().Readings().Values().WattTotal);
  }
  history::HistoryQuery query(historyFile_);
  const std::vector<history::HistoryRow> rows = query.Rows(kEver, kNever);
  ASSERT_EQ(rows.size(), 3u) << query.LastError();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].time, kStart + (i + 1) * 3s);
    EXPECT_EQ(rows[i].processId, static_cast<std::int64_t>(::getpid()));
    EXPECT_EQ(rows[i].values.mean[22], static_cast<double>(watts[i]));
  }
  EXPECT_GT(watts[0], 0.0f);
}

TEST_F(FormMainHistoryTest, AlarmStartsAndEndsAndALostConnectionBecomeEvents) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  Cycle(1);
  EXPECT_TRUE(Events().empty());
  // A power threshold of 1 W: the power row starts at the next evaluation, once.
  form.Alarms().Watt = 1.0f;
  Cycle(2);
  Cycle(3);
  form.Alarms().Watt = 100000.0f;
  Cycle(4);
  bus_->SetMonitorPresent(false);
  loop_.RunPending();
  ASSERT_TRUE(ReleaseUntilShown("Connection Removed!"));
  ASSERT_TRUE(form.History()->Flush(kFlushLimit));
  EXPECT_EQ(Events(), (std::vector<std::pair<HistoryEventKind, std::string>>{
                          {HistoryEventKind::AlarmStart, "Watt"},
                          {HistoryEventKind::AlarmEnd, "Watt"},
                          {HistoryEventKind::ConnectionLost, ""}}));
}

TEST_F(FormMainHistoryTest, SwitchedOffInTheSettingsFileNothingIsRecorded) {
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  ASSERT_TRUE(history::SaveHistorySettings(*store_, history::HistorySettings{false, 30}));
  form.History()->ReloadSettings();
  EXPECT_FALSE(form.History()->Enabled());
  Cycle(1);
  Cycle(2);
  form.History()->SetEnabled(true);
  Cycle(3);
  history::HistoryQuery query(historyFile_);
  EXPECT_EQ(query.Rows(kEver, kNever).size(), 1u);
}

TEST_F(FormMainHistoryTest, AStateFolderThatCannotBeWrittenIsToldOnceAndTheWindowGoesOn) {
  // A file where the folder should be: the record cannot be made, whoever runs the test.
  std::filesystem::create_directories(scratch_.Path() / "state");
  testing_support::WriteFile(scratch_.Path() / "state/quelta", "in the way");
  TFormMain& form = Create();
  ASSERT_TRUE(form.Started());
  Cycle(1);
  Cycle(2);
  ASSERT_TRUE(RunUntil([&] { return !Messages().empty(); })) << "no message about the record";
  loop_.RunPending();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_THAT(Messages()[0], ::testing::HasSubstr((scratch_.Path() / "state/quelta").string()));
  Cycle(3);
  EXPECT_EQ(form.Monitor().Readings().Values().WattTotal > 0.0f, true);
  EXPECT_EQ(Messages().size(), 1u);
}

}  // namespace
}  // namespace mainwindow::testing
