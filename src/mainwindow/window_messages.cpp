#include "mainwindow/window_messages.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace mainwindow {

std::filesystem::path MessageSocketPath(const char* xdgRuntimeDir, unsigned uid) {
  if (xdgRuntimeDir && xdgRuntimeDir[0] == '/') {
    return std::filesystem::path(xdgRuntimeDir) / std::string(kWindowClassName);
  }
  return std::filesystem::path("/tmp") /
         (std::string(kWindowClassName) + "-" + std::to_string(uid)) /
         std::string(kWindowClassName);
}

std::string PrepareMessageSocketFolder(const std::filesystem::path& socket, unsigned uid) {
  const std::filesystem::path folder = socket.parent_path();
  const std::string fallback = std::string(kWindowClassName) + "-";
  if (folder.parent_path() != "/tmp" || !folder.filename().string().starts_with(fallback)) {
    return {};
  }
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return "cannot create " + folder.string() + ": " + std::strerror(errno);
  }
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) {
    return "cannot read " + folder.string() + ": " + std::strerror(errno);
  }
  if (!S_ISDIR(info.st_mode) || info.st_uid != uid || (info.st_mode & 077) != 0) {
    return folder.string() + " is not a private folder of this user";
  }
  return {};
}

std::string PrepareMessageSocketFolder(const std::filesystem::path& socket) {
  return PrepareMessageSocketFolder(socket, static_cast<unsigned>(::getuid()));
}

std::optional<unsigned> PeerUid(int socketFd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || size != sizeof peer) {
    return std::nullopt;
  }
  return static_cast<unsigned>(peer.uid);
}

SocketAnswer ProbeMessageSocket(const std::filesystem::path& socket,
                                std::optional<std::uint32_t> message) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = socket.string();
  if (path.size() >= sizeof(address.sun_path)) return SocketAnswer::Nobody;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return SocketAnswer::Nobody;
  SocketAnswer answer = SocketAnswer::Nobody;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    answer = PeerUid(fd) == static_cast<unsigned>(::getuid()) ? SocketAnswer::Ours
                                                              : SocketAnswer::Foreign;
  }
  // Only a window of this user's is told anything; the line is short enough to go in one send.
  if (answer == SocketAnswer::Ours && message) {
    const std::string line = EncodeMessage(*message);
    if (::send(fd, line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) {
      answer = SocketAnswer::Nobody;
    }
  }
  ::close(fd);
  return answer;
}

std::vector<std::string> MessageLineReader::Feed(std::string_view bytes) {
  std::vector<std::string> lines;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::string_view part = bytes.substr(0, end);
    if (!discarding_) {
      if (pending_.size() + part.size() > kMaxMessageLine) {
        discarding_ = true;
        pending_.clear();
      } else {
        pending_ += part;
      }
    }
    if (end == std::string_view::npos) break;
    if (!discarding_) lines.push_back(std::move(pending_));
    pending_.clear();
    discarding_ = false;
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

std::filesystem::path MessageSocketPath() {
  return MessageSocketPath(std::getenv("XDG_RUNTIME_DIR"), static_cast<unsigned>(::getuid()));
}

std::string EncodeMessage(std::uint32_t message) {
  return std::to_string(message) + "\n";
}

std::optional<std::uint32_t> DecodeMessage(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.empty()) return std::nullopt;
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc{} || end != line.data() + line.size()) return std::nullopt;
  return value;
}

}  // namespace mainwindow
