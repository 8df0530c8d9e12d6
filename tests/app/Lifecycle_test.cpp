// The main window from creation to close: its initial state, the five
// services and their failures, the settings file at the first idle pass and
// at close, the geometry rules, the closing questions and an idle window's
// CPU use.
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <sys/resource.h>

#include <cstring>
#include <filesystem>
#include <new>

#include "Doz_file.h"
#include "Qo_message.h"
#include "Window_steps.h"

namespace doz::test {
namespace {

const char* const kServiceOrder[] = {"TQo_Message", "QoStatus", "QoSP_File", "Graph_RTF",
                                     "TSerialPort"};
const QString kSaveWarning = QStringLiteral("初期設定ファイルを保存できませんでした");
const QString kConfirmQuit = QStringLiteral("測定データを保存していません。終了しますか？");

std::vector<std::string> FileLines(const std::string& path) {
  const std::string bytes = ReadBytes(path);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::array<bool, 5> ServicesPresent(const TFormMain& w) {
  return {w.QoMessage != nullptr, w.QoStatus != nullptr, w.DozFile != nullptr,
          w.Graph != nullptr, w.SerialPort != nullptr};
}

TWindowPos Geometry(const TFormMain& w) { return {w.y(), w.x(), w.width(), w.height()}; }

void WriteSettings(const TTempDir& dir, const TSettingData& setting, const TWindowPos& pos) {
  ASSERT_TRUE(TDoZ_File().SaveSetting(dir.File("DoZ_ini.prf"), &setting, pos));
}

void RunEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

double ProcessCpuSeconds() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
         double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) * 1e-6;
}

TEST(LifecycleTest, NewWindowHoldsItsInitialStateUntilTheFirstIdlePass) {
  std::vector<std::string> created;
  std::vector<QString> captions;
  TMainFixture f([&](TMainOptions& o, const TTempDir&) {
    o.beforeCreate = [&](const char* component) {
      created.push_back(component);
      for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<TFormMain*>(top)) captions.push_back(main->windowTitle());
    };
  });
  TFormMain& w = f.Window();

  EXPECT_EQ(created, std::vector<std::string>(std::begin(kServiceOrder), std::end(kServiceOrder)));
  EXPECT_EQ(captions, std::vector<QString>(5, "Do-Z"));
  EXPECT_EQ(w.windowTitle(), "Do-Z v1.1");
  EXPECT_TRUE(w.ServicesCreated());
  EXPECT_EQ(ServicesPresent(w), (std::array<bool, 5>{true, true, true, true, true}));
  EXPECT_FALSE(w.isVisible());

  EXPECT_EQ(w.fFirstIdle, 1);
  EXPECT_FALSE(w.Session.Protocol().fComOpen());
  EXPECT_FALSE(w.Session.Protocol().fSession());
  EXPECT_FALSE(w.Session.fReceiving() || w.Session.fNoData() || w.Session.fFinishPending());
  EXPECT_EQ(w.DataSaved + w.fRelayoutPending + w.fApplyingGeometry, 0);

  EXPECT_FALSE(w.MenuGraph_R_only->isChecked());
  EXPECT_FALSE(w.MenuGraph_Wide->isChecked());
  EXPECT_TRUE(w.MenuGraph_Ave->isChecked());
  EXPECT_FALSE(w.MenuGraph_Log->isChecked());
  EXPECT_FALSE(w.Menu_Set_aveM->isChecked());

  EXPECT_EQ(w.MeasData.Present, 0);
  EXPECT_EQ(w.MeasData.Band, 1);
  ExpectBand(w, 1);
  EXPECT_EQ(w.RefCount, 0);
  for (int k = 0; k < REF_MAX; ++k) {
    EXPECT_EQ(w.RefData[k].Present, 0);
    EXPECT_EQ(w.RefData[k].Band, 1);
    EXPECT_STREQ(w.RefData[k].Data[DATA_MAX - 1].data(), "00000000000000000000");
    EXPECT_EQ(w.GraphRange.PlotRef[k], &w.RefAve[k]);
    EXPECT_TRUE(w.RefFileName[k].empty());
  }
  EXPECT_EQ(w.GraphRange.PlotMeas, &w.MeasAve);
  EXPECT_EQ(w.GraphRange.MaxR, 100000.0);
  EXPECT_EQ(w.GraphRange.MinR, 1000.0);
  EXPECT_TRUE(w.FileName.empty() && w.UnitSerial.empty() && w.UnitVersion.empty());
  EXPECT_EQ(VisibleLabels(w, 0, TFormMain::kLabelCount - 1), 0);
  EXPECT_TRUE(f.Prompter().Records().empty());
}

