// The file and reference commands: open, save, close and export a
// measurement, load and clear reference sets, with every dialog answered
// by script and every file checked on disk.
#include <QComboBox>
#include <filesystem>

#include "Doz_file.h"
#include "Qo_status.h"
#include "Setcolor.h"
#include "Status_bar.h"
#include "Window_steps.h"

namespace doz::test {
namespace {

const QString kCaption = QStringLiteral("Do-Z v1.1");
const QString kDataFileError = QStringLiteral("データファイルの内容が正しくありませんでした");
const QString kNoData = QStringLiteral("データがありません");
const QString kLimit = QStringLiteral("参照データは５個までにしてください");

QString CaptionWith(const std::string& path) {
  return kCaption + " / " + QString::fromStdString(path);
}

bool SameRecords(const TRawData& a, const TRawData& b) {
  if (a.Band != b.Band || a.DateTime != b.DateTime) return false;
  for (int i = BandFirstIndex(a.Band); i <= BandLastIndex(a.Band); ++i)
    if (std::string(a.Data[i].data()) != std::string(b.Data[i].data())) return false;
  return true;
}

const TPromptRecord* LastOf(TMainFixture& f, TPromptKind kind) {
  const TPromptRecord* last = nullptr;
  for (const TPromptRecord& r : f.Prompter().Records())
    if (r.kind == kind) last = &r;
  return last;
}

int CountOf(TMainFixture& f, TPromptKind kind) {
  int n = 0;
  for (const TPromptRecord& r : f.Prompter().Records()) n += r.kind == kind;
  return n;
}

std::vector<QString> BoxTexts(TMainFixture& f) {
  std::vector<QString> texts;
  for (const TPromptRecord& r : f.Prompter().Boxes()) texts.push_back(r.text);
  return texts;
}

// A shown window and a folder with one band-1 measurement file in it.
struct TFileWindow {
  TMainFixture f;
  TFormMain& w = f.Window();
  std::string measured = f.Dir().File("measured.DTA");
  TRawData written;
  TFileWindow() {
    f.Idle();
    EXPECT_TRUE(WriteSpeakerFile(measured, 1, 21, "SN-77", 4, &written));
  }
  std::string Path(const std::string& name) const { return f.Dir().File(name); }
};

TEST(OpenCommandTest, OpenLoadsTheFileAndShowsIt) {
  TFileWindow t;
  OpenThroughMenu(t.f, t.measured);

  const TPromptRecord* dialog = LastOf(t.f, TPromptKind::OpenFiles);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->file.title, "データファイルを選んでください");
  EXPECT_EQ(dialog->file.initialName, "*.DTA");
  EXPECT_TRUE(dialog->file.filter.startsWith("データファイル (")) << dialog->file.filter.toStdString();
  EXPECT_TRUE(dialog->file.filter.contains("*.DTA"));
  EXPECT_FALSE(dialog->multiple);

