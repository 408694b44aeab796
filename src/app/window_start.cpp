#include "app/window_start.h"

#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "core/window_message_codes.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/tray_icon.h"
#include "sim/simulated_bus.h"
#include "skin/language.h"

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

bool TakeSimulatedCableMessage(sim::SimulatedBus* simulated, std::uint32_t message) {
  if (message != core::kSimulatedUnplugMessage && message != core::kSimulatedPlugMessage)
    return false;
  if (simulated) simulated->SetMonitorPresent(message == core::kSimulatedPlugMessage);
  return true;
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

WindowStart::WindowStart(const QueltaOptions& options, ui::EventLoop& loop,
                         ui::Dialogs& liveDialogs, ui::Backend& backend, DeviceStack& devices,
                         platform::RegistryStore& store, const std::filesystem::path& programFolder,
                         mainwindow::MonitorImageLists::StripSource imageStrips)
    : consoleDialogs_(std::cerr),
      application_(
          loop, options.screenshotFile ? static_cast<ui::Dialogs&>(consoleDialogs_) : liveDialogs,
          backend),
      cyclePause_(options.cyclePause),
      environment_{application_,
                   devices.Bus(),
                   store,
                   programFolder,
                   platform::DefaultLockDirectory(),
                   reportSleeper_,
                   cyclePause_,
                   skin::UserDefaultLangId([](const char* name) { return std::getenv(name); }),
                   std::move(imageStrips)} {
  application_.SetTitle(kQueltaVersionText);
  loop.SetErrorHandler([this](std::exception_ptr error) { application_.ShowException(error); });
  environment_.accessMutexObserver = devices.AccessMutexObserver();
  environment_.reportSkinProblem = [](const std::string& why) {
    std::cerr << "quelta: " << why << "\n";
  };
}

int RunMainWindow(mainwindow::TFormMain& form, ui::EventLoop& loop, const QueltaOptions& options,
                  ScreenshotWriter writeScreenshot) {
  form.Window().Show();
  // Started at login: straight into the notification area, once start-up is complete (it may
  // wait for another holder of the PSU's lock first).
  if (options.tray) form.WhenStarted([&form] { form.TrayIcon1().Minimize(); });
  int exitCode = form.Started() || form.WaitingForLock() ? kExitOk : kExitFailed;
  if (options.screenshotFile) {
    ScheduleScreenshot(loop, form.Window(), options, std::move(writeScreenshot), exitCode);
  }
  loop.Run();
  // A skin picture refused at its first decode ends a started window too.
  if (!form.Started() || form.CloseOnActivate()) exitCode = kExitFailed;
  return exitCode;
}

}  // namespace app
