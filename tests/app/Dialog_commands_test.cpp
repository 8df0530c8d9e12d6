// The commands that run a form: the COM port, the curve colours and the
// version window, each answered by a scripted action on the real form.
#include <QComboBox>
#include <QTest>

#include "Setcolor.h"
#include "Setting.h"
#include "Version.h"
#include "Window_steps.h"

namespace doz::test {
namespace {

using TFormAction = std::function<void(QDialog&)>;

std::function<int(QDialog&)> Acting(const TFormAction& act) {
  return [act](QDialog& form) {
    act(form);
    return form.result();
  };
}

TFormSetting& ComForm(QDialog& form) { return static_cast<TFormSetting&>(form); }
TFormSetColor& ColourForm(QDialog& form) { return static_cast<TFormSetColor&>(form); }

struct TComCase {
  const char* name;
  int stored;
  TFormAction act;
  int expected;
};

class ComPortCommandTest : public ::testing::TestWithParam<TComCase> {};

TEST_P(ComPortCommandTest, ChosenPortIsStoredUnlessCancelled) {
  const TComCase c = GetParam();
  TMainFixture f;
  TFormMain& w = f.Shown();
  w.SettingRec.CommPortNum = c.stored;
  f.Prompter().modalActions.push_back(Acting(c.act));
  w.MenuSet_COMClick();

  EXPECT_EQ(w.SettingRec.CommPortNum, c.expected);
  ASSERT_EQ(f.Prompter().Records().size(), 1u);
  EXPECT_EQ(f.Prompter().Records()[0].kind, TPromptKind::Modal);
  EXPECT_EQ(f.Prompter().Records()[0].caption, "COMポートの設定");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ComPortCommandTest,
    ::testing::Values(
        TComCase{"cancelAfterChoosing", 3,
                 [](QDialog& d) {
                   ComForm(d).ComboBox1->setCurrentIndex(7);
                   ComForm(d).Button2Click();
                 },
                 3},
        TComCase{"chosenFromTheList", 3,
                 [](QDialog& d) {
                   ComForm(d).ComboBox1->setCurrentIndex(7);
                   ComForm(d).Button1Click();
                 },
                 8},
        TComCase{"typed", 1,
                 [](QDialog& d) {
                   ComForm(d).ComboBox1->setEditText("COM12");
                   ComForm(d).Button1Click();
                 },
                 12},
        TComCase{"shownAsStored", 15,
                 [](QDialog& d) {
                   EXPECT_EQ(ComForm(d).ComboBox1->count(), 15);
                   EXPECT_EQ(ComForm(d).ComboBox1->currentText(), "COM15");
                   ComForm(d).Button1Click();
                 },
                 15}),
    [](const ::testing::TestParamInfo<TComCase>& info) { return info.param.name; });

TEST(ComPortCommandTest, RejectedEntryKeepsTheFormOpenAndThePort) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  f.Prompter().modalActions.push_back(Acting([](QDialog& d) {
    ComForm(d).ComboBox1->setEditText("COM257");
    ComForm(d).Button1Click();
    EXPECT_TRUE(d.isVisible());
    ComForm(d).Button2Click();
  }));
  w.MenuSet_COMClick();
  EXPECT_EQ(w.SettingRec.CommPortNum, 1);
  ASSERT_EQ(f.Prompter().Boxes().size(), 1u);
  EXPECT_EQ(f.Prompter().Boxes()[0].text, "COM番号エラーです");
}

const QColor kPicked(0x20, 0xC0, 0x40);
const QColor kPickedPhase(0x90, 0x10, 0xE0);

// A window with a measurement and one reference, or with nothing loaded.
struct TColourWindow {
  TMainFixture f;
  TFormMain& w = f.Shown();
  explicit TColourWindow(bool withData) {
    if (!withData) return;
    const std::vector<std::string> files = SampleFiles(f, "c", 2, 1, 101);
    OpenThroughMenu(f, files[0]);
    LoadReferencesThroughMenu(f, {files[1]});
  }
  // Runs the colour command: kPicked for the resistance, kPickedPhase for
  // the phase, kPicked for reference set `ref` + 1, then Set or Cancel.
  void PickColours(int ref, bool set) {
    f.Prompter().colorAnswers = {kPicked, kPickedPhase, kPicked};
    f.Prompter().modalActions.push_back(Acting([ref, set](QDialog& d) {
      TFormSetColor& form = ColourForm(d);
      form.PaintBox1Click();
      form.PaintBox2Click();
      form.ComboBox1->setCurrentIndex(ref);
      form.PaintBox3Click();
      set ? form.SetBtnClick() : form.CancelBtnClick();
    }));
    w.MenuSet_ColorClick();
  }
};

// The scale is disturbed first, so that a redraw shows in GraphRange.
TEST(ColourCommandTest, CancelChangesNothingAndDrawsNothing) {
  TColourWindow t(true);
  const TSettingData before = t.w.SettingRec;
  const QImage shown = t.w.Graph->Bitmap().copy();
  const QColor label = LabelColor(t.w.LabelSlots[0]);
  t.w.GraphRange.MaxR = 5.0;
  t.PickColours(2, false);

  EXPECT_EQ(t.w.SettingRec, before);
  EXPECT_EQ(t.w.GraphRange.MaxR, 5.0);
  EXPECT_EQ(t.w.Graph->Bitmap(), shown);
  EXPECT_EQ(LabelColor(t.w.LabelSlots[0]), label);
  EXPECT_EQ(t.f.Prompter().UnusedAnswers(), 0u);
}

TEST(ColourCommandTest, SetRecoloursLabelsAndRedraws) {
  TColourWindow t(true);
  t.w.GraphRange.MaxR = 5.0;
  t.PickColours(0, true);

  EXPECT_EQ(t.w.SettingRec.PenColor_R, RefFromColor(kPicked));
  EXPECT_EQ(t.w.SettingRec.PenColor_Theta, RefFromColor(kPickedPhase));
  EXPECT_EQ(t.w.SettingRec.PenColor_R_Ref[0], RefFromColor(kPicked));
  ExpectLabelColours(t.w, kPicked, kPickedPhase);
  EXPECT_GT(t.w.GraphRange.MaxR, 5.0);
  EXPECT_GT(CountColor(t.w.Graph->Bitmap(), kPicked), 200);
  EXPECT_GT(CountColor(t.w.Graph->Bitmap(), kPickedPhase), 100);
  EXPECT_EQ(CountColor(t.w, 16711680), 0);  // the old resistance blue is gone
}

TEST(ColourCommandTest, SetWithNothingLoadedChangesSettingsAndLabelsOnly) {
  TColourWindow t(false);
  const QImage shown = t.w.Graph->Bitmap().copy();
  t.PickColours(0, true);
  EXPECT_EQ(t.w.SettingRec.PenColor_R, RefFromColor(kPicked));
  EXPECT_EQ(LabelColor(t.w.LabelSlots[5]), kPicked);
  EXPECT_EQ(t.w.Graph->Bitmap(), shown);
}

TEST(VersionCommandTest, VersionWindowIsModalAndClosesOnAClick) {
  TMainFixture f;
  TFormMain& w = f.Shown();
  bool closedByClick = false;
  f.Prompter().modalActions.push_back(Acting([&](QDialog& d) {
    EXPECT_TRUE(d.isVisible());
    QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(145, 85));
    closedByClick = !d.isVisible();
  }));
  w.MenuHelp_VersionClick();
  ASSERT_EQ(f.Prompter().Records().size(), 1u);
  EXPECT_EQ(f.Prompter().Records()[0].kind, TPromptKind::Modal);
  EXPECT_EQ(f.Prompter().Records()[0].caption, "Do-Z");
  EXPECT_TRUE(closedByClick);
  EXPECT_FALSE(w.FormVersion->isVisible());
}

}  // namespace
}  // namespace doz::test
