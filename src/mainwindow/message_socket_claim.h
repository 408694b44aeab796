#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace mainwindow {

// Which file a bound socket is: an exit compares it before it removes the name.
struct SocketFileId {
  dev_t device = 0;
  ino_t inode = 0;
  friend bool operator==(const SocketFileId&, const SocketFileId&) = default;
};

// What a start found at the socket's name.
struct SocketClaim {
  enum class Outcome { Bound, AlreadyRunning, Failed };
  Outcome outcome = Outcome::Failed;
  int fd = -1;        // Bound: the listening socket (non-blocking, close-on-exec), the caller's
  SocketFileId file;  // Bound: the socket file made by the bind
  std::string error;  // Failed: what was wrong, naming the path
};

// Decides in one step whether a copy of the program already answers at `socket` and, when
// none does, binds and listens there (`backlog`). Both happen under an exclusive lock on
// "<socket>.lock", so of two starts at once exactly one binds and the other finds it
// answering. A socket file no one answers on (left by a program that died) is replaced; any
// other file in its place (a regular file, a folder, a link) is refused and left as it is, and
// so is a socket that another user's process answers on. The socket's folder must be there.
SocketClaim ClaimMessageSocket(const std::filesystem::path& socket, int backlog);

// Removes the name `socket` when it is still the socket file `file`, under the same lock as
// the claim: a window that started after ours lost its socket keeps the one it bound.
void ReleaseMessageSocket(const std::filesystem::path& socket, SocketFileId file);

}  // namespace mainwindow
