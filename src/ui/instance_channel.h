// One running instance per user: a second start hands its image file (or a
// request to come forward) to the first through a local socket named
// "Velloran" and exits. The message is "v" followed by the file name, or
// "s" alone.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace velloran {

// The socket's name: "Velloran" in a folder of the user's alone
// (PrivateRuntimeFolder), empty when there is none (no hand-off then: each
// start opens its own window); on Windows the pipe "Velloran-" + the user's
// name.
QString InstanceChannelName();

// "v" + the first program argument, or "s" without one.
QByteArray HandOffMessage(const QStringList& arguments);

// Sends the message to a running instance; false when none answers or the
// channel has no private name.
bool HandOffToRunningInstance(const QByteArray& message);

// The first instance's end of the channel.
class InstanceServer : public QObject {
  Q_OBJECT

 public:
  explicit InstanceServer(QObject* parent = nullptr);
  // Starts listening; a socket left behind by an instance that died is
  // replaced. False when the channel cannot be made (or has no private name).
  bool Listen();

 signals:
  // A second start sent a message.
  void MessageReceived(const QByteArray& message);

 private:
  void Accept();

  QLocalServer* server_;
};

}  // namespace velloran
