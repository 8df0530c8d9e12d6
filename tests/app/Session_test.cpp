// A sweep through the main window: started by its button, stepped by idle
// passes, finished, stopped, closed, timed out and cut short, with every
// status text, dialog, caption, port state and drawn pixel that follows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <sstream>

#include "Cli_measure.h"
#include "Color_ref.h"
#include "Doz_file.h"
#include "Graph_rtf.h"
#include "Point_text.h"
#include "Recorded_sweep.h"
#include "Scripted_unit.h"
#include "Session_steps.h"
#include "Window_steps.h"

namespace doz {
namespace {

using test::kFinished;
using test::kReceiveError;
using test::kUnitInfo;
using test::TPanelWrites;
using test::TScriptedUnit;
using test::Sim;
using test::TSessionRig;
using test::TUnitScript;

const QString kMeasuring = QStringLiteral("測定中です");
const QString kReceiving = QStringLiteral("データ受信中です");
const QString kCalculating = QStringLiteral("計算中です");
const QString kStopped = QStringLiteral("測定中止しました");

std::string Slot(const TFormMain& w, int slot) { return w.MeasData.Data[slot].data(); }

// A script whose sweep over band 10 is `records` and then nothing.
TUnitScript Band10Script(std::vector<std::string> records, const std::string& endMark = "OK") {
  TUnitScript script;
  script.records = std::move(records);
  script.useRecords = true;
  script.endMark = endMark;
  return script;
}

TEST(Session, FullSweepStoresWhatTheUnitSentAndFinishesIt) {
  const test::TRecordedSweep sent = test::RecordSimulatedSweep({"--seed", "11"}, 10, false);
  ASSERT_EQ(sent.records.size(), 95u);
  const auto sim = Sim({"--seed", "11"});
  TSessionRig rig(sim->DevicePath(), 10);
  TFormMain& w = rig.W();
  rig.Click();
  EXPECT_EQ(w.MStartBtn->text(), QStringLiteral("測定停止"));
  test::ExpectSweepControls(w);  // the measure menu cannot stop a sweep, the button can
  EXPECT_TRUE(w.Session.Timer1().Enabled());
  EXPECT_GT(w.Session.Timer1().RemainingMs(), 59000);
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Do-Z v1.1"));

  int passes = 0;
  while (w.Session.fReceiving() && passes < 2000) {
    const int before = w.Session.Sweep().PointCount;
    rig.fixture.Idle();
    ASSERT_LE(w.Session.Sweep().PointCount - before, 1) << "at most one point a pass";
    ++passes;
  }
  ASSERT_TRUE(rig.RunToEnd());

  TPanelWrites expected = {{1, ""}, {2, ""}, {0, kUnitInfo}, {1, kReceiving}, {1, kMeasuring}};
  for (const std::string& record : sent.records)
    expected.emplace_back(2, QString::fromStdString(PointReadoutText(record.c_str())));
  expected.emplace_back(1, kCalculating);
  expected.emplace_back(2, QStringLiteral("周波数：10.00[Hz]...100.0[Hz]"));
  expected.emplace_back(1, kFinished);
  EXPECT_EQ(rig.recorder->writes, expected);

  for (int n = 0; n < 95; ++n) EXPECT_EQ(Slot(w, BandFirstIndex(10) + n), sent.records[n]) << n;
  EXPECT_EQ(w.MeasData.Present, 1);
  EXPECT_EQ(w.MeasData.Band, 10);
  EXPECT_EQ(w.DataSaved, 0);
  EXPECT_TRUE(rig.Prompter().Records().empty()) << "no dialog";
  EXPECT_EQ(w.UnitSerial, "0001");
  EXPECT_EQ(w.UnitVersion, "1.10");
  test::ExpectIdleControls(w);
  EXPECT_FALSE(w.Session.Timer1().Enabled());
  EXPECT_FALSE(w.SweepPulse->isActive());

  // Decoded, smoothed, and drawn on the scale of its own points.
  TRawData raw = w.MeasData;
  TCalcData calc, ave;
  ASSERT_TRUE(MakeCalcData(&raw, &calc, &ave));
  EXPECT_EQ(w.MeasCalc.R, calc.R);
  EXPECT_EQ(w.MeasAve.R, ave.R);
  EXPECT_EQ(w.GraphRange.MaxR, *std::max_element(calc.R.begin(), calc.R.begin() + 95));
  EXPECT_GT(test::CountColor(w, w.SettingRec.PenColor_R), 200);
  EXPECT_GT(test::CountColor(w, w.SettingRec.PenColor_Theta), 200);
}

TEST(Session, PacedSweepGrowsPointByPointWhileTheWindowStaysResponsive) {
  const auto sim = Sim({"--seed", "3"}, false);
  TSessionRig rig(sim->DevicePath(), 10);
  TFormMain& w = rig.W();
  // The real event loop drives the sweep: the idle pump and the pulse timer.
  QEventLoop loop;
  QTimer done;
  QObject::connect(&done, &QTimer::timeout, [&] {
    if (rig.fixture.Panel(1) == kFinished) loop.quit();
  });
  done.start(5);
  QTimer ticks;
  QElapsedTimer clock;
  qint64 last = 0, longestGap = 0;
  std::vector<int> counts;
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, clock.elapsed() - last);
    last = clock.elapsed();
    counts.push_back(w.Session.Sweep().PointCount);
  });
  QTimer::singleShot(15000, &loop, &QEventLoop::quit);
  clock.start();
  ticks.start(10);
  rig.Click();
  const qint64 started = clock.elapsed();
  last = started;
  loop.exec();
  const double seconds = (clock.elapsed() - started) / 1000.0;
  ASSERT_EQ(rig.fixture.Panel(1), kFinished);
  EXPECT_EQ(w.MeasData.Present, 1);
  // 95 records and the end mark on a 9600-baud line take 2.0 s.
  const double wire = (5 + 95 * 21 + 3) * 10.0 / 9600.0;
  EXPECT_GE(seconds, wire);
  // Generous bounds for a loaded machine; make bench holds the real figures.
  EXPECT_LT(seconds, wire * 2 + 2.0) << "paced by the line, not stalled";
  EXPECT_LT(longestGap, 1000) << "no step blocks the window for long";
  ASSERT_FALSE(counts.empty());
  EXPECT_GT(std::set<int>(counts.begin(), counts.end()).size(), 20u) << "seen growing";
  EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
}

