// The real doz on a private X server, measuring from the simulated unit:
// what the screen shows while a sweep runs and after it. Offscreen widget
// tests cannot see what the window system does with a repaint; this looks.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "Results_store.h"
#include "Screen_rig.h"
#include "Synthetic_sweep.h"
#include "Xvfb_display.h"

namespace doz::test {
namespace {

const TXvfbDisplay* gDisplay = nullptr;

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr int kWaitMs = 15000;

QImage Grab(const TScreenRig& rig) {
  return QGuiApplication::primaryScreen()->grabWindow(rig.WindowId()).toImage();
}

// Grabs until `done` holds for the curve pixels in the graph, or the time is up.
bool GrabUntil(const TScreenRig& rig,
               const std::function<bool(const TCurvePixels& r, const TCurvePixels& theta, int width)>& done,
               QImage& shot) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  do {
    shot = Grab(rig);
    const QRect area = GraphArea(shot);
    if (area.width() > 0 &&
        done(CurvePixels(shot, area, kBlue), CurvePixels(shot, area, kRed), area.width()))
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

class ScreenTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (!gDisplay || gDisplay->Name().empty() || !OnPath("xdotool"))
      GTEST_SKIP() << "needs Xvfb and xdotool (scripts/setup-deps installs them)";
  }
};

// A unit that stops after 100 of band 1's 556 points, silent or hung up:
// those points are on the screen, and the curve ends where they end.
TEST_P(ScreenTest, PointsOfARunningSweepReachTheScreen) {
  TScreenRig rig(gDisplay->Name(), {"--fast", "--fault", GetParam()});
  ASSERT_TRUE(rig.Ready());
  rig.StartSweep();
  QImage shot;
  const bool drawn = GrabUntil(rig,
      [](const TCurvePixels& r, const TCurvePixels& theta, int) {
        return r.count >= 60 && theta.count >= 60;
      },
      shot);
  ASSERT_TRUE(drawn) << "unit heard:\n" << rig.Trace();
  const QRect area = GraphArea(shot);
  EXPECT_LT(CurvePixels(shot, area, kBlue).rightmost, area.width() / 3) << "only the first points";
  EXPECT_GT(CurvePixels(shot, area, kBlue).rightmost, area.width() / 8);
}

INSTANTIATE_TEST_SUITE_P(Faults, ScreenTest,
                         ::testing::Values("silent-after=100", "hangup-after=100"));

TEST_F(ScreenTest, FinishedSweepShowsTheWholeCurve) {
  TScreenRig rig(gDisplay->Name(), {"--fast"});
  ASSERT_TRUE(rig.Ready());
  rig.StartSweep();
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (rig.ReleaseTime() == 0.0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_GT(rig.ReleaseTime(), 0.0) << "the sweep ended and the port was released:\n" << rig.Trace();
  QImage shot;
  const bool drawn = GrabUntil(rig,
      [](const TCurvePixels& r, const TCurvePixels& theta, int width) {
        return r.rightmost >= width - 3 && theta.rightmost >= width - 3 && r.count > width;
      },
      shot);
  EXPECT_TRUE(drawn) << "unit heard:\n" << rig.Trace();
}

// A coil measured to the end, then its series inductance in the analysis
// window: the curve in the measured colour, up to the resonance near 5 kHz
// (about two thirds across the band) and no farther, where Ls has no value.
TEST_F(ScreenTest, AnalysisWindowShowsTheLsGraphWithItsGap) {
  TScreenRig rig(gDisplay->Name(), {"--fast", "--circuit", "coil:R=6800,L=2.5,C=400p"});
  ASSERT_TRUE(rig.Ready());
  rig.StartSweep();
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (rig.ReleaseTime() == 0.0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_GT(rig.ReleaseTime(), 0.0) << rig.Trace();
  const unsigned long window = rig.ShowQuantityGraph("l");
  ASSERT_NE(window, 0u) << "the analysis window did not appear";
  TCurvePixels curve;
  QRect area;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  do {
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
    area = GraphArea(shot);
    curve = area.width() > 0 ? CurvePixels(shot, area, kBlue) : TCurvePixels{};
    if (curve.count > area.width() / 2) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < until);
  EXPECT_GT(curve.count, area.width() / 2) << "no Ls curve in the analysis window's graph";
  EXPECT_GT(curve.rightmost, area.width() / 2);
  EXPECT_LT(curve.rightmost, area.width() * 3 / 4) << "no gap above the resonance";
}

// Dark pixels in the right end of the window's status bar, where the note of
// lead compensation stands.
int NotePixels(const QImage& shot) {
  int dark = 0;
  for (int y = shot.height() - 18; y < shot.height() - 2; ++y)
    for (int x = shot.width() - 160; x < shot.width() - 2; ++x)
      dark += qGray(shot.pixel(x, y)) < 100 ? 1 : 0;
  return dark;
}

// A coil measured through leads, then 補正を使う with the leads' open sweep
// in the program's folder: the status bar says 補正あり.
TEST_F(ScreenTest, CompensationIsSaidInTheStatusBar) {
  TScreenRig rig(gDisplay->Name(), {"--fast", "--circuit", "coil:R=6800,L=2.5,C=400p", "--leads",
                                    "C=50p"});
  ASSERT_TRUE(rig.Ready());
  ASSERT_TRUE(WriteSyntheticFile(rig.File("open.DTA"), Circuit("rc:R=1G,C=50p"), 1));
  rig.StartSweep();
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (rig.ReleaseTime() == 0.0 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_GT(rig.ReleaseTime(), 0.0) << rig.Trace();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(NotePixels(Grab(rig)), 0);
  rig.UseCompensation();
  int dark = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while ((dark = NotePixels(Grab(rig))) < 20 && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_GE(dark, 20) << "no 補正あり at the status bar's right end";
}

// The rows of the station's store once `count` are there, or what is there
// when the time is up.
std::vector<results::TResultRow> StoreRowsOnce(const std::string& location, std::size_t count) {
  results::TStoreOptions options;
  options.CreateFile = false;  // the program makes it
  std::vector<results::TResultRow> rows;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  do {
    results::TResultsStore(location, options).Rows({}, rows);
    if (rows.size() >= count) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < end);
  return rows;
}

// The station without a mouse: the criteria typed and loaded with Enter, a
// serial number "scanned" with its Enter, the large 合格 on the screen and
// the row in the store; the same number again, and Enter on the question
// measures it once more.
TEST_F(ScreenTest, TheStationRunsFromTheKeyboardAlone) {
  TScreenRig rig(gDisplay->Name(), {"--fast", "--circuit", "coil:R=6800,L=2.5,C=400p"});
  ASSERT_TRUE(rig.Ready());
  WriteBytes(rig.File("coil.dozcheck"),
             "name: coil-A\nmodel: coil\nlimit: L=2.4..2.6\nresonance: peak 4.5k..5.5k\nband: 7\n");
  const unsigned long window = rig.OpenStation();
  ASSERT_NE(window, 0u) << "the station window did not appear";
  rig.Keys("alt+c");
  rig.Type(rig.File("coil.dozcheck"));
  rig.Keys("Return");
  rig.Type("SN-100");
  rig.Keys("Return");
  const std::string store = rig.File("results.sqlite");
  ASSERT_EQ(StoreRowsOnce(store, 1).size(), 1u) << "unit heard:\n" << rig.Trace();
  int green = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  do {
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
    green = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) green += shot.pixel(x, y) == qRgb(0, 160, 64);
  } while (green < 5000 && std::chrono::steady_clock::now() < end);
  EXPECT_GE(green, 5000) << "the large 合格 on its green";

  rig.Type("SN-100");
  rig.Keys("Return");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  rig.Keys("Return");  // Yes, the default answer of the question
  const std::vector<results::TResultRow> rows = StoreRowsOnce(store, 2);
  ASSERT_EQ(rows.size(), 2u);
  for (const results::TResultRow& row : rows) {
    EXPECT_EQ(row.Serial, "SN-100");
    EXPECT_EQ(row.Verdict, results::TVerdict::Pass);
  }
}

}  // namespace
}  // namespace doz::test

// The X server comes first: the test program grabs the screen through Qt,
// which connects to the display when the application object is made.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  doz::test::TXvfbDisplay display;
  doz::test::gDisplay = &display;
  if (display.Name().empty()) return RUN_ALL_TESTS();
  qputenv("DISPLAY", display.Name().c_str());
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
