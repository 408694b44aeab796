#include "platform/hid/hidapi_bus.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// The real backend on whatever this machine has: it must list and refuse without harm.
TEST(HidapiBus, ListsTheMachineAndRefusesPathsThatDoNotExist) {
  HidapiBus bus;
  for (const HidInterfaceInfo& info : bus.Interfaces()) {
    EXPECT_FALSE(info.path.empty());
    EXPECT_EQ(info.instanceId.rfind("HID\\VID_", 0), 0u) << info.instanceId;
  }
  for (const auto& id : bus.PresentDeviceIds()) {
    if (id) {
      EXPECT_FALSE(id->empty());
    }
  }
  EXPECT_EQ(bus.Open("/dev/hidraw-that-does-not-exist", HidAccess::ReadWrite), nullptr);
}

}  // namespace
}  // namespace platform
