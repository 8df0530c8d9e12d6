// What the main window shows and where: the layout after a size change, the
// status bar's relayout pass, the menu tree, the axis labels and their
// colours, and the controls a sweep greys out.
#include <QAbstractItemView>
#include <QComboBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <set>

#include "Paint_box.h"
#include "Status_bar.h"
#include "Window_steps.h"

namespace doz::test {
namespace {

struct TSizeCase {
  int width;
  int height;
};

class ResizeLayoutTest : public ::testing::TestWithParam<TSizeCase> {};

TEST_P(ResizeLayoutTest, ControlsFollowTheWindowSize) {
  const TSizeCase c = GetParam();
  TMainFixture f;
  TFormMain& w = f.Shown();
  w.resize(c.width, c.height);

  ASSERT_EQ(w.width(), c.width);
  ASSERT_EQ(w.height(), c.height);
  const int client = w.Client->height();
  EXPECT_EQ(client, c.height - w.menuBar()->height());
  EXPECT_EQ(w.PaintBox1->geometry(), QRect(64, 24, c.width - 140, client - 120));
  EXPECT_EQ(w.MStartBtn->pos(), QPoint(64, client - 60));
  EXPECT_EQ(w.QuitBtn->y(), w.MStartBtn->y());
  EXPECT_EQ(w.QuitBtn->x() + w.QuitBtn->width(), w.PaintBox1->x() + w.PaintBox1->width());
  EXPECT_EQ(w.ComboBox2->pos(), QPoint(64 + w.MStartBtn->width() + 20, client - 58));
  EXPECT_EQ(w.Graph->Bitmap().size(), QSize(c.width - 142, client - 122));
  EXPECT_EQ(w.WindowPos, (TWindowPos{w.y(), w.x(), c.width, c.height}));

  EXPECT_EQ(w.fRelayoutPending, 1);
  f.Idle();
  EXPECT_EQ(w.fRelayoutPending, 0);
  EXPECT_EQ(w.StatusBar1->geometry(), QRect(0, client - 20, w.Client->width(), 20));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResizeLayoutTest,
                         ::testing::Values(TSizeCase{640, 480}, TSizeCase{1280, 1024},
                                           TSizeCase{913, 707}));

TEST(DisplayTest, SmallestWindowHasAPaintBox500Wide) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  w.resize(100, 100);
  EXPECT_EQ(w.size(), QSize(640, 480));
  EXPECT_EQ(w.PaintBox1->width(), 500);
  w.resize(4000, 4000);
  EXPECT_EQ(w.size(), QSize(1280, 1024));
  EXPECT_EQ(w.PaintBox1->width(), 1140);
}

TEST(DisplayTest, GeometryBeingAppliedIsNotRecorded) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  const TWindowPos before = w.WindowPos;
  w.fApplyingGeometry = 1;
  w.resize(700, 520);
  EXPECT_EQ(w.PaintBox1->width(), 560);  // the layout itself still follows
  EXPECT_EQ(w.WindowPos, before);
  w.fApplyingGeometry = 0;
  w.resize(720, 530);
  EXPECT_EQ(w.WindowPos.width, 720);
  EXPECT_EQ(w.WindowPos.height, 530);
}

TEST(DisplayTest, ResizeRedrawsWhatTheWindowHolds) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  const std::vector<std::string> refs = SampleFiles(f, "ref", 1, 1, 30);
  LoadReferencesThroughMenu(f, refs);
  w.resize(800, 600);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 0);
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R), 0);

  HoldUnsavedMeasurement(w);
  w.resize(820, 610);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 0);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R), 0);

  w.MenuRef_CloseClick();
  w.MeasData.Present = 0;
  w.resize(840, 620);
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R), 0);
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 0);
}

struct TMenuCase {
  const char* title;
  std::vector<const char*> items;  // "-" for a separator
};

QStringList ItemTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* a : menu->actions()) texts << (a->isSeparator() ? "-" : a->text());
  return texts;
}

QStringList Texts(const std::vector<const char*>& items) {
  QStringList texts;
  for (const char* item : items) texts << QString::fromUtf8(item);
  return texts;
}

TEST(DisplayTest, MenuTreeHoldsEveryItemInOrder) {
  TMainFixture f;
  TFormMain& w = f.Window();
  const std::vector<TMenuCase> menus = {
      {"ファイル(&F)",
       {"開く(&O)", "保存する(&S)", "-", "閉じる", "-", "データをテキスト出力(&T)", "-",
        "印刷設定", "グラフ印刷(&P)", "-", "終了(&X)"}},
      {"測定(&M)", {"開始(&S)"}},
      {"グラフ(&G)", {"抵抗値のみ表示", "測定値は太線で描画", "平均処理", "-", "対数グラフを使う"}},
      {"参照データ(&R)", {"読込み", "-", "クリア"}},
      {"解析(&A)",
       {"解析ウィンドウ(&W)", "-", "オープン補正を測定", "ショート補正を測定", "補正を使う", "補正を解除"}},
      {"検査(&T)", {"検査モード…"}},
      {"設定", {"COMポート", "グラフの線色", "-", "測定時平均処理"}},
      {"ヘルプ(&H)", {"バージョン(&V)"}}};
  const QList<QAction*> bar = w.menuBar()->actions();
  ASSERT_EQ(bar.size(), static_cast<qsizetype>(menus.size()));
  for (std::size_t i = 0; i < menus.size(); ++i) {
    EXPECT_EQ(bar[i]->text(), QString::fromUtf8(menus[i].title));
    ASSERT_NE(bar[i]->menu(), nullptr);
    EXPECT_EQ(ItemTexts(bar[i]->menu()), Texts(menus[i].items)) << menus[i].title;
  }
  const std::vector<std::pair<QMenu*, QAction*>> named = {
      {w.MenuFile, w.MenuFile_Open},           {w.MenuMeasure, w.MenuMeasure_Start},
      {w.MenuGraph, w.MenuGraph_R_only},       {w.MenuRef, w.MenuRef_Open},
      {w.MenuAnalysis, w.MenuAnalysis_Window}, {w.MenuStation, w.MenuStation_Mode},
      {w.MenuSet, w.MenuSet_COM},
      {w.MenuHelp, w.MenuHelp_Version}};
  for (std::size_t i = 0; i < named.size(); ++i) {
    EXPECT_EQ(bar[i]->menu(), named[i].first);
    EXPECT_EQ(named[i].first->actions().front(), named[i].second);
  }
  EXPECT_EQ(w.MenuFile->actions().back(), w.MenuFile_Quit);
  EXPECT_EQ(w.MenuGraph->actions().back(), w.MenuGraph_Log);
  EXPECT_EQ(w.MenuSet->actions().back(), w.Menu_Set_aveM);
}

