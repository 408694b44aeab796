#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/bitmap.h"
#include "platform/ui/tray_host.h"
#include "platform/ui/win32/notify_icon.h"

namespace ui {
class TrayIcon;
}

namespace ui::win32 {

// The scene's tray icon as the shell's notification icon: hint, picture (key colour
// see-through), the menu with its check marks; the menu's choices and a double click go back
// to the TrayIcon. Only what changed reaches the shell. UI thread only.
class Win32TrayHost : public TrayHost {
 public:
  explicit Win32TrayHost(TrayIcon& tray);

  bool Available() const override;
  void Changed() override;

  NotifyIcon& Icon() { return icon_; }

 private:
  TrayIcon& tray_;
  NotifyIcon icon_;
  std::vector<std::string> captions_;
  std::vector<bool> checks_;
  std::shared_ptr<const Bitmap> picture_;
  bool pictureSet_ = false;
};

}  // namespace ui::win32
