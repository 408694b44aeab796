#include "device/access_denied.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "device/trace_log.h"
#include "device/tracing_hid_bus.h"
#include "sim/simulated_bus.h"
#include "support/denying_hid_bus.h"
#include "support/fake_hid_bus.h"

namespace device {
namespace {

constexpr char kMonitorPath[] = "sim:hid/0";
constexpr char kGaugePath[] = "sim:hid/1";

TEST(DeniedInterfacePath, NamesTheNodeOfTheDeviceThatRefusesThisUserAndNoOther) {
  sim::SimulatedBus inner;
  DenyingHidBus psuDenied(inner, {0x4001});
  EXPECT_EQ(DeniedInterfacePath(psuDenied, kMonitorDevice), kMonitorPath);
  EXPECT_EQ(DeniedInterfacePath(psuDenied, kGaugeDevice), std::nullopt);

  DenyingHidBus gaugeDenied(inner, {0x4100});
  EXPECT_EQ(DeniedInterfacePath(gaugeDenied, kMonitorDevice), std::nullopt);
  EXPECT_EQ(DeniedInterfacePath(gaugeDenied, kGaugeDevice), kGaugePath);
}

TEST(DeniedInterfacePath, OtherFailuresAndAbsentDevicesAreNotCalledADenial) {
  sim::SimulatedBus inner;
  DenyingHidBus gone(inner, {0x4001}, ENODEV);
  EXPECT_EQ(DeniedInterfacePath(gone, kMonitorDevice), std::nullopt);
  DenyingHidBus busy(inner, {0x4001}, EBUSY);
  EXPECT_EQ(DeniedInterfacePath(busy, kMonitorDevice), std::nullopt);

  sim::Scenario absent;
  absent.monitor.present = false;
  sim::SimulatedBus noPsu(absent);
  DenyingHidBus denied(noPsu, {0x4001});
  EXPECT_EQ(DeniedInterfacePath(denied, kMonitorDevice), std::nullopt);

  // A backend that cannot tell why an open failed never claims a denial.
  FakeHidBus silent;
  silent.Add("psu", 0x1044, 0x4001);
  silent.unopenable = {"psu"};
  EXPECT_EQ(DeniedInterfacePath(silent, kMonitorDevice), std::nullopt);
}

TEST(DeniedInterfacePath, OneInterfaceThatOpensMeansTheUserMayUseTheDevice) {
  FakeHidBus bus;
  bus.Add("locked", 0x1044, 0x4001);
  bus.Add("open", 0x1044, 0x4001);
  DenyingHidBus partly(bus, {});
  partly.deniedPaths = {"locked"};
  EXPECT_EQ(DeniedInterfacePath(partly, kMonitorDevice), std::nullopt);

  // Both interfaces refused: the first is named.
  FakeHidBus two;
  two.Add("/dev/hidraw4", 0x1044, 0x4001);
  two.Add("/dev/hidraw5", 0x1044, 0x4001);
  DenyingHidBus both(two, {0x4001});
  EXPECT_EQ(DeniedInterfacePath(both, kMonitorDevice), "/dev/hidraw4");
}

TEST(DeniedInterfacePath, TheReasonSurvivesTheTracingBus) {
  sim::SimulatedBus inner;
  DenyingHidBus denied(inner, {0x4001});
  const std::string file = ::testing::TempDir() + "quelta-denied-trace.txt";
  device::TraceLog::OpenResult log = device::TraceLog::Open(file);
  ASSERT_NE(log.log, nullptr) << log.error;
  device::TracingHidBus tracing(denied, *log.log);
  EXPECT_EQ(DeniedInterfacePath(tracing, kMonitorDevice), kMonitorPath);
  std::remove(file.c_str());
}

TEST(AccessDeniedText, SaysWhereTheDeviceIsAndWhatToDo) {
  EXPECT_EQ(AccessDeniedText(kMonitorDevice, "/dev/hidraw3"),
            "the PSU controller is at /dev/hidraw3 but this user may not open it; install the "
            "package's udev rule or run `sudo udevadm trigger` after installing it");
  EXPECT_EQ(AccessDeniedText(kGaugeDevice, "/dev/hidraw12"),
            "the gauge panel is at /dev/hidraw12 but this user may not open it; install the "
            "package's udev rule or run `sudo udevadm trigger` after installing it");
}

}  // namespace
}  // namespace device
