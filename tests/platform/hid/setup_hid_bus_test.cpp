#include "platform/hid/win32/setup_hid_bus.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace platform {
namespace {

// Devices and interfaces as the system would list them; every call is noted in `log`.
struct FakeSystem {
  struct Interface {
    std::string path;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    bool detailFails = false;
    bool openFails = false;
    bool attributesFail = false;
  };
  std::vector<Interface> interfaces;
  std::vector<std::optional<std::string>> deviceIds;
  bool listsFail = false;
  std::vector<std::string> log;
};

class FakeCalls : public SetupHidCalls {
 public:
  explicit FakeCalls(FakeSystem& system) : system_(system) {}

  DeviceList HidInterfaceList() override { return List("hid interfaces", 7); }
  DeviceList PresentDeviceList() override { return List("all present devices", 9); }
  void DestroyList(DeviceList list) override { Note("destroy " + std::to_string(list)); }
  bool EnumInterface(DeviceList, unsigned index) override {
    Note("enum interface " + std::to_string(index));
    return index < system_.interfaces.size();
  }
  std::optional<InterfaceDetail> Detail(DeviceList, unsigned index) override {
    Note("detail " + std::to_string(index));
    const FakeSystem::Interface& found = system_.interfaces.at(index);
    if (found.detailFails) return std::nullopt;
    return InterfaceDetail{found.path, "HID\\" + found.path};
  }
  bool EnumDevice(DeviceList, unsigned index) override {
    Note("enum device " + std::to_string(index));
    return index < system_.deviceIds.size();
  }
  std::optional<std::string> DeviceInstanceId(DeviceList, unsigned index) override {
    Note("instance id " + std::to_string(index));
    return system_.deviceIds.at(index);
  }
  File OpenForQuery(const std::string& path) override {
    Note("query " + path);
    return FileOf(path);
  }
  File Open(const std::string& path, HidAccess access) override {
    Note(std::string(access == HidAccess::ReadWrite ? "open rw " : "open w ") + path);
    return FileOf(path);
  }
  std::optional<Attributes> GetAttributes(File file) override {
    const FakeSystem::Interface& found = system_.interfaces.at(file - 1);
    Note("attributes " + found.path);
    if (found.attributesFail) return std::nullopt;
    return Attributes{found.vendor, found.product};
  }
  std::optional<HidCapabilities> GetCaps(File file) override {
    Note("caps " + system_.interfaces.at(file - 1).path);
    return HidCapabilities{9, 6};
  }
  void Close(File file) override { Note("close " + system_.interfaces.at(file - 1).path); }
  std::unique_ptr<HidHandle> AdoptFile(File file, HidAccess,
                                       std::optional<HidCapabilities> caps) override {
    Note("adopt " + system_.interfaces.at(file - 1).path);
    return std::make_unique<StubHandle>(caps);
  }

 private:
  struct StubHandle : HidHandle {
    explicit StubHandle(std::optional<HidCapabilities> given) : caps(given) {}
    std::size_t Write(std::span<const std::uint8_t>) override { return 0; }
    std::size_t Read(std::span<std::uint8_t>) override { return 0; }
    std::optional<HidCapabilities> Capabilities() override { return caps; }
    std::optional<HidCapabilities> caps;
  };

  DeviceList List(const std::string& what, DeviceList number) {
    Note("list " + what);
    return system_.listsFail ? 0 : number;
  }
  // Files are numbered after their interface's place, from 1 (0 is the invalid file).
  File FileOf(const std::string& path) {
    for (std::size_t i = 0; i < system_.interfaces.size(); ++i) {
      if (system_.interfaces[i].path == path) return system_.interfaces[i].openFails ? 0 : i + 1;
    }
    return 0;
  }
  void Note(std::string line) { system_.log.push_back(std::move(line)); }

