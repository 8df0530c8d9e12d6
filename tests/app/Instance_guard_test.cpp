// One running Do-Z per user: the guard in-process with two instances of it,
// then the real program started twice, and after a crash.
#include <QTest>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Instance_guard.h"
#include "Temp_dir.h"

extern char** environ;

namespace doz::test {
namespace {

const QString kName = QStringLiteral("Vu_D");

TEST(InstanceGuardTest, SecondGuardFailsAndAsksTheFirstToComeForward) {
  TTempDir runtime;
  const QString dir = QString::fromStdString(runtime.Path());
  TInstanceGuard first(kName, dir);
  ASSERT_EQ(first.Acquire(), TLockResult::Acquired);
  int shown = 0;
  ASSERT_TRUE(first.Listen([&] { ++shown; }));
  EXPECT_EQ(first.Acquire(), TLockResult::Acquired);  // holding it already

  TInstanceGuard second(kName, dir);
  EXPECT_EQ(second.Acquire(), TLockResult::HeldElsewhere);
  EXPECT_TRUE(second.FirstInstanceReachable(1000));
  QTest::qWait(50);
  EXPECT_EQ(shown, 0);  // a bare connection asks for nothing

  EXPECT_TRUE(second.AskFirstToShow(1000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 1; }, 3000));
  EXPECT_TRUE(second.AskFirstToShow(1000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 2; }, 3000));
}

TEST(InstanceGuardTest, EndedGuardFreesTheNameAndOnlyThatName) {
  TTempDir runtime;
  const QString dir = QString::fromStdString(runtime.Path());
  {
    TInstanceGuard first(kName, dir);
    ASSERT_EQ(first.Acquire(), TLockResult::Acquired);
    TInstanceGuard other(QStringLiteral("Other"), dir);
    EXPECT_EQ(other.Acquire(), TLockResult::Acquired);
    EXPECT_TRUE(first.LockPath().startsWith(dir + "/"));
  }
  TInstanceGuard next(kName, dir);
  EXPECT_EQ(next.Acquire(), TLockResult::Acquired);
  EXPECT_FALSE(next.FirstInstanceReachable(200));  // nobody listens any more
}

TEST(InstanceGuardTest, UnusableRuntimeFolderFallsBackToAPrivateFolder) {
  TTempDir temp;
  const QString tempDir = QString::fromStdString(temp.Path());
  const QString missing = QStringLiteral("/nonexistent/doz-runtime");
  TInstanceGuard first(kName, missing, tempDir);
  ASSERT_EQ(first.Acquire(), TLockResult::Acquired);
  const QString folder = tempDir + "/Vu_D-" + QString::number(getuid());
  EXPECT_EQ(first.LockPath(), folder + "/Vu_D-" + QString::number(getuid()) + ".lock");
  EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
  TInstanceGuard second(kName, missing, tempDir);
  EXPECT_EQ(second.Acquire(), TLockResult::HeldElsewhere);
}

TEST(InstanceGuardTest, NoPrivatePlaceMeansNoLockRatherThanARefusal) {
  TTempDir temp;
  const QString missing = QStringLiteral("/nonexistent/doz-runtime");
  EXPECT_EQ(TInstanceGuard(kName, missing, missing).Acquire(), TLockResult::Unavailable);
  // A folder others may write into is not private, whoever made it.
  const std::string shared = temp.File("Vu_D-" + std::to_string(getuid()));
  ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
  ASSERT_EQ(chmod(shared.c_str(), 0777), 0);
  EXPECT_EQ(TInstanceGuard(kName, missing, QString::fromStdString(temp.Path())).Acquire(),
            TLockResult::Unavailable);
}

