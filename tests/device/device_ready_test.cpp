#include "device/device_ready.h"

#include <gtest/gtest.h>

#include <atomic>
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

}  // namespace
}  // namespace device
