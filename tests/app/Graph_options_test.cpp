// The graph menu's options, the band selector and the cursor read-out, with
// data loaded through the window's own commands.
#include <QComboBox>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

#include "Graph_rig.h"
#include "Paint_box.h"
#include "Point_text.h"
#include "Qo_status.h"
#include "Window_steps.h"

namespace doz::test {
namespace {

// A shown window; OpenMeasurement() opens a band-1 measurement file in it.
class TGraphWindow : public ::testing::Test {
 protected:
  void OpenMeasurement() {
    const std::string path = f.Dir().File("speaker.DTA");
    ASSERT_TRUE(WriteSpeakerFile(path, 1, 11));
    OpenThroughMenu(f, path);
    ASSERT_EQ(w.MeasData.Present, 1);
  }

  TMainFixture f;
  TFormMain& w = f.Shown();
};

class GraphOptionsTest : public TGraphWindow {};

// The read-out of a shown measurement.
class ReadoutTest : public TGraphWindow {
 protected:
  void SetUp() override { OpenMeasurement(); }
};

using THandler = void (TFormMain::*)();

struct TOptionCase {
  const char* name;
  QAction* TFormMain::*item;
  std::uint8_t TSettingData::*flag;
  THandler handler;
};

const TOptionCase kOptions[] = {
    {"fronly", &TFormMain::MenuGraph_R_only, &TSettingData::fronly, &TFormMain::MenuGraph_R_onlyClick},
    {"fwide", &TFormMain::MenuGraph_Wide, &TSettingData::fwide, &TFormMain::MenuGraph_WideClick},
    {"fave3", &TFormMain::MenuGraph_Ave, &TSettingData::fave3, &TFormMain::MenuGraph_AveClick},
    {"flog", &TFormMain::MenuGraph_Log, &TSettingData::flog, &TFormMain::MenuGraph_LogClick}};

class GraphOptionTest : public TGraphWindow,
                        public ::testing::WithParamInterface<TOptionCase> {};

TEST_P(GraphOptionTest, OptionTogglesItsCheckStoresItsFlagAndRedraws) {
  const TOptionCase c = GetParam();
  OpenMeasurement();
  QAction* item = w.*c.item;
  const bool before = item->isChecked();
  const QImage original = w.Graph->Bitmap().copy();

  (w.*c.handler)();
  EXPECT_EQ(item->isChecked(), !before);
  EXPECT_EQ(w.SettingRec.*c.flag, before ? 0 : 1);
  EXPECT_NE(w.Graph->Bitmap(), original);

  (w.*c.handler)();
  EXPECT_EQ(item->isChecked(), before);
  EXPECT_EQ(w.SettingRec.*c.flag, before ? 1 : 0);
  EXPECT_EQ(w.Graph->Bitmap(), original);
}

// With only references loaded every option shows them again.
TEST_P(GraphOptionTest, OptionRedrawsReferencesAlone) {
  const TOptionCase c = GetParam();
  LoadReferencesThroughMenu(f, SampleFiles(f, "ref", 2, 1, 40));
  ASSERT_EQ(w.RefCount, 2);
  for (int round = 0; round < 2; ++round) {
    (w.*c.handler)();
    EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 100) << c.name << " " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Options, GraphOptionTest, ::testing::ValuesIn(kOptions),
                         [](const ::testing::TestParamInfo<TOptionCase>& info) {
                           return info.param.name;
                         });

TEST_F(GraphOptionsTest, ResistanceOnlyHidesPhaseLabelsAndCurve) {
  OpenMeasurement();
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_Theta), 100);
  EXPECT_GT(VisibleLabels(w, 12, 23), 0);
  w.MenuGraph_R_onlyClick();
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_Theta), 0);
  EXPECT_EQ(VisibleLabels(w, 12, 23), 0);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R), 100);
}

