#include <gtest/gtest.h>

#include "platform/hid/win32/setup_hid_bus.h"
#include "platform/hid/win32/win32_setup_hid_calls.h"

namespace platform {
namespace {

// On a machine without the PSU (Wine has no HID devices at all) the search over the real
// calls ends cleanly with nothing found, and an open of a path that is not there fails.
TEST(Win32HidBus, FindsNoPsuWhereThereIsNone) {
  SetupHidBus bus(MakeWin32SetupHidCalls());
  for (const HidInterfaceInfo& found : bus.Interfaces()) {
    EXPECT_FALSE(found.vendorId == 0x1044 && found.productId == 0x4001) << found.path;
  }
  for (const std::optional<std::string>& id : bus.PresentDeviceIds()) {
    if (id) {
      EXPECT_EQ(id->find("VID_1044&PID_4001"), std::string::npos) << *id;
    }
  }
  EXPECT_EQ(bus.Open("\\\\?\\hid#vid_1044&pid_4001#none", HidAccess::ReadWrite), nullptr);
  EXPECT_EQ(bus.Open("\\\\?\\hid#vid_1044&pid_4100#none", HidAccess::WriteOnly), nullptr);
}

}  // namespace
}  // namespace platform
