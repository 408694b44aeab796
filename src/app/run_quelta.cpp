#include "app/run_quelta.h"

#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/console_dialogs.h"
#include "device/cycle_pause.h"
#include "device/real_sleeper.h"
#include "mainwindow/form_main.h"
#include "mainwindow/message_server.h"
#include "mainwindow/window_messages.h"
#include "platform/hid/hidapi_bus.h"
#include "platform/lock/named_mutex.h"
#include "platform/registry/overlay_registry_store.h"
#include "platform/registry/registry_location.h"
#include "platform/ui/application.h"
#include "platform/ui/qt/qt_backend.h"
#include "platform/ui/qt/qt_dialogs.h"
#include "platform/ui/qt/qt_event_loop.h"
#include "platform/ui/render_window.h"
#include "platform/ui/tray_icon.h"
#include "sim/scenario.h"
#include "sim/simulated_bus.h"
#include "sim/trace_log.h"
#include "sim/tracing_hid_bus.h"
#include "skin/language.h"

namespace app {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;

std::filesystem::path ProgramFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe", error);
  if (error) exe = QCoreApplication::applicationFilePath().toStdString();
  return exe.parent_path();
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

}  // namespace

int RunQuelta(const QueltaOptions& options) {
  const std::filesystem::path socket = mainwindow::MessageSocketPath();
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

  const std::filesystem::path programFolder = ProgramFolder();
  std::unique_ptr<platform::RegistryStore> store;
  if (options.registryFile && !std::filesystem::is_regular_file(*options.registryFile)) {
    std::cerr << "quelta: no settings file " << *options.registryFile << "\n";
    return kExitFailed;
  }
  try {
    const std::optional<std::filesystem::path> option =
        options.registryFile ? std::optional<std::filesystem::path>(*options.registryFile)
                             : std::nullopt;
    store = platform::OpenSettingsStore(
        platform::LocateRegistryFile(option, programFolder,
                                     platform::RegistryEnvironment::FromProcess()),
        programFolder);
  } catch (const std::exception& error) {
    std::cerr << "quelta: " << error.what() << "\n";
    return kExitFailed;
  }

  std::unique_ptr<platform::HidBus> bus;
  sim::SimulatedBus* simulatedBus = nullptr;  // the simulated PSU's cable, when simulating
  if (options.simulate) {
    try {
      sim::Scenario scenario = options.scenarioFile.empty()
                                   ? sim::Scenario{}
                                   : sim::LoadScenarioFile(options.scenarioFile);
      const auto started = std::chrono::steady_clock::now();
      auto simulated = std::make_unique<sim::SimulatedBus>(
          std::move(scenario),
          sim::SimulatedDevices::Options{[started] {
                                           return std::chrono::duration<double>(
                                                      std::chrono::steady_clock::now() - started)
                                               .count();
                                         },
                                         {}});
      simulatedBus = simulated.get();
      bus = std::move(simulated);
    } catch (const sim::ScenarioError& error) {
      std::cerr << "quelta: " << error.what() << "\n";
      return kExitFailed;
    }
  } else {
    bus = std::make_unique<platform::HidapiBus>();
  }
  std::unique_ptr<sim::TraceLog> trace;
  std::unique_ptr<platform::HidBus> tracingBus;
  if (options.traceFile) {
    sim::TraceLog::OpenResult opened = sim::TraceLog::Open(*options.traceFile);
    if (!opened.log) {
      std::cerr << "quelta: " << opened.error << "\n";
      return kExitFailed;
    }
    trace = std::move(opened.log);
    tracingBus = std::make_unique<sim::TracingHidBus>(*bus, *trace);
  }
  platform::HidBus& usedBus = tracingBus ? *tracingBus : *bus;

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
  mainwindow::FormMainEnvironment environment{
      application,
      usedBus,
      *store,
      programFolder,
      platform::DefaultLockDirectory(),
      reportSleeper,
      cyclePause,
      skin::UserDefaultLangId([](const char* name) { return std::getenv(name); }),
      mainwindow::ResourceStrips()};
  if (trace) {
    sim::TraceLog& log = *trace;
    environment.accessMutexObserver = [&log](platform::NamedMutex::Event event) {
      log.Event(event == platform::NamedMutex::Event::Locked ? "LOCK" : "UNLOCK");
    };
  }
  mainwindow::TFormMain form(environment);

  mainwindow::MessageServer server(form.Window().Handle());
  server.SetInterceptor([simulatedBus](std::uint32_t message) {
    if (message != mainwindow::kSimulatedUnplugMessage &&
        message != mainwindow::kSimulatedPlugMessage) {
      return false;
    }
    // The bus tells the window of the change, as a real cable would.
    if (simulatedBus) simulatedBus->SetMonitorPresent(message == mainwindow::kSimulatedPlugMessage);
    return true;
  });
  if (server.Listen(socket) == mainwindow::MessageServer::ListenResult::Failed) {
    std::cerr << "quelta: no message socket: " << server.Error() << "\n";
  }

  form.Window().Show();
  // Started at login: straight into the notification area.
  if (options.tray && form.Started()) form.TrayIcon1().Minimize();
  int exitCode = form.Started() ? kExitOk : kExitFailed;
  if (options.screenshotFile) {
    // A timer of 0 ms never fires: "at once" is the first millisecond.
    const auto after = std::max(options.screenshotAfter, std::chrono::milliseconds(1));
    loop.StartTimer(after, [&] {
      const QImage shot = ui::KeyedScreenshot(form.Window(), ui::RenderWindow(form.Window()));
      if (!shot.save(QString::fromStdString(*options.screenshotFile), "PNG")) {
        std::cerr << "quelta: cannot write " << *options.screenshotFile << "\n";
        exitCode = kExitFailed;
      } else {
        exitCode = kExitOk;
      }
      loop.Quit();
    });
  }
  loop.Run();
  if (!form.Started()) exitCode = kExitFailed;
  return exitCode;
}

}  // namespace app