TEST(Session, StopAfterTenPointsKeepsThemUnsmoothedAndDrawable) {
  TScriptedUnit unit(Band10Script(test::SampleRecords(95)));
  TSessionRig rig(unit.DevicePath(), 10);
  TFormMain& w = rig.W();
  // A measurement loaded before: saved, so the start asks nothing.
  test::HoldUnsavedMeasurement(w, 10, 5);
  w.DataSaved = 1;
  // The analysis hears of the measurement dropped at the start and of the
  // points kept at the stop, neither of which a redraw procedure draws.
  std::vector<int> heard;
  const QObject listener;
  QObject::connect(&w, &TFormMain::AnalysedDataChanged, &listener,
                   [&] { heard.push_back(w.MeasData.Present); });
  rig.Click();
  EXPECT_EQ(heard, std::vector<int>{0});
  ASSERT_TRUE(rig.RunToPoint(10));
  rig.Click();
  EXPECT_EQ(heard, (std::vector<int>{0, 1}));
  EXPECT_EQ(unit.Count("ME"), 2) << "finding, then the stop";
  EXPECT_EQ(rig.recorder->writes.back(), test::TPanelWrite(1, kStopped));
  EXPECT_EQ(w.Session.Sweep().PointCount, 10);
  EXPECT_EQ(w.MeasData.Present, 1);
  EXPECT_EQ(w.DataSaved, 0) << "the kept points are a new measurement, not the file loaded before";
  test::ExpectIdleControls(w);
  EXPECT_FALSE(w.Session.Timer1().Enabled());
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(w.MeasAve.R[k], w.MeasCalc.R[k]) << "not smoothed";
    EXPECT_EQ(w.MeasCalc.R[k], 2000 + 37 * k);
  }
  for (int k = 10; k < 95; ++k) {
    EXPECT_EQ(w.MeasCalc.R[k], -1.0) << "no value, not the last measurement's: " << k;
    EXPECT_EQ(w.MeasAve.R[k], -1.0) << k;
  }
  EXPECT_EQ(Slot(w, 10), std::string(RECORD_LEN, '0'));
  // Every later redraw still shows the ten points.
  w.resize(w.width() + 40, w.height());
  rig.fixture.Idle();
  EXPECT_GT(test::CountColor(w, w.SettingRec.PenColor_R), 20);
  w.MenuGraph_LogClick();
  EXPECT_GT(test::CountColor(w, w.SettingRec.PenColor_R), 20);
  w.MenuGraph_AveClick();
  ASSERT_FALSE(w.MenuGraph_Ave->isChecked());
  EXPECT_GT(test::CountColor(w, w.SettingRec.PenColor_R), 20) << "the unsmoothed set too";
  EXPECT_EQ(w.GraphRange.MinR, 2000.0) << "the scale comes from the ten points";
  EXPECT_EQ(w.GraphRange.MaxR, 2000.0 + 37 * 9);
  test::ChooseBand(w, 8);  // 10Hz-1kHz holds the ten points too
  EXPECT_GT(test::CountColor(w, w.SettingRec.PenColor_R), 20) << "after a band change";
}

