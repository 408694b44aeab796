#include "mainwindow/message_socket_claim.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "mainwindow/window_messages.h"
#include "platform/registry/file_lock.h"

namespace mainwindow {
namespace {

std::filesystem::path LockFileOf(const std::filesystem::path& socket) {
  return socket.string() + ".lock";
}

// What stands at a name, in words for a message.
const char* KindOf(mode_t mode) {
  if (S_ISREG(mode)) return "a regular file";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "another user's socket";
  return "a device";
}

SocketClaim Failed(std::string error) {
  SocketClaim claim;
  claim.error = std::move(error);
  return claim;
}

// Makes way for the bind: nothing there, or a socket of this user's that no one answers on
// (removed). "" when the name is free, else why it is not.
std::string MakeWay(const std::string& name) {
  struct stat info {};
  if (::lstat(name.c_str(), &info) != 0) {
    if (errno == ENOENT) return {};
    return "cannot read " + name + ": " + std::strerror(errno);
  }
  if (!S_ISSOCK(info.st_mode) || info.st_uid != ::getuid()) {
    return name + " is " + KindOf(info.st_mode) +
           ", not a socket this program left; it was left as it is";
  }
  if (::unlink(name.c_str()) != 0 && errno != ENOENT) {
    return "cannot remove the stale socket " + name + ": " + std::strerror(errno);
  }
  return {};
}

}  // namespace

SocketClaim ClaimMessageSocket(const std::filesystem::path& socket, int backlog) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string name = socket.string();
  if (name.size() >= sizeof(address.sun_path)) return Failed(name + ": path too long for a socket");
  std::memcpy(address.sun_path, name.c_str(), name.size() + 1);

  // From the question to the bind no other start may look or bind: the lock spans both.
  const platform::FileLock lock(LockFileOf(socket));
  if (!lock.Held()) {
    return Failed("cannot lock " + LockFileOf(socket).string() + ": " + std::strerror(errno));
  }
  switch (ProbeMessageSocket(socket)) {
    case SocketAnswer::Ours: {
      SocketClaim claim;
      claim.outcome = SocketClaim::Outcome::AlreadyRunning;
      return claim;
    }
    case SocketAnswer::Foreign:
      return Failed(name + ": answered by another user's process");
    case SocketAnswer::Nobody:
      break;
  }
  if (const std::string problem = MakeWay(name); !problem.empty()) return Failed(problem);

  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Failed(name + ": " + std::strerror(errno));
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const std::string error = name + ": " + std::strerror(errno);
    ::close(fd);
    return Failed(error);
  }
  struct stat info {};
  if (::chmod(name.c_str(), 0600) != 0 || ::lstat(name.c_str(), &info) != 0 ||
      ::listen(fd, backlog) != 0) {
    const std::string error = name + ": " + std::strerror(errno);
    ::unlink(name.c_str());  // ours, just made: no one else binds while the lock is held
    ::close(fd);
    return Failed(error);
  }
  SocketClaim claim;
  claim.outcome = SocketClaim::Outcome::Bound;
  claim.fd = fd;
  claim.file = SocketFileId{info.st_dev, info.st_ino};
  return claim;
}

void ReleaseMessageSocket(const std::filesystem::path& socket, SocketFileId file) {
  const platform::FileLock lock(LockFileOf(socket));
  struct stat info {};
  if (::lstat(socket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return;
  if (SocketFileId{info.st_dev, info.st_ino} == file) ::unlink(socket.c_str());
}

}  // namespace mainwindow
