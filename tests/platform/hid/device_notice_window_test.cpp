#include "platform/hid/win32/device_notice_window.h"

// clang-format off
#include <windows.h>
#include <dbt.h>
extern "C" {
#include <hidsdi.h>
}
// clang-format on

#include <gtest/gtest.h>

#include <atomic>

namespace platform {
namespace {

// A device change as the system sends it to the notice window. SendMessage returns once the
// window's thread has handled it, so no waiting is needed after it.
void SendChange(WPARAM event, const GUID& deviceClass) {
  const HWND window =
      ::FindWindowExA(HWND_MESSAGE, nullptr, DeviceNoticeWindow::kClassName, nullptr);
  ASSERT_NE(window, nullptr) << "no device notice window";
  DEV_BROADCAST_DEVICEINTERFACE_A record{};
  record.dbcc_size = sizeof record;
  record.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  record.dbcc_classguid = deviceClass;
  ::SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&record));
}

TEST(DeviceNoticeWindow, TellsArrivalAndRemovalOfHidInterfacesOnly) {
  GUID hid{};
  ::HidD_GetHidGuid(&hid);
  GUID other = hid;
  other.Data1 ^= 1;
  std::atomic<int> changes{0};
  std::string error;
  {
    const auto notices = DeviceNoticeWindow::Start([&] { ++changes; }, error);
    ASSERT_NE(notices, nullptr) << error;
    SendChange(DBT_DEVICEARRIVAL, hid);
    EXPECT_EQ(changes, 1);
    SendChange(DBT_DEVICEREMOVECOMPLETE, hid);
    EXPECT_EQ(changes, 2);
    // Another class, and events that are neither arrival nor removal, say nothing.
    SendChange(DBT_DEVICEARRIVAL, other);
    SendChange(DBT_DEVICEQUERYREMOVE, hid);
    SendChange(DBT_DEVICEREMOVEPENDING, hid);
    EXPECT_EQ(changes, 2);
  }
  // Gone with its owner: the window is destroyed on its thread, which has ended.
  EXPECT_EQ(::FindWindowExA(HWND_MESSAGE, nullptr, DeviceNoticeWindow::kClassName, nullptr),
            nullptr);
}

}  // namespace
}  // namespace platform
