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

// The last open dialog asked for data files under `title`.
void ExpectOpenDialog(TMainFixture& f, const QString& title, bool multiple) {
  const TPromptRecord* dialog = LastOf(f, TPromptKind::OpenFiles);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->file.title, title);
  EXPECT_EQ(dialog->file.initialName, "*.DTA");
  EXPECT_TRUE(dialog->file.filter.startsWith("データファイル (")) << dialog->file.filter.toStdString();
  EXPECT_TRUE(dialog->file.filter.contains("*.DTA"));
  EXPECT_EQ(dialog->multiple, multiple);
}

// A shown window and a folder with one band-1 measurement file in it.
class TFileWindow : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteSpeakerFile(measured, 1, 21, "SN-77", 4, &written)); }

  std::string Path(const std::string& name) const { return f.Dir().File(name); }
  void OpenMeasured() { OpenThroughMenu(f, measured); }
  // The save or the export command, its dialog answering `name` in the folder.
  void SaveAs(const std::string& name) {
    f.Prompter().saveAnswers.push_back(QString::fromStdString(Path(name)));
    w.MenuFile_SaveClick();
  }
  void ExportAs(const std::string& name) {
    f.Prompter().saveAnswers.push_back(QString::fromStdString(Path(name)));
    w.MenuFile_ExportClick();
  }

  TMainFixture f;
  TFormMain& w = f.Shown();
  std::string measured = f.Dir().File("measured.DTA");
  TRawData written;
};

class OpenCommandTest : public TFileWindow {};
class SaveCommandTest : public TFileWindow {};
class ExportCommandTest : public TFileWindow {};
class CloseCommandTest : public TFileWindow {};
class ReferenceCommandTest : public TFileWindow {};
class FileSessionTest : public TFileWindow {};

TEST_F(OpenCommandTest, OpenLoadsTheFileAndShowsIt) {
  OpenMeasured();

  ExpectOpenDialog(f, QStringLiteral("データファイルを選んでください"), false);

  EXPECT_EQ(w.MeasData.Present, 1);
  EXPECT_EQ(w.DataSaved, 1);
  EXPECT_EQ(w.FileName, measured);
  EXPECT_EQ(w.windowTitle(), CaptionWith(measured));
  EXPECT_EQ(w.UnitSerial, "SN-77");
  EXPECT_EQ(w.SettingRec.CommPortNum, 4);
  EXPECT_TRUE(SameRecords(w.MeasData, written));
  EXPECT_EQ(w.MeasCalc.Valid, 1);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R), 100);
  EXPECT_TRUE(f.Prompter().Boxes().empty());
}

TEST_F(OpenCommandTest, OpenTakesTheBandOfTheFile) {
  const std::string narrow = Path("narrow.DTA");
  ASSERT_TRUE(WriteSpeakerFile(narrow, 9, 22));
  OpenThroughMenu(f, narrow);
  ExpectBand(w, 9);
}

TEST_F(OpenCommandTest, FailedOpenEmptiesTheMeasurementAndKeepsTheCaption) {
  OpenMeasured();
  const std::string broken = Path("broken.DTA");
  WriteBytes(broken, "DataFile:Do-Z\r\nSN:1\r\nnonsense\r\n");

  OpenThroughMenu(f, broken);
  ExpectBoxes(f.Prompter(), {kDataFileError}, TBoxStyle::Error);
  EXPECT_EQ(w.MeasData.Present, 0);
  EXPECT_EQ(w.DataSaved, 0);
  EXPECT_EQ(w.FileName, broken);
  EXPECT_EQ(w.windowTitle(), CaptionWith(measured));
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R), 0);

  OpenThroughMenu(f, Path("missing.DTA"));
  ExpectBoxes(f.Prompter(), {kDataFileError, kDataFileError}, TBoxStyle::Error);
  EXPECT_EQ(w.MeasData.Present, 0);
}