  EXPECT_EQ(t.w.MeasData.Present, 1);
  EXPECT_EQ(t.w.DataSaved, 1);
  EXPECT_EQ(t.w.FileName, t.measured);
  EXPECT_EQ(t.w.windowTitle(), CaptionWith(t.measured));
  EXPECT_EQ(t.w.UnitSerial, "SN-77");
  EXPECT_EQ(t.w.SettingRec.CommPortNum, 4);
  EXPECT_TRUE(SameRecords(t.w.MeasData, t.written));
  EXPECT_EQ(t.w.MeasCalc.Valid, 1);
  EXPECT_GT(CountColor(t.w, t.w.SettingRec.PenColor_R), 100);
  EXPECT_TRUE(t.f.Prompter().Boxes().empty());
}

TEST(OpenCommandTest, OpenTakesTheBandOfTheFile) {
  TFileWindow t;
  const std::string narrow = t.Path("narrow.DTA");
  ASSERT_TRUE(WriteSpeakerFile(narrow, 9, 22));
  OpenThroughMenu(t.f, narrow);
  EXPECT_EQ(t.w.GraphRange.Band, 9);
  EXPECT_EQ(t.w.ComboBox2->currentIndex(), 8);
  EXPECT_EQ(t.w.GraphRange.StartFreq, 100);
  EXPECT_EQ(t.w.GraphRange.StopFreq, 1000);
}

TEST(OpenCommandTest, FailedOpenEmptiesTheMeasurementAndKeepsTheCaption) {
  TFileWindow t;
  OpenThroughMenu(t.f, t.measured);
  const std::string broken = t.Path("broken.DTA");
  WriteBytes(broken, "DataFile:Do-Z\r\nSN:1\r\nnonsense\r\n");

  OpenThroughMenu(t.f, broken);
  EXPECT_EQ(BoxTexts(t.f), std::vector<QString>{kDataFileError});
  EXPECT_EQ(t.f.Prompter().Boxes()[0].style, TBoxStyle::Error);
  EXPECT_EQ(t.f.Prompter().Boxes()[0].caption, kCaption);
  EXPECT_EQ(t.w.MeasData.Present, 0);
  EXPECT_EQ(t.w.DataSaved, 0);
  EXPECT_EQ(t.w.FileName, broken);
  EXPECT_EQ(t.w.windowTitle(), CaptionWith(t.measured));
  EXPECT_EQ(CountColor(t.w, t.w.SettingRec.PenColor_R), 0);

  OpenThroughMenu(t.f, t.Path("missing.DTA"));
  EXPECT_EQ(BoxTexts(t.f).size(), 2u);
  EXPECT_EQ(t.w.MeasData.Present, 0);
}

TEST(OpenCommandTest, OpenOverUnsavedDataAsksFirst) {
  TFileWindow t;
  HoldUnsavedMeasurement(t.w);
  const TRawData held = t.w.MeasData;

  t.f.Prompter().boxAnswers = {TBoxResult::No};
  t.f.Prompter().openAnswers.push_back({QString::fromStdString(t.measured)});
  t.w.MenuFile_OpenClick();
  EXPECT_EQ(BoxTexts(t.f),
            std::vector<QString>{QStringLiteral("測定データを保存していません。破棄しますか？")});
  EXPECT_EQ(CountOf(t.f, TPromptKind::OpenFiles), 0);
  EXPECT_TRUE(SameRecords(t.w.MeasData, held));
  EXPECT_EQ(t.w.DataSaved, 0);

  t.f.Prompter().boxAnswers = {TBoxResult::Yes};
  t.w.MenuFile_OpenClick();
  EXPECT_TRUE(SameRecords(t.w.MeasData, t.written));
  EXPECT_EQ(t.w.DataSaved, 1);
}

TEST(OpenCommandTest, CancelledOrEmptyAnswerChangesNothing) {
  TFileWindow t;
  OpenThroughMenu(t.f, t.measured);
  const QImage shown = t.w.Graph->Bitmap().copy();
  for (const QStringList& answer : {QStringList(), QStringList{QString()}}) {
    t.f.Prompter().openAnswers.push_back(answer);
    t.w.MenuFile_OpenClick();
    EXPECT_EQ(t.w.FileName, t.measured);
    EXPECT_EQ(t.w.MeasData.Present, 1);
    EXPECT_EQ(t.w.windowTitle(), CaptionWith(t.measured));
    EXPECT_EQ(t.w.Graph->Bitmap(), shown);
  }
  EXPECT_TRUE(t.f.Prompter().Boxes().empty());
}

TEST(SaveCommandTest, SaveWithoutDataOpensNoDialog) {
  TFileWindow t;
  t.w.MenuFile_SaveClick();
  t.w.MenuFile_ExportClick();
  EXPECT_EQ(BoxTexts(t.f), (std::vector<QString>{kNoData, kNoData}));
  EXPECT_EQ(CountOf(t.f, TPromptKind::SaveFile), 0);
}

struct TExtensionCase {
  const char* chosen;
  const char* written;
};

class SaveExtensionTest : public ::testing::TestWithParam<TExtensionCase> {};

TEST_P(SaveExtensionTest, SaveAppliesTheExtensionRule) {
  const TExtensionCase c = GetParam();
  TFileWindow t;
  std::filesystem::create_directory(t.Path("my.data"));
  OpenThroughMenu(t.f, t.measured);
  t.w.DataSaved = 0;
  const std::string expected = t.Path(c.written);

  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path(c.chosen)));
  t.w.MenuFile_SaveClick();

  EXPECT_EQ(t.w.FileName, expected);
  EXPECT_EQ(t.w.DataSaved, 1);
  EXPECT_EQ(t.w.windowTitle(), CaptionWith(expected));
  EXPECT_EQ(ReadBytes(expected), ReadBytes(t.measured));
  if (std::string(c.chosen) != c.written) {
    EXPECT_FALSE(FileExists(t.Path(c.chosen)));
  }
  EXPECT_TRUE(t.f.Prompter().Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveExtensionTest,
    ::testing::Values(TExtensionCase{"run1", "run1.DTA"}, TExtensionCase{"run1.dta", "run1.DTA"},
                      TExtensionCase{"run1.old.DTA", "run1.old.DTA"},
                      TExtensionCase{"run1.old", "run1.DTA"},
                      TExtensionCase{"run1.DTA", "run1.DTA"},
                      TExtensionCase{"my.data/run1", "my.data/run1.DTA"},
                      TExtensionCase{"my.data/run1.x.y", "my.data/run1.DTA"}));

