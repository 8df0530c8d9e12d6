// The serial devices of a machine, read from a fake sysfs and /dev tree: which
// are listed, what is known of each, the COM number that opens it, and the
// link that gives a device without one a number.
#include "Serial_devices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "Com_ports.h"
#include "Fake_serial_tree.h"

namespace doz {
namespace {

namespace fs = std::filesystem;
using test::TFakeSerialTree;
using test::TFakeUsb;

const TFakeUsb kFtdi = {"0403", "6001", "FTDI", "FT232R USB UART", "A10K1234", "ftdi_sio",
                        "usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0"};
const TFakeUsb kAcm = {"2341", "0043", "", "Uno", "", "cdc_acm", ""};

// A typical desk: a real UART, legacy ports without one, consoles, two USB
// adapters and a board's own UART.
class SerialDevices : public ::testing::Test {
 protected:
  SerialDevices() {
    tree.AddUart("ttyS0", 4);
    for (const char* legacy : {"ttyS1", "ttyS2", "ttyS3"}) tree.AddUart(legacy, 0);
    tree.AddPlatform("tty0", "");
    tree.AddPlatform("console", "");
    tree.AddUsb("ttyUSB0", "1-1", kFtdi);
    tree.AddUsb("ttyACM0", "1-2", kAcm);
    tree.AddPlatform("ttyAMA0", "uart-pl011");
  }
  std::vector<TSerialDevice> List() const { return ListSerialDevices(tree.Roots()); }
  TSerialDevice Find(const std::string& name) const {
    for (const TSerialDevice& d : List())
      if (d.name == name) return d;
    ADD_FAILURE() << name << " not listed";
    return {};
  }

