// doz-cli measure against the simulated unit and a scripted one: the texts
// of every start failure, the points kept by a failed stream, the file as
// the window's save writes it, the progress output, Ctrl-C and the refusal
// to overwrite.
#include "Cli_measure.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <regex>
#include <sstream>
#include <thread>

#include "Cli_progress.h"
#include "Cli_run.h"
#include "Doz_file.h"
#include "Recorded_sweep.h"
#include "Scripted_unit.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace doz::cli {
namespace {

using test::ReadBytes;
using test::TScriptedUnit;
using test::TTempDir;
using test::TUnitScript;
using test::TUnitsimProcess;
using TLines = std::vector<std::string>;
using TRun = test::TCliRun;

TLines SplitLines(const std::string& text) {
  TLines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool IsProgressLine(const std::string& line) {
  return std::regex_match(line, std::regex(R"(\d+/\d+ points \(\d+%\))"));
}

// The status texts and messages, without the progress lines.
TLines StatusLines(const std::string& err) {
  TLines lines;
  for (const std::string& line : SplitLines(err))
    if (!IsProgressLine(line)) lines.push_back(line);
  return lines;
}

const std::string kUnitInfo = "Do-Z/ SN=0001/ 1.10";
const std::string kStartError = "測定開始できませんでした";
const std::string kReceiveError = "データ受信エラーです";
const std::string kFinished = "測定終了しました";

struct TReadBack {
  bool ok = false;
  std::string serial;
  std::int32_t commPort = 0;
  TRawData raw;
};

TReadBack ReadBack(const std::string& path) {
  TReadBack r;
  ClearRawData(r.raw);
  r.ok = TDoZ_File().ReadDataFile(path, r.serial, r.commPort, &r.raw);
  return r;
}

class CliMeasure : public ::testing::Test {
 protected:
  CliMeasure() { env.appDir = dir.Path(); }
  TRun Measure(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunMeasureWith(args, out, err, env);
    return {code, out.str(), err.str()};
  }
  // A fast simulated unit with extra options.
  const std::string& Sim(std::vector<std::string> args) {
    args.push_back("--fast");
    sim = std::make_unique<TUnitsimProcess>(args);
    EXPECT_TRUE(sim->Started());
    return sim->DevicePath();
  }
  std::string Output() const { return dir.File("m.DTA"); }

  TTempDir dir;
  TMeasureEnv env;
  std::unique_ptr<TUnitsimProcess> sim;
};

TEST(CliMeasureArgs, UsageErrorsExitWithTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"--band", "3"},
      {"--port", "COM1", "--band", "0"},
      {"--port", "COM1", "--band", "11"},
      {"--port", "COM1", "--band", "x"},
      {"--port", "COM1", "--band", ""},
      {"--port", "COM1", "--band", "-1"},
      {"--port", "COM1", "--colour"},
      {"--port", "COM1", "extra"},
      {"--port"},
  };
  for (const auto& args : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunMeasureWith(args, out, err, {}), 2) << testing::PrintToString(args);
    EXPECT_NE(err.str().find("doz-cli measure: "), std::string::npos);
  }
  std::ostringstream out, err;
  EXPECT_EQ(RunMeasureWith({"--help"}, out, err, {}), 0);
  EXPECT_NE(out.str().find("YYYYMMDD-hhmmss.DTA"), std::string::npos);
}

TEST(CliMeasureArgs, ComPortNamesAndTheDefaultFileName) {
  const std::pair<std::string, std::optional<int>> ports[] = {
      {"COM1", 1},
      {"com12", 12},
      {"Com256", 256},
      {"COM257", std::nullopt},
      {"COM0", std::nullopt},
      {"COM01", std::nullopt},
      {"COM", std::nullopt},
      {"COMX", std::nullopt},
      {"COM1x", std::nullopt},
      {"/dev/ttyS0", std::nullopt},
      {"XCOM1", std::nullopt},
  };
  for (const auto& [text, number] : ports) EXPECT_EQ(ComNumberOf(text), number) << text;
  EXPECT_EQ(DefaultMeasureName("2024/05/06 07:08:09"), "20240506-070809.DTA");
  EXPECT_EQ(DefaultMeasureName("1999/12/31 23:59:59"), "19991231-235959.DTA");
}

