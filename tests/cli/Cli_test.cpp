#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <sstream>

#include "Cli_export.h"
#include "Cli_main.h"
#include "Doz_file.h"
#include "Hand_made_files.h"
#include "Temp_dir.h"

extern char** environ;

namespace doz::cli {
namespace {

using test::DtaLines;
using test::JoinLines;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;

struct TRun {
  int code;
  std::string out;
  std::string err;
};

TRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// What the application's export command writes for the file: read, decode,
// export the chosen set.
std::string ApplicationExport(const std::string& dta, bool smoothed, const TTempDir& dir) {
  TRawData raw;
  std::string serial;
  std::int32_t port = 0;
  TCalcData calc, ave;
  const TDoZ_File file;
  EXPECT_TRUE(file.ReadDataFile(dta, serial, port, &raw));
  EXPECT_TRUE(MakeCalcData(&raw, &calc, &ave));
  EXPECT_TRUE(file.ExportText(dir.File("reference.txt"), serial, smoothed ? &ave : &calc, &raw));
  return ReadBytes(dir.File("reference.txt"));
}

TEST(CliInfo, ShowsTheFileAndTheRangesOfItsBand) {
  TTempDir dir;
  const std::string dta = dir.File("m1.DTA");
  WriteBytes(dta, JoinLines(DtaLines(9, " RZ:5", "2024/05/06 07:08:09", 12)));
  // The hand-made records: resistance 1000 + 37 slot, phase (613 slot + 0xF000) mod 2^16.
  int minP = 1 << 20, maxP = -(1 << 20);
  for (int slot = 94; slot <= 215; ++slot) {
    int p = (slot * 613 + 0xF000) & 0xFFFF;
    if (p >= 0x8000) p -= 0x10000;
    minP = std::min(minP, p);
    maxP = std::max(maxP, p);
  }
  const auto hundredths = [](int p) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%d.%02d", p < 0 ? "-" : "", std::abs(p) / 100,
                  std::abs(p) % 100);
    return std::string(text);
  };
  const TRun r = Cli({"info", dta});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  for (const std::string& part : std::vector<std::string>{
           "Serial number:   RZ:5\n", "Date and time:  2024/05/06 07:08:09\n", "COM port:       12\n",
        "Band:           9 (100Hz～1kHz)\n", "Points:         122\n",
        "Resistance [Ω]: min " + std::to_string(1000 + 94 * 37) + ", max " +
            std::to_string(1000 + 215 * 37) + "\n",
        "Phase [deg]:    min " + hundredths(minP) + ", max " + hundredths(maxP) + "\n"}) {
    EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;
  }
}