// The index of the service that fails, in the creation order.
class ServiceFailureTest : public ::testing::TestWithParam<int> {};

TEST_P(ServiceFailureTest, FailedServiceEndsStartUpWithItsFatalBox) {
  const int failing = GetParam();
  const char* const component = kServiceOrder[failing];
  std::vector<std::string> attempted;
  TMainFixture f([&](TMainOptions& o, const TTempDir&) {
    o.beforeCreate = [&](const char* name) {
      attempted.push_back(name);
      if (std::strcmp(name, component) == 0) throw std::bad_alloc();
    };
  });
  TFormMain& w = f.Window();

  EXPECT_FALSE(w.ServicesCreated());
  EXPECT_EQ(attempted, std::vector<std::string>(kServiceOrder, kServiceOrder + failing + 1));
  std::array<bool, 5> expected{};
  for (int i = 0; i < failing; ++i) expected[i] = true;
  EXPECT_EQ(ServicesPresent(w), expected);
  ExpectBoxes(f.Prompter(), {QStringLiteral("致命的なメモリエラーです:") + component},
              TBoxStyle::Error);
  EXPECT_EQ(w.windowTitle(), "Do-Z");
  EXPECT_FALSE(w.isVisible());
}

INSTANTIATE_TEST_SUITE_P(EachService, ServiceFailureTest, ::testing::Range(0, 5));

TEST(LifecycleTest, FirstStartWithoutSettingsWritesThemAtOnce) {
  TMainFixture f;
  TFormMain& w = f.Window();
  const std::string path = f.Dir().File("DoZ_ini.prf");
  ASSERT_FALSE(FileExists(path));

  f.Idle();

  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.fFirstIdle, 0);
  EXPECT_TRUE(f.Prompter().Records().empty());
  EXPECT_EQ(Geometry(w), (TWindowPos{171, 241, 640, 486}));
  const std::vector<std::string> expected = {
      "DoZ_ini", "CommPortNum:1", "faveM:0", "PenColor_R:16711680", "PenColor_Theta:255",
      "PenColor_R_Ref[0]:8421376", "PenColor_Theta_Ref[0]:8388736",
      "PenColor_R_Ref[1]:8421376", "PenColor_Theta_Ref[1]:8388736",
      "PenColor_R_Ref[2]:8421376", "PenColor_Theta_Ref[2]:8388736",
      "PenColor_R_Ref[3]:8421376", "PenColor_Theta_Ref[3]:8388736",
      "PenColor_R_Ref[4]:8421376", "PenColor_Theta_Ref[4]:8388736", "pstr:", "pstr:", "pstr:",
      "top:171", "left:241", "width:640", "height:486", "band:1", "fronly:0", "fwide:0",
      "fave3:1", "flog:0", "END:"};
  EXPECT_EQ(FileLines(path), expected);
}

TEST(LifecycleTest, InvalidSettingsFileIsReplacedByTheDefaults) {
  TSettingData stored;
  stored.PenColor_R = 0x00112233;
  stored.band = 4;
  TMainFixture f([&](TMainOptions&, const TTempDir& dir) {
    WriteSettings(dir, stored, TWindowPos{});
    std::string bytes = ReadBytes(dir.File("DoZ_ini.prf"));
    bytes.replace(bytes.find("band:4"), 6, "band:11");
    WriteBytes(dir.File("DoZ_ini.prf"), bytes);
  });
  f.Idle();

  EXPECT_EQ(f.Window().SettingRec.PenColor_R, 16711680u);
  EXPECT_EQ(f.Window().ComboBox2->currentIndex(), 0);
  const std::vector<std::string> lines = FileLines(f.Dir().File("DoZ_ini.prf"));
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[3], "PenColor_R:16711680");
  EXPECT_EQ(lines[22], "band:1");
  EXPECT_TRUE(f.Prompter().Boxes().empty());
}

