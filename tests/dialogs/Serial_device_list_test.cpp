// The serial devices in the COM port dialog, on a fake sysfs and /dev tree:
// what each row says, choosing a numbered device, giving one a number, and
// the failures of that.
#include "Serial_device_list.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "Fake_serial_tree.h"
#include "Scripted_prompter.h"
#include "Setting.h"

namespace doz {
namespace {

namespace fs = std::filesystem;

const test::TFakeUsb kFtdi = {"0403", "6001", "FTDI", "FT232R USB UART", "A10K1234", "ftdi_sio",
                              "usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0"};
const test::TFakeUsb kAcm = {"2341", "0043", "", "Uno", "", "cdc_acm", ""};

class DeviceList : public testing::Test {
 protected:
  void Open(int stored) {
    form.Prepare(stored, tree.Roots().appDir);
    form.show();
  }
  QTreeWidget* Tree() const { return form.DeviceList->DeviceTree; }
  QStringList Row(int row) const {
    QStringList texts;
    for (int column = 0; column < Tree()->columnCount(); ++column)
      texts << Tree()->topLevelItem(row)->text(column);
    return texts;
  }
  void Click(int row) {
    const QRect cell = Tree()->visualItemRect(Tree()->topLevelItem(row));
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, cell.center());
  }

  test::TFakeSerialTree tree;
  test::TScriptedPrompter prompter;
  TFormSetting form{prompter, tree.Roots()};
};

TEST_F(DeviceList, RowsSayWhichNumberOpensWhatAndChoosingOneSelectsIt) {
  tree.AddUart("ttyS0", 4);
  tree.AddUsb("ttyUSB0", "1-1", kFtdi);
  tree.AddUsb("ttyACM0", "1-2", kAcm);
  tree.AddPlatform("ttyAMA0", "uart-pl011");
  Open(3);
  ASSERT_EQ(Tree()->topLevelItemCount(), 4);
  const QString dev = QString::fromStdString(tree.File("dev/"));
  EXPECT_EQ(Row(0), QStringList({"COM1", dev + "ttyS0", "ドライバ serial"}));
  const QString ftdi = "FTDI FT232R USB UART\nUSB 0403:6001、シリアル番号 A10K1234、ドライバ ftdi_sio\n"
                       "by-id: " + QString::fromStdString(kFtdi.byId);
  EXPECT_EQ(Row(1), QStringList({"COM33", dev + "ttyUSB0", ftdi}));
  EXPECT_EQ(Row(2), QStringList({"COM65", dev + "ttyACM0", "Uno\nUSB 2341:0043、ドライバ cdc_acm"}));
  EXPECT_EQ(Row(3), QStringList({"なし", dev + "ttyAMA0", "ドライバ uart-pl011"}));
  EXPECT_EQ(form.ComboBox1->currentText(), "COM3") << "opening chooses nothing";

  Click(1);
  EXPECT_EQ(form.ComboBox1->currentText(), "COM33") << "past the list: shown as typed";
  EXPECT_FALSE(form.DeviceList->LinkButton->isEnabled());
  Click(3);
  EXPECT_EQ(form.ComboBox1->currentText(), "COM33") << "a device without a number chooses nothing";
  EXPECT_TRUE(form.DeviceList->LinkButton->isEnabled());
  Click(0);
  EXPECT_EQ(form.ComboBox1->currentIndex(), 0);
  Click(2);
  form.Button1Click();
  EXPECT_EQ(form.Port(), 65);
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(DeviceList, ALinkGivesTheSelectedDeviceTheFirstFreeNumber) {
  tree.AddUart("ttyS0", 4);
  tree.AddPlatform("ttyAMA0", "uart-pl011");
  Open(1);
  Click(1);
  QTest::mouseClick(form.DeviceList->LinkButton, Qt::LeftButton);
  EXPECT_TRUE(prompter.Records().empty());
  const std::string link = tree.Roots().appDir + "/ports/com2";
  EXPECT_EQ(fs::read_symlink(link), tree.File("dev/ttyAMA0"));
  EXPECT_EQ(Row(1)[0], "COM2");
  EXPECT_EQ(Tree()->currentItem(), Tree()->topLevelItem(1));
  EXPECT_EQ(form.ComboBox1->currentIndex(), 1);
  EXPECT_EQ(form.DeviceLabel->text(), QString::fromStdString(link) + " — 使用できます");
  EXPECT_FALSE(form.DeviceList->LinkButton->isEnabled());
  form.Button1Click();
  EXPECT_EQ(form.Port(), 2);
}

TEST_F(DeviceList, AFailedLinkIsReportedAndChangesNothing) {
  struct TCase {
    const char* name;
    std::function<void(test::TFakeSerialTree&)> spoil;
    QString text;
    std::size_t listedAfter;  // the list is read again after a failure
  };
  const TCase cases[] = {
      {"unplugged",
       [](test::TFakeSerialTree& t) { fs::remove_all(t.File("sys/class/tty/ttyAMA0")); },
       "このデバイスは見つかりません", 0},
      {"all numbers taken",
       [](test::TFakeSerialTree& t) {
         for (int n = 1; n <= 256; ++n) t.AddPortLink("com" + std::to_string(n), t.File("x"));
       },
       "空いているCOM番号がありません", 1},
      {"no folder",
       [](test::TFakeSerialTree& t) { test::WriteBytes(t.Roots().appDir + "/ports", ""); },
       "COM番号のリンクを作成できません（%1）", 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TFakeSerialTree spoiled;
    spoiled.AddPlatform("ttyAMA0", "uart-pl011");
    TFormSetting other(prompter, spoiled.Roots());
    prompter.Clear();
    other.Prepare(5, spoiled.Roots().appDir);
    other.show();
    other.DeviceList->DeviceTree->setCurrentItem(other.DeviceList->DeviceTree->topLevelItem(0));
    c.spoil(spoiled);
    other.DeviceList->LinkButtonClick();
    const auto boxes = prompter.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    const QString ports = QString::fromStdString(spoiled.Roots().appDir + "/ports");
    EXPECT_EQ(boxes[0].text, c.text.contains("%1") ? c.text.arg(ports) : c.text);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(boxes[0].style, TBoxStyle::Error);
    EXPECT_TRUE(other.isVisible());
    EXPECT_EQ(other.ComboBox1->currentText(), "COM5");
    ASSERT_EQ(other.DeviceList->Devices().size(), c.listedAfter);
    if (c.listedAfter) {
      EXPECT_EQ(other.DeviceList->Devices()[0].comNumber, 0);
    }
  }
}

TEST_F(DeviceList, WithNoDevicesOneLineSaysSoAndTheFormStillWorks) {
  Open(4);
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Row(0)[0], "シリアルデバイスが見つかりません");
  Click(0);
  EXPECT_EQ(Tree()->currentItem(), nullptr);
  EXPECT_FALSE(form.DeviceList->LinkButton->isEnabled());

  tree.AddUsb("ttyUSB3", "1-4", kFtdi);
  QTest::mouseClick(form.DeviceList->RefreshButton, Qt::LeftButton);
  ASSERT_EQ(Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Row(0)[0], "COM36");
  EXPECT_EQ(form.ComboBox1->currentText(), "COM4") << "refreshing chooses nothing";
  QTest::mouseClick(form.Button1, Qt::LeftButton);
  EXPECT_EQ(form.Port(), 4);
  EXPECT_TRUE(prompter.Records().empty());
}

}  // namespace
}  // namespace doz
