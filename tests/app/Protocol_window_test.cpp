// Every way a start can fail, through the main window's start button: the
// status texts in their order, the dialogs, the port left open or closed,
// and what is left of the measurement held before.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "Scripted_unit.h"
#include "Setting.h"
#include "Session_steps.h"
#include "Window_steps.h"

namespace doz {
namespace {

using test::kStartError;
using test::kUnitInfo;
using test::TPanelWrites;
using test::TScriptedUnit;
using test::TSessionRig;
using test::TUnitScript;

const QString kUnitNotFound = QStringLiteral("Do-Z が見つかりませんでした");
const QString kUnitNotFoundBox =
    QStringLiteral("Do-Zユニットが見つかりませんでした。COM番号を確認して下さい。");
const QString kPortBox = QStringLiteral("COMポートが開けませんでした。COM番号を確認して下さい。");
const QString kMismatchBox =
    QStringLiteral("ユニットとアプリケーションのバージョンがミスマッチです");
const QString kResponseError = QStringLiteral("Do-Z 応答エラーです");
const QString kCommandError = QStringLiteral("コマンド送信エラーです");

// What a failed start leaves: the port, and the measurement held before.
enum class TLeft { Closed, ClosedAndCleared, OpenAndCleared };

struct TFailureRow {
  const char* fault;           // of the simulated unit; empty: no unit at all
  TPanelWrites writes;         // after the two cleared panels
  std::vector<QString> boxes;  // error boxes, in order
  TLeft left;
};

const QString kNotCalibrated = QStringLiteral("Do-Z 未校正です");
const QString kModelNotFound = QStringLiteral("Ru-Z, Du-D2 が見つかりませんでした");

// The start error joined to the reason the failed start gave on its panel.
QString AfterReason(const QString& reason) { return reason + " / " + kStartError; }

const TFailureRow kRows[] = {
    {"", {{0, "通信ポートが開けません"}, {1, kStartError}}, {kPortBox}, TLeft::Closed},
    {"mute=?", {{0, kUnitNotFound}, {1, kStartError}}, {kUnitNotFoundBox}, TLeft::Closed},
    {"identity=Do-Y", {{0, kUnitNotFound}, {1, kStartError}}, {kUnitNotFoundBox}, TLeft::Closed},
    {"mute=ME", {{0, kUnitNotFound}, {1, kStartError}}, {kUnitNotFoundBox}, TLeft::Closed},
    {"mute=U?@2", {{1, kResponseError}, {1, AfterReason(kResponseError)}}, {}, TLeft::Closed},
    {"mute=V?", {{1, kResponseError}, {1, AfterReason(kResponseError)}}, {}, TLeft::Closed},
    {"mute=SN?", {{1, kResponseError}, {1, AfterReason(kResponseError)}}, {}, TLeft::Closed},
    {"identity=Do-ZX", {{0, kModelNotFound}, {1, kStartError}}, {}, TLeft::Closed},
    {"uncalibrated", {{1, kNotCalibrated}, {1, AfterReason(kNotCalibrated)}}, {}, TLeft::Closed},
    {"mute=M?", {{1, kNotCalibrated}, {1, AfterReason(kNotCalibrated)}}, {}, TLeft::Closed},
    {"mute=MSn",
     {{0, kUnitInfo}, {1, kCommandError}, {1, AfterReason(kCommandError)}},
     {},
     TLeft::ClosedAndCleared},
    {"mute=Mn",
     {{0, kUnitInfo}, {1, kCommandError}, {1, AfterReason(kCommandError)}},
     {},
     TLeft::ClosedAndCleared},
    {"refuse-start", {{0, kUnitInfo}, {1, kStartError}}, {}, TLeft::OpenAndCleared},
    {"point-count=96", {{0, kUnitInfo}, {1, kStartError}}, {kMismatchBox}, TLeft::OpenAndCleared},
};

// A window holding a saved measurement loaded from a file, COM1 on `device`.
struct TLoadedRig : TSessionRig {
  explicit TLoadedRig(const std::string& device) : TSessionRig(device, 10) {
    path = test::SampleFiles(fixture, "held", 1, 10, 31)[0];
    test::OpenThroughMenu(fixture, path);
    held = W().MeasData;
    title = W().windowTitle();
    recorder->writes.clear();
    Prompter().Clear();
  }
  std::string path;
  TRawData held;
  QString title;
};

TEST(ProtocolWindow, EveryStartFailureShowsItsTextsAndDialogsAndLeavesThePortAsItSays) {
  for (const TFailureRow& row : kRows) {
    const std::string fault = row.fault;
    SCOPED_TRACE(fault.empty() ? "no unit" : fault);
    std::unique_ptr<test::TUnitsimProcess> sim;
    if (!fault.empty()) sim = test::Sim({"--fault", fault});
    TLoadedRig rig(sim ? sim->DevicePath() : std::string());
    TFormMain& w = rig.W();
    if (!sim) w.SettingRec.CommPortNum = 200;  // no such port
    rig.Click();

    TPanelWrites expected = {{1, ""}, {2, ""}};
    expected.insert(expected.end(), row.writes.begin(), row.writes.end());
    EXPECT_EQ(rig.recorder->writes, expected);
    EXPECT_EQ(rig.fixture.Panel(1), row.writes.back().second) << "the reason stays in sight";
    test::ExpectBoxes(rig.Prompter(), row.boxes, TBoxStyle::Error);
    test::ExpectIdleControls(w, row.left == TLeft::OpenAndCleared);
    EXPECT_FALSE(w.Session.Timer1().Enabled());
    if (row.left != TLeft::Closed) {
      EXPECT_EQ(w.MeasData.Present, 0);
      EXPECT_EQ(w.MeasData.Data[0].data(), std::string(RECORD_LEN, '0'));
      EXPECT_EQ(w.windowTitle(), QStringLiteral("Do-Z v1.1"));
      EXPECT_TRUE(w.FileName.empty());
    } else {
      EXPECT_EQ(w.MeasData.Present, 1);
      EXPECT_EQ(w.MeasData.Data, rig.held.Data);
      EXPECT_EQ(w.windowTitle(), rig.title);
    }
  }
}

TEST(ProtocolWindow, WithoutAPortDriverTheStartFailsWithItsOwnTextOnly) {
  TSessionRig rig;
  TFormMain& w = rig.W();
  w.Session.SetLine(nullptr);
  w.SerialPort.reset();
  rig.Click();
  const TPanelWrites expected = {{1, ""}, {2, ""}, {1, kStartError}};
  EXPECT_EQ(rig.recorder->writes, expected);
  EXPECT_TRUE(rig.Prompter().Records().empty());
  EXPECT_EQ(w.MStartBtn->text(), QStringLiteral("測定開始"));
  EXPECT_FALSE(w.Session.fReceiving());
  EXPECT_TRUE(w.close()) << "closing needs no driver either";
}

TEST(ProtocolWindow, ARefusedStartLeavesThePortOpenAndTheNextStartUsesIt) {
  TUnitScript script;
  TScriptedUnit unit([script](const std::string& command, int n) {
    if (command == "MS0" && n == 1) return std::string("NG\r");
    return script.Answer(command, n);
  });
  TSessionRig rig(unit.DevicePath(), 10);
  TFormMain& w = rig.W();
  rig.Click();
  EXPECT_EQ(rig.fixture.Panel(1), kStartError);
  test::ExpectIdleControls(w, true);
  const int handle = w.SerialPort->Handle();
  // The link is gone: only the open port can still reach the unit.
  std::filesystem::remove(rig.fixture.Dir().File("ports/com1"));
  rig.Click();
  EXPECT_EQ(w.SerialPort->Handle(), handle) << "not reopened";
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(rig.fixture.Panel(1), test::kFinished);
  const std::vector<std::string> expected = {"?",  "U?",  "ME", "U?",  "V?", "SN?",
                                             "M?", "MS0", "?",  "U?",  "ME", "U?",
                                             "V?", "SN?", "M?", "MS0", "M9", "ME"};
  ASSERT_TRUE(unit.WaitFor("ME", 3, 1000));
  EXPECT_EQ(unit.Commands(), expected);
}

// The user moves to another unit after the first refused the start: the
// port that refusal left open is closed, and the next start reaches the
// unit on the chosen port.
TEST(ProtocolWindow, APortChosenAfterARefusedStartIsThePortTheNextStartUses) {
  const auto refusing = test::Sim({"--fault", "refuse-start"});
  const auto other = test::Sim({"--unit-serial", "0002"});
  TSessionRig rig(refusing->DevicePath(), 10);
  TFormMain& w = rig.W();
  rig.fixture.LinkComPort(2, other->DevicePath());
  rig.Click();
  ASSERT_TRUE(w.SerialPort->Connected()) << "the refusal leaves COM1 open";
  rig.Prompter().modalActions.push_back([](QDialog& form) {
    auto& setting = static_cast<TFormSetting&>(form);
    setting.ComboBox1->setCurrentIndex(1);
    setting.Button1Click();
    return form.result();
  });
  w.MenuSet_COMClick();
  EXPECT_EQ(w.SettingRec.CommPortNum, 2);
  EXPECT_FALSE(w.SerialPort->Connected());
  rig.Click();
  EXPECT_EQ(w.SerialPort->Port(), 2);
  ASSERT_TRUE(rig.RunToEnd());
  EXPECT_EQ(w.UnitSerial, "0002");
  EXPECT_EQ(rig.fixture.Panel(1), test::kFinished);
  EXPECT_EQ(w.MeasData.Present, 1);
}

TEST(ProtocolWindow, UnitAveragingMenuChoosesTheAveragingCommand) {
  TScriptedUnit unit(TUnitScript{});
  TSessionRig rig(unit.DevicePath(), 3);
  rig.W().Menu_Set_aveMClick();
  ASSERT_TRUE(rig.W().Menu_Set_aveM->isChecked());
  rig.Click();
  ASSERT_TRUE(rig.RunToEnd());
  ASSERT_TRUE(unit.WaitFor("M2", 1, 1000));
  const std::vector<std::string> commands = unit.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "MS1"), 1);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "MS0"), 0);
  EXPECT_EQ(rig.W().MeasData.Band, 3);
}

}  // namespace
}  // namespace doz
