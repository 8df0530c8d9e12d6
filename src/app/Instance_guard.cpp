#include "Instance_guard.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace doz {
namespace {

constexpr char kShowRequest[] = "show\n";

QString DefaultRuntimeDir() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

}  // namespace

TInstanceGuard::TInstanceGuard(const QString& name, const QString& runtimeDir) {
  const QString dir = runtimeDir.isEmpty() ? DefaultRuntimeDir() : runtimeDir;
  const QString user = QString::number(getuid());
  lockPath_ = dir + "/" + name + "-" + user + ".lock";
  serverName_ = dir + "/" + name + "-" + user + ".sock";
}

TInstanceGuard::~TInstanceGuard() {
  if (server_) server_->close();
  if (lockFd_ >= 0) close(lockFd_);  // releases the lock
}

bool TInstanceGuard::Acquire() {
  if (lockFd_ >= 0) return true;
  const int fd = open(lockPath_.toLocal8Bit().constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  lockFd_ = fd;
  return true;
}

bool TInstanceGuard::Listen(std::function<void()> onShow) {
  server_ = new QLocalServer(this);
  QLocalServer::removeServer(serverName_);  // a crashed instance's socket
  connect(server_, &QLocalServer::newConnection, this, [this, onShow] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::readyRead, socket, [socket, onShow] {
        if (socket->readAll().contains(kShowRequest)) onShow();
        socket->disconnectFromServer();
      });
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
  });
  return server_->listen(serverName_);
}

bool TInstanceGuard::FirstInstanceReachable(int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  return socket.waitForConnected(timeoutMs);
}

bool TInstanceGuard::AskFirstToShow(int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kShowRequest);
  const bool sent = socket.waitForBytesWritten(timeoutMs);
  socket.disconnectFromServer();
  return sent;
}

}  // namespace doz
