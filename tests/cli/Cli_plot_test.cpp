#include "Cli_plot.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <cmath>
#include <cstdio>

#include "Cli_run.h"
#include "Doz_print.h"
#include "Graph_scale.h"
#include "Hand_made_files.h"
#include "Page_probe.h"
#include "Sample_curves.h"
#include "Temp_dir.h"

namespace doz::cli {
namespace {

using test::Contains;
using test::CountInk;
using test::ReadBytes;
using test::TTempDir;
using test::WriteBytes;
using TRun = test::TCliRun;

std::vector<std::string> Plot(std::vector<std::string> args) {
  args.insert(args.begin(), "plot");
  return args;
}

TRun Cli(const std::vector<std::string>& args) { return test::RunCliHere(Plot(args)); }

// A .DTA file of band 1 holding the set's values: resistance in whole
// ohms, phase in hundredths, the frequency as a numerator over 1.
void WriteDta(const std::string& path, const TCalcData& set) {
  std::vector<std::string> lines = test::DtaLines(1);
  for (int i = BandFirstIndex(1); i <= BandLastIndex(1); ++i) {
    char record[32];
    std::snprintf(record, sizeof record, "%06X%04X%06X%04X", static_cast<int>(set.R[i]),
                  static_cast<int>(std::lround(set.Theta[i] * 100)) & 0xFFFF,
                  static_cast<int>(std::lround(set.Freq[i] / FREQ_FACTOR)), 1);
    lines[test::DTA_HEADER_LINES + i] = record;
  }
  WriteBytes(path, test::JoinLines(lines));
}

class CliPlot : public testing::Test {
 protected:
  CliPlot() {
    TCalcData set;
    test::FillSpeaker(set, 1, test::TSpeaker{});
    WriteDta(Meas(), set);
    test::FillFlat(set, 1, 6000.0, -40.0);
    WriteDta(Ref(), set);
  }
  std::string Meas() const { return dir.File("m.DTA"); }
  std::string Ref() const { return dir.File("r.DTA"); }
  std::string Out(const char* name) const { return dir.File(name); }
  // The program itself, in an environment that names no display platform.
  TRun Executable(const std::vector<std::string>& args) const {
    return test::RunCliProgram(Plot(args), dir.Path(),
                               {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"});
  }

  TTempDir dir;
};

// A4 at 150 dpi: the plot's place on the page.
const QRect kPlot150(147, 117, 1004, 826);

TEST_F(CliPlot, PdfPageCarriesTitleInformationRowsAndAxisLabels) {
  if (!test::HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  const std::string pdf = Out("page.pdf");
  const TRun r =
      Executable({Meas(), "--info", "試料 A-1", "--info", "", "--info", "third", "-o", pdf});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, pdf + "\n");
  EXPECT_EQ(ReadBytes(pdf).substr(0, 5), "%PDF-");
  const std::string text = test::PdfLayoutText(pdf);
  for (const char* part :
       {"< Do-Z インピーダンス測定 >", "試料 A-1", "third", "[Hz]", "[Ω]", "[deg]", "100k"})
    EXPECT_TRUE(Contains(text, part)) << part;

  // Rows 40 and 80 below the graph carry lines 1 and 3, row 60 stays blank.
  const std::vector<test::TPdfWord> words = test::PdfWords(pdf);
  const test::TPdfWord* title = test::FindWord(words, "<");
  const test::TPdfWord* third = test::FindWord(words, "third");
  ASSERT_TRUE(title && third);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const float s = PrintTextScale(PLOT_PDF_DPI, screen ? screen->logicalDotsPerInchY() : 96.0);
  const auto rowPt = [&](int offset) {
    return (PrintTextRowY(0, s, offset) - PrintTextRowY(0, s, 20)) * 72.0 / PLOT_PDF_DPI;
  };
  EXPECT_NEAR(third->yMin - title->yMin, rowPt(80), 0.3);
  for (const test::TPdfWord& w : words)
    EXPECT_GT(std::abs(w.yMin - title->yMin - rowPt(60)), 1.0) << w.text;

  // A4 portrait: 210 x 297 mm is 83 x 117 pixels at 10 dpi.
  const QImage page = test::PdfPage(pdf, 10);
  EXPECT_NEAR(page.width(), 83, 1);
  EXPECT_NEAR(page.height(), 117, 1);
}

TEST_F(CliPlot, PngPageShowsTheCurvesTheOptionsAsk) {
  struct TCase {
    std::vector<std::string> options;
    bool red, teal, purple;
  };
  const TCase cases[] = {
      {{}, true, false, false},
      {{"--r-only"}, false, false, false},
      {{"--ref", Ref()}, true, true, true},
      {{"--ref", Ref(), "--r-only", "--wide"}, false, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options));
    std::vector<std::string> args = {Meas(), "-o", Out("page.png"), "--force"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const TRun r = Executable(args);
    ASSERT_EQ(r.code, 0) << r.err;
    const QImage page(QString::fromStdString(Out("page.png")));
    ASSERT_EQ(page.size(), QSize(1240, 1754));
    EXPECT_GT(CountInk(page, test::IsBlueInk, kPlot150), 0);
    EXPECT_EQ(CountInk(page, test::IsRedInk, kPlot150) > 0, c.red);
    EXPECT_EQ(CountInk(page, test::IsTealInk, kPlot150) > 0, c.teal);
    EXPECT_EQ(CountInk(page, test::IsPurpleInk, kPlot150) > 0, c.purple);
    EXPECT_TRUE(test::IsDarkInk(page.pixel(kPlot150.left() - 1, kPlot150.center().y())));
  }
}

// A flat 5 kOhm curve with one 20 kOhm spike: the unsmoothed maximum sets a
// 30 kOhm scale; smoothed, the spike is only 8 kOhm high.
TEST_F(CliPlot, ScaleComesFromTheUnsmoothedValuesWhicheverAreDrawn) {
  TCalcData set;
  test::FillFlat(set, 1, 5000.0, 10.0);
  set.R[300] = 20000.0;
  WriteDta(Meas(), set);
  const int spikeRow = kPlot150.top() + kPlot150.height() / 3;  // 20k of 30k
  const QRect aboveSmoothed(kPlot150.left(), kPlot150.top(), kPlot150.width(),
                            kPlot150.height() / 2);
  for (const bool average : {true, false}) {
    SCOPED_TRACE(average ? "smoothed" : "unsmoothed");
    std::vector<std::string> args = {Meas(), "-o", Out("page.png"), "--force"};
    if (!average) args.push_back("--no-average");
    ASSERT_EQ(Cli(args).code, 0);
    const QImage page(QString::fromStdString(Out("page.png")));
    EXPECT_EQ(CountInk(page, test::IsBlueInk, aboveSmoothed) > 0, !average);
    EXPECT_EQ(CountInk(page, test::IsBlueInk,
                       QRect(kPlot150.left(), spikeRow - 3, kPlot150.width(), 7)) > 0,
              !average);
  }
}

TEST_F(CliPlot, ResistanceLabelsOfBothAxisTypes) {
  if (!test::HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  // The speaker's band-1 values span about 1.5 to 10 kOhm.
  TCalcData set;
  test::FillSpeaker(set, 1, test::TSpeaker{});
  double minR = 5000000, maxR = 0;
  for (int i = BandFirstIndex(1); i <= BandLastIndex(1); ++i) {
    minR = std::min(minR, set.R[i]);
    maxR = std::max(maxR, set.R[i]);
  }
  std::vector<std::string> linear, logarithmic;
  for (int i = 0; i <= 10; ++i)
    linear.push_back(LinearResistanceLabelText(ResistanceFullScale(maxR), i));
  for (double v : LogResistanceLabelValues(LogResistanceLow(minR), LogResistanceHigh(maxR), 11))
    logarithmic.push_back(LogResistanceLabelText(v));
  for (const bool log : {false, true}) {
    SCOPED_TRACE(log ? "log" : "linear");
    std::vector<std::string> args = {Meas(), "-o", Out("page.pdf"), "--force"};
    if (log) args.push_back("--log");
    ASSERT_EQ(Cli(args).code, 0);
    const std::vector<test::TPdfWord> words = test::PdfWords(Out("page.pdf"));
    for (const std::string& label : log ? logarithmic : linear)
      EXPECT_NE(test::FindWord(words, label), nullptr) << label;
  }
}

// An inductive measurement (+40°) and a capacitive reference (-40°): Ls
// has values only on the first, Cs only on the second, the Nyquist plot on
// both, each a single spot; the page's graph area holds the graph, never a
// phase curve.
TEST_F(CliPlot, QuantityPagesDrawTheQuantityOfEachSetWhereItHasValues) {
  TCalcData set;
  test::FillFlat(set, 1, 6000.0, 40.0);
  WriteDta(Meas(), set);
  const TPrintLayout l = PrintLayout(PLOT_PNG_DPI, PLOT_PNG_DPI, 210, 297, QPageLayout::Portrait);
  const QRect graph(l.FrameLeft, l.FrameTop, l.GraphWidth, l.GraphHeight);
  struct TCase {
    const char* quantity;
    bool blue, teal;
  };
  for (const TCase c :
       {TCase{"Ls", true, false}, TCase{"cs", false, true}, TCase{"nyquist", true, true}}) {
    SCOPED_TRACE(c.quantity);
    const TRun r = Cli({Meas(), "--ref", Ref(), "--quantity", c.quantity, "--wide", "-o",
                        Out("q.png"), "--force"});
    ASSERT_EQ(r.code, 0) << r.err;
    const QImage page(QString::fromStdString(Out("q.png")));
    EXPECT_EQ(CountInk(page, test::IsBlueInk, graph) > 0, c.blue);
    EXPECT_EQ(CountInk(page, test::IsTealInk, graph) > 0, c.teal);
    EXPECT_EQ(CountInk(page, test::IsRedInk), 0);
  }
  if (!test::HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  ASSERT_EQ(Cli({Meas(), "--quantity", "Ls", "--info", "試料 A-1", "-o", Out("q.pdf")}).code, 0);
  const std::string text = test::PdfLayoutText(Out("q.pdf"));
  for (const char* part : {"Ls [H]", "[Hz]", "100k", "< Do-Z インピーダンス測定 >", "試料 A-1"})
    EXPECT_TRUE(Contains(text, part)) << part;
}

TEST_F(CliPlot, FailuresExitOneAndLeaveTheOutputAlone) {
  const std::string out = Out("page.png");
  WriteBytes(dir.File("bad.DTA"), "DataFile:Do-Z\r\nSN:x\r\n");
  TRun r = Cli({dir.File("bad.DTA"), "-o", out});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "データファイルの内容が正しくありませんでした: " + dir.File("bad.DTA") + "\n");
  r = Cli({Meas(), "--ref", Ref(), "--ref", dir.File("none.DTA"), "-o", out});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, dir.File("none.DTA") + ": ファイルがありません\n");
  EXPECT_FALSE(test::FileExists(out));

  WriteBytes(out, "keep");
  r = Cli({Meas(), "-o", out});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Contains(r.err, "--force")) << r.err;
  EXPECT_EQ(ReadBytes(out), "keep");
  EXPECT_EQ(Cli({Meas(), "-o", out, "--force"}).code, 0);
  EXPECT_EQ(ReadBytes(out).substr(1, 3), "PNG");

  r = Cli({Meas(), "-o", dir.File("missing/page.png")});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Contains(r.err, dir.File("missing/page.png"))) << r.err;
}

TEST_F(CliPlot, UsageErrorsExitTwoBeforeAnythingIsRead) {
  const std::string out = Out("page.pdf");
  const std::string a243(243, 'x');
  std::string kana121;
  for (int i = 0; i < 121; ++i) kana121 += "あ";  // two bytes each in code page 932
  const std::vector<std::vector<std::string>> usage = {
      {Meas()},
      {Meas(), "-o", Out("page.txt")},
      {Meas(), "-o", Out("pdf")},
      {"-o", out},
      {Meas(), Ref(), "-o", out},
      {Meas(), "-o", out, "--ref"},
      {Meas(), "-o", out, "--colour"},
      {Meas(), "-o", out, "--ref", Ref(), "--ref", Ref(), "--ref", Ref(), "--ref", Ref(), "--ref",
       Ref(), "--ref", Ref()},
      {Meas(), "-o", out, "--info", "1", "--info", "2", "--info", "3", "--info", "4"},
      {Meas(), "-o", out, "--info", a243 + "x"},
      {Meas(), "-o", out, "--info", kana121 + "あ"},
      {Meas(), "-o", out, "--info", "two\nlines"},
      {Meas(), "-o", out, "--quantity", "Z"},
      {Meas(), "-o", out, "--quantity"},
      {Meas(), "-o", out, "--quantity", "Ls", "--log"},
      {Meas(), "-o", out, "--quantity", "Q", "--r-only"},
  };
  for (const auto& args : usage) {
    SCOPED_TRACE(testing::PrintToString(args));
    const TRun r = Cli(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(Contains(r.err, "doz-cli plot")) << r.err;
    EXPECT_FALSE(test::FileExists(out));
  }
  // The limits themselves are allowed.
  const TRun r =
      Cli({Meas(), "-o", Out("page.png"), "--info", kana121 + "x", "--info", a243, "--ref", Ref(),
           "--ref", Ref(), "--ref", Ref(), "--ref", Ref(), "--ref", Ref()});
  EXPECT_EQ(r.code, 0) << r.err;
  const TRun help = Cli({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Contains(help.out, "150 dots per inch")) << help.out;
}

}  // namespace
}  // namespace doz::cli
