#include "platform/ui/win32/win32_event_loop.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace ui::win32 {
namespace {

using namespace std::chrono_literals;

// Ends the loop after `limit` whatever the test waits for, and says what did not arrive.
class Deadline {
 public:
  Deadline(Win32EventLoop& loop, std::chrono::milliseconds limit, std::string waitingFor)
      : loop_(loop), waitingFor_(std::move(waitingFor)) {
    id_ = loop.StartTimer(limit, [this] {
      expired_ = true;
      loop_.Quit();
    });
  }
  ~Deadline() { loop_.StopTimer(id_); }
  void Check() const { EXPECT_FALSE(expired_) << "no " << waitingFor_ << " before the deadline"; }

 private:
  Win32EventLoop& loop_;
  std::string waitingFor_;
  EventLoop::TimerId id_ = 0;
  bool expired_ = false;
};

TEST(Win32EventLoop, TasksFromSeveralThreadsRunInTheOrderEachPostedThem) {
  Win32EventLoop loop;
  constexpr int kPerThread = 300;
  std::vector<int> seen[2];
  std::vector<std::thread> posters;
  for (int t = 0; t < 2; ++t) {
    posters.emplace_back([&loop, &seen, t] {
      for (int i = 0; i < kPerThread; ++i) loop.Post([&seen, t, i] { seen[t].push_back(i); });
    });
  }
  for (std::thread& poster : posters) poster.join();
  // Quit before Run: the tasks already posted still run, then Run returns.
  loop.Quit();
  Deadline deadline(loop, 10s, "end of the posted tasks");
  loop.Run();
  deadline.Check();
  for (const std::vector<int>& one : seen) {
    ASSERT_EQ(one.size(), static_cast<std::size_t>(kPerThread));
    for (int i = 0; i < kPerThread; ++i) EXPECT_EQ(one[static_cast<std::size_t>(i)], i);
  }
}

TEST(Win32EventLoop, TimersTickByTheirIntervalsAndStopFromTheirOwnTick) {
  Win32EventLoop loop;
  std::string ticks;
  int fast = 0;
  EventLoop::TimerId once = 0, quick = 0;
  // "o" ticks once and stops itself; "f" every 20 ms; the slow one (250 ms) ends the run.
  once = loop.StartTimer(10ms, [&] {
    ticks += 'o';
    loop.StopTimer(once);
  });
  quick = loop.StartTimer(20ms, [&] {
    ticks += 'f';
    ++fast;
  });
  const EventLoop::TimerId never = loop.StartTimer(0ms, [&] { ticks += 'z'; });
  EXPECT_NE(never, 0u);
  loop.StartTimer(250ms, [&] {
    ticks += 's';
    loop.StopTimer(quick);
    loop.StopTimer(999);  // unknown ids are passed over
    loop.Quit();
  });
  Deadline deadline(loop, 10s, "tick of the 250 ms timer");
  loop.Run();
  deadline.Check();
  EXPECT_EQ(ticks.front(), 'o');
  EXPECT_EQ(ticks.back(), 's');
  EXPECT_EQ(std::count(ticks.begin(), ticks.end(), 'o'), 1);
  EXPECT_EQ(std::count(ticks.begin(), ticks.end(), 'z'), 0);
  // 250 ms hold twelve 20 ms ticks; a loaded machine may drop some, never add any.
  EXPECT_GE(fast, 3);
  EXPECT_LE(fast, 12);
  EXPECT_GE(loop.Now(), 250ms);
}

TEST(Win32EventLoop, AnEscapingExceptionLeavesRunOrReachesTheHandlerAndTheLoopGoesOn) {
  Win32EventLoop loop;
  std::vector<std::string> seen;
  loop.Post([] { throw std::runtime_error("first"); });
  loop.Post([&] { seen.push_back("after"); });
  loop.Quit();
  EXPECT_THROW(loop.Run(), std::runtime_error);
  EXPECT_TRUE(seen.empty());
  // The loop runs again and the task that waited behind the exception runs.
  loop.SetErrorHandler([&](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      seen.push_back(std::string("handled ") + e.what());
    }
  });
  loop.Post([] { throw std::runtime_error("second"); });
  loop.Post([&] { seen.push_back("last"); });
  loop.Quit();
  Deadline deadline(loop, 10s, "end of the tasks after the exceptions");
  loop.Run();
  deadline.Check();
  EXPECT_EQ(seen, (std::vector<std::string>{"after", "handled second", "last"}));
}

}  // namespace
}  // namespace ui::win32