  TFakeSerialTree tree;
};

TEST_F(SerialDevices, ListsRealPortsWithWhatTheSystemKnows) {
  const std::vector<TSerialDevice> devices = List();
  const std::tuple<std::string, int, std::string> expected[] = {
      {"ttyS0", 1, "serial"},
      {"ttyUSB0", 33, "ftdi_sio"},
      {"ttyACM0", 65, "cdc_acm"},
      {"ttyAMA0", 0, "uart-pl011"},
  };
  ASSERT_EQ(devices.size(), std::size(expected)) << "no legacy ttyS, no console";
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const auto& [name, com, driver] = expected[i];
    EXPECT_EQ(devices[i].name, name) << i;
    EXPECT_EQ(devices[i].path, tree.File("dev/" + name));
    EXPECT_EQ(devices[i].comNumber, com) << name;
    EXPECT_EQ(devices[i].driver, driver) << name;
  }
  const TSerialDevice& ftdi = devices[1];
  EXPECT_EQ(ftdi.vendorId + ":" + ftdi.productId, "0403:6001");
  EXPECT_EQ(ftdi.vendor + "|" + ftdi.product + "|" + ftdi.serial, "FTDI|FT232R USB UART|A10K1234");
  EXPECT_EQ(ftdi.byId, tree.File("dev/serial/by-id/" + kFtdi.byId));
  const TSerialDevice& acm = devices[2];
  EXPECT_EQ(acm.vendorId + ":" + acm.productId + "|" + acm.vendor + "|" + acm.product, "2341:0043||Uno")
      << "the interface's own device holds the ids";
  EXPECT_EQ(acm.serial + acm.byId, "");
  EXPECT_EQ(devices[0].vendorId + devices[3].vendorId, "") << "not on USB";
}

TEST_F(SerialDevices, AProgramFolderLinkDecidesTheNumber) {
  tree.AddPortLink("com65", tree.Roots().byId + "/" + kFtdi.byId);
  tree.AddPortLink("com3", tree.File("dev/ttyUSB0"));
  tree.AddPortLink("com2", tree.File("dev/gone"));
  tree.AddPortLink("COM4", tree.File("dev/ttyAMA0"));
  EXPECT_EQ(Find("ttyUSB0").comNumber, 3) << "the lowest link to it";
  EXPECT_EQ(Find("ttyACM0").comNumber, 0) << "its usual COM65 opens another device";
  EXPECT_EQ(Find("ttyAMA0").comNumber, 0) << "entries are lower case";
  EXPECT_EQ(Find("ttyS0").comNumber, 1);
  EXPECT_EQ(List().back().name, "ttyAMA0") << "devices without a number come last, by name";
}

TEST(UsualComNumber, NamesAtTheEdgesOfEachFamily) {
  const std::tuple<const char*, int> cases[] = {
      {"ttyS0", 1},     {"ttyS31", 32},   {"ttyUSB0", 33},  {"ttyUSB31", 64}, {"ttyACM0", 65},
      {"ttyACM31", 96}, {"ttyS32", 0},    {"ttyS01", 0},    {"ttyS", 0},      {"ttySAC0", 0},
      {"ttyAMA0", 0},   {"ttyUSB100", 0}, {"xttyS0", 0},    {"ttyS1x", 0}};
  for (const auto& [name, com] : cases) {
    EXPECT_EQ(UsualComNumber(name), com) << name;
    if (com != 0) {
      EXPECT_EQ(UsualDeviceName(com), name) << com;
    }
  }
  EXPECT_EQ(UsualDeviceName(97), "");
  EXPECT_EQ(UsualDeviceName(0), "");
}

TEST(DeviceTexts, ProductAndUsbIdsAsFarAsKnown) {
  const std::tuple<std::string, std::string, std::string> products[] = {
      {"FTDI", "FT232R", "FTDI FT232R"}, {"", "Uno", "Uno"}, {"Acme", "", "Acme"}, {"", "", ""}};
  for (const auto& [vendor, product, text] : products) {
    TSerialDevice device;
    device.vendor = vendor;
    device.product = product;
    EXPECT_EQ(ProductText(device), text) << vendor << "|" << product;
  }
  TSerialDevice usb;
  usb.vendorId = "0403";
  usb.productId = "6001";
  EXPECT_EQ(UsbIdText(usb), "0403:6001");
  EXPECT_EQ(UsbIdText(TSerialDevice{}), "") << "not on USB";
}

TEST_F(SerialDevices, ALinkGivesTheLowestFreeNumber) {
  // COM1-4 have device nodes (ttyS0-3), COM5 a link of its own.
  tree.AddPortLink("com5", tree.File("dev/elsewhere"));
  TComLink made = MakeComLink(tree.Roots(), "ttyAMA0");
  ASSERT_EQ(made.result, TComLinkResult::Made);
  EXPECT_EQ(made.comNumber, 6);
  EXPECT_EQ(made.link, tree.Roots().appDir + "/ports/com6");
  EXPECT_EQ(made.target, tree.File("dev/ttyAMA0")) << "no by-id name: the path";
  EXPECT_EQ(fs::read_symlink(made.link), made.target);
  EXPECT_EQ(Find("ttyAMA0").comNumber, 6);
  EXPECT_EQ(ComPortDevice(tree.Roots().appDir, 6), made.link) << "COM6 opens it now";

  made = MakeComLink(tree.Roots(), tree.File("dev/ttyAMA0"));
  EXPECT_EQ(made.result, TComLinkResult::AlreadyReachable);
  EXPECT_EQ(made.comNumber, 6);
  made = MakeComLink(tree.Roots(), tree.Roots().byId + "/" + kFtdi.byId);
  EXPECT_EQ(made.result, TComLinkResult::AlreadyReachable) << "by its by-id name";
  EXPECT_EQ(made.comNumber, 33);
  for (const std::string& unknown :
       {std::string("ttyS1"), std::string("tty0"), std::string("ttyXYZ"), tree.File("dev/ttyS2")})
    EXPECT_EQ(MakeComLink(tree.Roots(), unknown).result, TComLinkResult::NoSuchDevice) << unknown;

  // An adapter whose usual COM33 a link has taken is linked by its by-id name.
  tree.AddPortLink("com33", tree.File("dev/ttyS0"));
  made = MakeComLink(tree.Roots(), tree.File("dev/ttyUSB0"));
  ASSERT_EQ(made.result, TComLinkResult::Made);
  EXPECT_EQ(made.comNumber, 7);
  EXPECT_EQ(made.target, tree.Roots().byId + "/" + kFtdi.byId);
}

TEST_F(SerialDevices, FailuresAreResults) {
  for (int n = 1; n <= 256; ++n) tree.AddPortLink("com" + std::to_string(n), tree.File("nothing"));
  EXPECT_EQ(MakeComLink(tree.Roots(), "ttyUSB0").result, TComLinkResult::NoFreeNumber);

  TFakeSerialTree blocked;
  blocked.AddPlatform("ttyAMA0", "uart-pl011");
  test::WriteBytes(blocked.Roots().appDir + "/ports", "a file where the folder should be");
  EXPECT_EQ(MakeComLink(blocked.Roots(), "ttyAMA0").result, TComLinkResult::CannotCreate);
  TSerialRoots noFolder = blocked.Roots();
  noFolder.appDir.clear();
  EXPECT_EQ(MakeComLink(noFolder, "ttyAMA0").result, TComLinkResult::CannotCreate);

  TSerialRoots empty = blocked.Roots();
  empty.sysfs = blocked.File("no-sysfs");
  EXPECT_TRUE(ListSerialDevices(empty).empty());
}

}  // namespace
}  // namespace doz
