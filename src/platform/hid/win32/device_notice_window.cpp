#include "platform/hid/win32/device_notice_window.h"

// windows.h comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <dbt.h>
extern "C" {
#include <hidsdi.h>
}
// clang-format on

#include <future>
#include <thread>

#include "core/win32/system_error_text.h"

namespace platform {
namespace {

class Win32DeviceNoticeWindow : public DeviceNoticeWindow {
 public:
  explicit Win32DeviceNoticeWindow(std::function<void()> changed) : changed_(std::move(changed)) {}

  // The window is made on the notice thread, which owns it; the caller learns whether it stood.
  bool Run(std::string& error) {
    std::promise<std::string> made;
    std::future<std::string> outcome = made.get_future();
    thread_ = std::thread([this, &made] { Loop(made); });
    error = outcome.get();
    if (!error.empty()) {
      thread_.join();
      return false;
    }
    return true;
  }

  ~Win32DeviceNoticeWindow() override {
    if (window_ != nullptr) ::PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_.joinable()) thread_.join();
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self =
        reinterpret_cast<Win32DeviceNoticeWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_DEVICECHANGE && self != nullptr && IsHidChange(wParam, lParam)) {
      self->changed_();
      return TRUE;
    }
    if (message == WM_CLOSE) {
      ::DestroyWindow(window);
      return 0;
    }
    if (message == WM_DESTROY) {
      ::PostQuitMessage(0);
      return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
  }

  // An interface of the HID class arrived or went; the record says which class it is.
  static bool IsHidChange(WPARAM event, LPARAM record) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return false;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
    if (header == nullptr || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return false;
    const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(record);
    GUID hid{};
    ::HidD_GetHidGuid(&hid);
    return ::IsEqualGUID(device->dbcc_classguid, hid) != FALSE;
  }

  void Loop(std::promise<std::string>& made) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassA(&windowClass);  // fails harmlessly when an earlier window registered it
    window_ = ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                nullptr);
    if (window_ == nullptr) {
      made.set_value("no device notice window: " + core::SystemErrorText(::GetLastError()));
      return;
    }
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    ::HidD_GetHidGuid(&filter.dbcc_classguid);
    HDEVNOTIFY notices =
        ::RegisterDeviceNotificationA(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (notices == nullptr) {
      const std::string why = core::SystemErrorText(::GetLastError());
      ::DestroyWindow(window_);
      window_ = nullptr;
      made.set_value("no device notices: " + why);
      return;
    }
    made.set_value({});
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
    ::UnregisterDeviceNotification(notices);
  }

  const std::function<void()> changed_;
  HWND window_ = nullptr;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<DeviceNoticeWindow> DeviceNoticeWindow::Start(std::function<void()> changed,
                                                              std::string& error) {
  auto window = std::make_unique<Win32DeviceNoticeWindow>(std::move(changed));
  if (!window->Run(error)) return nullptr;
  return window;
}

}  // namespace platform
