#include "app/window_beacon.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace pelmora::ui {
namespace {

constexpr QByteArrayView kRaiseRequest = "raise\n";
constexpr QByteArrayView kRaisedAnswer = "raised\n";

}  // namespace

QString beaconName(const std::filesystem::path& database) {
  std::error_code ec;
  auto real = std::filesystem::weakly_canonical(std::filesystem::absolute(database, ec), ec);
  if (ec) real = database;
  const QByteArray hash =
      QCryptographicHash::hash(QByteArray::fromStdString(real.string()), QCryptographicHash::Sha256)
          .toHex()
          .left(24);
  return QStringLiteral("pelmora-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool raiseOpenWindow(const std::filesystem::path& database, std::chrono::milliseconds wait) {
  QLocalSocket socket;
  socket.connectToServer(beaconName(database));
  const int ms = static_cast<int>(wait.count());
  if (!socket.waitForConnected(ms)) return false;
  socket.write(kRaiseRequest.data(), kRaiseRequest.size());
  if (!socket.waitForBytesWritten(ms)) return false;
  QByteArray answer;
  while (answer.size() < kRaisedAnswer.size() && socket.waitForReadyRead(ms)) {
    answer += socket.readAll();
  }
  return answer == kRaisedAnswer;
}

WindowBeacon::WindowBeacon(const std::filesystem::path& database, std::function<void()> raise,
                           QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), raise_(std::move(raise)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  const QString name = beaconName(database);
  // The window holds the database's lock, so a socket already there was left
  // by a window that is gone.
  if (!server_->listen(name)) {
    QLocalServer::removeServer(name);
    server_->listen(name);
  }
  connect(server_, &QLocalServer::newConnection, this, &WindowBeacon::answer);
}

bool WindowBeacon::isListening() const { return server_->isListening(); }

void WindowBeacon::answer() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (socket->bytesAvailable() < kRaiseRequest.size()) return;
      if (socket->read(kRaiseRequest.size()) != kRaiseRequest) {
        socket->disconnectFromServer();
        return;
      }
      raise_();
      socket->write(kRaisedAnswer.data(), kRaisedAnswer.size());
      socket->flush();
    });
  }
}

}  // namespace pelmora::ui
