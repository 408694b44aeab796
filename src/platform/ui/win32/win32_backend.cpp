#include "platform/ui/win32/win32_backend.h"

#include "platform/ui/win32/win32_tray_host.h"

namespace ui::win32 {

std::unique_ptr<WindowHost> Win32Backend::CreateWindowHost(Window& window) {
  return std::make_unique<Win32WindowHost>(window, filter_);
}

std::unique_ptr<TrayHost> Win32Backend::CreateTrayHost(TrayIcon& tray) {
  return std::make_unique<Win32TrayHost>(tray);
}

}  // namespace ui::win32