TEST_F(GraphOptionsTest, LogarithmicAxisRelabelsTheResistanceAxis) {
  OpenMeasurement();
  const QStringList linear = LabelTexts(w, 0, 11);
  const QStringList frequency = LabelTexts(w, 24, 34);
  w.MenuGraph_LogClick();
  EXPECT_NE(LabelTexts(w, 0, 11), linear);
  EXPECT_EQ(LabelTexts(w, 24, 34), frequency);
  w.MenuGraph_LogClick();
  EXPECT_EQ(LabelTexts(w, 0, 11), linear);
}

TEST_F(GraphOptionsTest, WidePenThickensTheMeasuredCurve) {
  const std::vector<std::string> files = SampleFiles(f, "s", 2, 1, 50);
  OpenThroughMenu(f, files[0]);
  LoadReferencesThroughMenu(f, {files[1]});
  const int thin = CountColor(w, w.SettingRec.PenColor_R);
  w.MenuGraph_WideClick();
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R), thin * 2);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 100);
}

TEST_F(GraphOptionsTest, AveragingSwitchesTheDrawnSetsButNotTheScale) {
  OpenMeasurement();
  ASSERT_TRUE(w.MenuGraph_Ave->isChecked());
  EXPECT_EQ(w.GraphRange.PlotMeas, &w.MeasAve);
  const TGraphRange before = w.GraphRange;
  const QStringList labels = LabelTexts(w, 0, 34);
  const QImage smoothed = w.Graph->Bitmap().copy();

  w.MenuGraph_AveClick();
  EXPECT_EQ(w.GraphRange.PlotMeas, &w.MeasCalc);
  EXPECT_EQ(w.GraphRange.PlotRef[2], &w.RefCalc[2]);
  EXPECT_EQ(w.GraphRange.MaxR, before.MaxR);
  EXPECT_EQ(w.GraphRange.MinR, before.MinR);
  EXPECT_EQ(w.GraphRange.MaxTheta, before.MaxTheta);
  EXPECT_EQ(LabelTexts(w, 0, 34), labels);
  EXPECT_NE(w.Graph->Bitmap(), smoothed);
}

TEST_F(GraphOptionsTest, AveragingInTheUnitOnlyTogglesItsCheck) {
  OpenMeasurement();
  const QImage before = w.Graph->Bitmap().copy();
  w.GraphRange.MaxR = 123.0;  // a redraw would scale anew from the data
  w.Menu_Set_aveMClick();
  EXPECT_TRUE(w.Menu_Set_aveM->isChecked());
  EXPECT_EQ(w.GraphRange.MaxR, 123.0);
  EXPECT_EQ(w.Graph->Bitmap(), before);
}

TEST_F(GraphOptionsTest, LogarithmicAxisWithNothingLoadedKeepsAnEmptyGraph) {
  const QStringList linear = LabelTexts(w, 0, 11);
  const QImage empty = w.Graph->Bitmap().copy();
  w.MenuGraph_LogClick();
  EXPECT_NE(LabelTexts(w, 0, 11), linear);
  EXPECT_NE(w.Graph->Bitmap(), empty);  // the logarithmic grid
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R), 0);
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_Theta), 0);
}

struct TExtremes {
  double maxR = 0.0;
  double minR = 5000000.0;
  double maxAbsPhase = 0.0;
};

TExtremes ExtremesOver(const TCalcData& calc, int first, int last) {
  TExtremes e;
  double pmax = 0.0;
  double pmin = 0.0;
  for (int i = first; i <= last; ++i) {
    if (calc.R[i] == -1.0) continue;
    e.maxR = std::max(e.maxR, calc.R[i]);
    e.minR = std::min(e.minR, calc.R[i]);
    pmax = std::max(pmax, calc.Theta[i]);
    pmin = std::min(pmin, calc.Theta[i]);
  }
  e.maxAbsPhase = -pmin > pmax ? -pmin : pmax;
  return e;
}

