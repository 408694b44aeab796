#include "app/run_quelta.h"

#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include "app/console_dialogs.h"
#include "app/device_stack.h"
#include "device/cycle_pause.h"
#include "device/real_sleeper.h"
#include "history/history_location.h"
#include "historyview/history_file_hooks.h"
#include "historyview/history_window.h"
#include "mainwindow/form_main.h"
#include "mainwindow/message_server.h"
#include "mainwindow/window_messages.h"
#include "platform/lock/named_mutex.h"
#include "platform/notify/dbus_notifier.h"
#include "platform/ui/application.h"
#include "platform/ui/qt/qt_backend.h"
#include "platform/ui/qt/qt_dialogs.h"
#include "platform/ui/qt/qt_event_loop.h"
#include "platform/ui/render_window.h"
#include "platform/ui/tray_icon.h"
#include "skin/language.h"

namespace app {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;

// The folder of the running program as the system tells it, empty when it does not; Qt
// (once it runs) can tell it from the command line then.
std::filesystem::path ProgramFolderFromSystem() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe", error);
  return error ? std::filesystem::path() : exe.parent_path();
}

std::filesystem::path ProgramFolderFromQt() {
  return std::filesystem::path(QCoreApplication::applicationFilePath().toStdString()).parent_path();
}

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

// Another running copy of the program is asked to show its window. Returns the exit code
// when this one is not to run: the socket's folder is unsafe, or a copy answered.
std::optional<int> LeaveToRunningCopy(const std::filesystem::path& socket) {
  // A folder someone else could plant a socket in is not used at all.
  if (const std::string problem = mainwindow::PrepareMessageSocketFolder(socket);
      !problem.empty()) {
    std::cerr << "quelta: " << problem << "\n";
    return kExitFailed;
  }
  if (mainwindow::ProbeMessageSocket(socket, mainwindow::kRestoreMessage) ==
      mainwindow::SocketAnswer::Ours) {
    std::cout << "quelta: already running; its window was brought back (" << socket.string()
              << ")\n";
    return kExitOk;
  }
  return std::nullopt;
}

