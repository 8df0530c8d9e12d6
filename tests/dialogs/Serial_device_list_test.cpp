// The serial devices in the COM port dialog, on a fake sysfs and /dev tree:
// what a row says, choosing a numbered device, a link for one without.
#include "Serial_device_list.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

#include "Fake_serial_tree.h"
#include "Scripted_prompter.h"
#include "Setting.h"

namespace doz {
namespace {

const test::TFakeUsb kFtdi = {"0403", "6001", "FTDI", "FT232R USB UART",
                              "A10K1234", "ftdi_sio", "usb-FTDI_A10K1234-port0"};

class DeviceList : public testing::Test {
 protected:
  DeviceList() {
    tree.AddUart("ttyS0", 4);
    tree.AddUsb("ttyUSB0", "1-1", kFtdi);
    tree.AddUsb("ttyACM0", "1-2", {"2341", "0043", "", "Uno", "", "cdc_acm", ""});
    tree.AddPlatform("ttyAMA0", "uart-pl011");
    form.Prepare(3, tree.Roots().appDir);
  }
  QTreeWidget& Tree() { return *form.DeviceList->DeviceTree; }
  QString Cell(int row, int column) { return Tree().topLevelItem(row)->text(column); }
  void Choose(int row) { Tree().setCurrentItem(Tree().topLevelItem(row)); }

  test::TFakeSerialTree tree;
  test::TScriptedPrompter prompter;
  TFormSetting form{prompter, tree.Roots()};
};

TEST_F(DeviceList, RowsSayWhatEachNumberOpensAndChoosingOneTakesIt) {
  const QString com[] = {"COM1", "COM33", "COM65", "なし"};
  for (int row = 0; row < 4; ++row) EXPECT_EQ(Cell(row, 0), com[row]);
  EXPECT_EQ(Cell(1, 1), QString::fromStdString(tree.File("dev/ttyUSB0")));
  EXPECT_EQ(Cell(1, 2), "FTDI FT232R USB UART\nUSB 0403:6001、シリアル番号 A10K1234、ドライバ ftdi_sio\n"
                        "by-id: usb-FTDI_A10K1234-port0");
  EXPECT_EQ(Cell(2, 2), "Uno\nUSB 2341:0043、ドライバ cdc_acm");
  EXPECT_EQ(Cell(3, 2), "ドライバ uart-pl011");
  Choose(3);
  EXPECT_EQ(form.ComboBox1->currentText(), "COM3") << "no number, nothing chosen";
  EXPECT_TRUE(form.DeviceList->LinkButton->isEnabled());
  Choose(0);
  EXPECT_EQ(form.ComboBox1->currentIndex(), 0);
  EXPECT_FALSE(form.DeviceList->LinkButton->isEnabled());
  Choose(2);
  form.Button1Click();
  EXPECT_EQ(form.Port(), 65) << "past the list's end, taken as typed";
}

TEST_F(DeviceList, ALinkGivesTheFirstFreeNumberAndAFailureIsReported) {
  Choose(3);
  form.DeviceList->LinkButtonClick();
  const std::string link = tree.Roots().appDir + "/ports/com2";
  EXPECT_EQ(std::filesystem::read_symlink(link), tree.File("dev/ttyAMA0"));
  EXPECT_EQ(Cell(1, 0) + " " + Cell(1, 1), "COM2 " + QString::fromStdString(tree.File("dev/ttyAMA0")));
  EXPECT_EQ(form.ComboBox1->currentIndex(), 1);
  EXPECT_EQ(form.DeviceLabel->text(), QString::fromStdString(link) + " — 使用できます");
  EXPECT_TRUE(prompter.Records().empty());

  // Unplugged while the list still showed it.
  tree.AddPlatform("ttyAMA1", "uart-pl011");
  form.DeviceList->Refresh();
  Choose(4);
  std::filesystem::remove_all(tree.File("sys/class/tty/ttyAMA1"));
  form.DeviceList->LinkButtonClick();
  ASSERT_EQ(prompter.Boxes().size(), 1u);
  EXPECT_EQ(prompter.Boxes()[0].text, "このデバイスは見つかりません");
  EXPECT_EQ(prompter.Boxes()[0].caption, "エラー");
  EXPECT_EQ(Tree().topLevelItemCount(), 4);
  EXPECT_EQ(form.ComboBox1->currentText(), "COM2");
}

TEST(DeviceListEmpty, OneLineSaysSoUntilARefreshFindsADevice) {
  test::TFakeSerialTree tree;
  test::TScriptedPrompter prompter;
  TFormSetting form(prompter, tree.Roots());
  form.Prepare(4, tree.Roots().appDir);
  const QTreeWidget& list = *form.DeviceList->DeviceTree;
  ASSERT_EQ(list.topLevelItemCount(), 1);
  EXPECT_EQ(list.topLevelItem(0)->text(0), "シリアルデバイスが見つかりません");
  EXPECT_FALSE(list.topLevelItem(0)->flags() & Qt::ItemIsSelectable);
  tree.AddUsb("ttyUSB3", "1-4", kFtdi);
  form.DeviceList->RefreshButton->click();
  EXPECT_EQ(list.topLevelItem(0)->text(0), "COM36");
  EXPECT_EQ(form.ComboBox1->currentText(), "COM4") << "refreshing chooses nothing";
  form.Button1Click();
  EXPECT_EQ(form.Port(), 4);
}

}  // namespace
}  // namespace doz