TEST(CliMeasureArgs, ADeviceTakesTheNumberOfTheLinkToIt) {
  TTempDir dir;
  test::WriteBytes(dir.File("device"), "");
  std::filesystem::create_directories(dir.File("ports"));
  std::filesystem::create_symlink(dir.File("device"), dir.File("ports/com9"));
  EXPECT_EQ(ComNumberOfDevice(dir.Path(), dir.File("device")), 9);
  EXPECT_EQ(ComNumberOfDevice(dir.Path(), dir.File("ports/com9")), 9);
  EXPECT_EQ(ComNumberOfDevice(dir.Path(), dir.File("other")), 1) << "no number: 1";
}

TEST(CliProgressText, BarLineTenthsAndTimeLeft) {
  EXPECT_EQ(ProgressBar(0, 556, -1), "[------------------------------] 0/556   0%  -:-- left");
  EXPECT_EQ(ProgressBar(278, 556, 6.4), "[###############---------------] 278/556  50%  0:06 left");
  EXPECT_EQ(ProgressBar(555, 556, 0.4), "[#############################-] 555/556  99%  0:00 left");
  EXPECT_EQ(ProgressBar(556, 556, 0), "[##############################] 556/556 100%  0:00 left");
  EXPECT_EQ(ProgressBar(1, 95, 125.5), "[------------------------------] 1/95   1%  2:06 left");
  EXPECT_EQ(ProgressLine(19, 95), "19/95 points (20%)");
  EXPECT_EQ(ProgressTenths(55, 556), 0);
  EXPECT_EQ(ProgressTenths(56, 556), 1);
  EXPECT_EQ(ProgressTenths(555, 556), 9);
  EXPECT_EQ(ProgressTenths(556, 556), 10);
  EXPECT_EQ(SecondsLeft(0, 556, 3.0), -1.0);
  EXPECT_DOUBLE_EQ(SecondsLeft(100, 400, 10.0), 30.0);
  EXPECT_DOUBLE_EQ(SecondsLeft(400, 400, 10.0), 0.0);
}

TEST_F(CliMeasure, SweepIsWrittenWithTheUnitsRecordsAndTheWindowsTexts) {
  const test::TRecordedSweep sent = test::RecordSimulatedSweep({"--seed", "7"}, 10, false);
  ASSERT_EQ(sent.records.size(), 95u);
  const std::string exported = dir.File("m.txt");
  const TRun r = Measure(
      {"--port", Sim({"--seed", "7"}), "--band", "10", "-o", Output(), "--export", exported});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, Output() + "\n" + exported + "\n");
  const TLines expected = {
      kUnitInfo, "データ受信中です",  "測定中です", "計算中です", "周波数：10.00[Hz]...100.0[Hz]",
      kFinished, "データ書き出し完了"};
  EXPECT_EQ(StatusLines(r.err), expected);
  TLines progress;
  for (const std::string& line : SplitLines(r.err))
    if (IsProgressLine(line)) progress.push_back(line);
  ASSERT_EQ(progress.size(), 10u) << "one line per tenth";
  EXPECT_EQ(progress.front(), "10/95 points (10%)");
  EXPECT_EQ(progress.back(), "95/95 points (100%)");

  const TReadBack file = ReadBack(Output());
  ASSERT_TRUE(file.ok);
  EXPECT_EQ(file.serial, "0001");
  EXPECT_EQ(file.commPort, 1) << "a device no COM number names";
  EXPECT_EQ(file.raw.Band, 10);
  EXPECT_TRUE(std::regex_match(file.raw.DateTime, std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d)")));
  for (int n = 0; n < 95; ++n)
    EXPECT_EQ(file.raw.Data[BandFirstIndex(10) + n].data(), sent.records[n]);

  TRawData raw = file.raw;
  TCalcData calc, ave;
  ASSERT_TRUE(MakeCalcData(&raw, &calc, &ave));
  ASSERT_TRUE(TDoZ_File().ExportText(dir.File("again.txt"), "0001", &ave, &raw));
  EXPECT_EQ(ReadBytes(exported), ReadBytes(dir.File("again.txt"))) << "the smoothed table";
}

