#pragma once

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/hid/hid_bus.h"

namespace device {

// A bus in front of another whose interfaces of the given product ids (and the paths in
// deniedPaths) fail to open with an errno of the test's choosing (EACCES: the node of a device this
// user may not open). Everything else, presence included, is the inner bus's.
class DenyingHidBus : public platform::HidBus {
 public:
  DenyingHidBus(platform::HidBus& inner, std::set<std::uint16_t> products, int error = EACCES)
      : inner_(inner), products_(std::move(products)), error_(error) {}

  std::vector<platform::HidInterfaceInfo> Interfaces() override {
    std::vector<platform::HidInterfaceInfo> interfaces = inner_.Interfaces();
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& info : interfaces) productOf_[info.path] = info.productId;
    return interfaces;
  }
  std::vector<std::optional<std::string>> PresentDeviceIds() override {
    return inner_.PresentDeviceIds();
  }
  std::unique_ptr<platform::HidHandle> Open(const std::string& path,
                                            platform::HidAccess access) override {
    return OpenExplained(path, access).handle;
  }
  platform::HidOpenResult OpenExplained(const std::string& path,
                                        platform::HidAccess access) override {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      const auto known = productOf_.find(path);
      if (deniedPaths.count(path) != 0 ||
          (known != productOf_.end() && products_.count(known->second) != 0))
        return {nullptr, platform::HidOpenErrorFromErrno(error_)};
    }
    return inner_.OpenExplained(path, access);
  }
  void SetChangeListener(std::function<void()> listener) override {
    inner_.SetChangeListener(std::move(listener));
  }

  std::set<std::string> deniedPaths;  // refused too, whatever their product

 private:
  platform::HidBus& inner_;
  std::set<std::uint16_t> products_;
  int error_;
  std::mutex mutex_;  // guards productOf_: the worker opens from its own thread
  std::map<std::string, std::uint16_t> productOf_;
};

}  // namespace device