TEST(CliInfo, BadFilesAndBadArguments) {
  TTempDir dir;
  WriteBytes(dir.File("bad.DTA"), "DataFile:Do-Z\r\nSN:\r\n");
  for (const std::string& file : {dir.File("bad.DTA"), dir.File("missing.DTA"), dir.Path()}) {
    const TRun r = Cli({"info", file});
    EXPECT_EQ(r.code, 1) << file;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "データファイルの内容が正しくありませんでした: " + file + "\n");
  }
  const std::vector<std::vector<std::string>> usage = {
      {"info"}, {"info", "a", "b"}, {"info", "-x", "a"}};
  for (const auto& args : usage) {
    const TRun r = Cli(args);
    EXPECT_EQ(r.code, 2) << args.size();
    EXPECT_TRUE(Contains(r.err, "doz-cli info --help")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  const TRun help = Cli({"info", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Contains(help.out, "usage: doz-cli info FILE.DTA"));
}

TEST(CliExport, WritesWhatTheApplicationWritesBesideTheInput) {
  TTempDir dir;
  const std::string dta = dir.File("m1.2024.DTA");
  WriteBytes(dta, JoinLines(DtaLines(10)));
  const TRun r = Cli({"export", dta});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, dir.File("m1.txt") + "\n");
  const std::string smoothed = ReadBytes(dir.File("m1.txt"));
  EXPECT_EQ(smoothed, ApplicationExport(dta, true, dir));

  const TRun raw = Cli({"export", "--no-average", dta, "-o", dir.File("raw.txt")});
  EXPECT_EQ(raw.code, 0) << raw.err;
  EXPECT_EQ(ReadBytes(dir.File("raw.txt")), ApplicationExport(dta, false, dir));
  EXPECT_NE(ReadBytes(dir.File("raw.txt")), smoothed);
}

TEST(CliExport, RefusesToOverwriteUnlessForced) {
  TTempDir dir;
  const std::string dta = dir.File("m.DTA");
  WriteBytes(dta, JoinLines(DtaLines(10)));
  WriteBytes(dir.File("m.txt"), "keep me");
  const TRun refused = Cli({"export", dta});
  EXPECT_EQ(refused.code, 1);
  EXPECT_TRUE(Contains(refused.err, "--force")) << refused.err;
  EXPECT_EQ(ReadBytes(dir.File("m.txt")), "keep me");
  const TRun forced = Cli({"export", dta, "--force"});
  EXPECT_EQ(forced.code, 0) << forced.err;
  EXPECT_EQ(ReadBytes(dir.File("m.txt")), ApplicationExport(dta, true, dir));
}

TEST(CliExport, FailuresAndUsageErrors) {
  TTempDir dir;
  const std::string dta = dir.File("m.DTA");
  WriteBytes(dta, JoinLines(DtaLines(10)));
  const std::string target = dir.File("missing/out.txt");
  const TRun unwritable = Cli({"export", dta, "-o", target});
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_EQ(unwritable.err, "データ保存できませんでした: " + target + "\n");

  WriteBytes(dir.File("bad.DTA"), "junk");
  const TRun bad = Cli({"export", dir.File("bad.DTA")});
  EXPECT_EQ(bad.code, 1);
  EXPECT_TRUE(Contains(bad.err, "データファイルの内容が正しくありませんでした"));
  EXPECT_FALSE(test::FileExists(dir.File("bad.txt")));

  const std::vector<std::vector<std::string>> usage = {
      {"export"}, {"export", dta, "-o"}, {"export", dta, "--average"}, {"export", dta, dta}};
  for (const auto& args : usage) EXPECT_EQ(Cli(args).code, 2) << args.back();
  const TRun help = Cli({"export", dta, "--force", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Contains(help.out, "--no-average"));
}

TEST(CliExport, DefaultNameIsTheInputUpToItsFirstDot) {
  EXPECT_EQ(DefaultExportName("/a/b.c/m1.2024.DTA"), "/a/b.c/m1.txt");
  EXPECT_EQ(DefaultExportName("rel/m2"), "rel/m2.txt");
  EXPECT_EQ(DefaultExportName("m3.DTA"), "./m3.txt");
}

TEST(CliMain, UsageAndUnknownCommands) {
  const TRun help = Cli({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Contains(help.out, "doz-cli info FILE.DTA"));
  EXPECT_TRUE(Contains(help.out, "doz-cli export FILE.DTA [-o OUT.txt] [--no-average] [--force]"));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"plot2"}}) {
    const TRun r = Cli(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(Contains(r.err, "doz-cli --help"));
  }
}

// Runs the installed program with its output in files.
TRun RunExecutable(const std::vector<std::string>& args, const TTempDir& dir) {
  std::vector<std::string> argvText = {DOZ_CLI_EXE};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, dir.File("stdout").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, dir.File("stderr").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (rc != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return {-1, "", ""};
  return {WEXITSTATUS(status), ReadBytes(dir.File("stdout")), ReadBytes(dir.File("stderr"))};
}

TEST(CliExecutable, RunsVerbsAndReportsExitCodes) {
  TTempDir dir;
  WriteBytes(dir.File("m.DTA"), JoinLines(DtaLines(10)));
  const TRun info = RunExecutable({"info", dir.File("m.DTA")}, dir);
  EXPECT_EQ(info.code, 0) << info.err;
  EXPECT_TRUE(Contains(info.out, "Band:           10 (10Hz～100Hz)\n")) << info.out;
  const TRun exported = RunExecutable({"export", dir.File("m.DTA")}, dir);
  EXPECT_EQ(exported.code, 0) << exported.err;
  EXPECT_EQ(ReadBytes(dir.File("m.txt")), ApplicationExport(dir.File("m.DTA"), true, dir));
  EXPECT_EQ(RunExecutable({"info", dir.File("none.DTA")}, dir).code, 1);
  EXPECT_EQ(RunExecutable({}, dir).code, 2);
}

}  // namespace
}  // namespace doz::cli
