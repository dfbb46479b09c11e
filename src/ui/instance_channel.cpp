#include "ui/instance_channel.h"

#include <memory>

#include <QLocalServer>
#include <QLocalSocket>

#include "common/system.h"
#include "common/utf8_path.h"

namespace velloran {

namespace {

constexpr int kTimeoutMs = 2000;

}  // namespace

QString InstanceChannelName() {
#ifdef Q_OS_WIN
  // Windows keeps local sockets as named pipes of the whole machine
  // ("\\.\pipe\NAME"): the user's name keeps the users apart.
  return QStringLiteral("Velloran-") + qEnvironmentVariable("USERNAME");
#else
  // Never a shared folder: whoever could make the name there first would
  // receive the files of this user's second starts.
  const std::filesystem::path folder = PrivateRuntimeFolder();
  if (folder.empty()) return {};
  return QString::fromStdString(PathToUtf8(folder / "Velloran"));
#endif
}

QByteArray HandOffMessage(const QStringList& arguments) {
  if (arguments.isEmpty()) return QByteArrayLiteral("s");
  return QByteArrayLiteral("v") + arguments.front().toUtf8();
}

bool HandOffToRunningInstance(const QByteArray& message) {
  const QString name = InstanceChannelName();
  if (name.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(name, QIODevice::WriteOnly);
  if (!socket.waitForConnected(kTimeoutMs)) return false;
  socket.write(message);
  if (!socket.waitForBytesWritten(kTimeoutMs)) return false;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kTimeoutMs);
  return true;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &InstanceServer::Accept);
}

bool InstanceServer::Listen() {
  const QString name = InstanceChannelName();
  if (name.isEmpty()) return false;
  if (server_->listen(name)) return true;
  // Nobody answered on the name (the caller tried), so it is a leftover.
  QLocalServer::removeServer(name);
  return server_->listen(name);
}

// Each connection carries one message: everything it sends until it closes.
void InstanceServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, socket, [socket, received] { received->append(socket->readAll()); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, received] {
      received->append(socket->readAll());
      if (!received->isEmpty()) emit MessageReceived(*received);
      socket->deleteLater();
    });
  }
}

}  // namespace velloran