  FakeSystem& system_;
};

std::string Path(int n) {
  return "\\\\?\\hid#" + std::to_string(n);
}

TEST(SetupHidBus, ListsEveryInterfaceAndPassesOverOnlyTheUnreadableOnes) {
  FakeSystem system;
  system.interfaces = {{Path(0), 0x046D, 0xC077},
                       {Path(1), 0x1044, 0x4001, /*detailFails=*/true},
                       {Path(2), 0x1044, 0x4001, false, /*openFails=*/true},
                       {Path(3), 0x1044, 0x4001, false, false, /*attributesFail=*/true},
                       {Path(4), 0x1044, 0x4100}};
  SetupHidBus bus(std::make_unique<FakeCalls>(system));

  const std::vector<HidInterfaceInfo> found = bus.Interfaces();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].path, Path(0));
  EXPECT_EQ(found[0].vendorId, 0x046D);
  EXPECT_EQ(found[0].productId, 0xC077);
  EXPECT_EQ(found[0].instanceId, "HID\\" + Path(0));
  EXPECT_EQ(found[1].path, Path(4));
  EXPECT_EQ(found[1].productId, 0x4100);
  // One list for the walk, destroyed once at its end; every file looked at is closed.
  EXPECT_EQ(system.log, (std::vector<std::string>{"list hid interfaces",
                                                  "enum interface 0",
                                                  "detail 0",
                                                  "query " + Path(0),
                                                  "attributes " + Path(0),
                                                  "close " + Path(0),
                                                  "enum interface 1",
                                                  "detail 1",
                                                  "enum interface 2",
                                                  "detail 2",
                                                  "query " + Path(2),
                                                  "enum interface 3",
                                                  "detail 3",
                                                  "query " + Path(3),
                                                  "attributes " + Path(3),
                                                  "close " + Path(3),
                                                  "enum interface 4",
                                                  "detail 4",
                                                  "query " + Path(4),
                                                  "attributes " + Path(4),
                                                  "close " + Path(4),
                                                  "enum interface 5",
                                                  "destroy 7"}));
}

TEST(SetupHidBus, FindsAnInterfaceFarBeyondTheTwentieth) {
  FakeSystem system;
  for (int n = 0; n < 30; ++n) system.interfaces.push_back({Path(n), 0x046D, 0xC077});
  system.interfaces[20].product = 0x4001;
  system.interfaces[20].vendor = 0x1044;
  system.interfaces[29].product = 0x4100;
  system.interfaces[29].vendor = 0x1044;
  SetupHidBus bus(std::make_unique<FakeCalls>(system));

  const std::vector<HidInterfaceInfo> found = bus.Interfaces();
  ASSERT_EQ(found.size(), 30u);
  EXPECT_EQ(found[20].path, Path(20));
  EXPECT_EQ(found[20].productId, 0x4001);
  EXPECT_EQ(found[29].productId, 0x4100);
}

TEST(SetupHidBus, AListThatCannotBeMadeGivesNothingAndIsNotDestroyed) {
  FakeSystem system;
  system.interfaces = {{Path(0), 0x1044, 0x4001}};
  system.deviceIds = {"USB\\VID_1044&PID_4001\\5"};
  system.listsFail = true;
  SetupHidBus bus(std::make_unique<FakeCalls>(system));

  EXPECT_TRUE(bus.Interfaces().empty());
  EXPECT_TRUE(bus.PresentDeviceIds().empty());
  EXPECT_EQ(system.log,
            (std::vector<std::string>{"list hid interfaces", "list all present devices"}));
}

TEST(SetupHidBus, PresentIdsGoOnPastAnUnreadableOne) {
  FakeSystem system;
  system.deviceIds = {"ROOT\\SYSTEM\\0000", std::nullopt, "USB\\VID_1044&PID_4001\\5&2A"};
  SetupHidBus bus(std::make_unique<FakeCalls>(system));

  EXPECT_EQ(bus.PresentDeviceIds(), system.deviceIds);
  EXPECT_EQ(system.log,
            (std::vector<std::string>{"list all present devices", "enum device 0", "instance id 0",
                                      "enum device 1", "instance id 1", "enum device 2",
                                      "instance id 2", "enum device 3", "destroy 9"}));
}

TEST(SetupHidBus, OpensWithTheAskedAccessAndHandsTheCapabilitiesToTheHandle) {
  FakeSystem system;
  system.interfaces = {{Path(0), 0x1044, 0x4001}, {Path(1), 0x1044, 0x4100, false, true}};
  SetupHidBus bus(std::make_unique<FakeCalls>(system));

  const std::unique_ptr<HidHandle> handle = bus.Open(Path(0), HidAccess::ReadWrite);
  ASSERT_NE(handle, nullptr);
  ASSERT_TRUE(handle->Capabilities());
  EXPECT_EQ(handle->Capabilities()->inputReportLength, 9u);
  EXPECT_EQ(handle->Capabilities()->outputReportLength, 6u);
  EXPECT_EQ(bus.Open(Path(1), HidAccess::WriteOnly), nullptr);
  EXPECT_EQ(system.log, (std::vector<std::string>{"open rw " + Path(0), "caps " + Path(0),
                                                  "adopt " + Path(0), "open w " + Path(1)}));
}

}  // namespace
}  // namespace platform
