// The analysis window over measurements of known circuits opened through the
// main window's commands: what it shows, that it follows every change of
// the measurement, the fit off the window's thread, the model and the
// comparison marks on the graph, and the exports.
#include "Analysis_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>
#include <QCoreApplication>
#include <thread>
#include <QLineEdit>
#include <filesystem>
#include <fstream>

#include "Circuit.h"
#include "Number_text.h"
#include "Point_text.h"
#include "Quantity_graph_view.h"
#include "Set_digest.h"
#include "Synthetic_sweep.h"
#include "Window_steps.h"

namespace doz::test {
namespace {

using analysis::TCircuit;

const QColor kMarkColor(0xFF, 0x80, 0x00);

QString Cell(const QTableWidget* table, int row, int column) {
  const QTableWidgetItem* item = table->item(row, column);
  return item ? item->text() : QString();
}

class AnalysisWindowTest : public ::testing::Test {
 protected:
  // A band-1 file of the circuit, without noise, in the fixture's folder.
  std::string CircuitFile(const std::string& stem, const TCircuit& circuit) {
    const std::string path = f.Dir().File(stem + ".DTA");
    EXPECT_TRUE(WriteSyntheticFile(path, circuit, 1, {0.0, 0.0, 1}));
    return path;
  }
  std::string CoilFile(const std::string& stem, double farad = 400e-12) {
    return CircuitFile(stem, test::Circuit("coil:R=6800,L=2.5,C=" + analysis::NumberText(farad)));
  }
  TFormAnalysis& OpenWindow() {
    w.MenuAnalysis_WindowClick();
    return *w.FormAnalysis;
  }
  void WaitForFit(TFormAnalysis& a) {
    ASSERT_TRUE(f.IdleUntil([&] { return !a.FitRunning(); }, 10000));
  }
  // The graph redrawn by the main window, as after any option or resize.
  QImage Redrawn() {
    w.RedrawCurrent();
    return w.Graph->Bitmap().copy();
  }

