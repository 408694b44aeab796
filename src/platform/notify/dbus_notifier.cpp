#include "platform/notify/dbus_notifier.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace platform {
namespace {

// A name for a connection of our own, unique while this notifier lives.
QString PrivateName(const void* self) {
  return QStringLiteral("quelta-notify-%1").arg(reinterpret_cast<quintptr>(self), 0, 16);
}

}  // namespace

DbusNotifier::DbusNotifier() : connection_(QDBusConnection::sessionBus()) {}

DbusNotifier::DbusNotifier(const std::string& address)
    : privateName_(PrivateName(this)),
      connection_(QDBusConnection::connectToBus(QString::fromStdString(address), privateName_)) {}

DbusNotifier::~DbusNotifier() {
  if (!privateName_.isEmpty()) QDBusConnection::disconnectFromBus(privateName_);
}

void DbusNotifier::Notify(const std::string& summary, const std::string& body) {
  if (!connection_.isConnected()) return;
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
  call << QString::fromLatin1(kAppName) << 0u << QString() << QString::fromStdString(summary)
       << QString::fromStdString(body) << QStringList() << QVariantMap() << kExpireTimeout;
  // Fire and forget: the reply (the notification's id) is of no use to us, and the UI thread
  // must not wait for a desktop that is slow to answer.
  connection_.send(call);
}

}  // namespace platform
