// The print commands of the window: the information dialog, the print
// dialog, the page on a PDF printer, and every way the command stops early.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QPrinter>
#include <filesystem>

#include "Analysis_window.h"
#include "Doz_printinfo.h"
#include "Printer_setup.h"
#include "Page_probe.h"
#include "Window_steps.h"

namespace doz::test {
namespace {

constexpr char kTitle[] = "< Do-Z インピーダンス測定 >";

// Fills the information dialog's three boxes and presses one of its buttons.
std::function<int(QDialog&)> InfoAnswer(const QStringList& lines, bool print) {
  return [lines, print](QDialog& dialog) {
    auto& form = static_cast<TFormPrnInfo&>(dialog);
    QLineEdit* edits[] = {form.Edit1, form.Edit2, form.Edit3};
    for (int i = 0; i < 3; ++i) edits[i]->setText(lines.value(i));
    print ? form.Button1Click() : form.Button2Click();
    return form.result();
  };
}

// A shown window whose printer writes page.pdf in its folder.
struct TPrintRig {
  TMainFixture f;
  TFormMain& w = f.Shown();
  std::string pdf = f.Dir().File("page.pdf");

  explicit TPrintRig(const std::function<void(TMainOptions&, const TTempDir&)>& adjust = {})
      : f(adjust) {
    w.ThePrinter().setOutputFormat(QPrinter::PdfFormat);
    w.ThePrinter().setOutputFileName(QString::fromStdString(pdf));
  }
  void Print(const QStringList& lines, bool confirmInfo = true, bool confirmPrint = true) {
    f.Prompter().modalActions.push_back(InfoAnswer(lines, confirmInfo));
    if (confirmInfo) f.Prompter().printAnswers.push_back(confirmPrint);
    w.MenuFile_PrintClick();
  }
};

TEST(PrintCommand, WithoutMeasurementShowsNoDataAndOpensNoDialog) {
  TPrintRig rig;
  rig.w.MenuFile_PrintClick();
  ASSERT_EQ(rig.f.Prompter().Records().size(), 1u);
  EXPECT_EQ(rig.f.Prompter().Records()[0].text, QStringLiteral("データがありません"));
  EXPECT_FALSE(std::filesystem::exists(rig.pdf));
}

TEST(PrintCommand, PrintsTitleInformationAndLabelsOnThePage) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  TPrintRig rig;
  HoldUnsavedMeasurement(rig.w);
  rig.w.mShowMeasured();
  rig.Print({"試料 A-1", "", "測定者 山田"});

