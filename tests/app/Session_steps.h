// Steps the window's sweep tests share: a record of every status-panel
// write in order, a window whose COM1 is a given unit, and the state of
// the controls and the port after a sweep or a failed start.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Main_fixture.h"
#include "Qo_status.h"
#include "Serialport.h"
#include "Status_bar.h"

namespace doz::test {

using TPanelWrite = std::pair<int, QString>;
using TPanelWrites = std::vector<TPanelWrite>;

// Passes every write on to the window's status bar and keeps a copy.
class TPanelRecorder : public TStatusPanels {
 public:
  explicit TPanelRecorder(TStatusBar& bar) : bar_(bar) {}

  int PanelCount() const override { return bar_.PanelCount(); }
  void SetPanelText(int panel, const QString& text) override {
    writes.emplace_back(panel, text);
    bar_.SetPanelText(panel, text);
  }
  void SetPanelWidth(int panel, int width) override { bar_.SetPanelWidth(panel, width); }
  int TextWidth(const QString& text) const override { return bar_.TextWidth(text); }

  // The writes to one panel, in order.
  std::vector<QString> Of(int panel) const {
    std::vector<QString> texts;
    for (const auto& [p, text] : writes)
      if (p == panel) texts.push_back(text);
    return texts;
  }

  TPanelWrites writes;

 private:
  TStatusBar& bar_;
};

// A window after its first idle pass, its status texts recorded, COM1
// linked to `device` when one is given, and the band chosen.
class TSessionRig {
 public:
  explicit TSessionRig(const std::string& device = {}, int band = 10) {
    fixture.Idle();
    if (!device.empty()) fixture.LinkComPort(1, device);
    W().SettingRec.CommPortNum = 1;
    W().ComboBox2->setCurrentIndex(band - 1);
    recorder = std::make_unique<TPanelRecorder>(*W().StatusBar1);
    W().QoStatus = std::make_unique<TQo_Status>(*recorder, "Do-Z", 2);
  }
  ~TSessionRig() {
    // The status service goes before the recorder it writes to.
    if (fixture.Window().QoStatus) fixture.Window().QoStatus.reset();
  }

  TFormMain& W() { return fixture.Window(); }
  TScriptedPrompter& Prompter() { return fixture.Prompter(); }
  void Click() { W().MStartBtnClick(); }
  // Idle passes until the sweep has ended and been finished.
  bool RunToEnd(int timeoutMs = 10000) {
    return fixture.IdleUntil([this] { return !W().fReceiving && !W().fFinishPending; }, timeoutMs);
  }
  // Idle passes until n points are in.
  bool RunToPoint(int n, int timeoutMs = 5000) {
    return fixture.IdleUntil([this, n] { return W().Sweep.PointCount >= n; }, timeoutMs);
  }
  std::vector<QString> Texts() const { return recorder->Of(0); }

  TMainFixture fixture;
  std::unique_ptr<TPanelRecorder> recorder;
};

inline const QString kUnitInfo = QStringLiteral("Do-Z/ SN=0001/ 1.10");
inline const QString kStartError = QStringLiteral("測定開始できませんでした");
inline const QString kReceiveError = QStringLiteral("データ受信エラーです");
inline const QString kFinished = QStringLiteral("測定終了しました");

// Idle: start caption, every control enabled, no session, the port closed
// unless `portOpen`.
inline void ExpectIdleControls(TFormMain& w, bool portOpen = false) {
  EXPECT_EQ(w.MStartBtn->text(), QStringLiteral("測定開始"));
  EXPECT_TRUE(w.MStartBtn->isEnabled());
  EXPECT_TRUE(w.QuitBtn->isEnabled());
  EXPECT_TRUE(w.ComboBox2->isEnabled());
  for (QMenu* menu : {w.MenuFile, w.MenuMeasure, w.MenuGraph, w.MenuRef, w.MenuSet, w.MenuHelp})
    EXPECT_TRUE(menu->menuAction()->isEnabled()) << menu->title().toStdString();
  EXPECT_FALSE(w.fReceiving);
  EXPECT_FALSE(w.Protocol.fSession);
  EXPECT_EQ(w.Protocol.fComOpen, portOpen);
  EXPECT_EQ(w.SerialPort->Connected(), portOpen);
}

}  // namespace doz::test
