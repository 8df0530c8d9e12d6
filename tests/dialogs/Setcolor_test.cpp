#include "Setcolor.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

#include "Color_ref.h"
#include "Color_swatch.h"
#include "Scripted_prompter.h"

namespace doz {
namespace {

using test::TPromptKind;
using test::TScriptedPrompter;

bool SameColors(const TSettingData& a, const TSettingData& b) {
  return a.PenColor_R == b.PenColor_R && a.PenColor_Theta == b.PenColor_Theta &&
         a.PenColor_R_Ref == b.PenColor_R_Ref && a.PenColor_Theta_Ref == b.PenColor_Theta_Ref;
}

// Settings with twelve different colours and some other fields set.
TSettingData Distinct() {
  TSettingData s;
  s.PenColor_R = 0x000001;
  s.PenColor_Theta = 0x000002;
  for (int i = 0; i < REF_MAX; ++i) {
    s.PenColor_R_Ref[i] = 0x000100u * (i + 1);
    s.PenColor_Theta_Ref[i] = 0x010000u * (i + 1);
  }
  s.CommPortNum = 9;
  s.pstr = {"a", "b", "c"};
  s.band = 4;
  return s;
}

class SetColorForm : public testing::Test {
 protected:
  SetColorForm() {
    QObject::connect(&form, &QDialog::finished, [this](int result) { answer = result; });
  }
  void Open() {
    answer = kStillOpen;
    form.Prepare(setting);
    form.show();
  }
  // The form's colours written into a copy of the settings it was opened with.
  TSettingData Applied() const {
    TSettingData applied = setting;
    form.Colors().ApplyTo(applied);
    return applied;
  }
  void Answer(const QColor& color) { prompter.colorAnswers.push_back(color); }
  void Expect(TColorSwatch* swatch, TColorRef ref) {
    EXPECT_EQ(swatch->Color(), ColorFromRef(ref));
  }

