#pragma once

#include <memory>

#include "platform/ui/tray_host.h"
#include "platform/ui/window_host.h"

namespace ui {

class TrayIcon;
class Window;

// What turns scene windows into desktop windows (Qt) or keeps them in memory (headless).
// Nothing above the framework knows which one runs.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::unique_ptr<WindowHost> CreateWindowHost(Window& window) = 0;
  virtual std::unique_ptr<TrayHost> CreateTrayHost(TrayIcon& tray) = 0;
};

}  // namespace ui