struct TExportCase {
  const char* chosen;
  const char* written;
  const char* fileName;  // FileName afterwards
};

class ExportExtensionTest : public ::testing::TestWithParam<TExportCase> {};

TEST_P(ExportExtensionTest, ExportAppliesTheExtensionRuleAndKeepsTheBaseName) {
  const TExportCase c = GetParam();
  TFileWindow t;
  std::filesystem::create_directory(t.Path("my.dir"));
  OpenThroughMenu(t.f, t.measured);

  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path(c.chosen)));
  t.w.MenuFile_ExportClick();

  EXPECT_TRUE(FileExists(t.Path(c.written)));
  EXPECT_EQ(t.w.FileName, t.Path(c.fileName));
  EXPECT_EQ(t.w.windowTitle(), CaptionWith(t.measured));
  EXPECT_EQ(t.w.DataSaved, 1);
  EXPECT_EQ(t.f.Panel(1), "データ書き出し完了");
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExportExtensionTest,
    ::testing::Values(TExportCase{"x", "x.txt", "x"}, TExportCase{"x.TXT", "x.txt", "x"},
                      TExportCase{"x.y.txt", "x.y.txt", "x"},
                      TExportCase{"my.dir/x", "my.dir/x.txt", "my.dir/x"},
                      TExportCase{"my.dir/x.txt", "my.dir/x.txt", "my.dir/x"}));

TEST(SaveCommandTest, OverwriteQuestionGuardsAnExistingFile) {
  TFileWindow t;
  OpenThroughMenu(t.f, t.measured);
  t.w.DataSaved = 0;
  const std::string target = t.Path("old.DTA");
  WriteBytes(target, "keep me");

  t.f.Prompter().confirmAnswers = {false};
  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path("old")));
  t.w.MenuFile_SaveClick();
  const TPromptRecord* question = LastOf(t.f, TPromptKind::Confirm);
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->text, QStringLiteral("ファイル：") + QString::fromStdString(target) +
                                QStringLiteral("があります。\n上書きしますか"));
  EXPECT_EQ(ReadBytes(target), "keep me");
  EXPECT_EQ(t.w.FileName, t.measured);
  EXPECT_EQ(t.w.DataSaved, 0);

  t.f.Prompter().confirmAnswers = {true};
  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(target));
  t.w.MenuFile_SaveClick();
  EXPECT_EQ(ReadBytes(target), ReadBytes(t.measured));
  EXPECT_EQ(t.w.DataSaved, 1);
}

TEST(SaveCommandTest, ExportAsksBeforeOverwritingToo) {
  TFileWindow t;
  OpenThroughMenu(t.f, t.measured);
  const std::string target = t.Path("table.txt");
  WriteBytes(target, "keep me");
  t.f.Prompter().confirmAnswers = {false};
  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(target));
  t.w.MenuFile_ExportClick();
  EXPECT_EQ(CountOf(t.f, TPromptKind::Confirm), 1);
  EXPECT_EQ(ReadBytes(target), "keep me");
  EXPECT_EQ(t.w.FileName, t.measured);
  EXPECT_EQ(t.f.Panel(1), "");
}

