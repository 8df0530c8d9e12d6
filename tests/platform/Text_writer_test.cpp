#include "Text_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "Child_process.h"
#include "Temp_dir.h"

namespace doz::platform {
namespace {

using test::FolderEntries;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

// Enough lines to pass the writer's internal buffer several times.
bool WriteManyLines(const std::string& target) {
  TTextWriter out;
  if (!out.Open(target)) return false;
  for (int i = 0; i < 20000; ++i) out.WriteLine("line " + std::to_string(i) + " 測定");
  return out.Commit();
}

TEST(TextWriter, WritesCodePage932WithCrLfAndReplacesTheTarget) {
  TTempDir dir;
  const std::string target = dir.File("out.txt");
  WriteBytes(target, "old content that is longer than the new one\r\n");
  TTextWriter out;
  ASSERT_TRUE(out.Open(target));
  out.WriteLine("Do-Z 測定データ");
  out.WriteLine("split\r\nline\n");  // a line never carries its own line ends
  out.WriteRawLine("\x81\x60raw");
  out.WriteLine("");
  ASSERT_TRUE(out.Commit());
  EXPECT_EQ(ReadBytes(target),
            "Do-Z \x91\xAA\x92\xE8\x83\x66\x81\x5B\x83\x5E\r\nsplitline\r\n\x81\x60raw\r\n\r\n");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"out.txt"});
}

TEST(TextWriter, NewFileGetsTheUsualModeNotThePrivateTemporaryOne) {
  TTempDir dir;
  const mode_t old = ::umask(022);
  const bool ok = WriteManyLines(dir.File("m.txt"));
  ::umask(old);
  ASSERT_TRUE(ok);
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("m.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(TextWriter, AbandonedWriteLeavesNeitherTemporaryFileNorNewTarget) {
  TTempDir dir;
  WriteBytes(dir.File("keep.txt"), "old\r\n");
  {
    TTextWriter out;
    ASSERT_TRUE(out.Open(dir.File("keep.txt")));
    out.WriteLine("new");
    ASSERT_TRUE(out.Open(dir.File("fresh.txt")));  // reopening drops the first
    out.WriteLine("never committed");
  }
  EXPECT_EQ(ReadBytes(dir.File("keep.txt")), "old\r\n");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"keep.txt"});
}

TEST(TextWriter, TargetsThatCannotBeWrittenFailAndLeaveNothingBehind) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("adir"));
  WriteBytes(dir.File("adir/inside"), "x");
  WriteBytes(dir.File("plain"), "p");
  const std::string targets[] = {"", dir.File("missing/out.txt"), dir.File("plain/out.txt"),
                                 dir.File("adir"), dir.File("adir/")};
  for (const std::string& target : targets) {
    TTextWriter out;
    if (out.Open(target)) out.WriteLine("text");
    EXPECT_FALSE(out.Commit()) << target;
  }
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"adir", "plain"}));
  EXPECT_EQ(FolderEntries(dir.File("adir")), std::vector<std::string>{"inside"});
  TTextWriter unopened;
  EXPECT_FALSE(unopened.Commit());
}

TEST(TextWriter, ReadOnlyFolderFailsAndTheOldFileSurvives) {
  TTempDir dir;
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::group_exec |
                                               std::filesystem::perms::others_read |
                                               std::filesystem::perms::others_exec);
  std::filesystem::create_directory(dir.File("ro"));
  std::filesystem::create_directory(dir.File("rw"));
  WriteBytes(dir.File("ro/data.txt"), "old\r\n");
  std::filesystem::permissions(dir.File("ro"), std::filesystem::perms(0555));
  std::filesystem::permissions(dir.File("rw"), std::filesystem::perms(0777));

  const std::string ro = dir.File("ro/data.txt");
  const std::string rw = dir.File("rw/data.txt");
  EXPECT_EQ(test::RunUnprivileged([&] { return WriteManyLines(rw); }), true);
  EXPECT_EQ(test::RunUnprivileged([&] { return WriteManyLines(ro); }), false);
  EXPECT_EQ(ReadBytes(ro), "old\r\n");
  EXPECT_EQ(FolderEntries(dir.File("ro")), std::vector<std::string>{"data.txt"});
}

TEST(TextWriter, FullDiskFailsAndTheOldFileSurvives) {
  TTempDir dir;
  const std::string target = dir.File("data.txt");
  WriteBytes(target, "old\r\n");
  EXPECT_EQ(test::RunWithFileSizeLimit(1u << 20, [&] { return WriteManyLines(target); }), true);
  WriteBytes(target, "old\r\n");
  for (std::size_t limit : {0u, 100u, 65536u, 200000u}) {
    EXPECT_EQ(test::RunWithFileSizeLimit(limit, [&] { return WriteManyLines(target); }), false)
        << limit;
    EXPECT_EQ(ReadBytes(target), "old\r\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"data.txt"});
  }
}

}  // namespace
}  // namespace doz::platform
