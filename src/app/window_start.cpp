#include "app/window_start.h"

#include <cstdlib>
#include <iostream>
#include <stdexcept>

namespace app {

std::unique_ptr<platform::RegistryStore> OpenWindowStore(
    const QueltaOptions& options, const std::filesystem::path& programFolder) {
  if (options.registryFile && !std::filesystem::is_regular_file(*options.registryFile)) {
    std::cerr << "quelta: no settings file " << *options.registryFile << "\n";
    return nullptr;
  }
  try {
    return OpenSettingsStore(options.registryFile, programFolder);
  } catch (const std::exception& error) {
    std::cerr << "quelta: " << error.what() << "\n";
    return nullptr;
  }
}

std::unique_ptr<DeviceStack> OpenWindowDevices(const QueltaOptions& options) {
  std::optional<double> pinned;
  try {
    pinned = PinnedSimClock(std::getenv(kSimClockVariable));
  } catch (const std::invalid_argument& error) {
    std::cerr << "quelta: " << error.what() << "\n";
    return nullptr;
  }
  const auto started = std::chrono::steady_clock::now();
  const auto seconds = [started, pinned] {
    if (pinned) return *pinned;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  };
  try {
    auto devices = std::make_unique<DeviceStack>(DeviceStackOptions{
        options.simulate, options.scenarioFile, options.traceFile, {seconds, {}}, {}});
    devices->Bus();
    return devices;
  } catch (const DeviceStackError& error) {
    std::cerr << "quelta: " << error.what() << "\n";
    return nullptr;
  }
}

void ScheduleScreenshot(ui::EventLoop& loop, ui::Window& window, const QueltaOptions& options,
                        ScreenshotWriter write, int& exitCode) {
  const auto shoot = [&loop, &window, &exitCode, write = std::move(write),
                      file = *options.screenshotFile] {
    if (!write(window, file)) {
      std::cerr << "quelta: cannot write " << file << "\n";
      exitCode = kExitFailed;
    } else {
      exitCode = kExitOk;
    }
    // Its work done, the window goes: nothing asked for before the quit is painted.
    window.Hide();
    loop.Quit();
  };
  // At once: the window as it was made, before the desktop asks for its first paint.
  if (options.screenshotAfter.count() <= 0) {
    loop.Post(shoot);
    return;
  }
  // The timer repeats, and the quit is only posted: it is stopped at its first tick, or a
  // second tick before the quit would render and write the picture again.
  const auto timer = std::make_shared<ui::EventLoop::TimerId>();
  *timer = loop.StartTimer(options.screenshotAfter, [&loop, timer, shoot] {
    loop.StopTimer(*timer);
    shoot();
  });
}

}  // namespace app