TEST_F(OpenCommandTest, OpenOverUnsavedDataAsksFirst) {
  HoldUnsavedMeasurement(w);
  const TRawData held = w.MeasData;

  f.Prompter().boxAnswers = {TBoxResult::No};
  f.Prompter().openAnswers.push_back({QString::fromStdString(measured)});
  w.MenuFile_OpenClick();
  ExpectBoxes(f.Prompter(), {QStringLiteral("測定データを保存していません。破棄しますか？")},
              TBoxStyle::Question);
  EXPECT_EQ(CountOf(f, TPromptKind::OpenFiles), 0);
  EXPECT_TRUE(SameRecords(w.MeasData, held));
  EXPECT_EQ(w.DataSaved, 0);

  f.Prompter().boxAnswers = {TBoxResult::Yes};
  w.MenuFile_OpenClick();
  EXPECT_TRUE(SameRecords(w.MeasData, written));
  EXPECT_EQ(w.DataSaved, 1);
}

TEST_F(OpenCommandTest, CancelledOrEmptyAnswerChangesNothing) {
  OpenMeasured();
  const QImage shown = w.Graph->Bitmap().copy();
  for (const QStringList& answer : {QStringList(), QStringList{QString()}}) {
    f.Prompter().openAnswers.push_back(answer);
    w.MenuFile_OpenClick();
    EXPECT_EQ(w.FileName, measured);
    EXPECT_EQ(w.MeasData.Present, 1);
    EXPECT_EQ(w.windowTitle(), CaptionWith(measured));
    EXPECT_EQ(w.Graph->Bitmap(), shown);
  }
  EXPECT_TRUE(f.Prompter().Boxes().empty());
}

TEST_F(SaveCommandTest, SaveWithoutDataOpensNoDialog) {
  w.MenuFile_SaveClick();
  w.MenuFile_ExportClick();
  ExpectBoxes(f.Prompter(), {kNoData, kNoData}, TBoxStyle::Error);
  EXPECT_EQ(CountOf(f, TPromptKind::SaveFile), 0);
}

struct TExtensionCase {
  const char* chosen;
  const char* written;
};

class SaveExtensionTest : public TFileWindow,
                          public ::testing::WithParamInterface<TExtensionCase> {};

TEST_P(SaveExtensionTest, SaveAppliesTheExtensionRule) {
  const TExtensionCase c = GetParam();
  std::filesystem::create_directory(Path("my.data"));
  OpenMeasured();
  w.DataSaved = 0;
  const std::string expected = Path(c.written);

  SaveAs(c.chosen);

  EXPECT_EQ(w.FileName, expected);
  EXPECT_EQ(w.DataSaved, 1);
  EXPECT_EQ(w.windowTitle(), CaptionWith(expected));
  EXPECT_EQ(ReadBytes(expected), ReadBytes(measured));
  if (std::string(c.chosen) != c.written) {
    EXPECT_FALSE(FileExists(Path(c.chosen)));
  }
  EXPECT_TRUE(f.Prompter().Boxes().empty());
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

class ExportExtensionTest : public TFileWindow,
                            public ::testing::WithParamInterface<TExportCase> {};

TEST_P(ExportExtensionTest, ExportAppliesTheExtensionRuleAndKeepsTheBaseName) {
  const TExportCase c = GetParam();
  std::filesystem::create_directory(Path("my.dir"));
  OpenMeasured();

  ExportAs(c.chosen);

  EXPECT_TRUE(FileExists(Path(c.written)));
  EXPECT_EQ(w.FileName, Path(c.fileName));
  EXPECT_EQ(w.windowTitle(), CaptionWith(measured));
  EXPECT_EQ(w.DataSaved, 1);
  EXPECT_EQ(f.Panel(1), "データ書き出し完了");
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExportExtensionTest,
    ::testing::Values(TExportCase{"x", "x.txt", "x"}, TExportCase{"x.TXT", "x.txt", "x"},
                      TExportCase{"x.y.txt", "x.y.txt", "x"},
                      TExportCase{"my.dir/x", "my.dir/x.txt", "my.dir/x"},
                      TExportCase{"my.dir/x.txt", "my.dir/x.txt", "my.dir/x"}));

TEST_F(SaveCommandTest, OverwriteQuestionGuardsAnExistingFile) {
  OpenMeasured();
  w.DataSaved = 0;
  const std::string target = Path("old.DTA");
  WriteBytes(target, "keep me");

  f.Prompter().confirmAnswers = {false};
  SaveAs("old");
  const TPromptRecord* question = LastOf(f, TPromptKind::Confirm);
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->text, QStringLiteral("ファイル：") + QString::fromStdString(target) +
                                QStringLiteral("があります。\n上書きしますか"));
  EXPECT_EQ(ReadBytes(target), "keep me");
  EXPECT_EQ(w.FileName, measured);
  EXPECT_EQ(w.DataSaved, 0);

  f.Prompter().confirmAnswers = {true};
  SaveAs("old.DTA");
  EXPECT_EQ(ReadBytes(target), ReadBytes(measured));
  EXPECT_EQ(w.DataSaved, 1);
}

