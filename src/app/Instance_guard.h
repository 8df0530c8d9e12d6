// One running Do-Z per user: an exclusive lock named "Vu_D" (an advisory lock
// on a file in the user's runtime directory, so a crashed instance never
// blocks the next start) and a local socket through which a second start asks
// the first to come forward.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace doz {

class TInstanceGuard : public QObject {
  Q_OBJECT
 public:
  // name: "Vu_D"; runtimeDir: where the lock file lives (empty: the user's
  // runtime directory, else the temporary directory).
  explicit TInstanceGuard(const QString& name, const QString& runtimeDir = QString());
  ~TInstanceGuard() override;

  // True when this process now holds the lock.
  bool Acquire();
  // First instance: listens for a second start and calls onShow when one
  // asks. False when the socket cannot be set up (the lock still holds).
  bool Listen(std::function<void()> onShow);
  // Second instance: whether the first one's window answers.
  bool FirstInstanceReachable(int timeoutMs) const;
  // Second instance: asks the first one to show its window and come forward.
  bool AskFirstToShow(int timeoutMs) const;

  QString LockPath() const { return lockPath_; }
  QString ServerName() const { return serverName_; }

 private:
  QString lockPath_;
  QString serverName_;
  int lockFd_ = -1;
  QLocalServer* server_ = nullptr;
};

}  // namespace doz
