#include "mainwindow/tray_menu.h"

#include <utility>

namespace mainwindow {

TrayMenu::TrayMenu(ui::Application& app, ui::Window& window, Actions actions) : icon_(app, window) {
  icon_.SetHint(kHint);
  icon_.AddMenuItem("AlarmDefault", std::move(actions.Default1Click));
  icon_.AddMenuItem("History", std::move(actions.History1Click));
  // Checked until the settings are loaded: notifying is the default.
  icon_.AddCheckItem(kNotifyOnAlarm, true, std::move(actions.NotifyOnAlarmClick));
  icon_.AddMenuItem("Show", std::move(actions.Show1Click));
  icon_.AddMenuItem("Exit", std::move(actions.Exit1Click));
  icon_.OnMinimize = [minimize = std::move(actions.Minimize)](ui::TrayIcon&) { minimize(); };
  icon_.OnRestore = [restore = std::move(actions.Restore)](ui::TrayIcon&) { restore(); };
}

}  // namespace mainwindow
