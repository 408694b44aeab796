#include "app/run_quelta_win32.h"

#include <windows.h>

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/device_stack.h"
#include "app/window_start.h"
#include "core/window_message_codes.h"
#include "mainwindow/form_main.h"
#include "platform/ui/bmp_decoder.h"
#include "platform/ui/png_file.h"
#include "platform/ui/render_window.h"
#include "platform/ui/win32/native_window.h"
#include "platform/ui/win32/win32_backend.h"
#include "platform/ui/win32/win32_dialogs.h"
#include "platform/ui/win32/win32_event_loop.h"
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
  sim::SimulatedBus* simulated = devices->Simulated();
  ui::win32::Win32Backend backend([simulated](const ui::Message& message) {
    return TakeSimulatedCableMessage(simulated, message.id);
  });
  ui::win32::Win32Dialogs liveDialogs(kQueltaVersionText);
  WindowStart start(options, loop, liveDialogs, backend, *devices, *store, programFolder,
                    EmbeddedStrips());
  mainwindow::TFormMain form(start.Environment());
  if (auto* host = dynamic_cast<ui::win32::Win32WindowHost*>(form.Window().Host())) {
    liveDialogs.SetOwner(host->Native().Handle());
  }
  return RunMainWindow(form, loop, options, WriteScreenshot);
}

}  // namespace app
