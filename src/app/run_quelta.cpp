#include "app/run_quelta.h"

#include <QCoreApplication>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include "app/device_stack.h"
#include "app/window_start.h"
#include "history/history_location.h"
#include "historyview/history_file_hooks.h"
#include "historyview/history_window.h"
#include "mainwindow/form_main.h"
#include "mainwindow/message_server.h"
#include "mainwindow/window_messages.h"
#include "platform/notify/dbus_notifier.h"
#include "platform/ui/qt/qt_backend.h"
#include "platform/ui/qt/qt_dialogs.h"
#include "platform/ui/qt/qt_event_loop.h"
#include "platform/ui/render_window.h"

namespace app {
namespace {

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

// Our own messages on the socket; the simulated plug and unplug reach the simulated PSU.
// Returns the exit code when another copy took the socket first (it started while this one
// was being made): that copy's window is brought back and this one ends unshown.
std::optional<int> ListenForMessages(mainwindow::MessageServer& server,
                                     const std::filesystem::path& socket,
                                     sim::SimulatedBus* simulated) {
  server.SetInterceptor(
      [simulated](std::uint32_t message) { return TakeSimulatedCableMessage(simulated, message); });
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

// What only the Linux window has: its record of every poll, alarm starts on the desktop's
// notifications, and the history window, made at its first opening and kept (`history` must
// outlive the main window made from `environment`).
void AddHistoryAndNotices(mainwindow::FormMainEnvironment& environment,
                          platform::RegistryStore& store, platform::DbusNotifier& notifier,
                          std::unique_ptr<historyview::HistoryWindow>& history) {
  try {
    environment.historyFile =
        history::DefaultHistoryFile(history::HistoryEnvironment::FromProcess());
  } catch (const std::runtime_error& error) {
    // No HOME: the window runs without its record.
    std::fprintf(stderr, "quelta: %s\n", error.what());
  }
  // Alarm starts reach the desktop on the session bus, where there is one.
  environment.notifier = &notifier;
  environment.openHistory = [&history, &store] {
    if (!history) {
      history = std::make_unique<historyview::HistoryWindow>(historyview::FileHistoryHooks(
          history::DefaultHistoryFile(history::HistoryEnvironment::FromProcess()), store));
    }
    history->Open();
  };
}

bool WriteScreenshot(const ui::Window& window, const std::string& file) {
  return ui::KeyedScreenshot(window, ui::RenderWindow(window))
      .save(QString::fromStdString(file), "PNG");
}

// The window on the Qt loop until it ends; returns the exit code.
int RunWindow(const QueltaOptions& options, const std::filesystem::path& socket,
              const std::filesystem::path& programFolder, platform::RegistryStore& store,
              DeviceStack& devices) {
  ui::qt::QtEventLoop loop;
  ui::qt::QtBackend backend;
  ui::qt::QtDialogs liveDialogs(kQueltaVersionText);
  WindowStart start(options, loop, liveDialogs, backend, devices, store, programFolder,
                    mainwindow::ResourceStrips());
  platform::DbusNotifier notifier;
  // The history window goes after the main window.
  std::unique_ptr<historyview::HistoryWindow> history;
  AddHistoryAndNotices(start.Environment(), store, notifier, history);
  mainwindow::TFormMain form(start.Environment());

  mainwindow::MessageServer server(form.Window().Handle());
  if (const std::optional<int> exitCode = ListenForMessages(server, socket, devices.Simulated()))
    return *exitCode;
  return RunMainWindow(form, loop, options, WriteScreenshot);
}

}  // namespace

int RunQuelta(const QueltaOptions& options, const ApplicationMaker& makeApplication) {
  const std::filesystem::path socket = mainwindow::MessageSocketPath();
  if (const std::optional<int> exitCode = LeaveToRunningCopy(socket)) return *exitCode;

  // The settings are read while Qt starts: neither needs the other.
  std::filesystem::path programFolder = ProgramFolderFromSystem();
  std::future<std::unique_ptr<platform::RegistryStore>> opening;
  if (!programFolder.empty()) {
    opening = std::async(std::launch::async, [&options, &programFolder] {
      return OpenWindowStore(options, programFolder);
    });
  }
  const std::unique_ptr<QCoreApplication> application = makeApplication();
  if (programFolder.empty()) programFolder = ProgramFolderFromQt();
  const std::unique_ptr<platform::RegistryStore> store =
      opening.valid() ? opening.get() : OpenWindowStore(options, programFolder);
  if (!store) return kExitFailed;
  const std::unique_ptr<DeviceStack> devices = OpenWindowDevices(options);
  if (!devices) return kExitFailed;
  return RunWindow(options, socket, programFolder, *store, *devices);
}

}  // namespace app