TEST(Session, ClosingDuringASweepAsksThenStopsTheUnitFirst) {
  TScriptedUnit unit(Band10Script(test::SampleRecords(95)));
  TSessionRig rig(unit.DevicePath(), 10);
  TFormMain& w = rig.W();
  qApp->setQuitOnLastWindowClosed(false);
  rig.Click();
  ASSERT_TRUE(rig.RunToPoint(5));
  rig.Prompter().boxAnswers.push_back(TBoxResult::No);
  EXPECT_FALSE(w.close());
  test::ExpectBoxes(rig.Prompter(), {QStringLiteral("測定データを保存していません。終了しますか？")},
                    TBoxStyle::Question);
  EXPECT_TRUE(w.Session.fReceiving()) << "No keeps the sweep running";
  EXPECT_EQ(unit.Count("ME"), 1);
  ASSERT_TRUE(rig.RunToPoint(8));

  std::filesystem::remove(rig.fixture.Dir().File("DoZ_ini.prf"));
  rig.Prompter().boxAnswers.push_back(TBoxResult::Yes);
  EXPECT_TRUE(w.close());
  EXPECT_EQ(unit.Count("ME"), 2) << "the unit heard the stop";
  EXPECT_FALSE(w.SerialPort->Connected());
  EXPECT_TRUE(test::FileExists(rig.fixture.Dir().File("DoZ_ini.prf"))) << "settings written after";
}

TEST(Session, UnsavedMeasurementIsAskedAboutAndNoLeavesEverything) {
  TScriptedUnit unit(Band10Script(test::SampleRecords(95)));
  TSessionRig rig(unit.DevicePath(), 10);
  TFormMain& w = rig.W();
  const std::vector<std::string> files = test::SampleFiles(rig.fixture, "m", 1, 10, 21);
  test::OpenThroughMenu(rig.fixture, files[0]);
  const QString title = w.windowTitle();
  ASSERT_NE(title, QStringLiteral("Do-Z v1.1"));
  w.DataSaved = 0;
  const TRawData before = w.MeasData;
  rig.recorder->writes.clear();
  rig.Prompter().Clear();

  rig.Prompter().boxAnswers.push_back(TBoxResult::No);
  rig.Click();
  test::ExpectBoxes(rig.Prompter(),
                    {QStringLiteral("測定データを保存していません。破棄して新しい測定を開始しますか？")},
                    TBoxStyle::Question);
  EXPECT_EQ(w.windowTitle(), title);
  EXPECT_EQ(w.MeasData.Data, before.Data);
  EXPECT_EQ(w.MeasData.Present, 1);
  EXPECT_TRUE(rig.recorder->writes.empty());
  EXPECT_TRUE(unit.Commands().empty()) << "the unit is not asked";
  test::ExpectIdleControls(w);

  rig.Prompter().boxAnswers.push_back(TBoxResult::Yes);
  rig.Click();
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Do-Z v1.1"));
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.fixture.Panel(1), kFinished);
}

// While a sweep runs a resize redraws the points received so far; with one
// point in it only clears the graph.
TEST(Session, ResizeDuringASweepRedrawsThePointsReceived) {
  TUnitScript script = Band10Script(test::SampleRecords(200), "");  // then silence
  TScriptedUnit unit(script);
  TSessionRig rig(unit.DevicePath(), 1);
  TFormMain& w = rig.W();
  rig.Click();
  ASSERT_TRUE(rig.RunToPoint(1));
  w.resize(800, 600);
  EXPECT_EQ(test::CountColor(w, w.SettingRec.PenColor_R), 0);

  ASSERT_TRUE(rig.RunToPoint(200));
  w.resize(820, 600);
  const QImage& image = w.Graph->Bitmap();
  const QColor blue = ColorFromRef(w.SettingRec.PenColor_R);
  int rightmost = -1;
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y)
      if (image.pixelColor(x, y) == blue) rightmost = x;
  EXPECT_GT(rightmost, 10);
  EXPECT_LT(rightmost, image.width() / 2);  // 199 points of 556 lie left of 1 kHz
  rig.Click();  // stop
}

