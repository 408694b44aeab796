#pragma once

#include <QDBusConnection>
#include <QString>
#include <string>

#include "platform/notify/desktop_notifier.h"

namespace platform {

// Notifications through org.freedesktop.Notifications on a D-Bus message bus: the `Notify`
// method, sent without waiting for its reply. Needs a QCoreApplication; safe to make where
// no bus is reachable (Connected() is then false and nothing is sent).
class DbusNotifier : public DesktopNotifier {
 public:
  static constexpr const char* kService = "org.freedesktop.Notifications";
  static constexpr const char* kPath = "/org/freedesktop/Notifications";
  static constexpr const char* kAppName = "Quelta";
  // How long the desktop keeps it: -1 leaves it to the desktop.
  static constexpr int kExpireTimeout = -1;

  // On the user's session bus (DBUS_SESSION_BUS_ADDRESS).
  DbusNotifier();
  // On the bus at `address`, a connection of its own (a private bus in tests).
  explicit DbusNotifier(const std::string& address);
  ~DbusNotifier() override;
  DbusNotifier(const DbusNotifier&) = delete;
  DbusNotifier& operator=(const DbusNotifier&) = delete;

  bool Connected() const { return connection_.isConnected(); }
  void Notify(const std::string& summary, const std::string& body) override;

 private:
  QString privateName_;  // empty on the shared session bus
  QDBusConnection connection_;
};

}  // namespace platform