QString ProposedName(TMainFixture& f, void (TFormMain::*command)()) {
  (f.Window().*command)();  // cancelled: no answer queued
  const TPromptRecord* dialog = LastOf(f, TPromptKind::SaveFile);
  return dialog ? dialog->file.initialName : QString("no dialog");
}

TEST(SaveCommandTest, DefaultNamesFollowTheCurrentFile) {
  TFileWindow t;
  HoldUnsavedMeasurement(t.w);
  EXPECT_EQ(ProposedName(t.f, &TFormMain::MenuFile_SaveClick), "*.DTA");
  EXPECT_EQ(ProposedName(t.f, &TFormMain::MenuFile_ExportClick), "*.txt");
  const TPromptRecord* dialog = LastOf(t.f, TPromptKind::SaveFile);
  EXPECT_TRUE(dialog->file.title.isEmpty());
  EXPECT_TRUE(dialog->file.filter.contains("*.txt"));

  const std::string dotted = t.Path("a.b.DTA");
  ASSERT_TRUE(WriteSpeakerFile(dotted, 1, 23));
  t.f.Prompter().boxAnswers = {TBoxResult::Yes};
  OpenThroughMenu(t.f, dotted);
  EXPECT_EQ(ProposedName(t.f, &TFormMain::MenuFile_SaveClick), "a.DTA");
  EXPECT_EQ(ProposedName(t.f, &TFormMain::MenuFile_ExportClick), "a.txt");

  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path("x.txt")));
  t.w.MenuFile_ExportClick();
  EXPECT_EQ(ProposedName(t.f, &TFormMain::MenuFile_SaveClick), "x.DTA");
  EXPECT_EQ(t.w.MeasData.Present, 1);
  EXPECT_EQ(t.f.Prompter().UnusedAnswers(), 0u);
}

TEST(SaveCommandTest, CancelledSaveOrExportChangesNothing) {
  TFileWindow t;
  HoldUnsavedMeasurement(t.w);
  t.w.FileName = t.Path("earlier");
  t.w.MenuFile_SaveClick();
  t.w.MenuFile_ExportClick();
  EXPECT_EQ(CountOf(t.f, TPromptKind::SaveFile), 2);
  EXPECT_EQ(t.w.FileName, t.Path("earlier"));
  EXPECT_EQ(t.w.DataSaved, 0);
  EXPECT_EQ(t.w.windowTitle(), kCaption);
  EXPECT_EQ(t.f.Panel(1), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.f.Dir().Path()),
                          std::filesystem::directory_iterator()),
            2);  // the measurement file and the settings
}

TEST(SaveCommandTest, FailedSaveReportsAndKeepsTheState) {
  TFileWindow t;
  HoldUnsavedMeasurement(t.w);
  const std::string tried = t.Path("no-such-folder/run1.DTA");
  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path("no-such-folder/run1")));
  t.w.MenuFile_SaveClick();
  EXPECT_EQ(t.f.Panel(1), "データ保存できませんでした");
  EXPECT_EQ(t.w.DataSaved, 0);
  EXPECT_EQ(t.w.windowTitle(), kCaption);
  EXPECT_EQ(t.w.FileName, tried);
  EXPECT_TRUE(t.f.Prompter().Boxes().empty());

  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path("no-such-folder/t")));
  t.w.MenuFile_ExportClick();
  EXPECT_EQ(t.f.Panel(1), "データ保存できませんでした");
}

TEST(ExportCommandTest, ExportWritesTheSmoothedOrTheRawValues) {
  TFileWindow t;
  OpenThroughMenu(t.f, t.measured);
  const TDoZ_File files;
  ASSERT_TRUE(files.ExportText(t.Path("ave-expected.txt"), "", &t.w.MeasAve, &t.w.MeasData));
  ASSERT_TRUE(files.ExportText(t.Path("raw-expected.txt"), "", &t.w.MeasCalc, &t.w.MeasData));
  ASSERT_NE(ReadBytes(t.Path("ave-expected.txt")), ReadBytes(t.Path("raw-expected.txt")));

  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path("ave")));
  t.w.MenuFile_ExportClick();
  EXPECT_EQ(ReadBytes(t.Path("ave.txt")), ReadBytes(t.Path("ave-expected.txt")));

  t.w.MenuGraph_AveClick();
  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path("raw")));
  t.w.MenuFile_ExportClick();
  EXPECT_EQ(ReadBytes(t.Path("raw.txt")), ReadBytes(t.Path("raw-expected.txt")));
  EXPECT_EQ(t.f.Panel(1), "データ書き出し完了");
}

