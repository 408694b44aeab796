#pragma once

#include "platform/ui/backend.h"

namespace ui::qt {

// Live windows through Qt Widgets. A QApplication must exist before the first window.
class QtBackend : public Backend {
 public:
  // `scale`: the whole factor by which every window is drawn, in addition to the screen's own
  // (whole) device pixel ratio.
  explicit QtBackend(int scale = 1) : scale_(scale < 1 ? 1 : scale) {}

  std::unique_ptr<WindowHost> CreateWindowHost(Window& window) override;
  std::unique_ptr<TrayHost> CreateTrayHost(TrayIcon& tray) override;

  int Scale() const { return scale_; }

  // Call before the QApplication is made: the screen's device pixel ratio is then rounded to
  // a whole number, so a HiDPI screen scales the skin by a whole factor without smoothing.
  static void UseWholeScaleFactors();

 private:
  int scale_;
};

}  // namespace ui::qt
