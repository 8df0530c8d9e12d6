#include "Qo_status.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "Status_panels.h"

namespace doz {
namespace {

// Panels whose text widths the test decides; every write is recorded.
class TFakePanels : public TStatusPanels {
 public:
  explicit TFakePanels(int count) : texts(count, QStringLiteral("old")), widths(count, 50) {}

  int PanelCount() const override { return static_cast<int>(texts.size()); }
  void SetPanelText(int panel, const QString& text) override {
    ++writes;
    texts.at(panel) = text;
  }
  void SetPanelWidth(int panel, int width) override {
    ++writes;
    widths.at(panel) = width;
  }
  int TextWidth(const QString& text) const override {
    const auto it = measured.find(text);
    return it != measured.end() ? it->second : 8 * static_cast<int>(text.size());
  }

  std::vector<QString> texts;
  std::vector<int> widths;
  std::map<QString, int> measured;
  int writes = 0;
};

// "%N" in a text stands for the unit's name.
struct TStatusCase {
  const char* operation;
  std::function<void(TQo_Status&)> call;
  int panel;
  QString text;
};

std::vector<TStatusCase> StatusCases() {
  return {
      {"ShowUnitInfo",
       [](TQo_Status& s) { s.ShowUnitInfo(QStringLiteral("Du-D2"), QStringLiteral("1234"),
                                          QStringLiteral("1.00")); },
       0, QStringLiteral("Du-D2/ SN=1234/ 1.00")},
      {"ShowUnitNotFound", [](TQo_Status& s) { s.ShowUnitNotFound(); }, 0,
       QStringLiteral("%N が見つかりませんでした")},
      {"ShowModelNotFound", [](TQo_Status& s) { s.ShowModelNotFound(); }, 0,
       QStringLiteral("Ru-Z, Du-D2 が見つかりませんでした")},
      {"ShowPortOpenError", [](TQo_Status& s) { s.ShowPortOpenError(); }, 0,
       QStringLiteral("通信ポートが開けません")},
      {"ShowReceiveError", [](TQo_Status& s) { s.ShowReceiveError(); }, 0,
       QStringLiteral("データ受信エラーです")},
      {"ShowCommandSendError", [](TQo_Status& s) { s.ShowCommandSendError(); }, 1,
       QStringLiteral("コマンド送信エラーです")},
      {"ShowResponseError", [](TQo_Status& s) { s.ShowResponseError(); }, 1,
       QStringLiteral("%N 応答エラーです")},
      {"ShowNotCalibrated", [](TQo_Status& s) { s.ShowNotCalibrated(); }, 1,
       QStringLiteral("%N 未校正です")},
      {"ShowMeasuring", [](TQo_Status& s) { s.ShowMeasuring(); }, 1,
       QStringLiteral("測定中です")},
      {"ShowReceiving", [](TQo_Status& s) { s.ShowReceiving(); }, 1,
       QStringLiteral("データ受信中です")},
      {"ShowCalculating", [](TQo_Status& s) { s.ShowCalculating(); }, 1,
       QStringLiteral("計算中です")},
      {"ShowMeasureFinished", [](TQo_Status& s) { s.ShowMeasureFinished(); }, 1,
       QStringLiteral("測定終了しました")},
      {"ShowCalcError", [](TQo_Status& s) { s.ShowCalcError(); }, 1,
       QStringLiteral("データエラーで計算できませんでした")},
      {"ShowMeasureStopped", [](TQo_Status& s) { s.ShowMeasureStopped(); }, 1,
       QStringLiteral("測定中止しました")},
      {"ShowStartError", [](TQo_Status& s) { s.ShowStartError(); }, 1,
       QStringLiteral("測定開始できませんでした")},
      {"ShowSaveError", [](TQo_Status& s) { s.ShowSaveError(); }, 1,
       QStringLiteral("データ保存できませんでした")},
      {"ShowExportDone", [](TQo_Status& s) { s.ShowExportDone(); }, 1,
       QStringLiteral("データ書き出し完了")},
  };
}

TEST(QoStatus, EveryFixedTextGoesToItsPanelOnly) {
  for (const QString& name : {QStringLiteral("Do-Z"), QStringLiteral("Ru-Z")}) {
    for (const TStatusCase& c : StatusCases()) {
      SCOPED_TRACE(c.operation + (" for " + name.toStdString()));
      TFakePanels panels(3);
      TQo_Status status(panels, name, 2);
      c.call(status);
      const QString text = QString(c.text).replace(QStringLiteral("%N"), name);
      for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(panels.texts[p], p == c.panel ? text : QStringLiteral("old")) << p;
        EXPECT_EQ(panels.widths[p], p == c.panel ? StatusPanelWidth(panels.TextWidth(text)) : 50);
      }
    }
  }
}

TEST(QoStatus, PanelWidthFollowsTheMeasuredText) {
  const std::pair<int, int> cases[] = {{0, 110}, {1, 110},   {99, 110},  {100, 110},
                                       {101, 121}, {102, 122}, {500, 520}};
  for (const auto& [measured, expected] : cases) {
    SCOPED_TRACE(measured);
    EXPECT_EQ(StatusPanelWidth(measured), expected);
    TFakePanels panels(3);
    panels.measured[QStringLiteral("probe")] = measured;
    TQo_Status status(panels, QStringLiteral("Do-Z"), 2);
    status.SetPanelText(QStringLiteral("probe"), 2);
    EXPECT_EQ(panels.texts[2], QStringLiteral("probe"));
    EXPECT_EQ(panels.widths[2], expected);
  }
}

TEST(QoStatus, ClearPanelLeavesAnEmptyPanelOf110) {
  TFakePanels panels(3);
  panels.measured[QString()] = 0;
  TQo_Status status(panels, QStringLiteral("Do-Z"), 2);
  status.SetPanelText(QString(300, u'x'), 1);
  ASSERT_GT(panels.widths[1], 110);
  status.ClearPanel(1);
  EXPECT_TRUE(panels.texts[1].isEmpty());
  EXPECT_EQ(panels.widths[1], 110);
  EXPECT_EQ(panels.texts[2], QStringLiteral("old"));
}

TEST(QoStatus, PanelsOutsideTheAllowedRangeAreIgnored) {
  struct TCase {
    int panels;
    int lastPanel;
    int target;
  };
  const TCase cases[] = {{3, 2, 3}, {3, 2, 100}, {3, 2, -1}, {3, 0, 1}, {2, 5, 2}, {0, 2, 0}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.panels << " panels, last " << c.lastPanel
                                    << ", target " << c.target);
    TFakePanels panels(c.panels);
    TQo_Status status(panels, QStringLiteral("Do-Z"), c.lastPanel);
    status.SetPanelText(QStringLiteral("x"), c.target);
    status.ClearPanel(c.target);
    EXPECT_EQ(panels.writes, 0);
  }
  TFakePanels panels(3);
  TQo_Status unitOnly(panels, QStringLiteral("Do-Z"), 0);
  unitOnly.ShowMeasuring();
  EXPECT_EQ(panels.writes, 0);
  unitOnly.ShowPortOpenError();
  EXPECT_EQ(panels.texts[0], QStringLiteral("通信ポートが開けません"));
}

}  // namespace
}  // namespace doz
