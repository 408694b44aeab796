#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QString>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// A message bus of the test's own: `dbus-daemon --session` started with --print-address and
// ended (SIGTERM, then waited for) when the object goes. Error() says why it did not start.
class PrivateSessionBus {
 public:
  PrivateSessionBus();
  ~PrivateSessionBus();
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  const std::string& Address() const { return address_; }
  const std::string& Error() const { return error_; }

 private:
  int pid_ = -1;
  std::string address_;
  std::string error_;
};

// One Notify call as the desktop received it.
struct ReceivedNotification {
  std::string appName;
  std::string summary;
  std::string body;
};

// A stand-in for the desktop's notification service on a bus: owns
// org.freedesktop.Notifications, answers Notify with a fresh id and keeps every call. Its
// calls arrive through the Qt event loop, so the waits below run it.
class NotificationRecorder : public QDBusVirtualObject {
 public:
  explicit NotificationRecorder(const std::string& address);
  ~NotificationRecorder() override;

  // Owns the service name and serves the object.
  bool Serving() const { return serving_; }
  const std::vector<ReceivedNotification>& Received() const { return received_; }

  // Runs the Qt event loop until a notification with this summary arrived; false at the
  // deadline.
  bool AwaitSummary(const std::string& summary, std::chrono::milliseconds limit);

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
  QString introspect(const QString& path) const override;

 private:
  QString name_;
  QDBusConnection connection_;
  bool serving_ = false;
  std::vector<ReceivedNotification> received_;
  unsigned nextId_ = 1;
};

}  // namespace testing_support
