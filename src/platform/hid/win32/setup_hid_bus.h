#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "platform/hid/hid_bus.h"
#include "platform/hid/win32/setup_hid_calls.h"

namespace platform {

// HID devices through SetupAPI and the HID class library. Every interface of the HID class is
// looked at, however many there are; one whose record or attributes cannot be read is passed
// over, and the search goes on. Present ids are those of every device of every class; one
// whose id cannot be read is reported as unreadable and the others still are.
class SetupHidBus : public HidBus {
 public:
  explicit SetupHidBus(std::unique_ptr<SetupHidCalls> calls);

  std::vector<HidInterfaceInfo> Interfaces() override;
  std::vector<std::optional<std::string>> PresentDeviceIds() override;
  std::unique_ptr<HidHandle> Open(const std::string& path, HidAccess access) override;
  // No notices here: Win32HidBus adds them from a device notice window.
  void SetChangeListener(std::function<void()> listener) override;

 private:
  std::mutex calls_mutex_;  // the fake records in order; the real calls need no lock
  const std::unique_ptr<SetupHidCalls> calls_;
};

}  // namespace platform
