#include "platform/ui/headless_event_loop.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace ui {
namespace {

using std::chrono::milliseconds;

TEST(HeadlessEventLoop, RunsPostedTasksInOrderIncludingThoseTheyPost) {
  HeadlessEventLoop loop;
  std::vector<std::string> ran;
  loop.Post([&] {
    ran.push_back("a");
    loop.Post([&] { ran.push_back("c"); });
  });
  loop.Post([&] { ran.push_back("b"); });
  EXPECT_TRUE(ran.empty()) << "posting must not run anything";
  EXPECT_EQ(loop.RunPending(), 3u);
  EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(loop.RunPending(), 0u);
}

TEST(HeadlessEventLoop, TicksRunAtTheirOwnDueTimesInTimeOrder) {
  HeadlessEventLoop loop;
  std::vector<std::string> ran;
  loop.StartTimer(milliseconds{300},
                  [&] { ran.push_back("slow@" + std::to_string(loop.Now().count())); });
  loop.StartTimer(milliseconds{100},
                  [&] { ran.push_back("fast@" + std::to_string(loop.Now().count())); });

  loop.AdvanceBy(milliseconds{99});
  EXPECT_TRUE(ran.empty());
  loop.AdvanceBy(milliseconds{250});  // to 349: fast at 100, 200, 300 and slow at 300
  // At 300 both are due: the timer started first runs first.
  EXPECT_EQ(ran, (std::vector<std::string>{"fast@100", "fast@200", "slow@300", "fast@300"}));
  EXPECT_EQ(loop.Now(), milliseconds{349});
}

TEST(HeadlessEventLoop, PostedTasksRunBetweenTicks) {
  HeadlessEventLoop loop;
  std::vector<std::string> ran;
  loop.StartTimer(milliseconds{10}, [&] {
    ran.push_back("tick");
    loop.Post([&] { ran.push_back("after tick"); });
  });
  loop.Post([&] { ran.push_back("before"); });
  loop.AdvanceBy(milliseconds{20});
  EXPECT_EQ(ran, (std::vector<std::string>{"before", "tick", "after tick", "tick", "after tick"}));
}

TEST(HeadlessEventLoop, ZeroIntervalNeverFiresAndStoppedTimersStayQuiet) {
  HeadlessEventLoop loop;
  int zero = 0, stopped = 0, selfStopping = 0;
  loop.StartTimer(milliseconds{0}, [&] { ++zero; });
  loop.StartTimer(milliseconds{-5}, [&] { ++zero; });
  const auto id = loop.StartTimer(milliseconds{10}, [&] { ++stopped; });
  EventLoop::TimerId self = 0;
  self = loop.StartTimer(milliseconds{10}, [&] {
    if (++selfStopping == 2) loop.StopTimer(self);
  });
  loop.AdvanceBy(milliseconds{15});
  loop.StopTimer(id);
  loop.StopTimer(id);      // twice: ignored
  loop.StopTimer(987654);  // unknown: ignored
  loop.AdvanceBy(milliseconds{1000});
  EXPECT_EQ(zero, 0);
  EXPECT_EQ(stopped, 1);
  EXPECT_EQ(selfStopping, 2);
}

TEST(HeadlessEventLoop, TimerStartedInATickCountsFromThatTick) {
  HeadlessEventLoop loop;
  std::vector<long> innerTicks;
  EventLoop::TimerId outer = 0;
  outer = loop.StartTimer(milliseconds{50}, [&] {
    loop.StopTimer(outer);
    loop.StartTimer(milliseconds{30}, [&] { innerTicks.push_back(loop.Now().count()); });
  });
  loop.AdvanceBy(milliseconds{150});
  EXPECT_EQ(innerTicks, (std::vector<long>{80, 110, 140}));
}

TEST(HeadlessEventLoop, EscapingExceptionGoesToTheHandlerAndTheLoopGoesOn) {
  HeadlessEventLoop loop;
  std::vector<std::string> errors;
  int after = 0;
  loop.SetErrorHandler([&](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& ex) {
      errors.push_back(ex.what());
    }
  });
  loop.Post([] { throw std::runtime_error("posted"); });
  loop.Post([&] { ++after; });
  loop.StartTimer(milliseconds{10}, [] { throw std::runtime_error("tick"); });
  loop.AdvanceBy(milliseconds{20});
  EXPECT_EQ(after, 1);
  EXPECT_EQ(errors, (std::vector<std::string>{"posted", "tick", "tick"}));
}

TEST(HeadlessEventLoop, WithoutAHandlerTheExceptionLeavesTheDriverAndLaterTasksStillRun) {
  HeadlessEventLoop loop;
  int after = 0;
  loop.Post([] { throw std::runtime_error("boom"); });
  loop.Post([&] { ++after; });
  EXPECT_THROW(loop.RunPending(), std::runtime_error);
  EXPECT_EQ(loop.RunPending(), 1u);
  EXPECT_EQ(after, 1);
}

TEST(HeadlessEventLoop, RunUntilGivesUpAfterItsLimitWhenNothingComes) {
  HeadlessEventLoop loop;
  int ran = 0;
  loop.Post([&] { ++ran; });
  EXPECT_TRUE(loop.RunUntil([&] { return ran == 1; }, milliseconds{0}));
  EXPECT_FALSE(loop.RunUntil([&] { return ran == 2; }, milliseconds{20}));
  EXPECT_EQ(loop.Now(), milliseconds{0}) << "waiting must not move virtual time";
}

TEST(HeadlessEventLoop, QuitBeforeRunLetsRunFinishThePostedTasks) {
  HeadlessEventLoop loop;
  int ran = 0;
  loop.Post([&] { ++ran; });
  loop.Quit();
  loop.Run();
  EXPECT_EQ(ran, 1);
  // The quit was used up: a later Run needs its own.
  loop.Post([&] {
    ++ran;
    loop.Quit();
  });
  loop.Run();
  EXPECT_EQ(ran, 2);
}

}  // namespace
}  // namespace ui
