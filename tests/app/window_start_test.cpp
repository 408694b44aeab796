#include "app/window_start.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "sim/simulated_bus.h"

namespace app {
namespace {

// Whether the bus lists the PSU controller (vendor 0x1044, product 0x4001).
bool PsuListed(sim::SimulatedBus& bus) {
  const auto interfaces = bus.Interfaces();
  return std::any_of(interfaces.begin(), interfaces.end(),
                     [](const auto& i) { return i.vendorId == 0x1044 && i.productId == 0x4001; });
}

TEST(SimulatedCable, UnplugAndPlugReachTheSimulatedPsuAndNothingElseDoes) {
  sim::SimulatedBus bus;
  ASSERT_TRUE(PsuListed(bus));
  // Unplugged and plugged in again, twice: there and back.
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(TakeSimulatedCableMessage(&bus, 0x8001));
    EXPECT_FALSE(PsuListed(bus)) << round;
    EXPECT_TRUE(TakeSimulatedCableMessage(&bus, 0x8002));
    EXPECT_TRUE(PsuListed(bus)) << round;
  }
  // Either side of the pair, the window's own messages and the history window's are left to
  // the window, and the PSU stays where it is.
  EXPECT_TRUE(TakeSimulatedCableMessage(&bus, 0x8001));
  for (const std::uint32_t other : {0x8000u, 0x8003u, 0x07E8u, 0x07E9u, 0x0401u, 0x8010u}) {
    EXPECT_FALSE(TakeSimulatedCableMessage(&bus, other)) << other;
    EXPECT_FALSE(PsuListed(bus)) << other;
  }
}

TEST(SimulatedCable, WithoutASimulatedPsuTheCableMessagesAreStillKeptFromTheWindow) {
  EXPECT_TRUE(TakeSimulatedCableMessage(nullptr, 0x8001));
  EXPECT_TRUE(TakeSimulatedCableMessage(nullptr, 0x8002));
  EXPECT_FALSE(TakeSimulatedCableMessage(nullptr, 0x07E8));
}

}  // namespace
}  // namespace app
