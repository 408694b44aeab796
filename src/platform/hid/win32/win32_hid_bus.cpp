#include "platform/hid/win32/win32_hid_bus.h"

#include <string>

#include "platform/hid/win32/win32_setup_hid_calls.h"

namespace platform {

Win32HidBus::Win32HidBus() : SetupHidBus(MakeWin32SetupHidCalls()) {}

Win32HidBus::~Win32HidBus() = default;

void Win32HidBus::SetChangeListener(std::function<void()> listener) {
  notices_.reset();  // the old listener is not called once this returns
  if (!listener) return;
  std::string error;
  notices_ = DeviceNoticeWindow::Start(std::move(listener), error);
}

}  // namespace platform