// --compare checks the new sweep against a file as compare does; the exit
// status is the comparison's once the sweep is written.
TEST_F(CliMeasure, CompareChecksTheSweepAgainstAReference) {
  const std::string reference = dir.File("ref.DTA");
  ASSERT_EQ(Measure({"--port", Sim({"--seed", "7"}), "--band", "10", "-o", reference}).code, 0);
  struct TCase {
    const char* seed;  // the same unit as the reference's, or another speaker
    std::vector<std::string> options;
    int code;
  };
  const TCase cases[] = {
      {"7", {"--compare", reference, "--tolerance", "0", "--phase-tolerance", "0"}, 0},
      {"9", {"--compare", reference, "--tolerance", "1", "--phase-tolerance", "1"}, 1},
      {"7", {"--compare", dir.File("missing.DTA")}, 2},
      {"7", {"--tolerance", "3"}, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.options.back());
    std::filesystem::remove(Output());
    std::vector<std::string> args = {"--port", Sim({"--seed", c.seed}), "--band", "10", "-o",
                                     Output()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const TRun r = Measure(args);
    EXPECT_EQ(r.code, c.code) << r.err;
    EXPECT_EQ(test::FileExists(Output()), c.code != 2) << "no sweep for a usage error";
    if (c.code != 2) {
      EXPECT_NE(r.out.find(Output() + "\n"), std::string::npos);
    }
  }
}

TEST_F(CliMeasure, ComNumberOpensItsLinkAndIsRecorded) {
  const std::string device = Sim({});
  std::filesystem::create_directories(dir.File("ports"));
  std::filesystem::create_symlink(device, dir.File("ports/com5"));
  TRun r = Measure({"--port", "COM5", "--band", "10", "-o", Output()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadBack(Output()).commPort, 5);
  r = Measure({"--port", device, "--band", "10", "-o", dir.File("d.DTA")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadBack(dir.File("d.DTA")).commPort, 5) << "the device of COM5";
}

struct TStartFailure {
  std::vector<std::string> fault;  // empty: no unit at all
  TLines lines;
};

TEST_F(CliMeasure, EveryStartFailureEndsWithItsTextsAndNoFile) {
  const std::string unitNotFound = "Do-Z が見つかりませんでした";
  const std::string unitNotFoundBox =
      "Do-Zユニットが見つかりませんでした。COM番号を確認して下さい。";
  const TStartFailure cases[] = {
      {{},
       {"通信ポートが開けません", "COMポートが開けませんでした。COM番号を確認して下さい。",
        kStartError}},
      {{"mute=?"}, {unitNotFound, unitNotFoundBox, kStartError}},
      {{"mute=U?@1"}, {unitNotFound, unitNotFoundBox, kStartError}},
      {{"identity=Do-Y"}, {unitNotFound, unitNotFoundBox, kStartError}},
      {{"mute=U?@2"}, {"Do-Z 応答エラーです", kStartError}},
      {{"identity=Do-ZX"}, {"Ru-Z, Du-D2 が見つかりませんでした", kStartError}},
      {{"mute=V?"}, {"Do-Z 応答エラーです", kStartError}},
      {{"mute=SN?"}, {"Do-Z 応答エラーです", kStartError}},
      {{"uncalibrated"}, {"Do-Z 未校正です", kStartError}},
      {{"mute=M?"}, {"Do-Z 未校正です", kStartError}},
      {{"mute=MSn"}, {kUnitInfo, "コマンド送信エラーです", kStartError}},
      {{"mute=Mn"}, {kUnitInfo, "コマンド送信エラーです", kStartError}},
      {{"refuse-start"}, {kUnitInfo, kStartError}},
      {{"point-count=96"},
       {kUnitInfo, "ユニットとアプリケーションのバージョンがミスマッチです", kStartError}},
  };
  for (const TStartFailure& c : cases) {
    const std::string trace = c.fault.empty() ? "no unit" : c.fault[0];
    SCOPED_TRACE(trace);
    std::vector<std::string> simArgs;
    for (const std::string& f : c.fault) simArgs.insert(simArgs.end(), {"--fault", f});
    const std::string port = c.fault.empty() ? "COM200" : Sim(simArgs);
    const TRun r = Measure({"--port", port, "--band", "10", "-o", Output()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(SplitLines(r.err), c.lines);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(test::FileExists(Output()));
  }
}

struct TStreamFailure {
  std::string fault;
  int points;     // records kept as the unit sent them
  bool finished;  // written as a measurement
  bool mended;    // the next record, cut at its carriage return, is kept readable
};

// The endings themselves are the session's (its tests go through each); here
// what a failed stream means for the command: its points still written, and
// exit status 1.
TEST_F(CliMeasure, AStreamThatFailsKeepsItsPoints) {
  const TStreamFailure cases[] = {
      {"end-mark=NG", 95, true, false},
      {"cr-in-point=11", 10, true, true},
      {"hangup-after=5", 5, true, false},
      {"cr-in-point=1", 0, false, false},
  };
  for (const TStreamFailure& c : cases) {
    SCOPED_TRACE(c.fault);
    std::filesystem::remove(Output());
    const test::TRecordedSweep sent = test::RecordSimulatedSweep({"--fault", c.fault}, 10, false);
    const auto start = std::chrono::steady_clock::now();
    const TRun r = Measure({"--port", Sim({"--fault", c.fault}), "--band", "10", "-o", Output()});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10))
        << "a vanished unit ends the sweep at once, not after the watchdog's minute";
    EXPECT_EQ(r.code, 1);
    const TLines lines = StatusLines(r.err);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3], kReceiveError);
    EXPECT_EQ(lines.back(), c.finished ? kFinished : kReceiveError);
    ASSERT_EQ(test::FileExists(Output()), c.finished);
    if (!c.finished) continue;
    const TReadBack file = ReadBack(Output());
    ASSERT_TRUE(file.ok);
    ASSERT_GE(sent.records.size(), static_cast<std::size_t>(c.points + (c.mended ? 1 : 0)));
    const std::string zeros(RECORD_LEN, '0');
    for (int n = 0; n < 95; ++n) {
      std::string expected = zeros;
      if (n < c.points) expected = sent.records[n];
      if (n == c.points && c.mended) expected = sent.records[n].substr(0, 10) + zeros.substr(10);
      EXPECT_EQ(file.raw.Data[BandFirstIndex(10) + n].data(), expected) << n;
    }
  }
}

TEST_F(CliMeasure, AveragingAndBandReachTheUnit) {
  TUnitScript script;
  script.records = test::SampleRecords(BandDataNum(3));
  TScriptedUnit unit(script);
  const TRun r =
      Measure({"--port", unit.DevicePath(), "--band", "3", "--unit-average", "-o", Output()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(StatusLines(r.err).front(), "Do-Z/ SN=0042/ 1.23");
  ASSERT_TRUE(unit.WaitFor("ME", 2, 1000));
  const TLines expected = {"?", "U?", "ME", "U?", "V?", "SN?", "M?", "MS1", "M2", "ME"};
  EXPECT_EQ(unit.Commands(), expected);
  const TReadBack file = ReadBack(Output());
  EXPECT_EQ(file.serial, "0042");
  EXPECT_EQ(file.raw.Band, 3);
  for (int n = 0; n < BandDataNum(3); ++n)
    EXPECT_EQ(file.raw.Data[BandFirstIndex(3) + n].data(), script.records[n]) << n;
}

TEST_F(CliMeasure, ExistingFilesAreKeptUnlessForced) {
  TScriptedUnit unit(TUnitScript{});
  const std::string exported = dir.File("m.txt");
  for (const std::string& taken : {Output(), exported}) {
    SCOPED_TRACE(taken);
    test::WriteBytes(taken, "mine");
    const TRun r = Measure(
        {"--port", unit.DevicePath(), "--band", "10", "-o", Output(), "--export", exported});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(taken + " exists"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(taken), "mine");
    EXPECT_TRUE(unit.Commands().empty()) << "refused before the unit is asked anything";
    std::filesystem::remove(taken);
  }
  test::WriteBytes(Output(), "mine");
  const TRun r = Measure({"--port", unit.DevicePath(), "--band", "10", "-o", Output(), "--force"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(ReadBack(Output()).ok);
}

TEST_F(CliMeasure, OnATerminalTheBarIsRedrawnInPlace) {
  env.terminal = true;
  const TRun r = Measure({"--port", Sim({}), "--band", "10", "-o", Output()});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.err.find("\r[------------------------------] 0/95   0%  -:-- left"),
            std::string::npos);
  EXPECT_NE(r.err.find("] 95/95 100%  0:00 left\n計算中です\n"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("points ("), std::string::npos) << "no progress lines";
}

TEST_F(CliMeasure, InterruptBeforeTheFirstStepStopsTheUnit) {
  TUnitScript script;
  TScriptedUnit unit(script);
  const volatile std::sig_atomic_t interrupted = 1;
  env.interrupted = &interrupted;
  const TRun r = Measure({"--port", unit.DevicePath(), "--band", "10", "-o", Output()});
  EXPECT_EQ(r.code, EXIT_INTERRUPTED);
  EXPECT_EQ(StatusLines(r.err).back(), "測定中止しました");
  EXPECT_EQ(unit.Count("ME"), 2) << "finding, then stopping";
  EXPECT_FALSE(test::FileExists(Output()));
}

// "YYYYMMDD-hhmmss" as local seconds.
long long SecondsOf(const std::string& name) {
  std::tm t{};
  std::istringstream(name) >> std::get_time(&t, "%Y%m%d-%H%M%S");
  t.tm_isdst = -1;
  return static_cast<long long>(std::mktime(&t));
}

// The program itself, with its output in files and its own folder.
class CliMeasureExecutable : public ::testing::Test {
 protected:
  pid_t Spawn(std::vector<std::string> args) {
    args.insert(args.begin(), "measure");
    return test::SpawnCli(args, dir.Path(), dir.Path());
  }
  TLines DtaFiles() const {
    TLines names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
      if (entry.path().extension() == ".DTA") names.push_back(entry.path().filename());
    return names;
  }
  TTempDir dir;
};

TEST_F(CliMeasureExecutable, CtrlCStopsTheSweepTellsTheUnitAndWritesNothing) {
  TUnitScript script;
  script.records = test::SampleRecords(10);
  script.endMark.clear();  // the unit falls silent mid-sweep
  TScriptedUnit unit(script);
  const pid_t pid = Spawn({"--port", unit.DevicePath(), "--band", "10"});
  ASSERT_GT(pid, 0);  // kill(-1, ...) would reach every process
  if (!unit.WaitFor("M9", 1, 5000)) {
    kill(pid, SIGKILL);
    test::WaitCli(pid);
    FAIL() << "the sweep never started";
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(pid, SIGINT);
  EXPECT_EQ(test::WaitCli(pid), EXIT_INTERRUPTED);
  EXPECT_EQ(unit.Count("ME"), 2) << "finding, then the stop";
  const TLines lines = StatusLines(ReadBytes(dir.File("stderr")));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "測定中止しました");
  EXPECT_EQ(ReadBytes(dir.File("stdout")), "");
  EXPECT_TRUE(DtaFiles().empty());
}

TEST_F(CliMeasureExecutable, DefaultNameIsTheStartTimeInTheCurrentFolder) {
  TUnitsimProcess sim({"--fast"});
  ASSERT_TRUE(sim.Started());
  const pid_t pid = Spawn({"--port", sim.DevicePath(), "--band", "10"});
  EXPECT_EQ(test::WaitCli(pid), 0) << ReadBytes(dir.File("stderr"));
  const TLines files = DtaFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(std::regex_match(files[0], std::regex(R"(20\d{6}-\d{6}\.DTA)"))) << files[0];
  EXPECT_EQ(ReadBytes(dir.File("stdout")), files[0] + "\n");
  const TReadBack file = ReadBack(dir.File(files[0]));
  ASSERT_TRUE(file.ok);
  // The name and the stored date-time both come from the start of the run.
  const std::string stamp = DefaultMeasureName(file.raw.DateTime);
  EXPECT_LE(std::abs(SecondsOf(stamp) - SecondsOf(files[0])), 2) << stamp << " " << files[0];
}

}  // namespace
}  // namespace doz::cli
