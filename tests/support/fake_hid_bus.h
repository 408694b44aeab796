#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/hid/hid_bus.h"
#include "support/fake_monitor.h"

namespace device {

// A bus with interfaces and present ids set by the test. Opening a path gives a FakeMonitor;
// paths in `unopenable` do not open, paths in `noCapabilities` open without capabilities.
class FakeHidBus : public platform::HidBus {
 public:
  std::vector<platform::HidInterfaceInfo> interfaces;
  std::vector<std::optional<std::string>> presentIds;
  std::set<std::string> unopenable;
  std::set<std::string> noCapabilities;
  std::vector<std::pair<std::string, platform::HidAccess>> opened;

  std::vector<platform::HidInterfaceInfo> Interfaces() override { return interfaces; }
  std::vector<std::optional<std::string>> PresentDeviceIds() override { return presentIds; }
  std::unique_ptr<platform::HidHandle> Open(const std::string& path,
                                            platform::HidAccess access) override {
    opened.emplace_back(path, access);
    if (unopenable.count(path) != 0) return nullptr;
    if (noCapabilities.count(path) != 0) return std::make_unique<NoCapabilities>();
    return std::make_unique<FakeMonitor>();
  }
  void SetChangeListener(std::function<void()>) override {}

  void Add(std::string path, std::uint16_t vendor, std::uint16_t product) {
    interfaces.push_back({std::move(path), vendor, product, "HID\\SOMETHING"});
  }

 private:
  struct NoCapabilities : FakeMonitor {
    std::optional<platform::HidCapabilities> Capabilities() override { return std::nullopt; }
  };
};

}  // namespace device
