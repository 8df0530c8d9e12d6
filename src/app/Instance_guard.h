// One running Do-Z per user: an exclusive lock named "Vu_D" (an advisory lock
// on a file, so a crashed instance never blocks the next start) and a local
// socket through which a second start asks the first to come forward. The
// lock lives in the user's runtime folder, or, when that cannot be used, in a
// private per-user folder under the temporary folder.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace doz {

enum class TLockResult {
  Acquired,       // this process holds the lock now
  HeldElsewhere,  // another instance holds it
  Unavailable,    // no lock file could be made anywhere
};

class TInstanceGuard : public QObject {
  Q_OBJECT
 public:
  // name: "Vu_D"; runtimeDir: the usual place (empty: $XDG_RUNTIME_DIR);
  // tempDir: where the private fallback folder goes (empty: the system's
  // temporary folder).
  explicit TInstanceGuard(const QString& name, const QString& runtimeDir = QString(),
                          const QString& tempDir = QString());
  ~TInstanceGuard() override;

  TLockResult Acquire();
  // First instance: listens for a second start and calls onShow when one
  // asks. False when the socket cannot be set up (the lock still holds).
  bool Listen(std::function<void()> onShow);
  // Second instance: whether the first one's window answers.
  bool FirstInstanceReachable(int timeoutMs) const;
  // Second instance: asks the first one to show its window and come forward.
  bool AskFirstToShow(int timeoutMs) const;

  // Where the lock and the socket are: the usual place until Acquire had to
  // fall back; empty when there is none.
  QString LockPath() const { return lockPath_; }
  QString ServerName() const { return serverName_; }

 private:
  // "<dir>/Vu_D-<uid>": the lock and the socket add their suffixes to it;
  // under the temporary folder it is the private folder itself.
  QString Stem(const QString& dir) const;
  // The lock and the socket in `dir` from now on.
  void UsePlace(const QString& dir);
  TLockResult LockIn(const QString& dir);

  QString name_;
  QString runtimeDir_;
  QString tempDir_;
  QString lockPath_;
  QString serverName_;
  int lockFd_ = -1;
  QLocalServer* server_ = nullptr;
};

}  // namespace doz