  TMainFixture f;
  TFormMain& w = f.Shown();
};

TEST_F(AnalysisWindowTest, MenuOpensOneNonModalWindowThatWorksWithoutAMeasurement) {
  TFormAnalysis& a = OpenWindow();
  EXPECT_TRUE(a.isVisible());
  EXPECT_TRUE(a.isWindow());
  EXPECT_FALSE(a.isModal());
  EXPECT_TRUE(w.isEnabled());
  w.MenuAnalysis_WindowClick();
  EXPECT_EQ(w.findChildren<TFormAnalysis*>().size(), 1);

  // Nothing to analyse: the window says so and its commands do nothing.
  EXPECT_EQ(a.MeasurementLabel->text(), QStringLiteral("測定データがありません"));
  for (QPushButton* b : {a.FitButton, a.CsvButton, a.ZmaButton, a.TouchstoneButton})
    EXPECT_FALSE(b->isEnabled());
  a.FitClick();
  a.ExportClick(analysis::TExchangeFormat::Csv);
  EXPECT_FALSE(a.FitRunning());
  EXPECT_TRUE(f.Prompter().Records().empty());
}

TEST_F(AnalysisWindowTest, FollowsOpenBandChangeCloseAndASweepStart) {
  TFormAnalysis& a = OpenWindow();
  OpenThroughMenu(f, CoilFile("coil"));
  a.Follow();
  EXPECT_TRUE(a.MeasurementLabel->text().startsWith("coil.DTA"));
  ASSERT_EQ(a.ResonanceTable->rowCount(), 1);
  EXPECT_EQ(Cell(a.ResonanceTable, 0, 0), QStringLiteral("山（並列共振）"));
  EXPECT_TRUE(Cell(a.ResonanceTable, 0, 1).endsWith("kHz"));
  EXPECT_TRUE(a.FitButton->isEnabled());

  ChooseBand(w, 10);  // 10 Hz to 100 Hz: far below the resonance
  a.Follow();
  EXPECT_EQ(a.ResonanceTable->rowCount(), 0);
  EXPECT_TRUE(a.MeasurementLabel->text().contains(QString::fromUtf8(BandLabel(10))));

  w.MenuFile_CloseClick();
  a.Follow();
  EXPECT_EQ(a.MeasurementLabel->text(), QStringLiteral("測定データがありません"));
  EXPECT_FALSE(a.FitButton->isEnabled());

  // A sweep begins by dropping the measurement it replaces.
  OpenThroughMenu(f, CoilFile("coil"));
  a.Follow();
  ASSERT_TRUE(a.CurrentKey());
  w.MeasData.Present = 0;
  EXPECT_FALSE(a.CurrentKey());
  a.Follow();
  EXPECT_EQ(a.ResonanceTable->rowCount(), 0);
}

// Every change reaches the shown window through the main window's signal:
// the posted events alone bring it up to date, with no timer running.
TEST_F(AnalysisWindowTest, FollowsTheMainWindowsSignalWithoutATimer) {
  TFormAnalysis& a = OpenWindow();
  const auto delivered = [] { QCoreApplication::sendPostedEvents(); };
  OpenThroughMenu(f, CoilFile("coil"));
  delivered();
  EXPECT_TRUE(a.MeasurementLabel->text().startsWith("coil.DTA"));
  EXPECT_EQ(a.ResonanceTable->rowCount(), 1);
  w.MenuGraph_AveClick();
  delivered();
  EXPECT_TRUE(a.MeasurementLabel->text().endsWith(QStringLiteral("平均処理なし")));
  ChooseBand(w, 10);
  delivered();
  EXPECT_EQ(a.ResonanceTable->rowCount(), 0);

  // Hidden, it leaves the work to its next showing.
  a.hide();
  w.MenuFile_CloseClick();
  delivered();
  EXPECT_TRUE(a.MeasurementLabel->text().startsWith("coil.DTA"));
  a.show();
  EXPECT_EQ(a.MeasurementLabel->text(), QStringLiteral("測定データがありません"));
}

TEST_F(AnalysisWindowTest, ClickedPointShowsSeriesAndParallelValuesUntilTheDataChange) {
  w.MenuGraph_AveClick();  // the raw values
  OpenThroughMenu(f, CircuitFile("rl", test::Circuit("rl:R=1000,L=0.1")));
  // Clicked before the window was ever opened.
  w.PaintBox1MouseDown(w.PaintBox1->width() / 2, 50);
  TFormAnalysis& a = OpenWindow();
  EXPECT_TRUE(a.PointHeader->text().contains("Hz　|Z| ")) << a.PointHeader->text().toStdString();
  EXPECT_EQ(Cell(a.PointTable, 0, 0), QStringLiteral("1.00 kΩ"));  // Rs
  EXPECT_EQ(Cell(a.PointTable, 2, 0), QStringLiteral("100 mH"));   // Ls
  EXPECT_EQ(Cell(a.PointTable, 3, 0), QStringLiteral("－"));       // no Cs of an inductive point
  EXPECT_EQ(Cell(a.PointTable, 3, 1), QStringLiteral("－"));

  w.MenuGraph_AveClick();  // other values: the point's old values go
  a.Follow();
  EXPECT_EQ(Cell(a.PointTable, 0, 0), QString());
  w.PaintBox1MouseDown(w.PaintBox1->width() / 2, 50);
  EXPECT_TRUE(Cell(a.PointTable, 0, 0).endsWith("kΩ"));
}

TEST_F(AnalysisWindowTest, FitRunsOffTheWindowThreadAndFollowsANewMeasurement) {
  w.MenuGraph_AveClick();  // the raw values: the circuit comes back exactly
  OpenThroughMenu(f, CoilFile("coil"));
  TFormAnalysis& a = OpenWindow();
  a.FitButton->click();
  // The click returned before the fit ended.
  EXPECT_TRUE(a.FitRunning());
  EXPECT_EQ(a.FitStatus->text(), QStringLiteral("計算中…"));
  WaitForFit(a);
  EXPECT_TRUE(a.FitStatus->text().startsWith(QStringLiteral("自動選択: coil")))
      << a.FitStatus->text().toStdString();
  EXPECT_TRUE(a.FitStatus->text().contains(QStringLiteral(" %（ノイズと丸めで ")));
  ASSERT_EQ(a.ParameterTable->rowCount(), 3);
  EXPECT_EQ(Cell(a.ParameterTable, 0, 1), QStringLiteral("6.80 kΩ"));
  EXPECT_EQ(Cell(a.ParameterTable, 1, 1), QStringLiteral("2.50 H"));
  EXPECT_EQ(Cell(a.ParameterTable, 2, 1), QStringLiteral("400 pF"));

  // Once asked for, a fit comes with every new measurement; one still
  // running when the measurement goes never shows.
  OpenThroughMenu(f, CoilFile("wider", 800e-12));
  a.Follow();
  EXPECT_EQ(a.ParameterTable->rowCount(), 0);
  w.MenuFile_CloseClick();
  a.Follow();
  WaitForFit(a);
  EXPECT_EQ(a.ParameterTable->rowCount(), 0);
  EXPECT_EQ(a.FitStatus->text(), QStringLiteral("測定データがありません"));

  OpenThroughMenu(f, CoilFile("wider", 800e-12));
  a.Follow();                      // as its timer does
  a.ModelBox->setCurrentIndex(1);  // rl alone
  a.FitButton->click();
  WaitForFit(a);
  EXPECT_TRUE(a.FitStatus->text().startsWith("rl")) << a.FitStatus->text().toStdString();
  EXPECT_EQ(a.ParameterTable->rowCount(), 2);
}

TEST_F(AnalysisWindowTest, ACircuitOfOnesOwnIsCheckedAsItIsTypedAndFittedWithUncertainties) {
  OpenThroughMenu(f, CoilFile("coil"));
  TFormAnalysis& a = OpenWindow();
  EXPECT_FALSE(a.CircuitEdit->isEnabled());
  a.ModelBox->setCurrentIndex(a.ModelBox->count() - 1);
  ASSERT_TRUE(a.CircuitEdit->isEnabled());
  a.CircuitEdit->setText("p(R1-L1,C1");
  EXPECT_EQ(a.CircuitCheck->text(), QStringLiteral("位置 11: ) がありません"));
  a.FitButton->click();
  EXPECT_FALSE(a.FitRunning());
  a.CircuitEdit->setText("p(R1-L1,C1)");
  EXPECT_EQ(a.CircuitCheck->text(), QStringLiteral("定数 3 個: R1, L1, C1"));
  a.FitButton->click();
  WaitForFit(a);
  ASSERT_EQ(a.ParameterTable->rowCount(), 3);
  EXPECT_EQ(Cell(a.ParameterTable, 2, 1), QStringLiteral("400 pF"));
  EXPECT_TRUE(Cell(a.ParameterTable, 2, 2).startsWith(QStringLiteral("± "))) << Cell(a.ParameterTable, 2, 2).toStdString();
  EXPECT_TRUE(a.ResonanceNote->text().startsWith(QStringLiteral("フィットしたモデルから 1 か所")));

  // The same data held to a series circuit: the window warns in its own words.
  a.CircuitEdit->setText("R1-L1-C1");
  a.FitButton->click();
  WaitForFit(a);
  EXPECT_TRUE(a.WarningLabel->text().contains(QStringLiteral("よく合いません")))
      << a.WarningLabel->text().toStdString();
}

TEST_F(AnalysisWindowTest, ALoudspeakersFitShowsItsThieleSmallFigures) {
  OpenThroughMenu(f, CircuitFile("woofer", test::Circuit("speaker:Re=6.2,Le=0.5m,Res=62,Lces=70.6m,Cmes=293u")));
  TFormAnalysis& a = OpenWindow();
  a.FitButton->click();
  WaitForFit(a);
  EXPECT_TRUE(a.FitStatus->text().startsWith(QStringLiteral("自動選択: speaker　")));
  ASSERT_EQ(a.ParameterTable->rowCount(), 5);
  EXPECT_TRUE(a.DerivedLabel->text().startsWith(QStringLiteral("fs 35.0 Hz　Qms 3.99　Qes 0.399　Qts 0.36")))
      << a.DerivedLabel->text().toStdString();
  EXPECT_EQ(a.WarningLabel->text(), QString());
}

TEST(FitRunner, ANewFitStopsTheOneItReplacesAndAloneReports) {
  const auto samples =
      analysis::SamplesOf(test::SyntheticSweep(test::Circuit("coil:R=6800,L=2.5,C=400p")), 1);
  TFitRunner runner;
  std::vector<std::uint64_t> reported;
  runner.OnFinished = [&](const TFitOutcome& o) { reported.push_back(o.Key); };
  runner.Start(samples, std::nullopt, 1);
  runner.Start(samples, std::nullopt, 2);
  // Until it ends, and a while after for a late report of the first.
  for (int i = 0, after = 0; i < 10000 && after < 50; ++i, after += !runner.Running()) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(reported, std::vector<std::uint64_t>{2});
}

TEST_F(AnalysisWindowTest, ModelIsDrawnDashedOverEveryRedrawOfItsOwnValuesOnly) {
  OpenThroughMenu(f, CoilFile("coil"));
  const QImage plain = w.Graph->Bitmap().copy();
  TFormAnalysis& a = OpenWindow();
  a.DrawModelBox->setChecked(true);
  EXPECT_EQ(Redrawn(), plain);  // nothing fitted yet
  a.FitClick();
  WaitForFit(a);
  const QImage withModel = w.Graph->Bitmap().copy();
  EXPECT_GT(CountColor(withModel, ColorFromRef(w.SettingRec.PenColor_R)),
            CountColor(plain, ColorFromRef(w.SettingRec.PenColor_R)) + 200);
  EXPECT_EQ(Redrawn(), withModel);

  w.MenuGraph_LogClick();
  const QImage logWithModel = w.Graph->Bitmap().copy();
  a.DrawModelBox->setChecked(false);
  EXPECT_NE(w.Graph->Bitmap(), logWithModel);
  w.MenuGraph_LogClick();
  EXPECT_EQ(w.Graph->Bitmap(), plain);

  // Values changed behind the window's back: a model of the old values is
  // left out of every drawing, and the window fits the new ones.
  a.DrawModelBox->setChecked(true);
  ASSERT_EQ(w.Graph->Bitmap(), withModel);
  w.MeasAve.R[300] *= 1.5;
  a.DrawModelBox->setChecked(false);
  const QImage changedPlain = w.Graph->Bitmap().copy();
  a.DrawModelBox->setChecked(true);
  EXPECT_EQ(w.Graph->Bitmap(), changedPlain);
  EXPECT_TRUE(f.IdleUntil([&] { return w.Graph->Bitmap() != changedPlain; }, 10000));
  EXPECT_EQ(a.ParameterTable->rowCount(), 3);
}

TEST_F(AnalysisWindowTest, ComparisonJudgesMarksAndFollowsTheReferences) {
  OpenThroughMenu(f, CoilFile("coil"));
  LoadReferencesThroughMenu(f, {CoilFile("same"), CoilFile("larger", 412e-12)});
  TFormAnalysis& a = OpenWindow();
  const auto* items = static_cast<QStandardItemModel*>(a.ReferenceBox->model());
  for (int k = 1; k <= REF_MAX; ++k) EXPECT_EQ(items->item(k)->isEnabled(), k <= 2) << k;
  EXPECT_EQ(items->item(2)->text(), QStringLiteral("データ２　larger.DTA"));

  a.ReferenceBox->setCurrentIndex(1);
  EXPECT_EQ(a.VerdictLabel->text(), QStringLiteral("合格"));
  EXPECT_EQ(CountColor(w.Graph->Bitmap(), kMarkColor), 0);

  a.ReferenceBox->setCurrentIndex(2);
  EXPECT_EQ(a.VerdictLabel->text(), QStringLiteral("不合格"));
  EXPECT_TRUE(a.DeviationLabel->text().contains(QStringLiteral("|Z| の最大偏差 +")))
      << a.DeviationLabel->text().toStdString();
  EXPECT_TRUE(a.DeviationLabel->text().contains(QStringLiteral("kHz）")));
  const int marks = CountColor(w.Graph->Bitmap(), kMarkColor);
  EXPECT_GT(marks, 0);
  EXPECT_EQ(CountColor(Redrawn(), kMarkColor), marks);

  a.PercentBox->setValue(100.0);
  a.DegreesBox->setValue(180.0);
  EXPECT_EQ(a.VerdictLabel->text(), QStringLiteral("合格"));
  EXPECT_EQ(CountColor(w.Graph->Bitmap(), kMarkColor), 0);

  a.PercentBox->setValue(5.0);
  ASSERT_EQ(a.VerdictLabel->text(), QStringLiteral("不合格"));
  w.MenuRef_CloseClick();
  a.Follow();
  EXPECT_EQ(a.ReferenceBox->currentIndex(), 0);
  EXPECT_EQ(a.VerdictLabel->text(), QString());
  EXPECT_EQ(CountColor(Redrawn(), kMarkColor), 0);
}

// The graph beside the groups draws the quantity of the sets the main graph
// draws, the fitted model dashed over them; a click on it picks a point as
// a click on the main graph does, and it zooms as plotting programs do.
TEST_F(AnalysisWindowTest, QuantityGraphFollowsPicksPointsAndZooms) {
  OpenThroughMenu(f, CoilFile("coil"));
  TFormAnalysis& a = OpenWindow();
  a.QuantityBox->setCurrentIndex(2);
  EXPECT_EQ(a.QuantityBox->currentText(), QStringLiteral("Ls（直列インダクタンス）"));
  EXPECT_EQ(a.QuantityBox->itemText(9), QStringLiteral("ナイキスト線図"));
  TQuantityGraphView& view = *a.QuantityView;
  const TQuantityGraph& graph = view.Graph();
  ASSERT_EQ(graph.Quantity(), TQuantity::Ls);
  const QColor measured = ColorFromRef(w.SettingRec.PenColor_R);
  const int plain = CountColor(view.grab().toImage(), measured);
  EXPECT_GT(plain, 100);

  const QRect plot = view.PlotRect();
  const TQuantityAxes axes = graph.Axes(plot.size());
  const TQuantityPoint p = QuantitySeries(*w.GraphRange.PlotMeas, 1, TQuantity::Ls)[200];
  ASSERT_TRUE(p.Defined);
  const QPoint at =
      TQuantityGraph::ToPixels({AxisFraction(axes.X, p.X), AxisFraction(axes.Y, p.Y)}, plot)
          .toPoint();
  const int slot = graph.NearestMeasured(at, plot);
  EXPECT_NEAR(slot, p.Slot, 1);
  QTest::mouseClick(&view, Qt::LeftButton, {}, at);
  EXPECT_EQ(f.Panel(2), QString::fromStdString(PointReadoutText(w.MeasData.Data[slot].data())));
  EXPECT_TRUE(Cell(a.PointTable, 2, 0).endsWith(QStringLiteral(" H")));

  // A dragged rectangle becomes the plot, a double click the whole band.
  QTest::mousePress(&view, Qt::LeftButton, {}, plot.topLeft() + QPoint(10, 10));
  QTest::mouseMove(&view, plot.center());
  QTest::mouseRelease(&view, Qt::LeftButton, {}, plot.center());
  ASSERT_TRUE(graph.Zoomed());
  EXPECT_LT(graph.Axes(plot.size()).X.Hi, axes.X.Hi);
  EXPECT_GT(graph.Axes(plot.size()).Y.Lo, axes.Y.Lo);
  QTest::mouseDClick(&view, Qt::LeftButton, {}, plot.center());
  EXPECT_FALSE(graph.Zoomed());
  // The wheel below the plot zooms the frequency axis alone.
  const QPointF below(plot.center().x(), plot.bottom() + 10);
  QWheelEvent wheel(below, view.mapToGlobal(below), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&view, &wheel);
  EXPECT_LT(graph.Axes(plot.size()).X.Hi, axes.X.Hi);
  EXPECT_EQ(graph.Axes(plot.size()).Y, axes.Y);

  a.FitClick();
  WaitForFit(a);
  EXPECT_GT(CountColor(view.grab().toImage(), measured), plain + 100) << "the model";
  // References in their colours; with the measurement closed only they stay.
  LoadReferencesThroughMenu(f, {CircuitFile("rl", test::Circuit("rl:R=1000,L=0.1"))});
  QCoreApplication::sendPostedEvents();
  const QColor reference = ColorFromRef(w.SettingRec.PenColor_R_Ref[0]);
  EXPECT_GT(CountColor(view.grab().toImage(), reference), 100);
  w.MenuFile_CloseClick();
  QCoreApplication::sendPostedEvents();
  EXPECT_FALSE(graph.HasMeasurement());
  EXPECT_EQ(CountColor(view.grab().toImage(), measured), 0);
  EXPECT_GT(CountColor(view.grab().toImage(), reference), 100);
}

struct TExportCase {
  analysis::TExchangeFormat format;
  const char* file;       // as written by the window
  const char* firstLine;  // how the file begins
};

class AnalysisExportTest : public AnalysisWindowTest,
                           public ::testing::WithParamInterface<TExportCase> {};

TEST_P(AnalysisExportTest, SavesThroughTheDialogAndAsksBeforeOverwriting) {
  const TExportCase c = GetParam();
  OpenThroughMenu(f, CoilFile("coil"));
  TFormAnalysis& a = OpenWindow();
  const std::string path = f.Dir().File(c.file);
  const auto firstLine = [&] {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
  };
  f.Prompter().saveAnswers = {QString::fromStdString(f.Dir().File("out"))};
  a.ExportClick(c.format);
  EXPECT_TRUE(firstLine().starts_with(c.firstLine)) << firstLine();
  EXPECT_EQ(a.ExportStatus->text(),
            QStringLiteral("書き出しました: ") + QString::fromStdString(path));

  std::ofstream(path) << "kept\n";
  f.Prompter().saveAnswers = {QString::fromStdString(path)};
  f.Prompter().confirmAnswers = {false};
  a.ExportClick(c.format);
  EXPECT_EQ(firstLine(), "kept");
  f.Prompter().saveAnswers = {QString::fromStdString(path)};
  f.Prompter().confirmAnswers = {true};
  a.ExportClick(c.format);
  EXPECT_TRUE(firstLine().starts_with(c.firstLine));
  a.ExportClick(c.format);  // cancelled
  EXPECT_EQ(f.Prompter().UnusedAnswers(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, AnalysisExportTest,
    ::testing::Values(TExportCase{analysis::TExchangeFormat::Csv, "out.csv", "frequency_Hz,"},
                      TExportCase{analysis::TExchangeFormat::Zma, "out.zma", "*"},
                      TExportCase{analysis::TExchangeFormat::Touchstone, "out.s1p", "!"}));

// The averaging switched with nothing loaded leaves the graph's choice to the
// next redraw; a sweep stopped before one draws the set chosen earlier, and
// the analysis reads that curve, not the menu's.
TEST_F(AnalysisWindowTest, AnalysesTheSetTheGraphDraws) {
  OpenThroughMenu(f, CoilFile("coil"));
  TFormAnalysis& a = OpenWindow();
  ASSERT_TRUE(w.MenuGraph_Ave->isChecked());
  ASSERT_NE(SetDigest(w.MeasCalc, w.GraphRange.Band), SetDigest(w.MeasAve, w.GraphRange.Band));
  w.GraphRange.PlotMeas = &w.MeasCalc;
  EXPECT_EQ(a.CurrentKey(), SetDigest(w.MeasCalc, w.GraphRange.Band));
}

TEST(SetDigest, ChangesWithTheBandsValuesAndTheBandOnly) {
  TCalcData set = SyntheticSweep(test::Circuit("rc:R=100,C=1u"), 5);
  const std::uint64_t digest = SetDigest(set, 5);
  EXPECT_EQ(SetDigest(set, 5), digest);
  EXPECT_NE(SetDigest(set, 1), digest);
  const int last = BandLastIndex(5);
  set.R[last + 1] = 5.0;  // outside band 5
  EXPECT_EQ(SetDigest(set, 5), digest);
  for (auto* value : {&set.R[last], &set.Theta[last], &set.Freq[BandFirstIndex(5)]}) {
    const double kept = *value;
    *value = std::nextafter(kept, 1e300);
    EXPECT_NE(SetDigest(set, 5), digest);
    *value = kept;
  }
}

}  // namespace
}  // namespace doz::test
