#include "Setting.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "Fake_serial_tree.h"
#include "Scripted_prompter.h"
#include "Temp_dir.h"

namespace doz {
namespace {

using test::TScriptedPrompter;

class SettingForm : public testing::Test {
 protected:
  SettingForm() {
    QObject::connect(&form, &QDialog::finished, [this](int result) { answer = result; });
  }
  // A shown form prepared for `stored`; `answer` is what its run returns.
  void Open(int stored) { OpenIn(stored, dir.Path()); }
  void OpenIn(int stored, const std::string& appDir) {
    answer = kStillOpen;
    form.Prepare(stored, appDir);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  void Type(const QString& text) { form.ComboBox1->setEditText(text); }
  // Real keys into the field, as a user types them.
  void TypeKeys(const QString& text) {
    QLineEdit* edit = form.ComboBox1->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
      if (c.unicode() < 0x80) {
        QTest::keyClick(edit, c.toLatin1());
      } else {  // a character with no key of its own, as an input method sends it
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
      }
    }
  }
  // Enter in the field, or a click on 設定 that takes the focus from it.
  void Confirm(bool byEnter) {
    if (byEnter) {
      QTest::keyClick(form.ComboBox1->lineEdit(), Qt::Key_Return);
    } else {
      form.Button1->setFocus();
      QTest::mouseClick(form.Button1, Qt::LeftButton);
    }
  }

  test::TTempDir dir;
  test::TFakeSerialTree tree;
  TScriptedPrompter prompter;
  TFormSetting form{prompter, tree.Roots()};
  static constexpr int kStillOpen = -1;
  int answer = kStillOpen;
};

TEST_F(SettingForm, ListHoldsAtLeastTenPortsAndShowsTheStoredOne) {
  struct TCase {
    int stored;
    int entries;
    QString shown;
  };
  const TCase cases[] = {{3, 10, QStringLiteral("COM3")},   {1, 10, QStringLiteral("COM1")},
                         {10, 10, QStringLiteral("COM10")}, {11, 11, QStringLiteral("COM11")},
                         {15, 15, QStringLiteral("COM15")}, {256, 256, QStringLiteral("COM256")},
                         {0, 10, QString()},                {-4, 10, QString()},
                         {100000, 256, QString()}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.stored);
    Open(c.stored);
    ASSERT_EQ(form.ComboBox1->count(), c.entries);
    for (int i = 0; i < c.entries; ++i)
      ASSERT_EQ(form.ComboBox1->itemText(i), QStringLiteral("COM%1").arg(i + 1));
    EXPECT_EQ(form.ComboBox1->currentText(), c.shown);
    EXPECT_EQ(form.ComboBox1->currentIndex(), c.shown.isEmpty() ? -1 : c.stored - 1);
    form.Button2Click();
  }
}

TEST_F(SettingForm, ConfirmingAListEntryStoresItsNumber) {
  Open(3);
  form.ComboBox1->setCurrentIndex(6);
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  EXPECT_EQ(form.Port(), 7);
  EXPECT_EQ(answer, QDialog::Accepted);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(prompter.Records().empty());
}

TEST_F(SettingForm, TypedPortsAreCheckedBeforeTheyAreStored) {
  struct TCase {
    QString typed;
    int stored;  // 0: rejected
    QString box;
    TBoxStyle style;
  };
  const QString notCom = QStringLiteral("不正なCOM指定です");
  const QString range = QStringLiteral("COM番号エラーです");
  const auto notInteger = [](const char* text) {
    return QStringLiteral("「%1」は有効な整数ではありません").arg(QString::fromUtf8(text));
  };
  const TCase cases[] = {
      {QStringLiteral("COM256"), 256, {}, TBoxStyle::Plain},
      {QStringLiteral("COM1"), 1, {}, TBoxStyle::Plain},
      {QStringLiteral("COM25"), 25, {}, TBoxStyle::Plain},
      {QStringLiteral("COM+7"), 7, {}, TBoxStyle::Plain},
      {QStringLiteral("COM007"), 7, {}, TBoxStyle::Plain},
      {QStringLiteral("COM257"), 0, range, TBoxStyle::Plain},
      {QStringLiteral("COM0"), 0, range, TBoxStyle::Plain},
      {QStringLiteral("COM-3"), 0, range, TBoxStyle::Plain},
      {QStringLiteral("com5"), 0, notCom, TBoxStyle::Plain},
      {QStringLiteral("Com7"), 0, notCom, TBoxStyle::Plain},
      {QStringLiteral(" COM5"), 0, notCom, TBoxStyle::Plain},
      {QStringLiteral("CO"), 0, notCom, TBoxStyle::Plain},
      {QString(), 0, notCom, TBoxStyle::Plain},
      {QStringLiteral("COM"), 0, notInteger("COM"), TBoxStyle::Error},
      {QStringLiteral("COMx"), 0, notInteger("COMx"), TBoxStyle::Error},
      {QStringLiteral("COM5x"), 0, notInteger("COM5x"), TBoxStyle::Error},
      {QStringLiteral("COM 5"), 0, notInteger("COM 5"), TBoxStyle::Error},
      {QStringLiteral("COM５"), 0, notInteger("COM５"), TBoxStyle::Error},
      {QStringLiteral("COM-"), 0, notInteger("COM-"), TBoxStyle::Error},
      {QStringLiteral("COM99999999999"), 0, notInteger("COM99999999999"), TBoxStyle::Error},
  };
  for (const bool byEnter : {true, false}) {
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.typed.toStdString() + (byEnter ? " and Enter" : " and a click"));
    prompter.Clear();
    Open(3);
    TypeKeys(c.typed);
    Confirm(byEnter);
    if (c.stored) {
      EXPECT_EQ(form.Port(), c.stored);
      EXPECT_EQ(answer, QDialog::Accepted);
      EXPECT_FALSE(form.isVisible());
      EXPECT_TRUE(prompter.Records().empty());
      continue;
    }
    EXPECT_EQ(form.Port(), 3);
    EXPECT_EQ(answer, kStillOpen);
    EXPECT_TRUE(form.isVisible());
    const auto boxes = prompter.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.box);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(boxes[0].style, c.style);
    form.Button2Click();
  }
  }
}

