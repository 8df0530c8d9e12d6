// Steps the window's sweep tests share: a record of every status-panel
// write in order, the simulated unit, and a window whose COM1 is a unit.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Main_fixture.h"
#include "Qo_status.h"
#include "Status_bar.h"
#include "Unitsim_process.h"

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
    return fixture.IdleUntil([this] { return !W().Session.fReceiving() && !W().Session.fFinishPending(); }, timeoutMs);
  }
  // Idle passes until n points are in.
  bool RunToPoint(int n, int timeoutMs = 5000) {
    return fixture.IdleUntil([this, n] { return W().Session.Sweep().PointCount >= n; }, timeoutMs);
  }
  std::vector<QString> Texts() const { return recorder->Of(0); }

  TMainFixture fixture;
  std::unique_ptr<TPanelRecorder> recorder;
};

// The simulated unit with these options, paced as a real line or --fast.
inline std::unique_ptr<TUnitsimProcess> Sim(std::vector<std::string> args, bool fast = true) {
  if (fast) args.push_back("--fast");
  auto sim = std::make_unique<TUnitsimProcess>(args);
  EXPECT_TRUE(sim->Started());
  return sim;
}

inline const QString kUnitInfo = QStringLiteral("Do-Z/ SN=0001/ 1.10");
inline const QString kStartError = QStringLiteral("測定開始できませんでした");
inline const QString kReceiveError = QStringLiteral("データ受信エラーです");
inline const QString kFinished = QStringLiteral("測定終了しました");

}  // namespace doz::test
