#include "device/device_discovery.h"

#include <gtest/gtest.h>

#include "support/fake_hid_bus.h"

namespace device {
namespace {

TEST(OpenMonitorDevice, ExaminesEveryInterfaceNotOnlyTheFirstTwenty) {
  FakeHidBus bus;
  for (int i = 0; i < 25; ++i) bus.Add("other" + std::to_string(i), 0x0F0F, 0x1000);
  bus.Add("psu", 0x1044, 0x4001);
  ASSERT_NE(OpenMonitorDevice(bus), nullptr);
  ASSERT_EQ(bus.opened.size(), 1u);  // unrelated devices are not even opened
  EXPECT_EQ(bus.opened[0].first, "psu");
  EXPECT_EQ(bus.opened[0].second, platform::HidAccess::ReadWrite);
}

TEST(OpenMonitorDevice, PassesOverCandidatesThatDoNotOpenOrHaveNoCapabilities) {
  FakeHidBus bus;
  bus.Add("locked", 0x1044, 0x4001);
  bus.Add("broken", 0x1044, 0x4001);
  bus.Add("gauge", 0x1044, 0x4100);
  bus.Add("good", 0x1044, 0x4001);
  bus.unopenable = {"locked"};
  bus.noCapabilities = {"broken"};
  ASSERT_NE(OpenMonitorDevice(bus), nullptr);
  ASSERT_EQ(bus.opened.size(), 3u);
  EXPECT_EQ(bus.opened.back().first, "good");

  bus.interfaces.pop_back();
  EXPECT_EQ(OpenMonitorDevice(bus), nullptr);
}

TEST(OpenGaugeDevice, OpensTheGaugeWriteOnlyAndNeedsBothIds) {
  FakeHidBus bus;
  bus.Add("other vendor", 0x1045, 0x4100);
  bus.Add("psu", 0x1044, 0x4001);
  bus.Add("gauge", 0x1044, 0x4100);
  ASSERT_NE(OpenGaugeDevice(bus), nullptr);
  ASSERT_EQ(bus.opened.size(), 1u);
  EXPECT_EQ(bus.opened[0].first, "gauge");
  EXPECT_EQ(bus.opened[0].second, platform::HidAccess::WriteOnly);
}

TEST(IsDevicePresent, FindsTheTextAnywhereInAnyInstanceIdCaseSensitively) {
  FakeHidBus bus;
  bus.presentIds = {"ROOT\\SYSTEM\\0000", "USB\\VID_1044&PID_4001&MI_00\\6&12AB&0&0000"};
  EXPECT_TRUE(IsDevicePresent(bus, "VID_1044&PID_4001"));
  EXPECT_FALSE(IsDevicePresent(bus, "vid_1044&pid_4001"));
  EXPECT_FALSE(IsDevicePresent(bus, "VID_1044&PID_4100"));
  bus.presentIds.clear();
  EXPECT_FALSE(IsDevicePresent(bus, "VID_1044&PID_4001"));
}

TEST(IsDevicePresent, AnUnreadableIdDoesNotEndTheSearch) {
  FakeHidBus bus;
  bus.presentIds = {"ROOT\\SYSTEM\\0000", std::nullopt, "HID\\VID_1044&PID_4001\\7&1&0&0000"};
  EXPECT_TRUE(IsDevicePresent(bus, "VID_1044&PID_4001"));
}

}  // namespace
}  // namespace device
