#pragma once

#include <functional>
#include <memory>

#include "platform/ui/tray_icon.h"

namespace mainwindow {

// TrayIcon1 with its hint and the popup menu PMQuelta: "AlarmDefault", "History" (opens the
// history window), "Notify on alarm" (checkable), "Show", "Exit".
class TrayMenu {
 public:
  struct Actions {
    std::function<void()> Default1Click;
    std::function<void()> History1Click;
    std::function<void(bool)> NotifyOnAlarmClick;  // the item's new state
    std::function<void()> Show1Click;
    std::function<void()> Exit1Click;
    std::function<void()> Minimize;
    std::function<void()> Restore;
  };
  static constexpr const char* kHint = "Quelta";
  static constexpr const char* kNotifyOnAlarm = "Notify on alarm";

  TrayMenu(ui::Application& app, ui::Window& window, Actions actions);

  ui::TrayIcon& Icon() { return icon_; }

 private:
  ui::TrayIcon icon_;
};

}  // namespace mainwindow
