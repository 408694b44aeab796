#include "mainwindow/message_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace mainwindow {
namespace {

constexpr int kBacklog = 16;
constexpr std::size_t kReadChunk = 512;
// After an accept that failed for want of descriptors, the next try waits this long, so a
// full table does not spin the UI thread.
constexpr std::chrono::milliseconds kAcceptRetry{100};
constexpr std::chrono::milliseconds kIdleCheck{250};

}  // namespace

MessageServer::MessageServer(ui::WindowHandle window) : window_(std::move(window)) {
  idleTimer_.setInterval(static_cast<int>(kIdleCheck.count()));
  QObject::connect(&idleTimer_, &QTimer::timeout, [this] { DropIdle(); });
  acceptRetry_.setSingleShot(true);
  QObject::connect(&acceptRetry_, &QTimer::timeout, [this] {
    if (listenNotifier_) listenNotifier_->setEnabled(true);
  });
}

MessageServer::~MessageServer() {
  while (!connections_.empty()) Close(connections_.begin());
  if (listenFd_ >= 0) {
    listenNotifier_.reset();
    // Only our own socket goes: one that a later window bound after ours was removed stays.
    ReleaseMessageSocket(path_, socketFile_);
    ::close(listenFd_);
  }
}

MessageServer::ListenResult MessageServer::Listen(const std::filesystem::path& path) {
  const std::string folderProblem = PrepareMessageSocketFolder(path);
  if (!folderProblem.empty()) {
    error_ = folderProblem;
    return ListenResult::Failed;
  }
  // Asking who answers and binding are one step: two windows starting at once never both bind.
  SocketClaim claim = ClaimMessageSocket(path, kBacklog);
  switch (claim.outcome) {
    case SocketClaim::Outcome::AlreadyRunning:
      return ListenResult::AlreadyRunning;
    case SocketClaim::Outcome::Failed:
      error_ = std::move(claim.error);
      return ListenResult::Failed;
    case SocketClaim::Outcome::Bound:
      break;
  }
  path_ = path;
  socketFile_ = claim.file;
  listenFd_ = claim.fd;
  listenNotifier_ = std::make_unique<QSocketNotifier>(listenFd_, QSocketNotifier::Read);
  QObject::connect(listenNotifier_.get(), &QSocketNotifier::activated, [this] { Accept(); });
  return ListenResult::Listening;
}

void MessageServer::Accept() {
  while (true) {
    // At the cap, further connections wait in the queue (and beyond it, in their connect)
    // until one being served ends or is dropped as idle.
    if (connections_.size() >= kMaxConnections) {
      listenNotifier_->setEnabled(false);
      return;
    }
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) {
        // Out of descriptors or the like: keep listening, and try again shortly.
        listenNotifier_->setEnabled(false);
        acceptRetry_.start(static_cast<int>(kAcceptRetry.count()));
      }
      return;
    }
    // Only this user's processes are heard.
    if (PeerUid(fd) != static_cast<unsigned>(::getuid())) {
      ::close(fd);
      continue;
    }
    connections_.push_back(Connection{fd, nullptr, {}, std::chrono::steady_clock::now()});
    const auto connection = std::prev(connections_.end());
    connection->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(connection->notifier.get(), &QSocketNotifier::activated,
                     [this, connection] { Read(connection); });
    // Silent connections are looked for only while there are connections at all.
    if (!idleTimer_.isActive()) idleTimer_.start();
  }
}

void MessageServer::Read(std::list<Connection>::iterator connection) {
  char buffer[kReadChunk];
  const ssize_t got = ::read(connection->fd, buffer, sizeof buffer);
  if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
  if (got <= 0) {
    Close(connection);
    return;
  }
  connection->lastHeard = std::chrono::steady_clock::now();
  for (const std::string& line :
       connection->reader.Feed(std::string_view(buffer, static_cast<std::size_t>(got)))) {
    const auto message = DecodeMessage(line);
    if (!message || (interceptor_ && interceptor_(*message))) continue;
    window_.Post(ui::Message{*message, 0, 0});
  }
}

void MessageServer::Close(std::list<Connection>::iterator connection) {
  // The notifier goes first: it must not watch a closed descriptor. It may be the one whose
  // signal is running, so it is deleted once control is back in the event loop.
  connection->notifier->setEnabled(false);
  connection->notifier.release()->deleteLater();
  ::close(connection->fd);
  connections_.erase(connection);
  if (connections_.empty()) idleTimer_.stop();
  if (listenNotifier_ && !acceptRetry_.isActive()) listenNotifier_->setEnabled(true);
}

void MessageServer::DropIdle() {
  const auto now = std::chrono::steady_clock::now();
  for (auto it = connections_.begin(); it != connections_.end();) {
    const auto next = std::next(it);
    if (now - it->lastHeard >= kIdleLimit) Close(it);
    it = next;
  }
}

}  // namespace mainwindow
