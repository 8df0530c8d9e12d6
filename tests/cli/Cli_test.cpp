#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "Cli_export.h"
#include "Cli_run.h"
#include "Doz_file.h"
#include "Doz_version.h"
#include "Hand_made_files.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace doz::cli {
namespace {

using test::Contains;
using test::DtaLines;
using test::JoinLines;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;
using TRun = test::TCliRun;

TRun Cli(const std::vector<std::string>& args) { return test::RunCliHere(args); }

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

// The contents are blamed only for a file that was read (others: below).
TEST(CliInfo, FilesThatCannotBeReadFail) {
  TTempDir dir;
  WriteBytes(dir.File("bad.DTA"), "DataFile:Do-Z\r\nSN:\r\n");
  const TRun r = Cli({"info", dir.File("bad.DTA")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "データファイルの内容が正しくありませんでした: " + dir.File("bad.DTA") + "\n");
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

TEST(CliExport, FailuresAreReportedAndWriteNothing) {
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
}

TEST(CliExport, DefaultNameIsTheInputUpToItsFirstDot) {
  EXPECT_EQ(DefaultExportName("/a/b.c/m1.2024.DTA"), "/a/b.c/m1.txt");
  EXPECT_EQ(DefaultExportName("rel/m2"), "rel/m2.txt");
  EXPECT_EQ(DefaultExportName("m3.DTA"), "./m3.txt");
}

TEST(CliMain, UsageErrorsExitTwoWithOneLineNamingTheHelp) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{}, "doz-cli --help"},
      {{"plot2"}, "doz-cli --help"},
      {{"info"}, "doz-cli info --help"},
      {{"info", "a", "b"}, "doz-cli info --help"},
      {{"info", "-x", "a"}, "doz-cli info --help"},
      {{"export"}, "doz-cli export --help"},
      {{"export", "m.DTA", "-o"}, "doz-cli export --help"},
      {{"export", "m.DTA", "--average"}, "doz-cli export --help"},
      {{"export", "m.DTA", "m.DTA"}, "doz-cli export --help"},
  };
  for (const auto& [args, help] : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    const TRun r = Cli(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(Contains(r.err, help)) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(CliMain, HelpTellsTheUsageOfEachVerb) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--help"}, "doz-cli info FILE.DTA"},
      {{"--help"}, "doz-cli export FILE.DTA [-o OUT.txt] [--no-average] [--force]"},
      {{"info", "--help"}, "usage: doz-cli info FILE.DTA"},
      {{"export", "m.DTA", "--force", "--help"}, "--no-average"},
  };
  for (const auto& [args, text] : cases) {
    const TRun r = Cli(args);
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(Contains(r.out, text)) << r.out;
  }
}

TEST(CliExecutable, RunsVerbsAndReportsExitCodes) {
  TTempDir dir;
  WriteBytes(dir.File("m.DTA"), JoinLines(DtaLines(10)));
  const TRun info = test::RunCliProgram({"info", dir.File("m.DTA")}, dir.Path());
  EXPECT_EQ(info.code, 0) << info.err;
  EXPECT_TRUE(Contains(info.out, "Band:           10 (10Hz～100Hz)\n")) << info.out;
  const TRun exported = test::RunCliProgram({"export", dir.File("m.DTA")}, dir.Path());
  EXPECT_EQ(exported.code, 0) << exported.err;
  EXPECT_EQ(ReadBytes(dir.File("m.txt")), ApplicationExport(dir.File("m.DTA"), true, dir));
  EXPECT_EQ(test::RunCliProgram({"info", dir.File("none.DTA")}, dir.Path()).code, 1);
  EXPECT_EQ(test::RunCliProgram({}, dir.Path()).code, 2);
}

// Standard error holds doz-cli's own messages only, also where the libraries
// it uses would complain: no runtime folder, no display for the platform
// named, no fontconfig set-up. A file that cannot be read says why.
TEST(CliExecutable, StandardErrorCarriesOnlyItsOwnMessages) {
  TTempDir dir;
  const std::string m = dir.File("m.DTA");
  const std::string tooLong = dir.File(std::string(300, 'x'));
  WriteBytes(m, JoinLines(DtaLines(10)));
  const std::vector<std::string> unset = {"XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY"};
  // LC_ALL=C: the system's texts as this process has them, and Qt's warning
  // about a locale that is not UTF-8.
  const std::vector<std::string> set = {"QT_QPA_PLATFORM=xcb", "LC_ALL=C",
                                        "FONTCONFIG_FILE=" + dir.File("none.conf")};
  const struct {
    std::vector<std::string> args;
    int code;
    std::string err;
  } cases[] = {
      {{"info", m}, 0, ""},
      {{"export", m, "--format", "touchstone"}, 0, ""},
      {{"plot", m, "-o", dir.File("page.png")}, 0, ""},
      {{"plot", m, "--log", "-o", dir.File("page.pdf")}, 0, ""},
      {{"analyze", m}, 0, ""},
      {{"compare", m, m}, 0, ""},
      {{"info", dir.File("none.DTA")}, 1, dir.File("none.DTA") + ": ファイルがありません\n"},
      {{"export", dir.Path()}, 1, dir.Path() + ": フォルダーです\n"},
      {{"analyze", "/dev/null"}, 1, "/dev/null: 通常のファイルではありません\n"},
      {{"compare", m, tooLong}, 2,
       tooLong + ": 読み取りエラーです（" + std::strerror(ENAMETOOLONG) + "）\n"},
      {{"plot", m}, 2, "doz-cli plot: missing -o OUT.pdf|OUT.png (try 'doz-cli plot --help')\n"}};
  for (const auto& c : cases) {
    const TRun r = test::RunCliProgram(c.args, dir.Path(), unset, set);
    EXPECT_EQ(r.code, c.code) << c.args[0];
    EXPECT_EQ(r.err, c.err) << c.args[0];
  }
}

TEST(CliExecutable, BothProgramsPrintTheBuildsVersionOnOneLine) {
  TTempDir dir;
  const TRun cli = test::RunCliProgram({"--version"}, dir.Path());
  EXPECT_EQ(cli.code, 0);
  EXPECT_EQ(cli.out, std::string("doz-cli ") + kDozVersion + "\n");
  EXPECT_TRUE(std::string(kDozVersion).find_first_not_of("0123456789.") == std::string::npos &&
              std::isdigit(static_cast<unsigned char>(kDozVersion[0])))
      << kDozVersion;

  FILE* sim = popen((test::TUnitsimProcess::BinaryPath() + " --version").c_str(), "r");
  ASSERT_NE(sim, nullptr);
  char line[64] = {};
  const std::size_t n = std::fread(line, 1, sizeof line - 1, sim);
  EXPECT_EQ(pclose(sim), 0);
  EXPECT_EQ(std::string(line, n), std::string("doz-unitsim ") + kDozVersion + "\n");
}

}  // namespace
}  // namespace doz::cli
