#pragma once

#include <filesystem>
#include <functional>

#include "device/cycle_pause.h"
#include "device/sleeper.h"
#include "mainwindow/monitor_image_lists.h"
#include "platform/hid/hid_bus.h"
#include "platform/lock/named_mutex.h"
#include "platform/notify/desktop_notifier.h"
#include "platform/registry/registry.h"
#include "platform/ui/application.h"
#include "skin/language.h"

namespace mainwindow {

// Everything the main window takes from outside; tests hand in the headless application, the
// simulated bus, a temp settings file and pauses they control. All of it must outlive the
// window.
struct FormMainEnvironment {
  ui::Application& app;
  platform::HidBus& bus;
  platform::RegistryStore& store;
  std::filesystem::path programFolder;         // where "Skin\" lies
  std::filesystem::path lockDirectory;         // where the access mutex's lock file lives
  device::Sleeper& reportSleeper;              // the 2 ms pauses after each report
  device::CyclePause& cyclePause;              // the worker's pause between cycles
  skin::LangId userLanguage = 0;               // the user's default language
  MonitorImageLists::StripSource imageStrips;  // the monitor page's picture lists; none: empty
  // Told of every take and release of the access mutex (the trace); none: nobody is told.
  platform::NamedMutex::Observer accessMutexObserver = {};
  // Told of each alarm start worth a desktop notification; none: nobody is told.
  platform::DesktopNotifier* notifier = nullptr;
  // Opens the history window, or brings it forward; none: "History" does nothing.
  std::function<void()> openHistory = {};
};

}  // namespace mainwindow
