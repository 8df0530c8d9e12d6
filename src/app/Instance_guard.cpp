#include "Instance_guard.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace doz {
namespace {

constexpr char kShowRequest[] = "show\n";

// A folder of ours that nobody else may write into: a lock file there cannot
// be planted or removed by another user.
bool PrivateToUs(const QString& dir) {
  struct stat st {};
  return lstat(QFile::encodeName(dir).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
         st.st_uid == getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

TInstanceGuard::TInstanceGuard(const QString& name, const QString& runtimeDir,
                               const QString& tempDir)
    : name_(name),
      runtimeDir_(runtimeDir.isEmpty() ? qEnvironmentVariable("XDG_RUNTIME_DIR") : runtimeDir),
      tempDir_(tempDir.isEmpty() ? QDir::tempPath() : tempDir) {
  if (!runtimeDir_.isEmpty()) UsePlace(runtimeDir_);
}

TInstanceGuard::~TInstanceGuard() {
  if (server_) server_->close();
  if (lockFd_ >= 0) close(lockFd_);  // releases the lock
}

QString TInstanceGuard::Stem(const QString& dir) const {
  return dir + "/" + name_ + "-" + QString::number(getuid());
}

void TInstanceGuard::UsePlace(const QString& dir) {
  lockPath_ = Stem(dir) + ".lock";
  serverName_ = Stem(dir) + ".sock";
}

TLockResult TInstanceGuard::LockIn(const QString& dir) {
  const int fd = open(QFile::encodeName(Stem(dir) + ".lock").constData(),
                      O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return TLockResult::Unavailable;
  UsePlace(dir);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return TLockResult::HeldElsewhere;
  }
  lockFd_ = fd;
  return TLockResult::Acquired;
}

TLockResult TInstanceGuard::Acquire() {
  if (lockFd_ >= 0) return TLockResult::Acquired;
  if (!runtimeDir_.isEmpty()) {
    const TLockResult usual = LockIn(runtimeDir_);
    if (usual != TLockResult::Unavailable) return usual;
  }
  const QString folder = Stem(tempDir_);
  mkdir(QFile::encodeName(folder).constData(), 0700);
  if (!PrivateToUs(folder)) return TLockResult::Unavailable;
  return LockIn(folder);
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
