#include "Doz_printinfo.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "Cp932.h"
#include "Scripted_prompter.h"

namespace doz {
namespace {

class PrnInfoForm : public testing::Test {
 protected:
  PrnInfoForm() {
    QObject::connect(&form, &QDialog::finished, [this](int result) { answer = result; });
  }
  void Open() {
    answer = kStillOpen;
    form.Prepare(texts);
    form.show();
  }
  static std::string Utf8(const QLineEdit* edit) { return edit->text().toStdString(); }

  TFormPrnInfo form;
  TPrintTexts texts;
  static constexpr int kStillOpen = -1;
  int answer = kStillOpen;
};

TEST_F(PrnInfoForm, LooksAsDesigned) {
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Do-Z グラフ印刷"));
  EXPECT_EQ(form.Label1->text(), QStringLiteral("印刷する測定情報の設定"));
  EXPECT_EQ(form.Button1->text(), QStringLiteral("印刷"));
  EXPECT_EQ(form.Button2->text(), QStringLiteral("取消し"));
  EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  form.show();
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
}

TEST_F(PrnInfoForm, ShowingFillsTheEditsAndPrintCopiesThemBack) {
  texts = {"試料 A-1", "", "温度: 25℃"};
  Open();
  EXPECT_EQ(Utf8(form.Edit1), "試料 A-1");
  EXPECT_EQ(Utf8(form.Edit2), "");
  EXPECT_EQ(Utf8(form.Edit3), "温度: 25℃");
  form.Edit1->clear();
  QTest::keyClicks(form.Edit2, QStringLiteral("line two"));
  form.Edit3->setText(QStringLiteral("三行目"));
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  EXPECT_EQ(answer, QDialog::Accepted);
  EXPECT_EQ(form.Texts(), (TPrintTexts{"", "line two", "三行目"}));
}

TEST_F(PrnInfoForm, CancelKeepsThePreparedTextsAndTheNextRunShowsThem) {
  texts = {"one", "two", "three"};
  Open();
  form.Edit1->setText(QStringLiteral("changed"));
  form.Edit3->clear();
  QTest::mouseClick(form.Button2, Qt::LeftButton);
  EXPECT_EQ(answer, QDialog::Rejected);
  EXPECT_EQ(form.Texts(), texts);

  Open();
  EXPECT_EQ(Utf8(form.Edit1), "one");
  EXPECT_EQ(Utf8(form.Edit3), "three");
  form.Edit2->setText(QStringLiteral("escaped"));
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(answer, QDialog::Rejected);
  EXPECT_EQ(form.Texts()[1], "two");
}

TEST_F(PrnInfoForm, ThroughThePrompterTheFormStartsFromTheLastConfirmedTexts) {
  test::TScriptedPrompter prompter;
  form.Prepare({"a", "b", "c"});
  prompter.modalActions.push_back([this](QDialog& d) {
    EXPECT_EQ(Utf8(form.Edit2), "b");
    form.Edit2->setText(QStringLiteral("B"));
    form.Button1Click();
    return d.result();
  });
  EXPECT_EQ(prompter.RunModal(form), QDialog::Accepted);
  EXPECT_EQ(form.Texts(), (TPrintTexts{"a", "B", "c"}));
}

// Types one character the way a keyboard or input method delivers it.
void TypeChar(QLineEdit* edit, const QString& character) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
  QApplication::sendEvent(edit, &press);
}

void TypeRepeated(QLineEdit* edit, const QString& piece, int count) {
  for (int i = 0; i < count; ++i) TypeChar(edit, piece);
}

TEST_F(PrnInfoForm, TypingStopsAtTheLongestTextTheSettingsFileReadsBack) {
  struct TCase {
    const char* name;
    QString piece;
    int fits;  // pieces accepted before the limit
    QString last;  // then this is still accepted (empty: nothing)
  };
  const TCase cases[] = {
      {"ascii", QStringLiteral("a"), 243, {}},
      {"kanji", QStringLiteral("測"), 121, QStringLiteral("x")},
      {"half-width kana", QStringLiteral("ｱ"), 243, {}},
      {"not in the code page, written as ?", QStringLiteral("€"), 243, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    QLineEdit* edit = form.Edit2;
    edit->clear();
    TypeRepeated(edit, c.piece, c.fits);
    if (!c.last.isEmpty()) TypeChar(edit, c.last);
    const QString accepted = edit->text();
    EXPECT_EQ(accepted.size(), c.fits + c.last.size());
    EXPECT_LE(platform::Cp932Length(accepted.toStdString()), PRINT_TEXT_MAX_BYTES);
    TypeChar(edit, c.piece);
    TypeChar(edit, QStringLiteral("z"));
    EXPECT_EQ(edit->text(), accepted);
    form.Button1Click();
    EXPECT_EQ(form.Texts()[1], accepted.toStdString());
  }
}

TEST_F(PrnInfoForm, APasteThatWouldPassTheLimitIsRefusedWhole) {
  Open();
  QLineEdit* edit = form.Edit1;
  edit->setText(QString(240, u'a'));
  edit->end(false);
  QApplication::clipboard()->setText(QStringLiteral("測定"));
  edit->paste();
  EXPECT_EQ(edit->text(), QString(240, u'a'));
  QApplication::clipboard()->setText(QStringLiteral("xyz"));
  edit->paste();
  EXPECT_EQ(edit->text(), QString(240, u'a') + QStringLiteral("xyz"));
  edit->selectAll();
  QApplication::clipboard()->setText(QStringLiteral("一行目\r\n二行目\n"));
  edit->paste();
  EXPECT_EQ(edit->text(), QStringLiteral("一行目二行目"));
  form.Button1Click();
  EXPECT_EQ(form.Texts()[0], "一行目二行目");
}

}  // namespace
}  // namespace doz
