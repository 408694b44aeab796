#pragma once

#include <map>

#include "platform/ui/backend.h"

namespace ui {

// The backend of tests and headless runs: no display. Windows keep their dirty areas for the
// test to inspect; showing a window activates it (posted, as a desktop would); the
// notification area exists unless the test says otherwise.
class HeadlessBackend : public Backend {
 public:
  std::unique_ptr<WindowHost> CreateWindowHost(Window& window) override;
  std::unique_ptr<TrayHost> CreateTrayHost(TrayIcon& tray) override;

  void SetTrayAvailable(bool available) { trayAvailable_ = available; }
  bool TrayAvailable() const { return trayAvailable_; }

  // How often the window asked to be dragged by the pointer.
  int SystemMoves(const Window& window) const;
  // How often the window was brought to the front.
  int Activations(const Window& window) const;

 private:
  friend class HeadlessWindowHost;
  bool trayAvailable_ = true;
  std::map<const Window*, int> systemMoves_;
  std::map<const Window*, int> activations_;
};

}  // namespace ui
