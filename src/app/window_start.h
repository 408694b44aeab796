#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include "app/console_dialogs.h"
#include "app/device_stack.h"
#include "app/quelta_options.h"
#include "device/cycle_pause.h"
#include "device/real_sleeper.h"
#include "mainwindow/form_main.h"
#include "mainwindow/form_main_environment.h"
#include "platform/registry/registry.h"
#include "platform/ui/application.h"
#include "platform/ui/backend.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/event_loop.h"
#include "platform/ui/window.h"

namespace app {

// What the window program does alike on every system, whichever UI backend it runs on: the
// settings, the devices, the application and the main window's environment, the worker's
// pause, the run of the window and the --screenshot timing.

// The real pause between the worker's cycles, of the length --cycle-ms chose when given.
class ChosenCyclePause : public device::RealCyclePause {
 public:
  explicit ChosenCyclePause(std::optional<std::chrono::milliseconds> chosen) : chosen_(chosen) {}
  void Wait(std::chrono::milliseconds duration, std::stop_token abandon) override {
    RealCyclePause::Wait(chosen_.value_or(duration), abandon);
  }

 private:
  std::optional<std::chrono::milliseconds> chosen_;
};

// The settings store; null, with the reason printed on stderr, when it cannot be had.
std::unique_ptr<platform::RegistryStore> OpenWindowStore(
    const QueltaOptions& options, const std::filesystem::path& programFolder);

// The devices, the simulated PSU on a clock that starts now (or stands at QUELTA_SIM_CLOCK);
// null, with the reason printed on stderr, when the scenario, the trace file or the pinned
// clock cannot be had.
std::unique_ptr<DeviceStack> OpenWindowDevices(const QueltaOptions& options);

// The simulated cable's messages (quelta-ctl send unplug|plug) reach the simulated PSU, never
// the window; the bus then tells the window of the change, as a real cable would. True when
// `message` was one of them (also without a simulated PSU: then nothing happens).
bool TakeSimulatedCableMessage(sim::SimulatedBus* simulated, std::uint32_t message);

// Writes the window's picture to a file; false when it could not be written.
using ScreenshotWriter = std::function<bool(const ui::Window& window, const std::string& file)>;

// --screenshot: the window is written after the chosen delay (at once, as it was made, for 0)
// and the loop ends; `exitCode` says whether the picture was written. `window` and `exitCode`
// must outlive the loop's run.
void ScheduleScreenshot(ui::EventLoop& loop, ui::Window& window, const QueltaOptions& options,
                        ScreenshotWriter write, int& exitCode);

// The application and what the main window is made with, alike on every backend: the dialogs
// (the console's for --screenshot, whose run nobody attends; the backend's live ones
// otherwise), the application with the program's title, the loop's error handler showing what
// escaped a handler, the real sleepers (the cycle pause --cycle-ms chose) and the environment
// with the device stack's trace observer and skin problems written to stderr. The loop, the
// live dialogs, the backend, the devices and the store must outlive it; the main window made
// from Environment() must go before it.
class WindowStart {
 public:
  WindowStart(const QueltaOptions& options, ui::EventLoop& loop, ui::Dialogs& liveDialogs,
              ui::Backend& backend, DeviceStack& devices, platform::RegistryStore& store,
              const std::filesystem::path& programFolder,
              mainwindow::MonitorImageLists::StripSource imageStrips);
  WindowStart(const WindowStart&) = delete;
  WindowStart& operator=(const WindowStart&) = delete;

  mainwindow::FormMainEnvironment& Environment() { return environment_; }

 private:
  ConsoleDialogs consoleDialogs_;
  ui::Application application_;
  device::RealSleeper reportSleeper_;
  ChosenCyclePause cyclePause_;
  mainwindow::FormMainEnvironment environment_;
};

// Shows the main window (put away in the notification area once started, for --tray), writes
// it for --screenshot, runs the loop until it ends and returns the exit code: 1 when the
// window did not start (or a skin picture refused at its first decode ended it), or when the
// screenshot could not be written.
int RunMainWindow(mainwindow::TFormMain& form, ui::EventLoop& loop, const QueltaOptions& options,
                  ScreenshotWriter writeScreenshot);

}  // namespace app
