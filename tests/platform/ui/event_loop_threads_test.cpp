#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

#include "platform/ui/headless_event_loop.h"
#include "platform/ui/real_time_event_loop.h"

namespace ui {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kGenerousLimit{10000};

TEST(EventLoopAcrossThreads, PostsFromManyThreadsAllRunInEachThreadsOrder) {
  HeadlessEventLoop loop;
  constexpr int kThreads = 4;
  constexpr int kPostsEach = 500;
  std::array<std::vector<int>, kThreads> seen;  // touched on the UI thread only
  int total = 0;
  std::vector<std::jthread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&, t] {
      for (int i = 0; i < kPostsEach; ++i) {
        loop.Post([&, t, i] {
          seen[t].push_back(i);
          ++total;
        });
      }
    });
  }
  ASSERT_TRUE(loop.RunUntil([&] { return total == kThreads * kPostsEach; }, kGenerousLimit));
  for (const auto& s : seen) {
    ASSERT_EQ(s.size(), static_cast<std::size_t>(kPostsEach));
    for (int i = 0; i < kPostsEach; ++i) ASSERT_EQ(s[i], i);
  }
}

TEST(EventLoopAcrossThreads, HeadlessRunWaitsForPostsAndEndsOnQuitFromAnotherThread) {
  HeadlessEventLoop loop;
  int ran = 0;
  std::jthread other([&] {
    loop.Post([&] { ++ran; });
    loop.Post([&] { ++ran; });
    loop.Quit();
  });
  loop.Run();
  other.join();
  loop.RunPending();
  EXPECT_EQ(ran, 2);
}

TEST(EventLoopAcrossThreads, RealTimeLoopSleepsUntilAPostWakesIt) {
  RealTimeEventLoop loop;
  std::thread::id ranOn;
  std::jthread other([&] {
    loop.Post([&] {
      ranOn = std::this_thread::get_id();
      loop.Quit();
    });
  });
  loop.Run();  // no timers: only the post can end this
  EXPECT_EQ(ranOn, std::this_thread::get_id()) << "posted tasks run on the thread of Run";
}

TEST(EventLoopAcrossThreads, RealTimeTimersTickOnTheWallClockAndZeroNeverFires) {
  RealTimeEventLoop loop;
  int ticks = 0;
  int zeroTicks = 0;
  std::vector<milliseconds> tickTimes;
  loop.StartTimer(milliseconds{0}, [&] { ++zeroTicks; });
  EventLoop::TimerId id = 0;
  id = loop.StartTimer(milliseconds{2}, [&] {
    tickTimes.push_back(loop.Now());
    if (++ticks == 5) {
      loop.StopTimer(id);
      loop.Quit();
    }
  });
  loop.Run();
  EXPECT_EQ(ticks, 5);
  EXPECT_EQ(zeroTicks, 0);
  ASSERT_EQ(tickTimes.size(), 5u);
  EXPECT_GE(tickTimes.front(), milliseconds{2});
  for (std::size_t i = 1; i < tickTimes.size(); ++i) EXPECT_GT(tickTimes[i], tickTimes[i - 1]);
  EXPECT_GE(tickTimes.back(), milliseconds{10});
}

TEST(EventLoopAcrossThreads, RealTimeLoopShowsEscapedExceptionsToItsHandlerAndGoesOn) {
  RealTimeEventLoop loop;
  int errors = 0;
  loop.SetErrorHandler([&](std::exception_ptr) { ++errors; });
  std::jthread other([&] {
    loop.Post([] { throw std::runtime_error("first"); });
    loop.Post([&] { loop.Quit(); });
  });
  loop.Run();
  EXPECT_EQ(errors, 1);
}

}  // namespace
}  // namespace ui