TEST_F(SettingForm, TextThatNoLongerMatchesTheSelectionIsReadAsTyped) {
  Open(5);
  form.ComboBox1->setCurrentIndex(4);
  Type(QStringLiteral("COM9"));
  form.Button1Click();
  EXPECT_EQ(form.Port(), 9);

  Open(5);
  form.ComboBox1->lineEdit()->selectAll();
  QTest::keyClicks(form.ComboBox1->lineEdit(), QStringLiteral("COM42"));
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  EXPECT_EQ(form.Port(), 42);
  EXPECT_EQ(answer, QDialog::Accepted);
}

TEST_F(SettingForm, CancelKeepsTheStoredPort) {
  Open(3);
  form.ComboBox1->setCurrentIndex(7);
  QTest::mouseClick(form.Button2, Qt::LeftButton);
  EXPECT_EQ(form.Port(), 3);
  EXPECT_EQ(answer, QDialog::Rejected);

  Open(4);
  Type(QStringLiteral("COM200"));
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(form.Port(), 4);
  EXPECT_EQ(answer, QDialog::Rejected);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(SettingForm, ShownThroughThePrompterItClosesOnlyByItsButtons) {
  form.Prepare(2, dir.Path());
  prompter.modalActions.push_back([this](QDialog& d) {
    Type(QStringLiteral("COM300"));
    form.Button1Click();
    EXPECT_TRUE(d.isVisible());
    Type(QStringLiteral("COM12"));
    form.Button1Click();
    return d.result();
  });
  EXPECT_EQ(prompter.RunModal(form), QDialog::Accepted);
  EXPECT_EQ(form.Port(), 12);
  EXPECT_EQ(prompter.Boxes().size(), 1u);
}

TEST(ComPortText, DeviceLineNamesTheDeviceAndItsState) {
  EXPECT_EQ(DeviceLineText("/dev/ttyUSB0", TDeviceState::Present),
            QStringLiteral("/dev/ttyUSB0 — 使用できます"));
  EXPECT_EQ(DeviceLineText("/dev/ttyS3", TDeviceState::Missing),
            QStringLiteral("/dev/ttyS3 — デバイスがありません"));
  EXPECT_EQ(DeviceLineText("/dev/ttyACM1", TDeviceState::NoAccess),
            QStringLiteral("/dev/ttyACM1 — アクセス権がありません（dialout グループに参加してください）"));
  EXPECT_EQ(DeviceLineText("", TDeviceState::Present),
            QStringLiteral("このCOM番号に割り当てられたデバイスはありません"));
}

TEST(ComPortText, ListLengthStaysWithinTheValidPorts) {
  const std::pair<int, int> cases[] = {{-1, 10}, {0, 10}, {9, 10}, {10, 10},
                                       {11, 11}, {256, 256}, {257, 256}, {1 << 30, 256}};
  for (const auto& [port, entries] : cases) EXPECT_EQ(ComListLength(port), entries) << port;
}

TEST_F(SettingForm, DeviceLineFollowsTheChoice) {
  namespace fs = std::filesystem;
  fs::create_directory(dir.File("ports"));
  test::WriteBytes(dir.File("unit"), "");
  fs::create_symlink(dir.File("unit"), dir.File("ports/com7"));
  fs::create_symlink(dir.File("gone"), dir.File("ports/com8"));
  const QString link7 = QString::fromStdString(dir.File("ports/com7"));
  const QString link8 = QString::fromStdString(dir.File("ports/com8"));

  Open(7);
  EXPECT_EQ(form.DeviceLabel->text(), link7 + QStringLiteral(" — 使用できます"));
  form.ComboBox1->setCurrentIndex(7);
  EXPECT_EQ(form.DeviceLabel->text(), link8 + QStringLiteral(" — デバイスがありません"));
  Type(QStringLiteral("COM7"));
  EXPECT_EQ(form.DeviceLabel->text(), link7 + QStringLiteral(" — 使用できます"));
  Type(QStringLiteral("COMx"));
  EXPECT_EQ(form.DeviceLabel->text(), QStringLiteral("COM番号が正しくありません"));
  Type(QStringLiteral("COM200"));
  EXPECT_EQ(form.DeviceLabel->text(), QStringLiteral("このCOM番号に割り当てられたデバイスはありません"));
  Type(QStringLiteral("COM300"));
  EXPECT_EQ(form.DeviceLabel->text(), QStringLiteral("COM番号が正しくありません"));
  form.Button2Click();
}

}  // namespace
}  // namespace doz
