#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {

// Arrival and removal of HID interfaces as the system announces them: a message-only window of
// class "QueltaDeviceNotices", registered with RegisterDeviceNotification for the HID interface
// class, on a thread of its own that runs its message loop. Every WM_DEVICECHANGE arrival or
// removal of a HID interface calls `changed` on that thread; other device changes do not.
class DeviceNoticeWindow {
 public:
  static constexpr char kClassName[] = "QueltaDeviceNotices";

  // Null, and `error` set, when the window or its registration cannot be made.
  static std::unique_ptr<DeviceNoticeWindow> Start(std::function<void()> changed,
                                                   std::string& error);
  virtual ~DeviceNoticeWindow() = default;
};

}  // namespace platform