TEST(CloseCommandTest, ClosingUnsavedDataAsksAndNoKeepsEverything) {
  TFileWindow t;
  HoldUnsavedMeasurement(t.w);
  t.w.QoStatus->SetPanelText("one", 1);
  t.w.QoStatus->SetPanelText("two", 2);
  const QImage shown = t.w.Graph->Bitmap().copy();

  t.f.Prompter().boxAnswers = {TBoxResult::No};
  t.w.MenuFile_CloseClick();
  EXPECT_EQ(BoxTexts(t.f), std::vector<QString>{
                               QStringLiteral("測定データを保存していません。データを破棄しますか？")});
  EXPECT_EQ(t.w.MeasData.Present, 1);
  EXPECT_EQ(t.f.Panel(1), "one");
  EXPECT_EQ(t.f.Panel(2), "two");
  EXPECT_EQ(t.w.Graph->Bitmap(), shown);

  t.f.Prompter().boxAnswers = {TBoxResult::Yes};
  t.w.MenuFile_CloseClick();
  EXPECT_EQ(t.w.MeasData.Present, 0);
  EXPECT_EQ(t.w.DataSaved, 0);
  EXPECT_EQ(t.f.Panel(1), "");
  EXPECT_EQ(t.f.Panel(2), "");
  EXPECT_EQ(t.w.StatusBar1->PanelWidth(1), 110);
}

TEST(CloseCommandTest, ClosingASavedFileKeepsItsNameAndShowsTheReferences) {
  TFileWindow t;
  OpenThroughMenu(t.f, t.measured);
  LoadReferencesThroughMenu(t.f, SampleFiles(t.f, "ref", 1, 1, 24));
  t.w.MenuFile_CloseClick();
  EXPECT_TRUE(t.f.Prompter().Boxes().empty());
  EXPECT_EQ(t.w.MeasData.Present, 0);
  EXPECT_EQ(t.w.DataSaved, 1);
  EXPECT_EQ(t.w.FileName, t.measured);
  EXPECT_EQ(t.w.windowTitle(), kCaption);
  EXPECT_EQ(CountColor(t.w, t.w.SettingRec.PenColor_R), 0);
  EXPECT_GT(CountColor(t.w, t.w.SettingRec.PenColor_R_Ref[0]), 100);

  t.w.MenuRef_CloseClick();
  t.w.MenuFile_CloseClick();
  EXPECT_EQ(CountColor(t.w, t.w.SettingRec.PenColor_R_Ref[0]), 0);
}

TEST(ReferenceCommandTest, ReferencesLoadInTheDialogsOrder) {
  TFileWindow t;
  const std::vector<std::string> files = SampleFiles(t.f, "r", 3, 1, 31);
  const std::vector<std::string> chosen = {files[2], files[0], files[1]};
  LoadReferencesThroughMenu(t.f, chosen);

  const TPromptRecord* dialog = LastOf(t.f, TPromptKind::OpenFiles);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->file.title, "参照ファイルを選んでください(５個まで)");
  EXPECT_EQ(dialog->file.initialName, "*.DTA");
  EXPECT_TRUE(dialog->multiple);

  EXPECT_EQ(t.w.RefCount, 3);
  const std::uint64_t seeds[] = {33, 31, 32};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(t.w.RefFileName[k], chosen[k]);
    EXPECT_EQ(t.w.RefData[k].Present, 1);
    EXPECT_TRUE(SameRecords(t.w.RefData[k], SpeakerSweep(1, seeds[k]))) << k;
    EXPECT_EQ(t.w.RefCalc[k].Valid, 1);
  }
  EXPECT_EQ(t.w.RefData[3].Present, 0);
  EXPECT_GT(CountColor(t.w, t.w.SettingRec.PenColor_R_Ref[0]), 100);
}

