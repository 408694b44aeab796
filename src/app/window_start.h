#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include "app/device_stack.h"
#include "app/quelta_options.h"
#include "device/cycle_pause.h"
#include "platform/registry/registry.h"
#include "platform/ui/event_loop.h"
#include "platform/ui/window.h"

namespace app {

// What the window program does alike on every system, whichever UI backend it runs on: the
// settings, the devices, the worker's pause and the --screenshot timing.

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

// Writes the window's picture to a file; false when it could not be written.
using ScreenshotWriter = std::function<bool(const ui::Window& window, const std::string& file)>;

// --screenshot: the window is written after the chosen delay (at once, as it was made, for 0)
// and the loop ends; `exitCode` says whether the picture was written. `window` and `exitCode`
// must outlive the loop's run.
void ScheduleScreenshot(ui::EventLoop& loop, ui::Window& window, const QueltaOptions& options,
                        ScreenshotWriter write, int& exitCode);

}  // namespace app