TEST_F(GraphOptionsTest, NarrowerBandShowsOnlyItsPointsScaledFromThem) {
  OpenMeasurement();
  ChooseBand(w, 7);

  ExpectBand(w, 7);
  EXPECT_EQ(w.MeasData.Band, 7);
  const TExtremes e = ExtremesOver(w.MeasCalc, 215, 367);
  EXPECT_EQ(w.GraphRange.MaxR, e.maxR);
  EXPECT_EQ(w.GraphRange.MinR, e.minR);
  EXPECT_EQ(w.GraphRange.MaxTheta, e.maxAbsPhase);
  EXPECT_EQ(w.GraphRange.MinTheta, -e.maxAbsPhase);
  EXPECT_LT(w.GraphRange.MaxR, ExtremesOver(w.MeasCalc, 0, 555).maxR);

  // The same picture from a set that holds nothing but points 215 to 367.
  TGraphRig rig(7, w.PaintBox1->width(), w.PaintBox1->height());
  rig.setting = w.SettingRec;
  for (int i = 215; i <= 367; ++i) {
    rig.meas.R[i] = w.MeasAve.R[i];
    rig.meas.Theta[i] = w.MeasAve.Theta[i];
    rig.meas.Freq[i] = w.MeasAve.Freq[i];
  }
  rig.meas.Valid = 1;
  rig.range.MaxR = e.maxR;
  rig.range.MinR = e.minR;
  rig.range.MaxTheta = e.maxAbsPhase;
  rig.range.MinTheta = -e.maxAbsPhase;
  rig.graph->Clear();
  rig.graph->DrawMeasurement();
  EXPECT_EQ(w.Graph->Bitmap(), rig.graph->Bitmap());
}

TEST_F(GraphOptionsTest, WiderBandLeavesGapsAndScalesFromTheMeasuredPoints) {
  const std::string path = f.Dir().File("narrow.DTA");
  ASSERT_TRUE(WriteSpeakerFile(path, 7, 12));
  OpenThroughMenu(f, path);
  ASSERT_EQ(w.ComboBox2->currentIndex(), 6);
  ChooseBand(w, 1);
  const TExtremes e = ExtremesOver(w.MeasCalc, 215, 367);
  EXPECT_EQ(w.GraphRange.MaxR, e.maxR);
  EXPECT_EQ(w.GraphRange.MinR, e.minR);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R), 50);
}

TEST_F(GraphOptionsTest, BandChangeWithNothingLoadedResetsTheRange) {
  w.GraphRange.MaxR = 777.0;
  w.GraphRange.MinTheta = -5.0;
  const QStringList frequency = LabelTexts(w, 24, 34);
  ChooseBand(w, 4);
  ExpectBand(w, 4);
  EXPECT_EQ(w.MeasData.Band, 4);
  EXPECT_EQ(w.GraphRange.MinR, 1000.0);
  EXPECT_EQ(w.GraphRange.MaxR, 100000.0);
  EXPECT_EQ(w.GraphRange.MinTheta, -90.0);
  EXPECT_EQ(w.GraphRange.MaxTheta, 90.0);
  EXPECT_NE(LabelTexts(w, 24, 34), frequency);
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R), 0);
}

TEST_F(GraphOptionsTest, BandChangeWithReferencesRedrawsThem) {
  LoadReferencesThroughMenu(f, SampleFiles(f, "ref", 1, 1, 60));
  ChooseBand(w, 3);
  const TExtremes e = ExtremesOver(w.RefCalc[0], 215, 555);
  EXPECT_EQ(w.GraphRange.MaxR, e.maxR);
  ExpectBand(w, 3);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 50);
}

// The frequency a click at x reads, as the read-out computes it.
double ClickFrequency(const TFormMain& w, int x) {
  const double lo = std::log10(TGraph_RTF::FreqAxisLow(w.GraphRange.StartFreq));
  const double hi = std::log10(TGraph_RTF::FreqAxisHigh(w.GraphRange.StopFreq));
  return std::pow(10.0, x * (hi - lo) / w.PaintBox1->width() + lo);
}

QString ReadoutOf(const TFormMain& w, int slot) {
  return QString::fromStdString(PointReadoutText(w.MeasData.Data[slot].data()));
}