TEST(ReferenceCommandTest, LimitOfFiveIsCheckedBeforeAndAfterTheDialog) {
  TFileWindow t;
  const std::vector<std::string> files = SampleFiles(t.f, "r", 5, 1, 41);
  LoadReferencesThroughMenu(t.f, {files[0], files[1], files[2]});
  ASSERT_EQ(t.w.RefCount, 3);
  const QImage three = t.w.Graph->Bitmap().copy();

  LoadReferencesThroughMenu(t.f, {files[3], files[4], files[0]});
  EXPECT_EQ(BoxTexts(t.f), std::vector<QString>{kLimit});
  EXPECT_EQ(t.w.RefCount, 3);
  EXPECT_EQ(t.w.RefData[3].Present, 0);
  EXPECT_TRUE(t.w.RefFileName[3].empty());
  EXPECT_EQ(t.w.Graph->Bitmap(), three);

  LoadReferencesThroughMenu(t.f, {files[3], files[4]});
  EXPECT_EQ(t.w.RefCount, 5);
  EXPECT_EQ(t.w.RefFileName[3], files[3]);
  EXPECT_EQ(t.w.RefFileName[4], files[4]);
  EXPECT_EQ(t.w.RefData[4].Present, 1);

  const int dialogs = CountOf(t.f, TPromptKind::OpenFiles);
  t.w.MenuRef_OpenClick();
  EXPECT_EQ(CountOf(t.f, TPromptKind::OpenFiles), dialogs);
  EXPECT_EQ(BoxTexts(t.f), (std::vector<QString>{kLimit, kLimit}));
}

TEST(ReferenceCommandTest, ReferencesWithoutAMeasurementSwitchTheBand) {
  TFileWindow t;
  const std::vector<std::string> files = SampleFiles(t.f, "b", 1, 5, 51);
  LoadReferencesThroughMenu(t.f, files);
  EXPECT_EQ(t.w.GraphRange.Band, 5);
  EXPECT_EQ(t.w.ComboBox2->currentIndex(), 4);
  EXPECT_EQ(t.w.GraphRange.StopFreq, 10000);
  EXPECT_GT(CountColor(t.w, t.w.SettingRec.PenColor_R_Ref[0]), 100);
}

TEST(ReferenceCommandTest, ReferencesBesideAMeasurementKeepItsBand) {
  TFileWindow t;
  OpenThroughMenu(t.f, t.measured);
  LoadReferencesThroughMenu(t.f, SampleFiles(t.f, "b", 1, 5, 52));
  EXPECT_EQ(t.w.GraphRange.Band, 1);
  EXPECT_EQ(t.w.ComboBox2->currentIndex(), 0);
  EXPECT_GT(CountColor(t.w, t.w.SettingRec.PenColor_R), 100);
  EXPECT_GT(CountColor(t.w, t.w.SettingRec.PenColor_R_Ref[0]), 50);
}

TEST(ReferenceCommandTest, CancelledDialogChangesNothing) {
  TFileWindow t;
  LoadReferencesThroughMenu(t.f, SampleFiles(t.f, "r", 1, 1, 61));
  const QImage shown = t.w.Graph->Bitmap().copy();
  t.w.MenuRef_OpenClick();
  EXPECT_EQ(t.w.RefCount, 1);
  EXPECT_EQ(t.w.RefData[0].Present, 1);
  EXPECT_EQ(t.w.Graph->Bitmap(), shown);
  EXPECT_TRUE(t.f.Prompter().Boxes().empty());
}

TEST(ReferenceCommandTest, FailureMidwayEndsTheCommandWithoutCounting) {
  TFileWindow t;
  const std::vector<std::string> files = SampleFiles(t.f, "r", 3, 1, 71);
  LoadReferencesThroughMenu(t.f, {files[0]});
  const QImage shown = t.w.Graph->Bitmap().copy();
  const std::string broken = t.Path("broken.DTA");
  WriteBytes(broken, "not a data file\r\n");

  LoadReferencesThroughMenu(t.f, {files[1], broken, files[2]});
  EXPECT_EQ(BoxTexts(t.f), std::vector<QString>{kDataFileError});
  EXPECT_EQ(t.w.RefCount, 1);
  EXPECT_EQ(t.w.RefData[1].Present, 1);  // kept until the next reference command
  EXPECT_EQ(t.w.RefData[2].Present, 0);
  EXPECT_STREQ(t.w.RefData[2].Data[0].data(), "00000000000000000000");
  EXPECT_EQ(t.w.RefFileName[2], broken);
  EXPECT_TRUE(t.w.RefFileName[3].empty());
  EXPECT_EQ(t.w.Graph->Bitmap(), shown);

  LoadReferencesThroughMenu(t.f, {files[2]});
  EXPECT_EQ(t.w.RefCount, 2);
  EXPECT_EQ(t.w.RefFileName[1], files[2]);
  EXPECT_EQ(t.w.RefData[2].Present, 0);
}