// The settings store; null, with the reason printed, when it cannot be had.
std::unique_ptr<platform::RegistryStore> OpenStore(const QueltaOptions& options,
                                                   const std::filesystem::path& programFolder) {
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

// The devices, simulated on a clock that starts now; null, with the reason printed, when the
// scenario or the trace file cannot be had.
std::unique_ptr<DeviceStack> OpenDevices(const QueltaOptions& options) {
  const auto started = std::chrono::steady_clock::now();
  const auto seconds = [started] {
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

// Our own messages on the socket; the simulated plug and unplug reach the simulated PSU.
// Returns the exit code when another copy took the socket first (it started while this one
// was being made): that copy's window is brought back and this one ends unshown.
std::optional<int> ListenForMessages(mainwindow::MessageServer& server,
                                     const std::filesystem::path& socket,
                                     sim::SimulatedBus* simulated) {
  server.SetInterceptor([simulated](std::uint32_t message) {
    if (message != mainwindow::kSimulatedUnplugMessage &&
        message != mainwindow::kSimulatedPlugMessage) {
      return false;
    }
    // The bus tells the window of the change, as a real cable would.
    if (simulated) simulated->SetMonitorPresent(message == mainwindow::kSimulatedPlugMessage);
    return true;
  });
  // The other copy may end between its answer and our message to it: then we look again.
  constexpr int kLooks = 3;
  for (int look = 0; look < kLooks; ++look) {
    switch (server.Listen(socket)) {
      case mainwindow::MessageServer::ListenResult::Listening:
        return std::nullopt;
      case mainwindow::MessageServer::ListenResult::Failed:
        std::cerr << "quelta: no message socket: " << server.Error() << "\n";
        return std::nullopt;
      case mainwindow::MessageServer::ListenResult::AlreadyRunning:
        if (const std::optional<int> exitCode = LeaveToRunningCopy(socket)) return exitCode;
        break;
    }
  }
  std::cerr << "quelta: no message socket: " << socket.string() << " kept changing hands\n";
  return std::nullopt;
}

// --screenshot: the window is saved after the chosen delay and the loop ends; `exitCode`
// says whether the picture was written.
void ScheduleScreenshot(ui::EventLoop& loop, mainwindow::TFormMain& form,
                        const QueltaOptions& options, int& exitCode) {
  const auto shoot = [&loop, &form, &exitCode, file = *options.screenshotFile] {
    const QImage shot = ui::KeyedScreenshot(form.Window(), ui::RenderWindow(form.Window()));
    if (!shot.save(QString::fromStdString(file), "PNG")) {
      std::cerr << "quelta: cannot write " << file << "\n";
      exitCode = kExitFailed;
    } else {
      exitCode = kExitOk;
    }
    // Its work done, the window goes: nothing asked for before the quit is painted.
    form.Window().Hide();
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

// What the window is made with, from the devices, settings and pauses of this run.
mainwindow::FormMainEnvironment WindowEnvironment(ui::Application& application,
                                                  DeviceStack& devices,
                                                  platform::RegistryStore& store,
                                                  const std::filesystem::path& programFolder,
                                                  device::RealSleeper& reportSleeper,
                                                  ChosenCyclePause& cyclePause) {
  mainwindow::FormMainEnvironment environment{
      application,
      devices.Bus(),
      store,
      programFolder,
      platform::DefaultLockDirectory(),
      reportSleeper,
      cyclePause,
      skin::UserDefaultLangId([](const char* name) { return std::getenv(name); }),
      mainwindow::ResourceStrips()};
  environment.accessMutexObserver = devices.AccessMutexObserver();
  environment.reportSkinProblem = [](const std::string& why) {
    std::cerr << "quelta: " << why << "\n";
  };
  try {
    environment.historyFile =
        history::DefaultHistoryFile(history::HistoryEnvironment::FromProcess());
  } catch (const std::runtime_error& error) {
    // No HOME: the window runs without its record.
    std::fprintf(stderr, "quelta: %s\n", error.what());
  }
  return environment;
}

// The window on the Qt loop until it ends; returns the exit code.
int RunWindow(const QueltaOptions& options, const std::filesystem::path& socket,
              const std::filesystem::path& programFolder, platform::RegistryStore& store,
              DeviceStack& devices) {
  ui::qt::QtEventLoop loop;
  ui::qt::QtBackend backend;
  ui::qt::QtDialogs liveDialogs(kQueltaVersionText);
  ConsoleDialogs consoleDialogs(std::cerr);
  ui::Dialogs& dialogs =
      options.screenshotFile ? static_cast<ui::Dialogs&>(consoleDialogs) : liveDialogs;
  ui::Application application(loop, dialogs, backend);
  application.SetTitle(kQueltaVersionText);
  loop.SetErrorHandler(
      [&application](std::exception_ptr error) { application.ShowException(error); });

  device::RealSleeper reportSleeper;
  ChosenCyclePause cyclePause(options.cyclePause);
  mainwindow::FormMainEnvironment environment =
      WindowEnvironment(application, devices, store, programFolder, reportSleeper, cyclePause);
  // Alarm starts reach the desktop on the session bus, where there is one.
  platform::DbusNotifier notifier;
  environment.notifier = &notifier;
  // The history window is made at its first opening and kept; it goes after the main window.
  std::unique_ptr<historyview::HistoryWindow> history;
  environment.openHistory = [&history, &store] {
    if (!history) {
      history = std::make_unique<historyview::HistoryWindow>(historyview::FileHistoryHooks(
          history::DefaultHistoryFile(history::HistoryEnvironment::FromProcess()), store));
      history->resize(history->sizeHint());
    }
    history->Open();
  };
  mainwindow::TFormMain form(environment);

  mainwindow::MessageServer server(form.Window().Handle());
  if (const std::optional<int> exitCode = ListenForMessages(server, socket, devices.Simulated()))
    return *exitCode;

  form.Window().Show();
  // Started at login: straight into the notification area, once start-up is complete (it may
  // wait for another holder of the PSU's lock first).
  if (options.tray) form.WhenStarted([&form] { form.TrayIcon1().Minimize(); });
  int exitCode = form.Started() || form.WaitingForLock() ? kExitOk : kExitFailed;
  if (options.screenshotFile) ScheduleScreenshot(loop, form, options, exitCode);
  loop.Run();
  // A skin picture refused at its first decode ends a started window too.
  if (!form.Started() || form.CloseOnActivate()) exitCode = kExitFailed;
  return exitCode;
}

}  // namespace

int RunQuelta(const QueltaOptions& options, const ApplicationMaker& makeApplication) {
  const std::filesystem::path socket = mainwindow::MessageSocketPath();
  if (const std::optional<int> exitCode = LeaveToRunningCopy(socket)) return *exitCode;

  // The settings are read while Qt starts: neither needs the other.
  std::filesystem::path programFolder = ProgramFolderFromSystem();
  std::future<std::unique_ptr<platform::RegistryStore>> opening;
  if (!programFolder.empty()) {
    opening = std::async(std::launch::async,
                         [&options, &programFolder] { return OpenStore(options, programFolder); });
  }
  const std::unique_ptr<QCoreApplication> application = makeApplication();
  if (programFolder.empty()) programFolder = ProgramFolderFromQt();
  const std::unique_ptr<platform::RegistryStore> store =
      opening.valid() ? opening.get() : OpenStore(options, programFolder);
  if (!store) return kExitFailed;
  const std::unique_ptr<DeviceStack> devices = OpenDevices(options);
  if (!devices) return kExitFailed;
  return RunWindow(options, socket, programFolder, *store, *devices);
}

}  // namespace app
