#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <string>

#include "mainwindow/message_socket_claim.h"
#include "mainwindow/window_messages.h"
#include "platform/ui/window_handle.h"

namespace mainwindow {

// Receives the program's own messages on the per-user local socket and posts each to the main
// window. Lines that are not a number are dropped; the window ignores numbers it does not know.
// Only processes of this user are heard; at most kMaxConnections are served at once (more
// wait to be accepted), each dropped after kIdleLimit without a byte, and the server keeps
// listening whatever an accept meets (a full descriptor table included). Needs a running Qt event
// loop on the UI thread.
class MessageServer {
 public:
  static constexpr std::size_t kMaxConnections = 16;
  static constexpr std::chrono::milliseconds kIdleLimit{2000};

  explicit MessageServer(ui::WindowHandle window);
  ~MessageServer();
  MessageServer(const MessageServer&) = delete;
  MessageServer& operator=(const MessageServer&) = delete;

  enum class ListenResult { Listening, AlreadyRunning, Failed };
  // Listens at `path`. A socket file that no one answers on (left by a program that died)
  // is replaced; one that a process of this user answers on belongs to a running window; any
  // other file in its place is refused and left as it is. Asking and binding are one step
  // under a lock, so of two windows starting at once exactly one listens. The socket is
  // removed at destruction only while it is still the one bound here.
  ListenResult Listen(const std::filesystem::path& path);
  const std::string& Error() const { return error_; }

  // Sees every message first, on the UI thread; a message it takes (returns true for) is not
  // posted to the window.
  void SetInterceptor(std::function<bool(std::uint32_t)> interceptor) {
    interceptor_ = std::move(interceptor);
  }

  // Connections being served now.
  std::size_t Connections() const { return connections_.size(); }
  // Whether the timer that drops silent connections runs (only while there are any).
  bool WatchesForSilence() const { return idleTimer_.isActive(); }

 private:
  struct Connection {
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    MessageLineReader reader;
    std::chrono::steady_clock::time_point lastHeard;
  };

  void Accept();
  void Read(std::list<Connection>::iterator connection);
  void Close(std::list<Connection>::iterator connection);
  void DropIdle();

  ui::WindowHandle window_;
  std::filesystem::path path_;
  SocketFileId socketFile_;  // what path_ named when bound
  int listenFd_ = -1;
  std::unique_ptr<QSocketNotifier> listenNotifier_;
  QTimer idleTimer_;
  QTimer acceptRetry_;
  std::list<Connection> connections_;
  std::string error_;
  std::function<bool(std::uint32_t)> interceptor_;
};

}  // namespace mainwindow