TEST(ReferenceCommandTest, ClearEmptiesEverySlotAndRedraws) {
  TFileWindow t;
  const std::vector<std::string> files = SampleFiles(t.f, "r", 2, 1, 81);
  OpenThroughMenu(t.f, t.measured);
  LoadReferencesThroughMenu(t.f, files);
  t.w.MenuRef_CloseClick();
  EXPECT_EQ(t.w.RefCount, 0);
  for (int k = 0; k < REF_MAX; ++k) {
    EXPECT_EQ(t.w.RefData[k].Present, 0);
    EXPECT_EQ(t.w.RefCalc[k].Valid, 0);
    EXPECT_EQ(t.w.RefCalc[k].R[100], -1.0);
  }
  EXPECT_EQ(t.w.RefFileName[1], files[1]);
  EXPECT_EQ(CountColor(t.w, t.w.SettingRec.PenColor_R_Ref[0]), 0);
  EXPECT_GT(CountColor(t.w, t.w.SettingRec.PenColor_R), 100);

  LoadReferencesThroughMenu(t.f, {files[1]});
  EXPECT_EQ(t.w.RefFileName[0], files[1]);
  EXPECT_EQ(t.w.RefCount, 1);
}

// A whole working session through the menus, checking every file written.
TEST(FileSessionTest, OpenOverlayRecolourSaveExportAndReopen) {
  TFileWindow t;
  OpenThroughMenu(t.f, t.measured);
  LoadReferencesThroughMenu(t.f, SampleFiles(t.f, "ref", 3, 1, 91));
  ASSERT_EQ(t.w.RefCount, 3);

  const QColor green(10, 200, 30);
  t.f.Prompter().colorAnswers.push_back(green);
  t.f.Prompter().modalActions.push_back([](QDialog& form) {
    auto& colours = static_cast<TFormSetColor&>(form);
    colours.PaintBox1Click();
    colours.SetBtnClick();
    return form.result();
  });
  t.w.MenuSet_ColorClick();
  t.w.MenuGraph_LogClick();
  t.w.MenuGraph_WideClick();
  EXPECT_EQ(t.w.SettingRec.PenColor_R, RefFromColor(green));
  EXPECT_GT(CountColor(t.w.Graph->Bitmap(), green), 300);

  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path("copy")));
  t.w.MenuFile_SaveClick();
  EXPECT_EQ(ReadBytes(t.Path("copy.DTA")), ReadBytes(t.measured));

  t.f.Prompter().saveAnswers.push_back(QString::fromStdString(t.Path("table")));
  t.w.MenuFile_ExportClick();
  ASSERT_TRUE(
      TDoZ_File().ExportText(t.Path("expected.txt"), "", &t.w.MeasAve, &t.w.MeasData));
  EXPECT_EQ(ReadBytes(t.Path("table.txt")), ReadBytes(t.Path("expected.txt")));

  t.w.MenuFile_CloseClick();
  OpenThroughMenu(t.f, t.Path("copy.DTA"));
  EXPECT_TRUE(SameRecords(t.w.MeasData, t.written));
  EXPECT_EQ(t.w.UnitSerial, "SN-77");
  EXPECT_EQ(t.w.windowTitle(), CaptionWith(t.Path("copy.DTA")));
  EXPECT_GT(CountColor(t.w.Graph->Bitmap(), green), 300);
  EXPECT_GT(CountColor(t.w, t.w.SettingRec.PenColor_R_Ref[2]), 50);
  EXPECT_TRUE(t.f.Prompter().Boxes().empty());
  EXPECT_EQ(t.f.Prompter().UnusedAnswers(), 0u);
}

}  // namespace
}  // namespace doz::test
