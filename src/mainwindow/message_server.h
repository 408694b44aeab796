#pragma once

#include <QLocalServer>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/window_handle.h"

namespace mainwindow {

// Receives the program's own messages on the per-user local socket and posts each to the main
// window. Lines that are not a number are dropped; the window ignores numbers it does not know.
// Needs a running Qt event loop on the UI thread.
class MessageServer {
 public:
  explicit MessageServer(ui::WindowHandle window);
  ~MessageServer();
  MessageServer(const MessageServer&) = delete;
  MessageServer& operator=(const MessageServer&) = delete;

  enum class ListenResult { Listening, AlreadyRunning, Failed };
  // Listens at `path`. A socket file that no one answers on (left by a program that died)
  // is replaced; one that answers belongs to a running window.
  ListenResult Listen(const std::filesystem::path& path);
  const std::string& Error() const { return error_; }

  // Sees every message first, on the UI thread; a message it takes (returns true for) is not
  // posted to the window.
  void SetInterceptor(std::function<bool(std::uint32_t)> interceptor) {
    interceptor_ = std::move(interceptor);
  }

 private:
  void Accept();

  ui::WindowHandle window_;
  std::unique_ptr<QLocalServer> server_;
  std::string error_;
  std::function<bool(std::uint32_t)> interceptor_;
};

}  // namespace mainwindow
