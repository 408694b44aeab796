#include "mainwindow/message_server.h"

#include <QLocalSocket>

#include "mainwindow/window_messages.h"

namespace mainwindow {
namespace {

// A line is a number of at most ten digits; anything longer is not one of ours.
constexpr qint64 kMaxLine = 32;
constexpr int kProbeTimeoutMs = 200;

}  // namespace

MessageServer::MessageServer(ui::WindowHandle window)
    : window_(std::move(window)), server_(std::make_unique<QLocalServer>()) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QObject::connect(server_.get(), &QLocalServer::newConnection, [this] { Accept(); });
}

MessageServer::~MessageServer() {
  if (server_) server_->close();
}

MessageServer::ListenResult MessageServer::Listen(const std::filesystem::path& path) {
  const QString name = QString::fromStdString(path.string());
  // Listening would quietly take the name over from a window that runs: ask first.
  QLocalSocket probe;
  probe.connectToServer(name);
  if (probe.waitForConnected(kProbeTimeoutMs)) return ListenResult::AlreadyRunning;
  if (server_->listen(name)) return ListenResult::Listening;
  if (server_->serverError() == QAbstractSocket::AddressInUseError) {
    // Left by a program that died: no one answers on it.
    QLocalServer::removeServer(name);
    if (server_->listen(name)) return ListenResult::Listening;
  }
  error_ = path.string() + ": " + server_->errorString().toStdString();
  return ListenResult::Failed;
}

void MessageServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
      while (socket->canReadLine() || socket->bytesAvailable() > kMaxLine) {
        const QByteArray line = socket->readLine(kMaxLine);
        const auto message = DecodeMessage(line.toStdString());
        if (!message || (interceptor_ && interceptor_(*message))) continue;
        window_.Post(ui::Message{*message, 0, 0});
      }
    });
  }
}

}  // namespace mainwindow
