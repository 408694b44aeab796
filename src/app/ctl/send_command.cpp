#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "app/ctl/commands.h"
#include "app/ctl/ctl_environment.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/send_words.h"
#include "mainwindow/window_messages.h"

namespace app::ctl {
namespace {

// Closes the socket however the send ends.
class SocketFd {
 public:
  SocketFd() : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
  ~SocketFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  SocketFd(const SocketFd&) = delete;
  SocketFd& operator=(const SocketFd&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

int SendWindowMessage(const std::filesystem::path& socketPath, std::uint32_t message,
                      std::ostream& err) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = socketPath.string();
  if (path.size() >= sizeof(address.sun_path)) {
    err << "quelta-ctl: socket path too long: " << path << "\n";
    return kExitNotFound;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  const SocketFd socket;
  if (socket.Get() < 0 ||
      ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    err << "quelta-ctl: no Quelta window answers at " << path << " (" << std::strerror(errno)
        << ")\n";
    return kExitNotFound;
  }
  // Only a window of this user's is told anything.
  if (mainwindow::PeerUid(socket.Get()) != static_cast<unsigned>(::getuid())) {
    err << "quelta-ctl: the socket at " << path << " belongs to another user's process\n";
    return kExitNotFound;
  }
  const std::string line = mainwindow::EncodeMessage(message);
  std::size_t sent = 0;
  while (sent < line.size()) {
    const ssize_t n = ::send(socket.Get(), line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err << "quelta-ctl: sending to " << path << " failed (" << std::strerror(errno) << ")\n";
      return kExitNoAnswer;
    }
    sent += static_cast<std::size_t>(n);
  }
  return kExitDone;
}

int DeliverToWindow(CtlEnvironment& environment, const SendWord& word) {
  const int code =
      SendWindowMessage(mainwindow::MessageSocketPath(), word.message, environment.Err());
  if (code == kExitDone) environment.Out() << "sent " << word.name << "\n";
  return code;
}

}  // namespace app::ctl
