#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "tests/history/kill_rounds.h"

namespace {

TEST(HistoryKill, FiftyKillsOfARecordingProcessLeaveASoundRecordOfEveryStoredPoll) {
  testing_support::TempFolder folder;
  history_testing::KillAtRandomPoints(folder / "quelta/history.sqlite", 50);
}

}  // namespace