// The real program, offscreen, with boxes on standard error and the guard
// in a folder of the test's own.
class TDozProcess {
 public:
  explicit TDozProcess(const std::string& runtimeDir, const std::string& tempDir = {}) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      if (entry.rfind("XDG_RUNTIME_DIR=", 0) == 0 || entry.rfind("QT_QPA_PLATFORM=", 0) == 0 ||
          entry.rfind("DOZ_PROMPTS=", 0) == 0 || (!tempDir.empty() && entry.rfind("TMPDIR=", 0) == 0))
        continue;
      env.push_back(entry);
    }
    env.push_back("XDG_RUNTIME_DIR=" + runtimeDir);
    if (!tempDir.empty()) env.push_back("TMPDIR=" + tempDir);
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("DOZ_PROMPTS=stderr");
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    char* argv[] = {const_cast<char*>(DOZ_APP_PATH), nullptr};
    if (posix_spawn(&pid_, DOZ_APP_PATH, &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    errFd_ = fds[0];
  }
  ~TDozProcess() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (errFd_ >= 0) close(errFd_);
  }
  TDozProcess(const TDozProcess&) = delete;
  TDozProcess& operator=(const TDozProcess&) = delete;

  bool Started() const { return pid_ > 0; }

  // True once it has ended by itself within the time; its status in status.
  bool WaitExit(int timeoutMs, int& status) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  void Kill(int signal) {
    kill(pid_, signal);
    int status = 0;
    waitpid(pid_, &status, 0);
    exited_ = true;
  }

  // Everything it wrote to standard error; call after it has ended.
  std::string Errors() const {
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(errFd_, buffer, sizeof buffer)) > 0) text.append(buffer, std::size_t(n));
    return text;
  }

 private:
  pid_t pid_ = -1;
  int errFd_ = -1;
  bool exited_ = false;
};

const std::string kAlreadyRunning = "Vu_Dがすでに起動しています";

bool Listening(const std::string& runtimeDir) {
  const TInstanceGuard probe(kName, QString::fromStdString(runtimeDir));
  return QTest::qWaitFor([&] { return probe.FirstInstanceReachable(100); }, 15000);
}

void ExpectRefusedStart(const std::string& runtimeDir) {
  TDozProcess second(runtimeDir);
  ASSERT_TRUE(second.Started());
  int status = 0;
  ASSERT_TRUE(second.WaitExit(15000, status));
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(second.Errors().find(kAlreadyRunning), std::string::npos);
}

TEST(InstanceProcessTest, SecondStartReportsAndEndsWithCodeOne) {
  TTempDir runtime;
  TDozProcess first(runtime.Path());
  ASSERT_TRUE(first.Started());
  ASSERT_TRUE(Listening(runtime.Path()));

  ExpectRefusedStart(runtime.Path());

  int status = 0;
  EXPECT_FALSE(first.WaitExit(100, status)) << "the first instance must keep running";
  first.Kill(SIGTERM);
}

// After su or in some remote sessions the runtime folder does not exist: the
// program starts all the same, and still only once.
TEST(InstanceProcessTest, MissingRuntimeFolderStillStartsOnce) {
  TTempDir temp;
  // Below a plain file: a folder nobody, not even root, can make.
  const std::string plain = temp.File("plain");
  WriteBytes(plain, "x");
  const std::string missing = plain + "/runtime";
  TDozProcess first(missing, temp.Path());
  ASSERT_TRUE(first.Started());
  const TInstanceGuard probe(kName, QString::fromStdString(temp.Path()) + "/Vu_D-" +
                                        QString::number(getuid()));
  ASSERT_TRUE(QTest::qWaitFor([&] { return probe.FirstInstanceReachable(100); }, 15000));
  TDozProcess second(missing, temp.Path());
  int status = 0;
  ASSERT_TRUE(second.WaitExit(15000, status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(second.Errors().find(kAlreadyRunning), std::string::npos);
  first.Kill(SIGTERM);
}

TEST(InstanceProcessTest, CrashedInstanceDoesNotBlockTheNextStart) {
  TTempDir runtime;
  {
    TDozProcess crashed(runtime.Path());
    ASSERT_TRUE(crashed.Started());
    ASSERT_TRUE(Listening(runtime.Path()));
    crashed.Kill(SIGKILL);
  }
  TDozProcess next(runtime.Path());
  ASSERT_TRUE(next.Started());
  ASSERT_TRUE(Listening(runtime.Path()));
  int status = 0;
  EXPECT_FALSE(next.WaitExit(100, status));
  ExpectRefusedStart(runtime.Path());
  next.Kill(SIGTERM);
}

}  // namespace
}  // namespace doz::test
