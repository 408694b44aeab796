#pragma once

#include <memory>

#include "platform/hid/win32/device_notice_window.h"
#include "platform/hid/win32/setup_hid_bus.h"

namespace platform {

// The machine's HID devices on Windows: the search over the system's SetupAPI and HID calls,
// and change notices from a device notice window, made with the first listener.
class Win32HidBus : public SetupHidBus {
 public:
  Win32HidBus();
  ~Win32HidBus() override;

  // A listener the notice window cannot be made for is never called (the bus then notices
  // no changes, as a backend that cannot notice them).
  void SetChangeListener(std::function<void()> listener) override;

 private:
  std::unique_ptr<DeviceNoticeWindow> notices_;
};

}  // namespace platform
