#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "alarms/alarm_blink.h"
#include "alarms/alarm_page.h"
#include "alarms/alarm_state.h"
#include "device/monitor_connection.h"
#include "mainwindow/form_main_environment.h"
#include "mainwindow/monitor_image_lists.h"
#include "mainwindow/monitor_page.h"
#include "pages/config_page.h"
#include "pages/control_bar.h"
#include "pages/monitor_page_controls.h"
#include "pages/page_codes.h"
#include "pages/page_images.h"
#include "pages/page_roll.h"
#include "pages/window_drag.h"
#include "pages/window_hooks.h"
#include "platform/ui/timer.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/window.h"
#include "session/monitor_session.h"
#include "skin/file_resolver.h"
#include "skin/language.h"
#include "skin/skin_loader.h"

namespace mainwindow {

// The pages the skin load builds around the monitor page, and how they are wired: the control
// bar, the configuration and alarm pages, the groups the roll moves, the roll itself and the
// alarm blink's targets. The pages read and write the session, not each other. UI thread only.
class WindowPages {
 public:
  struct Parts {
    FormMainEnvironment& env;
    // The window's one resolver of the skin's stored paths.
    const skin::FileResolver& files;
    ui::Window& window;
    pages::WindowDrag& drag;
    pages::PageImages& pageImages;
    MonitorImageLists& lists;
    MonitorPage& monitor;
    alarms::AlarmBlink& blink;
    alarms::AlarmStatus& alarmStatus;
    session::MonitorSession& session;
    device::MonitorConnection& connection;
    ui::Timer& timerAlarm;
    ui::TrayIcon& tray;
    // The control bar's close button.
    std::function<void()> close;
  };

  explicit WindowPages(Parts parts) : p_(std::move(parts)) {}

  // Reads the skin and builds every page from it; false when the skin could not be read (a
  // malformed value or a missing picture has shown its own error first).
  bool LoadSkin();

  // The page shown (or being rolled to): the roll's, the monitor page until it exists.
  pages::Page CurrentPage() const { return roll_ ? roll_->CurrentPage() : pages::Page::kMonitor; }
  // Null until the skin load built them.
  pages::ControlBar* Bar() const { return bar_.get(); }
  pages::PageRoll* Roll() const { return roll_.get(); }
  pages::ConfigPage* Config() const { return config_.get(); }
  alarms::AlarmPage* AlarmPage() const { return alarmPage_.get(); }
  // The language the skin load chose, kept for the detail windows.
  const skin::LanguageChoice& Language() const { return language_; }

 private:
  skin::SkinLoader::Builders SkinBuilders(skin::SkinLoader& loader);
  void BuildConfigPage(const skin::PageRecords& records, const std::string& languageFolder);
  void BuildAlarmPage(const skin::PageRecords& records, const std::string& languageFolder);
  void BuildRoll();
  pages::WindowHooks MakeHooks();

  Parts p_;
  skin::LanguageChoice language_;
  std::unique_ptr<pages::ControlBar> bar_;
  std::unique_ptr<pages::MonitorPageControls> monitorControls_;
  std::unique_ptr<pages::PageRoll> roll_;
  std::unique_ptr<pages::ConfigPage> config_;
  std::unique_ptr<alarms::AlarmPage> alarmPage_;
};

}  // namespace mainwindow
