#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/window_message_codes.h"

namespace mainwindow {

// The program's own messages to its main window; their numbers live with the controls' codes.
using core::kDeviceChangeMessage;
using core::kFanCurveApplyMessage;
using core::kHistoryWindowMessage;
using core::kRestoreMessage;
using core::kSimulatedPlugMessage;
using core::kSimulatedUnplugMessage;
using core::kWorkerRestartMessage;

// The name of the main window's class, which also names its message socket.
inline constexpr std::string_view kWindowClassName = "Quelta";

// Where the running window listens for its messages: $XDG_RUNTIME_DIR/Quelta when that is an
// absolute path, else /tmp/Quelta-<uid>/Quelta, in a folder of the user's own.
std::filesystem::path MessageSocketPath(const char* xdgRuntimeDir, unsigned uid);
// The same for this process's user and environment.
std::filesystem::path MessageSocketPath();

// Makes sure the socket's folder can be trusted: the /tmp fallback folder is created 0700 when
// missing and refused unless it is a real folder owned by `uid` that no one else may enter
// or write; a runtime folder from the environment is taken as it is. "" when the folder is
// fine, else why not.
std::string PrepareMessageSocketFolder(const std::filesystem::path& socket, unsigned uid);
std::string PrepareMessageSocketFolder(const std::filesystem::path& socket);

// The user at the other end of a connected local socket; nullopt when it cannot be told.
std::optional<unsigned> PeerUid(int socketFd);

// Who answers at a socket: nobody, a process of this user, or someone else. When it is ours
// and a message is given, the message is sent on the same connection (Nobody when that fails).
enum class SocketAnswer { Nobody, Ours, Foreign };
SocketAnswer ProbeMessageSocket(const std::filesystem::path& socket,
                                std::optional<std::uint32_t> message = std::nullopt);

// Splits what arrives on one connection into lines of at most kMaxMessageLine bytes. A longer
// line is dropped whole, up to and including its line ending, so no tail of it ever reads as
// a message of its own.
inline constexpr std::size_t kMaxMessageLine = 32;
class MessageLineReader {
 public:
  // The complete lines (without their "\n") in `bytes`, after what came before.
  std::vector<std::string> Feed(std::string_view bytes);

 private:
  std::string pending_;
  bool discarding_ = false;  // inside a line that is already too long
};

// One message as it travels on the socket: the decimal number on one line.
std::string EncodeMessage(std::uint32_t message);
// The number of one line (a trailing CR or LF is allowed); empty for anything else.
std::optional<std::uint32_t> DecodeMessage(std::string_view line);

}  // namespace mainwindow