// Slots no file or sweep ever filled hold cleared records, never NUL bytes:
// a narrow file saved on a wider band still opens.
TEST_F(SaveCommandTest, NarrowFileSavedOnAWiderBandReadsBack) {
  const std::string narrow = Path("band10.DTA");
  ASSERT_TRUE(WriteSpeakerFile(narrow, 10, 3));
  OpenThroughMenu(f, narrow);
  ChooseBand(w, 1);
  SaveAs("wide.DTA");
  OpenThroughMenu(f, Path("wide.DTA"));
  EXPECT_EQ(w.MeasData.Present, 1);
  EXPECT_EQ(w.MeasData.Band, 1);
  EXPECT_EQ(CountOf(f, TPromptKind::Box), 0);
}

TEST_F(SaveCommandTest, ExportAsksBeforeOverwritingToo) {
  OpenMeasured();
  const std::string target = Path("table.txt");
  WriteBytes(target, "keep me");
  f.Prompter().confirmAnswers = {false};
  ExportAs("table.txt");
  EXPECT_EQ(CountOf(f, TPromptKind::Confirm), 1);
  EXPECT_EQ(ReadBytes(target), "keep me");
  EXPECT_EQ(w.FileName, measured);
  EXPECT_EQ(f.Panel(1), "");
}

QString ProposedName(TMainFixture& f, void (TFormMain::*command)()) {
  (f.Window().*command)();  // cancelled: no answer queued
  const TPromptRecord* dialog = LastOf(f, TPromptKind::SaveFile);
  return dialog ? dialog->file.initialName : QString("no dialog");
}

TEST_F(SaveCommandTest, DefaultNamesFollowTheCurrentFile) {
  HoldUnsavedMeasurement(w);
  EXPECT_EQ(ProposedName(f, &TFormMain::MenuFile_SaveClick), "*.DTA");
  EXPECT_EQ(ProposedName(f, &TFormMain::MenuFile_ExportClick), "*.txt");
  const TPromptRecord* dialog = LastOf(f, TPromptKind::SaveFile);
  EXPECT_TRUE(dialog->file.title.isEmpty());
  EXPECT_TRUE(dialog->file.filter.contains("*.txt"));

  const std::string dotted = Path("a.b.DTA");
  ASSERT_TRUE(WriteSpeakerFile(dotted, 1, 23));
  f.Prompter().boxAnswers = {TBoxResult::Yes};
  OpenThroughMenu(f, dotted);
  EXPECT_EQ(ProposedName(f, &TFormMain::MenuFile_SaveClick), "a.DTA");
  EXPECT_EQ(ProposedName(f, &TFormMain::MenuFile_ExportClick), "a.txt");

  ExportAs("x.txt");
  EXPECT_EQ(ProposedName(f, &TFormMain::MenuFile_SaveClick), "x.DTA");
  EXPECT_EQ(w.MeasData.Present, 1);
  EXPECT_EQ(f.Prompter().UnusedAnswers(), 0u);
}

