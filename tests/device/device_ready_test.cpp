#include "device/device_ready.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stop_token>
#include <thread>

namespace device {
namespace {

TEST(DeviceReady, OnlyTheCurrentGenerationChangesTheFlag) {
  DeviceReady ready;
  EXPECT_TRUE(ready.IsSet());
  const std::uint64_t first = ready.BeginGeneration();
  EXPECT_TRUE(ready.ClearFor(first));
  EXPECT_FALSE(ready.IsSet());
  const std::uint64_t second = ready.BeginGeneration();
  EXPECT_NE(first, second);
  EXPECT_FALSE(ready.SetFor(first));
  EXPECT_FALSE(ready.IsSet());
  EXPECT_TRUE(ready.SetFor(second));
  EXPECT_FALSE(ready.ClearFor(first));
  EXPECT_TRUE(ready.IsSet());
  ready.Clear();
  EXPECT_FALSE(ready.IsSet());
  EXPECT_EQ(ready.Generation(), second);
}

TEST(DeviceReady, AnEndingWorkerNeverClearsItsSuccessorsFlag) {
  // The old worker keeps trying to clear its flag while the new one starts and sets its
  // own: whatever the interleaving, the flag ends set.
  for (int round = 0; round < 200; ++round) {
    DeviceReady ready;
    const std::uint64_t old = ready.BeginGeneration();
    std::atomic<bool> stop{false};
    std::thread ending([&] {
      while (!stop.load()) ready.ClearFor(old);
    });
    const std::uint64_t successor = ready.BeginGeneration();
    ready.SetFor(successor);
    stop = true;
    ending.join();
    ASSERT_TRUE(ready.IsSet()) << "round " << round;
  }
}

TEST(DeviceReady, AStopThatRacesTheWaitsEndAlwaysReleasesTheWaiter) {
  // The stop request runs the wait's wake-up on this thread while the waiter, woken, leaves
  // and takes its wake-up down: the waiter must never be left waiting for that hand-over.
  for (int round = 0; round < 1000; ++round) {
    struct Shared {
      DeviceReady ready;
      std::stop_source stop;
    };
    const auto shared = std::make_shared<Shared>();
    shared->ready.Clear();
    std::promise<bool> ended;
    std::future<bool> result = ended.get_future();
    std::thread waiter([shared, ended = std::move(ended)]() mutable {
      ended.set_value(shared->ready.WaitUntilSet(shared->stop.get_token()));
    });
    shared->stop.request_stop();
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      waiter.detach();  // stuck for good: it holds its own share of what it waits on
      FAIL() << "round " << round << ": the waiter never saw the stop request";
    }
    waiter.join();
    ASSERT_FALSE(result.get()) << "round " << round << ": the flag was never set";
  }
}

}  // namespace
}  // namespace device
