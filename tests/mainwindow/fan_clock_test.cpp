// The fans' one timer: each fan keeps its own frame rate, a slower fan's frames ride on the
// faster fan's ticks, and no timer runs while no fan turns.
#include "mainwindow/fan_clock.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/headless_ui.h"

namespace mainwindow {
namespace {

using namespace std::chrono_literals;
using Times = std::vector<long>;

class FanClockTest : public ::testing::Test {
 protected:
  ui::testing::HeadlessUi ui;  // first made, last gone
  FanClock clock{ui.app};
  Times psuTurns;
  Times sysTurns;
  FanClock::Fan& psu = clock.Add([this] { psuTurns.push_back(Now()); }, 100ms);
  FanClock::Fan& sys = clock.Add([this] { sysTurns.push_back(Now()); }, 100ms);

  long Now() const { return static_cast<long>(ui.loop.Now().count()); }
};

TEST_F(FanClockTest, FansAreMadeSwitchedOffAndNoTimerRunsUntilOneTurns) {
  EXPECT_FALSE(psu.Enabled());
  EXPECT_EQ(psu.Interval(), 100ms);
  EXPECT_EQ(ui.loop.TimerCount(), 0u);
  ui.loop.AdvanceBy(1000ms);
  EXPECT_TRUE(psuTurns.empty() && sysTurns.empty());
}

TEST_F(FanClockTest, TheSlowerFanTurnsOnTheFasterFansTickNearestItsOwnDueTime) {
  psu.SetInterval(50ms);
  sys.SetInterval(120ms);
  psu.SetEnabled(true);
  sys.SetEnabled(true);
  EXPECT_EQ(ui.loop.TimerCount(), 1u) << "one timer for both fans";
  EXPECT_EQ(clock.SharedTimer().Interval(), 50ms);
  ui.loop.AdvanceBy(1200ms);

  Times every50;
  for (long t = 50; t <= 1200; t += 50) every50.push_back(t);
  EXPECT_EQ(psuTurns, every50);
  // Due at 120, 240, ..., 1200; each shown on the tick of the 50 ms grid nearest to it (a due
  // time just past the middle of two ticks waits for the later one).
  EXPECT_EQ(sysTurns, (Times{100, 250, 350, 500, 600, 700, 850, 950, 1100, 1200}));
}

TEST_F(FanClockTest, SwitchingOffTheFasterFanLetsTheTimerTickAtTheSlowerFansPace) {
  psu.SetInterval(50ms);
  sys.SetInterval(120ms);
  psu.SetEnabled(true);
  sys.SetEnabled(true);
  ui.loop.AdvanceBy(100ms);  // the slower fan turned at 100, due again at 240
  psu.SetEnabled(false);
  EXPECT_EQ(clock.SharedTimer().Interval(), 120ms);
  EXPECT_EQ(ui.loop.TimerCount(), 1u);
  ui.loop.AdvanceBy(380ms);
  // Ticks from 100 on every 120 ms: 220 (240 is within half a tick), 340, 460.
  EXPECT_EQ(sysTurns, (Times{100, 220, 340, 460}));
  EXPECT_EQ(psuTurns, (Times{50, 100}));

  sys.SetEnabled(false);
  EXPECT_EQ(ui.loop.TimerCount(), 0u) << "no fan turns, no timer runs";
  ui.loop.AdvanceBy(1000ms);
  EXPECT_EQ(sysTurns.size(), 4u);
}

TEST_F(FanClockTest, ANewIntervalStartsTheCountOverAndTheSameOneChangesNothing) {
  psu.SetInterval(50ms);
  psu.SetEnabled(true);
  ui.loop.AdvanceBy(70ms);  // turned at 50
  psu.SetInterval(50ms);
  psu.SetEnabled(true);
  ui.loop.AdvanceBy(30ms);
  EXPECT_EQ(psuTurns, (Times{50, 100})) << "the same interval and a second switch-on keep the pace";
  ui.loop.AdvanceBy(10ms);
  psu.SetInterval(40ms);  // at 110: next at 150, 190
  ui.loop.AdvanceBy(80ms);
  EXPECT_EQ(psuTurns, (Times{50, 100, 150, 190}));

  psu.SetInterval(0ms);
  EXPECT_EQ(ui.loop.TimerCount(), 0u) << "an interval of 0 never turns";
  EXPECT_TRUE(psu.Enabled());
  psu.SetInterval(60ms);  // at 190: turning again, next at 250
  ui.loop.AdvanceBy(60ms);
  EXPECT_EQ(psuTurns.back(), 250);
}

}  // namespace
}  // namespace mainwindow
