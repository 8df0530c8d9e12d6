// doz-cli ports on a fake machine: the aligned list, the note for a device
// without a COM number, --link; and a measurement through the link it makes
// and through a by-id name, with the simulated unit behind both.
#include "Cli_ports.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "Cli_measure.h"
#include "Cli_run.h"
#include "Doz_file.h"
#include "Fake_serial_tree.h"
#include "Unitsim_process.h"

namespace doz::cli {
namespace {

using test::Contains;
using test::TCliRun;
using test::TFakeSerialTree;

const test::TFakeUsb kFtdi = {"0403", "6001", "FTDI", "FT232R USB UART", "A10K1234", "ftdi_sio",
                              "usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0"};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class CliPorts : public ::testing::Test {
 protected:
  CliPorts() {
    tree.AddUart("ttyS0", 4);
    tree.AddUart("ttyS1", 0);
    tree.AddUsb("ttyUSB0", "1-1", kFtdi);
    tree.AddPlatform("ttyAMA0", "uart-pl011");
  }
  TCliRun Ports(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunPortsWith(args, out, err, tree.Roots());
    return {code, out.str(), err.str()};
  }
  TFakeSerialTree tree;
};

TEST_F(CliPorts, OneAlignedLinePerDeviceAndANoteForOneWithoutANumber) {
  const TCliRun r = Ports({});
  EXPECT_EQ(r.code, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u) << r.out;
  EXPECT_EQ(lines[0].substr(0, 4), "PORT");
  EXPECT_EQ(lines[1].substr(0, 4), "COM1");
  EXPECT_EQ(lines[2].substr(0, 5), "COM33");
  EXPECT_EQ(lines[3].substr(0, 2), "- ");
  const std::size_t deviceColumn = lines[0].find("DEVICE");
  const std::size_t byIdColumn = lines[0].find("BY-ID");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].find(tree.File("dev/tty")), deviceColumn) << lines[i];
    EXPECT_EQ(lines[i].back() == ' ', false) << "no trailing blanks";
  }
  EXPECT_EQ(lines[2].substr(byIdColumn), tree.Roots().byId + "/" + kFtdi.byId);
  for (const char* field : {"ftdi_sio", "0403:6001", "FTDI FT232R USB UART", "A10K1234"})
    EXPECT_TRUE(Contains(lines[2], field)) << field;
  EXPECT_EQ(lines[3].substr(byIdColumn), "-");
  EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
  EXPECT_TRUE(Contains(r.err, "no COM number opens " + tree.File("dev/ttyAMA0")));
  EXPECT_TRUE(Contains(r.err, "doz-cli ports --link ttyAMA0")) << "says how to give it one";
}

TEST_F(CliPorts, LinkGivesANumberAndTellsWhatItMade) {
  TCliRun r = Ports({"--link", "ttyAMA0"});
  EXPECT_EQ(r.code, 0) << r.err;
  // COM1 and COM2 have device nodes.
  EXPECT_EQ(r.out, "COM3  " + tree.Roots().appDir + "/ports/com3 -> " + tree.File("dev/ttyAMA0") + "\n");
  r = Ports({});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out)[2].substr(0, 5), "COM3 ");
  r = Ports({"--link", tree.File("dev/ttyUSB0")});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(Contains(r.err, "is COM33 already")) << r.err;

  const std::pair<std::vector<std::string>, int> failures[] = {
      {{"--link", "ttyS1"}, 1}, {{"--link"}, 2}, {{"extra"}, 2}, {{"--all"}, 2}};
  for (const auto& [args, code] : failures) {
    r = Ports(args);
    EXPECT_EQ(r.code, code) << testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "doz-cli ports: ")) << r.err;
  }
}

TEST_F(CliPorts, MeasuresThroughTheMadeLinkAndAByIdName) {
  test::TUnitsimProcess sim({"--fast"});
  ASSERT_TRUE(sim.Started());
  tree.AddNode("ttyAMA0", sim.DevicePath());
  const std::string byId = tree.Roots().byId + "/platform-soc-serial0";
  std::filesystem::create_symlink("../../ttyAMA0", byId);
  ASSERT_EQ(Ports({"--link", byId}).code, 0);

  TMeasureEnv env;
  env.appDir = tree.Roots().appDir;
  for (const std::string& port : {std::string("COM3"), byId}) {
    SCOPED_TRACE(port);
    const std::string output = tree.File("m.DTA");
    std::filesystem::remove(output);
    std::ostringstream out, err;
    ASSERT_EQ(RunMeasureWith({"--port", port, "--band", "10", "-o", output}, out, err, env), 0)
        << err.str();
    std::string serial;
    std::int32_t comPort = 0;
    TRawData raw;
    ASSERT_TRUE(TDoZ_File().ReadDataFile(output, serial, comPort, &raw));
    EXPECT_EQ(comPort, 3) << "the by-id name is the device of COM3";
  }
}

}  // namespace
}  // namespace doz::cli