TEST(LifecycleTest, SettingsSurviveACloseAndTheNextStart) {
  TSettingData chosen;
  TWindowPos placed{200, 300, 800, 600};
  std::string folder;
  {
    TMainFixture first;
    folder = first.Dir().Path();
    TFormMain& w = first.Shown();
    ChooseBand(w, 5);
    w.MenuGraph_R_onlyClick();
    w.MenuGraph_AveClick();
    w.MenuGraph_LogClick();
    w.Menu_Set_aveMClick();
    w.SettingRec.CommPortNum = 12;
    w.SettingRec.PenColor_R = 0x00336699;
    w.SettingRec.PenColor_Theta = 0x00996633;
    w.SettingRec.PenColor_R_Ref[3] = 0x00010203;
    w.SettingRec.pstr = {"first line", "", "a:b"};
    w.resize(placed.width, placed.height);
    w.move(placed.left, placed.top);
    chosen = w.SettingRec;
    EXPECT_TRUE(w.close());

    TMainFixture second([&](TMainOptions& o, const TTempDir&) { o.appDir = folder; });
    TFormMain& again = second.Shown();

    ExpectBand(again, 5);
    EXPECT_TRUE(again.MenuGraph_R_only->isChecked());
    EXPECT_FALSE(again.MenuGraph_Wide->isChecked());
    EXPECT_FALSE(again.MenuGraph_Ave->isChecked());
    EXPECT_TRUE(again.MenuGraph_Log->isChecked());
    EXPECT_TRUE(again.Menu_Set_aveM->isChecked());
    chosen.band = 5;
    chosen.fronly = 1;
    chosen.fave3 = 0;
    chosen.flog = 1;
    chosen.faveM = 1;
    EXPECT_EQ(again.SettingRec, chosen);
    EXPECT_EQ(Geometry(again), placed);
    EXPECT_EQ(again.WindowPos, placed);
    EXPECT_EQ(LabelColor(again.LabelSlots[0]), ColorFromRef(0x00336699));
    EXPECT_EQ(LabelColor(again.LabelSlots[12]), ColorFromRef(0x00996633));
    EXPECT_TRUE(second.Prompter().Boxes().empty());
  }
}

struct TGeometryCase {
  const char* name;
  QSize screen;
  TWindowPos stored;
  TWindowPos expected;
};

class GeometryRuleTest : public ::testing::TestWithParam<TGeometryCase> {};

TEST_P(GeometryRuleTest, StoredGeometryIsFittedToTheScreen) {
  const TGeometryCase c = GetParam();
  TMainFixture f([&](TMainOptions& o, const TTempDir& dir) {
    o.screenSize = [screen = c.screen] { return screen; };
    WriteSettings(dir, TSettingData{}, c.stored);
  });
  f.Idle();
  EXPECT_EQ(Geometry(f.Window()), c.expected);
  EXPECT_EQ(f.Window().WindowPos, c.expected);
  EXPECT_EQ(f.Window().fApplyingGeometry, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, GeometryRuleTest,
    ::testing::Values(
        TGeometryCase{"fits", {1920, 1080}, {100, 50, 900, 700}, {100, 50, 900, 700}},
        TGeometryCase{"tooWide", {1024, 768}, {100, 50, 1280, 700}, {100, 50, 924, 700}},
        TGeometryCase{"tooHigh", {1024, 600}, {50, 50, 800, 700}, {50, 50, 800, 500}},
        TGeometryCase{"leftBeyond", {1920, 1080}, {200, 2000, 800, 600}, {200, 1120, 800, 600}},
        TGeometryCase{"topBeyond", {1920, 1080}, {1200, 100, 800, 600}, {480, 100, 800, 600}},
        TGeometryCase{"atTheEdge", {1920, 1080}, {1080, 1920, 800, 600}, {1080, 1920, 800, 600}},
        TGeometryCase{"wideAndBeyond", {1024, 768}, {100, 2000, 1280, 700}, {100, 100, 924, 700}}),
    [](const ::testing::TestParamInfo<TGeometryCase>& info) { return info.param.name; });

// A settings path that cannot be a file fails every write, even for root.
TEST(LifecycleTest, UnwritableSettingsWarnAtStartAndAtClose) {
  TMainFixture f([](TMainOptions&, const TTempDir& dir) {
    std::filesystem::create_directory(dir.File("DoZ_ini.prf"));
  });
  TFormMain& w = f.Shown();

  ExpectBoxes(f.Prompter(), {kSaveWarning}, TBoxStyle::Warning);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.SettingRec, TSettingData{});

  EXPECT_TRUE(w.close());
  ExpectBoxes(f.Prompter(), {kSaveWarning, kSaveWarning}, TBoxStyle::Warning);
  EXPECT_FALSE(w.isVisible());
}