TEST(Session, OnlyASecondPointOutsideTheScaleWidensIt) {
  std::vector<std::string> records = test::SampleRecords(95);
  records[0] = test::SamplePoint(0, 150000, 0);
  records[1] = test::SamplePoint(1, 150000, 0);
  records[2] = test::SamplePoint(2, 500, 8500);
  TScriptedUnit unit(Band10Script(records));
  TSessionRig rig(unit.DevicePath(), 10);
  TFormMain& w = rig.W();
  rig.Click();
  ASSERT_TRUE(rig.RunToPoint(1));
  EXPECT_EQ(w.GraphRange.MaxR, 100000.0) << "the first point draws nothing and keeps the scale";
  const int pixelsAfterFirst = test::CountColor(w, w.SettingRec.PenColor_R);
  EXPECT_EQ(pixelsAfterFirst, 0);
  ASSERT_TRUE(rig.RunToPoint(2));
  EXPECT_EQ(w.GraphRange.MaxR, 150000.0);
  EXPECT_EQ(w.GraphRange.MinR, 1000.0);
  EXPECT_GT(test::CountColor(w, w.SettingRec.PenColor_R), 0) << "redrawn with the curve so far";
  ASSERT_TRUE(rig.RunToPoint(3));
  EXPECT_EQ(w.GraphRange.MinR, 500.0);
  EXPECT_EQ(w.GraphRange.MaxR, 150000.0);
  EXPECT_EQ(w.GraphRange.MaxTheta, 90.0) << "phase limits never change during a sweep";
  EXPECT_EQ(w.GraphRange.MinTheta, -90.0);
  ASSERT_TRUE(rig.RunToEnd());
}

TEST(Session, WatchdogEndsASilentSweepAndFinishesItsPoints) {
  TScriptedUnit unit(Band10Script(test::SampleRecords(10), ""));
  TSessionRig rig(unit.DevicePath(), 10);
  TFormMain& w = rig.W();
  w.Timer1Timer();  // a tick outside a sweep
  EXPECT_EQ(w.Session.fNoData(), 1);
  rig.Click();
  EXPECT_EQ(w.Session.fNoData(), 0) << "the start clears it";
  ASSERT_TRUE(rig.RunToPoint(10));
  rig.fixture.Idle();
  EXPECT_TRUE(w.Session.fReceiving()) << "silence alone ends nothing before the watchdog";
  EXPECT_GT(w.Session.Timer1().RemainingMs(), 59000) << "restarted by the last bytes";
  w.mStartWatchdog(50);  // the minute, shortened
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_FALSE(w.Session.Timer1().Enabled());
  EXPECT_EQ(unit.Count("ME"), 2) << "the release";
  const std::vector<QString> unitPanel = rig.Texts();
  EXPECT_EQ(unitPanel.back(), kReceiveError);
  EXPECT_EQ(rig.fixture.Panel(1), kFinished);
  EXPECT_EQ(w.MeasData.Present, 1);
  EXPECT_EQ(w.DataSaved, 0);
  for (int k = 0; k < 10; ++k) EXPECT_EQ(Slot(w, k), test::SampleRecords(10)[k]);
  for (int k = 10; k < 95; ++k) EXPECT_EQ(Slot(w, k), std::string(RECORD_LEN, '0')) << k;
  test::ExpectIdleControls(w);
}

// The finished sweep's read-out: its first frequency to that of point n
// (from 1).
QString ReadoutToPoint(const TFormMain& w, int n) {
  const int first = BandFirstIndex(w.MeasData.Band);
  return QString::fromStdString("周波数：" + FormatFrequencyText(w.MeasData.Data[first].data()) + "..." +
                                FormatFrequencyText(w.MeasData.Data[first + n - 1].data()));
}

struct TStreamFault {
  std::string fault;
  int points;
  bool finished;
};

