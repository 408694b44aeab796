#include "platform/hid/instance_id_text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(InstanceIdText, IdsHaveTheReferencePlatformsForm) {
  EXPECT_EQ(HidInstanceId(0x1044, 0x4001, "HIDRAW3"), "HID\\VID_1044&PID_4001\\HIDRAW3");
  EXPECT_EQ(HidInstanceId(0xabc, 0x1, "X"), "HID\\VID_0ABC&PID_0001\\X");
  EXPECT_EQ(*UsbInstanceId("1044", "4001", "1-2"), "USB\\VID_1044&PID_4001\\1-2");
  EXPECT_EQ(*UsbInstanceId("0f0f", "a1b2", "1-2"), "USB\\VID_0F0F&PID_A1B2\\1-2");
  EXPECT_FALSE(UsbInstanceId("104", "4001", "1-2").has_value());
  EXPECT_FALSE(UsbInstanceId("10x4", "4001", "1-2").has_value());
}

TEST(InstanceIdText, HidIdsComeFromUdevsHidIdText) {
  EXPECT_EQ(*HidInstanceIdFromHidId("0003:00001044:00004001", "0003:1044:4001.0007"),
            "HID\\VID_1044&PID_4001\\0003:1044:4001.0007");
  EXPECT_EQ(*HidInstanceIdFromHidId("0003:0000abcd:00004100", "s"), "HID\\VID_ABCD&PID_4100\\s");
  for (const char* bad : {"", "0003", "0003:00001044", "0003:00011044:00004001",
                          "0003:0000104G:00004001", "0003::00004001"}) {
    EXPECT_FALSE(HidInstanceIdFromHidId(bad, "s").has_value()) << bad;
  }
}

}  // namespace
}  // namespace platform