  EXPECT_EQ(rig.w.SettingRec.pstr[0], "試料 A-1");
  EXPECT_EQ(rig.w.SettingRec.pstr[2], "測定者 山田");
  ASSERT_TRUE(std::filesystem::exists(rig.pdf));
  const std::string text = PdfLayoutText(rig.pdf);
  EXPECT_NE(text.find(kTitle), std::string::npos) << text;
  EXPECT_NE(text.find("試料 A-1"), std::string::npos);
  EXPECT_NE(text.find("[Hz]"), std::string::npos);
  EXPECT_NE(text.find("[deg]"), std::string::npos);
  const std::vector<TPdfWord> words = PdfWords(rig.pdf);
  const TPdfWord* first = FindWord(words, "試料");
  const TPdfWord* third = FindWord(words, "測定者");
  ASSERT_TRUE(first && third);
  EXPECT_GT(third->yMin - first->yMin, 20.0) << "the empty second line keeps its row";
  EXPECT_GT(CountInk(PdfPage(rig.pdf, 150, QRect(), false), IsBlueInk), 50) << "the plot is on the page";
}

TEST(PrintCommand, CancellingTheInformationDialogKeepsTheLinesAndPrintsNothing) {
  TPrintRig rig;
  HoldUnsavedMeasurement(rig.w);
  rig.w.SettingRec.pstr = {"one", "two", "three"};
  rig.Print({"changed", "", ""}, false);
  EXPECT_EQ(rig.w.SettingRec.pstr[0], "one");
  EXPECT_EQ(rig.f.Prompter().Records().size(), 1u) << "no print dialog";
  EXPECT_FALSE(std::filesystem::exists(rig.pdf));
}

TEST(PrintCommand, CancellingThePrintDialogKeepsTheConfirmedLines) {
  TPrintRig rig;
  HoldUnsavedMeasurement(rig.w);
  rig.Print({"confirmed", "", ""}, true, false);
  EXPECT_EQ(rig.w.SettingRec.pstr[0], "confirmed");
  EXPECT_EQ(rig.f.Prompter().Records().back().kind, TPromptKind::Print);
  EXPECT_FALSE(std::filesystem::exists(rig.pdf));
}

TEST(PrintCommand, AJobThatCannotBeWrittenIsReported) {
  TPrintRig rig;
  HoldUnsavedMeasurement(rig.w);
  rig.w.ThePrinter().setOutputFileName(QString::fromStdString(rig.f.Dir().File("no/such/page.pdf")));
  rig.Print({"", "", ""});
  ExpectBoxes(rig.f.Prompter(), {QStringLiteral("グラフを印刷できませんでした")}, TBoxStyle::Error);
}

TEST(PrintCommand, AComposerThatCannotBeCreatedEndsTheProgram) {
  TPrintRig rig([](TMainOptions& options, const TTempDir&) {
    options.beforeCreate = [](const char* component) {
      if (std::string(component) == "TDoZ_Print") throw std::bad_alloc();
    };
  });
  HoldUnsavedMeasurement(rig.w);
  rig.w.DataSaved = 1;
  rig.Print({"", "", ""});
  ASSERT_FALSE(rig.f.Prompter().Boxes().empty());
  EXPECT_EQ(rig.f.Prompter().Boxes()[0].text, QStringLiteral("致命的なメモリエラーです:TDoZ_Print"));
  EXPECT_FALSE(rig.w.isVisible()) << "the window closed";
}

// The analysis window prints its quantity graph through the same two
// dialogs, onto the same page: the graph, the title and the lines.
TEST(PrintCommand, AnalysisWindowPrintsItsQuantityGraph) {
  if (!HavePoppler()) GTEST_SKIP() << "poppler-utils not installed";
  TPrintRig rig;
  rig.w.MenuAnalysis_WindowClick();
  TFormAnalysis& a = *rig.w.FormAnalysis;
  EXPECT_FALSE(a.PrintButton->isEnabled());
  HoldUnsavedMeasurement(rig.w);
  rig.w.mShowMeasured();
  a.Follow();
  a.QuantityBox->setCurrentIndex(9);  // the Nyquist plot
  rig.f.Prompter().modalActions.push_back(InfoAnswer({"試料 B-2", "", ""}, true));
  rig.f.Prompter().printAnswers.push_back(true);
  a.PrintButton->click();
  EXPECT_EQ(rig.w.SettingRec.pstr[0], "試料 B-2");
  const std::string text = PdfLayoutText(rig.pdf);
  for (const char* part : {kTitle, "試料 B-2", "-Im Z [Ω]", "Re Z [Ω]"})
    EXPECT_NE(text.find(part), std::string::npos) << part;
  EXPECT_GT(CountInk(PdfPage(rig.pdf, 150, QRect(), false), IsBlueInk), 50);
}

// The set-up form chooses printer, paper and orientation for the next print;
// cancelled, it changes nothing.
TEST(PrintCommand, PrinterSetupKeepsItsChoiceForTheNextPrint) {
  TPrintRig rig;
  const auto choose = [&](QPageSize::PageSizeId paper, bool landscape, int result) {
    rig.f.Prompter().modalActions.push_back([&rig, paper, landscape, result](QDialog&) {
      TFormPrinterSetup& form = *rig.w.FormPrinterSetup;
      form.PrinterBox->setCurrentIndex(form.PrinterBox->count() - 1);
      form.PaperBox->setCurrentIndex(form.PaperBox->findData(paper));
      (landscape ? form.LandscapeButton : form.PortraitButton)->setChecked(true);
      (result == QDialog::Accepted ? form.Button1 : form.Button2)->click();
      return form.result();
    });
    rig.w.MenuFile_PrintSetupClick();
  };
  choose(QPageSize::A5, true, QDialog::Accepted);
  QPrinter& printer = rig.w.ThePrinter();
  EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
  EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
  choose(QPageSize::Letter, false, QDialog::Rejected);
  EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
  // Opened again, the form shows what the printer holds.
  rig.f.Prompter().modalActions.push_back([&](QDialog& d) {
    TFormPrinterSetup& form = *rig.w.FormPrinterSetup;
    EXPECT_EQ(form.PaperBox->currentData().toInt(), QPageSize::A5);
    EXPECT_TRUE(form.LandscapeButton->isChecked());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("印刷設定"));
    form.Button2->click();
    return d.result();
  });
  rig.w.MenuFile_PrintSetupClick();
}

}  // namespace
}  // namespace doz::test