// A click on a check item inverts its mark exactly once.
TEST(DisplayTest, CheckItemsInvertOncePerClick) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  for (QAction* item : {w.MenuGraph_R_only, w.MenuGraph_Wide, w.MenuGraph_Ave, w.MenuGraph_Log,
                        w.Menu_Set_aveM}) {
    const bool before = item->isChecked();
    item->trigger();
    EXPECT_EQ(item->isChecked(), !before) << item->text().toStdString();
    item->trigger();
    EXPECT_EQ(item->isChecked(), before) << item->text().toStdString();
  }
  int checkable = 0;
  for (QMenu* menu : TopMenus(w))
    for (const QAction* a : menu->actions()) checkable += a->isCheckable();
  EXPECT_EQ(checkable, 6);  // with 補正を使う, which asks for compensation data first
}

TEST(DisplayTest, ControlsStartWhereTheFormPutsThem) {
  TMainFixture f;
  TFormMain& w = f.Window();
  EXPECT_EQ(w.MStartBtn->text(), "測定開始");
  EXPECT_EQ(w.QuitBtn->text(), "終了");
  EXPECT_EQ(w.MStartBtn->size(), QSize(75, 24));
  EXPECT_EQ(w.QuitBtn->size(), QSize(75, 25));
  EXPECT_EQ(w.ComboBox2->count(), 10);
  EXPECT_EQ(w.ComboBox2->itemText(0), "10Hz～100kHz");
  EXPECT_EQ(w.ComboBox2->itemText(6), "1kHz～10kHz");
  EXPECT_EQ(w.ComboBox2->itemText(9), "10Hz～100Hz");
  EXPECT_FALSE(w.ComboBox2->focusPolicy() & Qt::TabFocus);
  EXPECT_EQ(w.StatusBar1->PanelCount(), 3);
  for (int p = 0; p < 3; ++p) EXPECT_EQ(w.StatusBar1->PanelWidth(p), 50);
}

// Measured with the font the box draws in and the text field its style gives.
TEST(DisplayTest, EveryBandLabelFitsTheSelectorsTextField) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  ASSERT_EQ(w.ComboBox2->width(), 105);
  for (int i = 0; i < w.ComboBox2->count(); ++i) {
    QStyleOptionComboBox option;
    option.initFrom(w.ComboBox2);
    option.currentText = w.ComboBox2->itemText(i);
    // The label is drawn one pixel in from either side of the field.
    const QRect field = w.ComboBox2->style()
                            ->subControlRect(QStyle::CC_ComboBox, &option,
                                             QStyle::SC_ComboBoxEditField, w.ComboBox2)
                            .adjusted(1, 0, -1, 0);
    const QFontMetrics metrics = w.ComboBox2->fontMetrics();
    EXPECT_GE(field.width(), metrics.horizontalAdvance(option.currentText))
        << option.currentText.toStdString();
    EXPECT_GE(field.width(), metrics.boundingRect(option.currentText).right() + 1)
        << option.currentText.toStdString();
    EXPECT_GE(w.ComboBox2->view()->minimumWidth(), metrics.horizontalAdvance(option.currentText));
  }
}

TEST(DisplayTest, LabelTableHoldsDistinctLabelsInGroupColours) {
  TMainFixture f;
  TFormMain& w = f.Window();
  std::set<const QLabel*> distinct;
  for (const QLabel* label : w.LabelSlots) {
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->height(), 12);
    distinct.insert(label);
  }
  EXPECT_EQ(distinct.size(), 35u);
  ExpectLabelColours(w, QColor(0, 0, 255), QColor(255, 0, 0));

  w.SettingRec.PenColor_R = 0x0000A000;
  w.SettingRec.PenColor_Theta = 0x00203040;
  w.mSetLabelColors();
  ExpectLabelColours(w, QColor(0, 0xA0, 0), QColor(0x40, 0x30, 0x20));
}

TEST(DisplayTest, SweepGreysOutEverythingButTheStartButton) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  w.mDisableControls();
  ExpectSweepControls(w);
  w.MStartBtn->setEnabled(false);
  w.mEnableControls();
  ExpectIdleControls(w);
}

TEST(DisplayTest, FirstIdlePassShowsTheEmptyGraphWithItsScales) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  EXPECT_EQ(w.PaintBox1->Image(), &w.Graph->Bitmap());
  EXPECT_GT(VisibleLabels(w, 24, 34), 0);
  EXPECT_GT(VisibleLabels(w, 0, 11), 0);
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R), 0);
  EXPECT_EQ(w.Graph->Bitmap().pixelColor(w.Graph->Bitmap().width() / 3, 3), QColor(Qt::white));
}

}  // namespace
}  // namespace doz::test