TEST_F(SaveCommandTest, CancelledSaveOrExportChangesNothing) {
  HoldUnsavedMeasurement(w);
  w.FileName = Path("earlier");
  w.MenuFile_SaveClick();
  w.MenuFile_ExportClick();
  EXPECT_EQ(CountOf(f, TPromptKind::SaveFile), 2);
  EXPECT_EQ(w.FileName, Path("earlier"));
  EXPECT_EQ(w.DataSaved, 0);
  EXPECT_EQ(w.windowTitle(), kCaption);
  EXPECT_EQ(f.Panel(1), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.Dir().Path()),
                          std::filesystem::directory_iterator()),
            2);  // the measurement file and the settings
}

TEST_F(SaveCommandTest, FailedSaveReportsAndKeepsTheState) {
  HoldUnsavedMeasurement(w);
  const std::string tried = Path("no-such-folder/run1.DTA");
  SaveAs("no-such-folder/run1");
  EXPECT_EQ(f.Panel(1), "データ保存できませんでした");
  EXPECT_EQ(w.DataSaved, 0);
  EXPECT_EQ(w.windowTitle(), kCaption);
  EXPECT_EQ(w.FileName, tried);
  EXPECT_TRUE(f.Prompter().Boxes().empty());

  ExportAs("no-such-folder/t");
  EXPECT_EQ(f.Panel(1), "データ保存できませんでした");
}

TEST_F(ExportCommandTest, ExportWritesTheSmoothedOrTheRawValues) {
  OpenMeasured();
  const TDoZ_File files;
  ASSERT_TRUE(files.ExportText(Path("ave-expected.txt"), "", &w.MeasAve, &w.MeasData));
  ASSERT_TRUE(files.ExportText(Path("raw-expected.txt"), "", &w.MeasCalc, &w.MeasData));
  ASSERT_NE(ReadBytes(Path("ave-expected.txt")), ReadBytes(Path("raw-expected.txt")));

  ExportAs("ave");
  EXPECT_EQ(ReadBytes(Path("ave.txt")), ReadBytes(Path("ave-expected.txt")));

  w.MenuGraph_AveClick();
  ExportAs("raw");
  EXPECT_EQ(ReadBytes(Path("raw.txt")), ReadBytes(Path("raw-expected.txt")));
  EXPECT_EQ(f.Panel(1), "データ書き出し完了");
}

TEST_F(CloseCommandTest, ClosingUnsavedDataAsksAndNoKeepsEverything) {
  HoldUnsavedMeasurement(w);
  w.QoStatus->SetPanelText("one", 1);
  w.QoStatus->SetPanelText("two", 2);
  const QImage shown = w.Graph->Bitmap().copy();

  f.Prompter().boxAnswers = {TBoxResult::No};
  w.MenuFile_CloseClick();
  ExpectBoxes(f.Prompter(), {QStringLiteral("測定データを保存していません。データを破棄しますか？")},
              TBoxStyle::Question);
  EXPECT_EQ(w.MeasData.Present, 1);
  EXPECT_EQ(f.Panel(1), "one");
  EXPECT_EQ(f.Panel(2), "two");
  EXPECT_EQ(w.Graph->Bitmap(), shown);

  f.Prompter().boxAnswers = {TBoxResult::Yes};
  w.MenuFile_CloseClick();
  EXPECT_EQ(w.MeasData.Present, 0);
  EXPECT_EQ(w.DataSaved, 0);
  EXPECT_EQ(f.Panel(1), "");
  EXPECT_EQ(f.Panel(2), "");
  EXPECT_EQ(w.StatusBar1->PanelWidth(1), 110);
}

TEST_F(CloseCommandTest, ClosingASavedFileKeepsItsNameAndShowsTheReferences) {
  OpenMeasured();
  LoadReferencesThroughMenu(f, SampleFiles(f, "ref", 1, 1, 24));
  w.MenuFile_CloseClick();
  EXPECT_TRUE(f.Prompter().Boxes().empty());
  EXPECT_EQ(w.MeasData.Present, 0);
  EXPECT_EQ(w.DataSaved, 1);
  EXPECT_EQ(w.FileName, measured);
  EXPECT_EQ(w.windowTitle(), kCaption);
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R), 0);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 100);

  w.MenuRef_CloseClick();
  w.MenuFile_CloseClick();
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 0);
}

