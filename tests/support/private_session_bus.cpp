#include "support/private_session_bus.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDBusArgument>
#include <cerrno>
#include <cstring>

namespace testing_support {
namespace {

constexpr std::chrono::seconds kStartLimit{10};

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    error_ = std::string("pipe: ") + std::strerror(errno);
    return;
  }
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    ::execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address", nullptr);
    ::_exit(127);
  }
  ::close(out[1]);
  if (pid_ < 0) {
    error_ = std::string("fork: ") + std::strerror(errno);
    ::close(out[0]);
    return;
  }
  // The address comes as the first line; it is waited for no longer than the limit.
  const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
  std::string line;
  while (line.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd wait{out[0], POLLIN, 0};
    if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) {
      error_ = "dbus-daemon gave no address within 10 s";
      break;
    }
    char chunk[256];
    const ssize_t n = ::read(out[0], chunk, sizeof chunk);
    if (n <= 0) {
      error_ = "dbus-daemon ended without an address (is it installed?)";
      break;
    }
    line.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(out[0]);
  if (error_.empty()) address_ = line.substr(0, line.find('\n'));
}

PrivateSessionBus::~PrivateSessionBus() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
}

NotificationRecorder::NotificationRecorder(const std::string& address)
    : name_(QStringLiteral("notification-recorder")),
      connection_(QDBusConnection::connectToBus(QString::fromStdString(address), name_)) {
  serving_ =
      connection_.isConnected() &&
      connection_.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), this) &&
      connection_.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

NotificationRecorder::~NotificationRecorder() {
  connection_.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
  QDBusConnection::disconnectFromBus(name_);
}

bool NotificationRecorder::AwaitSummary(const std::string& summary,
                                        std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  const auto arrived = [&] {
    for (const ReceivedNotification& n : received_) {
      if (n.summary == summary) return true;
    }
    return false;
  };
  while (!arrived()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

bool NotificationRecorder::handleMessage(const QDBusMessage& message,
                                         const QDBusConnection& connection) {
  if (message.member() != QLatin1String("Notify")) return false;
  const QList<QVariant> args = message.arguments();
  if (args.size() != 8) return false;
  received_.push_back(ReceivedNotification{args[0].toString().toStdString(),
                                           args[3].toString().toStdString(),
                                           args[4].toString().toStdString()});
  connection.send(message.createReply(QVariant::fromValue(nextId_++)));
  return true;
}

QString NotificationRecorder::introspect(const QString&) const {
  return {};
}

}  // namespace testing_support