  TScriptedPrompter prompter;
  TFormSetColor form{prompter};
  TSettingData setting = Distinct();
  static constexpr int kStillOpen = -1;
  int answer = kStillOpen;
};

TEST_F(SetColorForm, OpensOnTheFirstReferenceSetWithTheSettingsColours) {
  EXPECT_FALSE(form.ComboBox1->isEditable());
  ASSERT_EQ(form.ComboBox1->count(), 5);
  EXPECT_EQ(form.ComboBox1->itemText(0), QStringLiteral("データ１"));
  EXPECT_EQ(form.ComboBox1->itemText(4), QStringLiteral("データ５"));
  form.ComboBox1->setCurrentIndex(3);
  Open();
  EXPECT_EQ(form.ComboBox1->currentIndex(), 0);
  Expect(form.PaintBox1, setting.PenColor_R);
  Expect(form.PaintBox2, setting.PenColor_Theta);
  Expect(form.PaintBox3, setting.PenColor_R_Ref[0]);
  Expect(form.PaintBox4, setting.PenColor_Theta_Ref[0]);
  for (int set = 0; set < REF_MAX; ++set) {
    form.ComboBox1->setCurrentIndex(set);
    Expect(form.PaintBox3, setting.PenColor_R_Ref[set]);
    Expect(form.PaintBox4, setting.PenColor_Theta_Ref[set]);
  }
  EXPECT_EQ(form.PaintBox1->size(), QSize(32, 24));
}

TEST_F(SetColorForm, PicksForAReferenceSetSurviveSwitchingSets) {
  Open();
  form.ComboBox1->setCurrentIndex(2);
  Answer(QColor(10, 20, 30));
  Answer(QColor(40, 50, 60));
  QTest::mouseClick(form.PaintBox3, Qt::LeftButton);
  QTest::mouseClick(form.PaintBox4, Qt::LeftButton);
  EXPECT_EQ(form.PaintBox3->Color(), QColor(10, 20, 30));
  form.ComboBox1->setCurrentIndex(0);
  Expect(form.PaintBox3, setting.PenColor_R_Ref[0]);
  Expect(form.PaintBox4, setting.PenColor_Theta_Ref[0]);
  form.ComboBox1->setCurrentIndex(2);
  EXPECT_EQ(form.PaintBox3->Color(), QColor(10, 20, 30));
  EXPECT_EQ(form.PaintBox4->Color(), QColor(40, 50, 60));
}

TEST_F(SetColorForm, CancelForgetsEveryPick) {
  const TSettingData before = setting;
  Open();
  for (int i = 0; i < 4; ++i) Answer(QColor(200, 100, i));
  form.PaintBox1Click();
  form.PaintBox2Click();
  form.ComboBox1->setCurrentIndex(4);
  form.PaintBox3Click();
  form.PaintBox4Click();
  EXPECT_EQ(form.PaintBox1->Color(), QColor(200, 100, 0));
  QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
  EXPECT_EQ(answer, QDialog::Rejected);

  Open();
  EXPECT_TRUE(SameColors(Applied(), before));
  Expect(form.PaintBox1, before.PenColor_R);
  form.ComboBox1->setCurrentIndex(4);
  Expect(form.PaintBox4, before.PenColor_Theta_Ref[4]);
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(answer, QDialog::Rejected);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(SetColorForm, ADismissedChooserChangesNothing) {
  Open();
  prompter.colorAnswers.push_back(std::nullopt);
  QTest::mouseClick(form.PaintBox2, Qt::LeftButton);
  ASSERT_EQ(prompter.Records().size(), 1u);
  EXPECT_EQ(prompter.Records()[0].kind, TPromptKind::Color);
  Expect(form.PaintBox2, setting.PenColor_Theta);
  QTest::mouseClick(form.PaintBox2, Qt::RightButton);
  EXPECT_EQ(prompter.Records().size(), 1u);
  form.SetBtnClick();
  EXPECT_EQ(answer, QDialog::Accepted);
  EXPECT_TRUE(SameColors(Applied(), setting));
}

TEST_F(SetColorForm, SetWritesTheTwelveColoursAndNothingElse) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> channel(0, 255);
  std::uniform_int_distribution<int> swatch(0, 3);
  std::uniform_int_distribution<int> set(0, REF_MAX - 1);
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    setting = Distinct();
    TSettingData expected = setting;
    Open();
    for (int pick = 0; pick < 8; ++pick) {
      const QColor color(channel(random), channel(random), channel(random));
      const int which = swatch(random);
      const int refSet = set(random);
      form.ComboBox1->setCurrentIndex(refSet);
      Answer(color);
      TColorRef* target[] = {&expected.PenColor_R, &expected.PenColor_Theta,
                             &expected.PenColor_R_Ref[refSet], &expected.PenColor_Theta_Ref[refSet]};
      *target[which] = RefFromColor(color);
      TColorSwatch* swatches[] = {form.PaintBox1, form.PaintBox2, form.PaintBox3, form.PaintBox4};
      QTest::mouseClick(swatches[which], Qt::LeftButton);
      EXPECT_EQ(swatches[which]->Color(), color);
    }
    form.SetBtnClick();
    EXPECT_EQ(answer, QDialog::Accepted);
    const TSettingData applied = Applied();
    EXPECT_TRUE(SameColors(applied, expected));
    EXPECT_EQ(applied.CommPortNum, 9);
    EXPECT_EQ(applied.pstr, (std::array<std::string, 3>{"a", "b", "c"}));
    EXPECT_EQ(applied.band, 4);
    EXPECT_EQ(prompter.UnusedAnswers(), 0u);
  }
}

TEST(PenColors, ApplyingTakesTheColoursOnly) {
  const TSettingData from = Distinct();
  TSettingData to;
  to.pstr = {"x", "y", "z"};
  TPenColors::Of(from).ApplyTo(to);
  EXPECT_TRUE(SameColors(to, from));
  EXPECT_EQ(to.CommPortNum, 1);
  EXPECT_EQ(to.pstr[0], "x");
}

}  // namespace
}  // namespace doz