int QuestionsAsked(TMainFixture& f) {
  int n = 0;
  for (const TPromptRecord& r : f.Prompter().Boxes()) n += r.style == TBoxStyle::Question;
  return n;
}

TEST(LifecycleTest, CloseBoxAsksBeforeAnUnsavedMeasurementIsLost) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  HoldUnsavedMeasurement(w);
  const std::string settings = f.Dir().File("DoZ_ini.prf");
  std::filesystem::remove(settings);

  f.Prompter().boxAnswers = {TBoxResult::No};
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(FileExists(settings));
  ExpectBoxes(f.Prompter(), {kConfirmQuit}, TBoxStyle::Question);

  f.Prompter().boxAnswers = {TBoxResult::Yes};
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(FileExists(settings));
  EXPECT_EQ(QuestionsAsked(f), 2);
}

enum class THeld { Nothing, Unsaved, Saved };

struct TQuitCase {
  const char* name;
  THeld held;
  std::vector<TBoxResult> answers;
  bool closes;
  int questions;
};

class QuitCommandTest : public ::testing::TestWithParam<TQuitCase> {};

TEST_P(QuitCommandTest, QuitAsksOnceAboutUnsavedDataAndCloses) {
  const TQuitCase c = GetParam();
  for (const bool fromMenu : {false, true}) {
    TMainFixture f;
    TFormMain& w = f.Shown();
    if (c.held != THeld::Nothing) HoldUnsavedMeasurement(w);
    if (c.held == THeld::Saved) w.DataSaved = 1;
    f.Prompter().boxAnswers.assign(c.answers.begin(), c.answers.end());
    if (fromMenu) {
      w.MenuFile_Quit->trigger();
    } else {
      w.QuitBtn->click();
    }
    EXPECT_EQ(w.isVisible(), !c.closes) << (fromMenu ? "menu" : "button");
    EXPECT_EQ(QuestionsAsked(f), c.questions) << (fromMenu ? "menu" : "button");
    EXPECT_EQ(f.Prompter().UnusedAnswers(), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, QuitCommandTest,
    ::testing::Values(TQuitCase{"nothingToLose", THeld::Nothing, {}, true, 0},
                      TQuitCase{"savedMeasurement", THeld::Saved, {}, true, 0},
                      TQuitCase{"unsavedYes", THeld::Unsaved, {TBoxResult::Yes}, true, 1},
                      TQuitCase{"unsavedNo", THeld::Unsaved, {TBoxResult::No}, false, 1}),
    [](const ::testing::TestParamInfo<TQuitCase>& info) { return info.param.name; });

// A busy loop would take the whole core; the real figure is make bench's.
TEST(LifecycleTest, IdleWindowDoesNotSpin) {
  TMainFixture f;
  f.Idle();
  ASSERT_TRUE(f.Window().isVisible());
  RunEventLoop(300);  // first paint and the status bar's relayout
  const double before = ProcessCpuSeconds();
  RunEventLoop(2000);
  const double used = ProcessCpuSeconds() - before;
  EXPECT_LT(used, 0.5) << "CPU seconds in 2 s of idling";
}

}  // namespace
}  // namespace doz::test