TEST_F(ReferenceCommandTest, ReferencesLoadInTheDialogsOrder) {
  const std::vector<std::string> files = SampleFiles(f, "r", 3, 1, 31);
  const std::vector<std::string> chosen = {files[2], files[0], files[1]};
  LoadReferencesThroughMenu(f, chosen);

  ExpectOpenDialog(f, QStringLiteral("参照ファイルを選んでください(５個まで)"), true);

  EXPECT_EQ(w.RefCount, 3);
  const std::uint64_t seeds[] = {33, 31, 32};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(w.RefFileName[k], chosen[k]);
    EXPECT_EQ(w.RefData[k].Present, 1);
    EXPECT_TRUE(SameRecords(w.RefData[k], SpeakerSweep(1, seeds[k]))) << k;
    EXPECT_EQ(w.RefCalc[k].Valid, 1);
  }
  EXPECT_EQ(w.RefData[3].Present, 0);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 100);
}

TEST_F(ReferenceCommandTest, LimitOfFiveIsCheckedBeforeAndAfterTheDialog) {
  const std::vector<std::string> files = SampleFiles(f, "r", 5, 1, 41);
  LoadReferencesThroughMenu(f, {files[0], files[1], files[2]});
  ASSERT_EQ(w.RefCount, 3);
  const QImage three = w.Graph->Bitmap().copy();

  LoadReferencesThroughMenu(f, {files[3], files[4], files[0]});
  ExpectBoxes(f.Prompter(), {kLimit}, TBoxStyle::Error);
  EXPECT_EQ(w.RefCount, 3);
  EXPECT_EQ(w.RefData[3].Present, 0);
  EXPECT_TRUE(w.RefFileName[3].empty());
  EXPECT_EQ(w.Graph->Bitmap(), three);

  LoadReferencesThroughMenu(f, {files[3], files[4]});
  EXPECT_EQ(w.RefCount, 5);
  EXPECT_EQ(w.RefFileName[3], files[3]);
  EXPECT_EQ(w.RefFileName[4], files[4]);
  EXPECT_EQ(w.RefData[4].Present, 1);

  const int dialogs = CountOf(f, TPromptKind::OpenFiles);
  w.MenuRef_OpenClick();
  EXPECT_EQ(CountOf(f, TPromptKind::OpenFiles), dialogs);
  ExpectBoxes(f.Prompter(), {kLimit, kLimit}, TBoxStyle::Error);
}

TEST_F(ReferenceCommandTest, ReferencesWithoutAMeasurementSwitchTheBand) {
  const std::vector<std::string> files = SampleFiles(f, "b", 1, 5, 51);
  LoadReferencesThroughMenu(f, files);
  ExpectBand(w, 5);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 100);
}

TEST_F(ReferenceCommandTest, ReferencesBesideAMeasurementKeepItsBand) {
  OpenMeasured();
  LoadReferencesThroughMenu(f, SampleFiles(f, "b", 1, 5, 52));
  ExpectBand(w, 1);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R), 100);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 50);
}

TEST_F(ReferenceCommandTest, CancelledDialogChangesNothing) {
  LoadReferencesThroughMenu(f, SampleFiles(f, "r", 1, 1, 61));
  const QImage shown = w.Graph->Bitmap().copy();
  w.MenuRef_OpenClick();
  EXPECT_EQ(w.RefCount, 1);
  EXPECT_EQ(w.RefData[0].Present, 1);
  EXPECT_EQ(w.Graph->Bitmap(), shown);
  EXPECT_TRUE(f.Prompter().Boxes().empty());
}