TEST(Session, StreamFaultsEndWithAReceiveErrorAndKeepThePoints) {
  const TStreamFault cases[] = {
      {"end-mark=NG", 95, true},
      {"cr-in-point=6", 5, true},
      {"cr-in-point=1", 0, false},
  };
  for (const TStreamFault& c : cases) {
    SCOPED_TRACE(c.fault);
    const test::TRecordedSweep sent = test::RecordSimulatedSweep({"--fault", c.fault}, 10, false);
    const auto sim = Sim({"--fault", c.fault});
    TSessionRig rig(sim->DevicePath(), 10);
    TFormMain& w = rig.W();
    rig.Click();
    ASSERT_TRUE(rig.RunToEnd());
    EXPECT_EQ(rig.Texts().back(), kReceiveError);
    EXPECT_EQ(w.Session.Sweep().PointCount, c.points);
    EXPECT_EQ(w.MeasData.Present, c.finished ? 1 : 0);
    EXPECT_EQ(rig.fixture.Panel(1), c.finished ? kFinished : kMeasuring);
    for (int n = 0; n < c.points; ++n) EXPECT_EQ(Slot(w, n), sent.records[n]) << n;
    if (c.finished) {
      EXPECT_EQ(rig.fixture.Panel(2), ReadoutToPoint(w, c.points));
    }
    if (c.points < 95) {
      // The broken record keeps its first ten characters; the file stays readable.
      EXPECT_EQ(Slot(w, c.points), sent.records[c.points].substr(0, 10) + std::string(10, '0'));
    }
    test::ExpectIdleControls(w);
    EXPECT_TRUE(rig.Prompter().Records().empty());
  }
}

// A unit or adapter that vanishes ends the sweep at once with the receive
// error, and the points so far are finished: no minute on "測定中です".
TEST(Session, AUnitThatVanishesEndsTheSweepAtOnce) {
  const auto sim = Sim({"--fault", "hangup-after=5"});
  TSessionRig rig(sim->DevicePath(), 1);
  TFormMain& w = rig.W();
  rig.Click();
  ASSERT_TRUE(rig.RunToPoint(5));
  QElapsedTimer ended;
  ended.start();
  ASSERT_TRUE(rig.RunToEnd(5000));
  EXPECT_LT(ended.elapsed(), 5000) << "not the watchdog's minute";
  EXPECT_EQ(rig.Texts().back(), kReceiveError);
  EXPECT_EQ(rig.fixture.Panel(1), kFinished);
  EXPECT_EQ(w.MeasData.Present, 1);
  EXPECT_EQ(w.Session.Sweep().PointCount, 5);
  EXPECT_EQ(rig.fixture.Panel(2), ReadoutToPoint(w, 5)) << "not to the empty slots after it";
  EXPECT_FALSE(w.SerialPort->Connected());
  test::ExpectIdleControls(w);
}

// The DateTime line is the only one allowed to differ: each sweep stamps its
// own start.
std::string WithoutDateTime(const std::string& bytes) {
  const std::size_t at = bytes.find("DateTime:");
  if (at == std::string::npos) return bytes;
  return bytes.substr(0, at) + bytes.substr(bytes.find("\r\n", at));
}

TEST(Session, CommandLineSweepWritesTheFileTheWindowSaves) {
  test::TTempDir dir;
  const auto cliSim = Sim({"--seed", "13", "--unit-serial", "S/13"});
  std::ostringstream out, err;
  cli::TMeasureEnv env;
  env.appDir = dir.Path();
  ASSERT_EQ(cli::RunMeasureWith(
                {"--port", cliSim->DevicePath(), "--band", "10", "-o", dir.File("cli.DTA")}, out,
                err, env),
            0)
      << err.str();

  const auto sim = Sim({"--seed", "13", "--unit-serial", "S/13"});
  TSessionRig rig(sim->DevicePath(), 10);
  rig.Click();
  ASSERT_TRUE(rig.RunToEnd());
  rig.Prompter().saveAnswers.push_back(QString::fromStdString(dir.File("window.DTA")));
  rig.W().MenuFile_SaveClick();
  EXPECT_EQ(rig.W().DataSaved, 1);
  EXPECT_EQ(rig.W().windowTitle().toStdString(), "Do-Z v1.1 / " + dir.File("window.DTA"));

  const std::string window = test::ReadBytes(dir.File("window.DTA"));
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(WithoutDateTime(test::ReadBytes(dir.File("cli.DTA"))), WithoutDateTime(window));
}

}  // namespace
}  // namespace doz