// The band point nearest to f: the point whose half-way marks to its
// neighbours enclose f.
int NearestSlot(const TCalcData& calc, int band, double f) {
  int best = BandFirstIndex(band);
  for (int i = best; i <= BandLastIndex(band); ++i)
    if (std::abs(calc.Freq[i] - f) < std::abs(calc.Freq[best] - f)) best = i;
  return best;
}

TEST_F(ReadoutTest, ClickShowsThePointUnderTheCursor) {
  for (const int x : {w.PaintBox1->width() / 2, w.PaintBox1->width() / 7, w.PaintBox1->width() - 1}) {
    const int slot = NearestSlot(w.MeasCalc, 1, ClickFrequency(w, x));
    w.PaintBox1MouseDown(x, 40);
    EXPECT_EQ(f.Panel(2), ReadoutOf(w, slot)) << "x " << x << " slot " << slot;
  }
  const QRegularExpression shape(QStringLiteral(
      "^周波数：[0-9]+\\.[0-9]{1,3}\\[k?Hz\\] / [0-9]+(\\.[0-9]{2,3})?\\[k?Ω\\] / -?[0-9]+\\.[0-9]{2}\\[deg\\]$"));
  EXPECT_TRUE(shape.match(f.Panel(2)).hasMatch()) << f.Panel(2).toStdString();

  w.QoStatus->ClearPanel(2);
  const int x = w.PaintBox1->width() / 3;
  QTest::mousePress(w.PaintBox1, Qt::RightButton, {}, QPoint(x, 40));
  EXPECT_EQ(f.Panel(2), ReadoutOf(w, NearestSlot(w.MeasCalc, 1, ClickFrequency(w, x))));
}

TEST_F(ReadoutTest, ClickExactlyOnTheSecondFrequencySelectsIt) {
  const int x = 3;
  const double hz = ClickFrequency(w, x);
  w.MeasCalc.Freq[0] = hz * 0.9;
  w.MeasCalc.Freq[1] = hz;
  w.MeasCalc.Freq[2] = hz * 1.1;
  w.PaintBox1MouseDown(x, 10);
  EXPECT_EQ(f.Panel(2), ReadoutOf(w, 1));

  w.MeasCalc.Freq[1] = std::nextafter(hz, 2 * hz);
  w.PaintBox1MouseDown(x, 10);
  EXPECT_EQ(f.Panel(2), ReadoutOf(w, 0));
}

TEST_F(ReadoutTest, ClicksThatSelectNothingLeaveThePanelAlone) {
  const QString mark = QStringLiteral("unchanged");
  w.QoStatus->SetPanelText(mark, 2);

  const int x = w.PaintBox1->width() / 2;
  w.MeasCalc.R[215] = -1.0;
  w.PaintBox1MouseDown(x, 10);
  EXPECT_EQ(f.Panel(2), mark);

  w.MeasCalc.Freq[0] = ClickFrequency(w, 0) * 1.01;  // left of the first point
  w.PaintBox1MouseDown(0, 10);
  EXPECT_EQ(f.Panel(2), mark);

  w.MenuFile_CloseClick();
  w.QoStatus->SetPanelText(mark, 2);
  w.PaintBox1MouseDown(x + 20, 10);
  EXPECT_EQ(f.Panel(2), mark);
}

TEST_F(ReadoutTest, ReadoutFollowsTheChosenBand) {
  const int x = w.PaintBox1->width() / 4;
  w.PaintBox1MouseDown(x, 10);
  const int wide = NearestSlot(w.MeasCalc, 1, ClickFrequency(w, x));
  EXPECT_EQ(f.Panel(2), ReadoutOf(w, wide));

  ChooseBand(w, 7);
  const int narrow = NearestSlot(w.MeasCalc, 7, ClickFrequency(w, x));
  EXPECT_GT(narrow, 215);
  EXPECT_LT(narrow, 367);
  EXPECT_NE(narrow, wide);
  w.PaintBox1MouseDown(x, 10);
  EXPECT_EQ(f.Panel(2), ReadoutOf(w, narrow));
}

}  // namespace
}  // namespace doz::test
