#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/application.h"
#include "platform/ui/text_label.h"
#include "platform/ui/timer.h"
#include "platform/ui/window.h"

namespace mainwindow {

// While start-up waits for another holder of the PSU's access mutex, the window is a plain
// strip whose caption (and text) names the holder, again every second since the holder may
// change; End gives the window back its skinned shape. UI thread only.
class LockWaitNotice {
 public:
  // `holder` names whoever keeps the mutex now.
  LockWaitNotice(ui::Application& app, ui::Window& window, std::function<std::string()> holder);

  void Begin();
  // Back to the skinned window: `caption`, the client size and the magenta key, centred.
  void End(const std::string& caption, ui::Size clientSize);
  // The caption stops following the holder (the window is closing).
  void Stop() { timer_.SetEnabled(false); }
  bool Waiting() const { return waiting_; }

 private:
  void ShowCaption();

  ui::Window& window_;
  std::function<std::string()> holder_;
  ui::Timer timer_;
  std::unique_ptr<ui::TextLabel> label_;
  bool waiting_ = false;
};

}  // namespace mainwindow
