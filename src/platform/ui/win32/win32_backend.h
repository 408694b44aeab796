#pragma once

#include "platform/ui/backend.h"
#include "platform/ui/win32/win32_window_host.h"

namespace ui::win32 {

// Live windows and the tray icon over the Windows API, without any toolkit.
class Win32Backend : public Backend {
 public:
  // `filter` sees each program message posted to a window before the scene does (the
  // simulated cable's messages are the program's own business, not the window's).
  explicit Win32Backend(Win32WindowHost::MessageFilter filter = {}) : filter_(std::move(filter)) {}

  std::unique_ptr<WindowHost> CreateWindowHost(Window& window) override;
  std::unique_ptr<TrayHost> CreateTrayHost(TrayIcon& tray) override;

 private:
  Win32WindowHost::MessageFilter filter_;
};

}  // namespace ui::win32
