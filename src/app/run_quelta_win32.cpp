#include "app/run_quelta_win32.h"

#include <windows.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/console_dialogs.h"
#include "app/device_stack.h"
#include "app/window_start.h"
#include "core/window_message_codes.h"
#include "device/real_sleeper.h"
#include "mainwindow/form_main.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/application.h"
#include "platform/ui/bmp_decoder.h"
#include "platform/ui/png_file.h"
#include "platform/ui/render_window.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/win32/native_window.h"
#include "platform/ui/win32/win32_backend.h"
#include "platform/ui/win32/win32_dialogs.h"
#include "platform/ui/win32/win32_event_loop.h"
#include "skin/language.h"
#include "skin_list_bytes.h"

namespace app {
namespace {

// The image lists compiled into the program, decoded when the window asks for them.
mainwindow::MonitorImageLists::StripSource EmbeddedStrips() {
  return [](std::string_view name) -> std::shared_ptr<const ui::Bitmap> {
    const std::span<const unsigned char> bytes = skin::ImageListBytes(name);
    if (bytes.empty()) return nullptr;
    std::string error;
    std::optional<ui::Frame> frame = ui::DecodeBmp(bytes, error);
    if (!frame) return nullptr;
    return ui::Bitmap::FromFrame(std::move(*frame));
  };
}

// The window's picture as the scene draws it, edits and combo box included, key colour
// see-through: the same picture the Linux program's --screenshot writes.
bool WriteScreenshot(const ui::Window& window, const std::string& file) {
  ui::Frame frame = ui::Frame::Filled(window.ClientWidth(), window.ClientHeight(), ui::Color{});
  RenderWindowFrame(window, frame, {ui::Rect{0, 0, window.ClientWidth(), window.ClientHeight()}});
  return ui::WritePng(file, frame, window.TransparentColor());
}

// A copy already running: its window is asked to come back. True when there is one.
bool BringBackRunningCopy() {
  const HWND running = ::FindWindowA(ui::win32::NativeWindow::kClassName, nullptr);
  if (running == nullptr) return false;
  ::PostMessageA(running, core::kRestoreMessage, 0, 0);
  std::cout << "quelta: already running; its window was brought back\n";
  return true;
}

}  // namespace

int RunQueltaWin32(const QueltaOptions& options, const std::filesystem::path& programFolder) {
  if (BringBackRunningCopy()) return kExitOk;
  const std::unique_ptr<platform::RegistryStore> store = OpenWindowStore(options, programFolder);
  if (!store) return kExitFailed;
  const std::unique_ptr<DeviceStack> devices = OpenWindowDevices(options);
  if (!devices) return kExitFailed;

  ui::win32::NativeWindow::BecomeDpiAware();
  ui::win32::Win32EventLoop loop;
  // The simulated cable's messages (quelta-ctl send unplug|plug) reach the simulated PSU, never
  // the window; the bus then tells the window of the change, as a real cable would.
  sim::SimulatedBus* simulated = devices->Simulated();
  ui::win32::Win32Backend backend([simulated](const ui::Message& message) {
    if (message.id != core::kSimulatedUnplugMessage && message.id != core::kSimulatedPlugMessage)
      return false;
    if (simulated) simulated->SetMonitorPresent(message.id == core::kSimulatedPlugMessage);
    return true;
  });
  ui::win32::Win32Dialogs liveDialogs(kQueltaVersionText);
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
      devices->Bus(),
      *store,
      programFolder,
      platform::DefaultLockDirectory(),
      reportSleeper,
      cyclePause,
      skin::UserDefaultLangId([](const char* name) { return std::getenv(name); }),
      EmbeddedStrips()};
  environment.accessMutexObserver = devices->AccessMutexObserver();
  environment.reportSkinProblem = [](const std::string& why) {
    std::cerr << "quelta: " << why << "\n";
  };
  mainwindow::TFormMain form(environment);
  if (auto* host = dynamic_cast<ui::win32::Win32WindowHost*>(form.Window().Host())) {
    liveDialogs.SetOwner(host->Native().Handle());
  }

  form.Window().Show();
  if (options.tray) form.WhenStarted([&form] { form.TrayIcon1().Minimize(); });
  int exitCode = form.Started() || form.WaitingForLock() ? kExitOk : kExitFailed;
  if (options.screenshotFile) {
    ScheduleScreenshot(loop, form.Window(), options, WriteScreenshot, exitCode);
  }
  loop.Run();
  if (!form.Started() || form.CloseOnActivate()) exitCode = kExitFailed;
  return exitCode;
}

}  // namespace app