TEST_F(ReferenceCommandTest, FailureMidwayEndsTheCommandWithoutCounting) {
  const std::vector<std::string> files = SampleFiles(f, "r", 3, 1, 71);
  LoadReferencesThroughMenu(f, {files[0]});
  const QImage shown = w.Graph->Bitmap().copy();
  const std::string broken = Path("broken.DTA");
  WriteBytes(broken, "not a data file\r\n");

  LoadReferencesThroughMenu(f, {files[1], broken, files[2]});
  ExpectBoxes(f.Prompter(), {kDataFileError}, TBoxStyle::Error);
  EXPECT_EQ(w.RefCount, 1);
  EXPECT_EQ(w.RefData[1].Present, 1);  // kept until the next reference command
  EXPECT_EQ(w.RefData[2].Present, 0);
  EXPECT_STREQ(w.RefData[2].Data[0].data(), "00000000000000000000");
  EXPECT_EQ(w.RefFileName[2], broken);
  EXPECT_TRUE(w.RefFileName[3].empty());
  EXPECT_EQ(w.Graph->Bitmap(), shown);

  LoadReferencesThroughMenu(f, {files[2]});
  EXPECT_EQ(w.RefCount, 2);
  EXPECT_EQ(w.RefFileName[1], files[2]);
  EXPECT_EQ(w.RefData[2].Present, 0);
}

TEST_F(ReferenceCommandTest, ClearEmptiesEverySlotAndRedraws) {
  const std::vector<std::string> files = SampleFiles(f, "r", 2, 1, 81);
  OpenMeasured();
  LoadReferencesThroughMenu(f, files);
  w.MenuRef_CloseClick();
  EXPECT_EQ(w.RefCount, 0);
  for (int k = 0; k < REF_MAX; ++k) {
    EXPECT_EQ(w.RefData[k].Present, 0);
    EXPECT_EQ(w.RefCalc[k].Valid, 0);
    EXPECT_EQ(w.RefCalc[k].R[100], -1.0);
  }
  EXPECT_EQ(w.RefFileName[1], files[1]);
  EXPECT_EQ(CountColor(w, w.SettingRec.PenColor_R_Ref[0]), 0);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R), 100);

  LoadReferencesThroughMenu(f, {files[1]});
  EXPECT_EQ(w.RefFileName[0], files[1]);
  EXPECT_EQ(w.RefCount, 1);
}

// A whole working session through the menus: the saved copy reopens as the
// original with the chosen colour and the references.
TEST_F(FileSessionTest, OpenOverlayRecolourSaveAndReopen) {
  OpenMeasured();
  LoadReferencesThroughMenu(f, SampleFiles(f, "ref", 3, 1, 91));
  ASSERT_EQ(w.RefCount, 3);

  const QColor green(10, 200, 30);
  f.Prompter().colorAnswers.push_back(green);
  f.Prompter().modalActions.push_back([](QDialog& form) {
    auto& colours = static_cast<TFormSetColor&>(form);
    colours.PaintBox1Click();
    colours.SetBtnClick();
    return form.result();
  });
  w.MenuSet_ColorClick();
  w.MenuGraph_LogClick();
  w.MenuGraph_WideClick();
  EXPECT_EQ(w.SettingRec.PenColor_R, RefFromColor(green));
  EXPECT_GT(CountColor(w.Graph->Bitmap(), green), 300);

  SaveAs("copy");
  EXPECT_EQ(ReadBytes(Path("copy.DTA")), ReadBytes(measured));

  w.MenuFile_CloseClick();
  OpenThroughMenu(f, Path("copy.DTA"));
  EXPECT_TRUE(SameRecords(w.MeasData, written));
  EXPECT_EQ(w.UnitSerial, "SN-77");
  EXPECT_EQ(w.windowTitle(), CaptionWith(Path("copy.DTA")));
  EXPECT_GT(CountColor(w.Graph->Bitmap(), green), 300);
  EXPECT_GT(CountColor(w, w.SettingRec.PenColor_R_Ref[2]), 50);
  EXPECT_TRUE(f.Prompter().Boxes().empty());
  EXPECT_EQ(f.Prompter().UnusedAnswers(), 0u);
}

}  // namespace
}  // namespace doz::test
