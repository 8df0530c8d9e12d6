// One running Do-Z per user: the guard in-process with two instances of it,
// then the real program started twice, and after a crash.
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "Instance_guard.h"
#include "Spawned_process.h"
#include "Temp_dir.h"

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
// in a folder of the test's own (and the temporary folder, when given).
class TDozProcess : public TSpawnedProcess {
 public:
  explicit TDozProcess(const std::string& runtimeDir, const std::string& tempDir = {})
      : TSpawnedProcess(Options(runtimeDir, tempDir)) {}

 private:
  static TSpawnOptions Options(const std::string& runtimeDir, const std::string& tempDir) {
    TSpawnOptions options;
    options.args = {DOZ_APP_PATH};
    options.setEnv = {"XDG_RUNTIME_DIR=" + runtimeDir, "QT_QPA_PLATFORM=offscreen",
                      "DOZ_PROMPTS=stderr"};
    if (!tempDir.empty()) options.setEnv.push_back("TMPDIR=" + tempDir);
    options.keepStderr = true;
    return options;
  }
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
  first.Stop(SIGTERM);
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
  first.Stop(SIGTERM);
}

TEST(InstanceProcessTest, CrashedInstanceDoesNotBlockTheNextStart) {
  TTempDir runtime;
  {
    TDozProcess crashed(runtime.Path());
    ASSERT_TRUE(crashed.Started());
    ASSERT_TRUE(Listening(runtime.Path()));
    crashed.Stop(SIGKILL);
  }
  TDozProcess next(runtime.Path());
  ASSERT_TRUE(next.Started());
  ASSERT_TRUE(Listening(runtime.Path()));
  int status = 0;
  EXPECT_FALSE(next.WaitExit(100, status));
  ExpectRefusedStart(runtime.Path());
  next.Stop(SIGTERM);
}

}  // namespace
}  // namespace doz::test
