// Which device a COM number opens, and whether it can be used.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <tuple>

#include "Child_process.h"
#include "Com_ports.h"
#include "Pty_pair.h"
#include "Serialport.h"
#include "Temp_dir.h"

namespace doz {
namespace {

namespace fs = std::filesystem;

TEST(ComPortDevice, FallbackFamiliesAtTheirEdges) {
  const std::tuple<int, const char*> cases[] = {
      {1, "/dev/ttyS0"},    {32, "/dev/ttyS31"},   {33, "/dev/ttyUSB0"}, {64, "/dev/ttyUSB31"},
      {65, "/dev/ttyACM0"}, {96, "/dev/ttyACM31"}, {97, ""},             {256, ""},
      {0, ""},              {-1, ""},              {257, ""}};
  for (const auto& [com, device] : cases) {
    EXPECT_EQ(ComPortDevice("", com), device) << com;
    EXPECT_EQ(ComPortDevice("/nonexistent-app-dir", com), device) << com;
  }
}

TEST(ComPortDevice, PortsLinkWinsEvenBeyondTheFallbacks) {
  test::TTempDir app;
  fs::create_directory(app.File("ports"));
  for (const int com : {1, 33, 97, 256}) {
    const std::string link = app.File("ports/com" + std::to_string(com));
    fs::create_symlink("/dev/null", link);
    EXPECT_EQ(ComPortDevice(app.Path(), com), link) << com;
  }
  EXPECT_EQ(ComPortDevice(app.Path(), 2), "/dev/ttyS1") << "no entry: the fallback";
  EXPECT_EQ(ComPortDevice(app.Path(), 98), "");
  EXPECT_EQ(ComPortDevice(app.Path(), 257), "") << "no lookup outside 1..256";
  fs::create_symlink("/dev/null", app.File("ports/COM3"));
  EXPECT_EQ(ComPortDevice(app.Path(), 3), "/dev/ttyS2") << "entries are lower case";
  fs::create_symlink(app.File("gone"), app.File("ports/com4"));
  EXPECT_EQ(ComPortDevice(app.Path(), 4), app.File("ports/com4")) << "a dangling link is still the choice";
  EXPECT_EQ(DeviceState(app.File("ports/com4")), TDeviceState::Missing);
}

TEST(DeviceState, MissingPresentNoAccess) {
  test::TTempDir dir;
  EXPECT_EQ(DeviceState(""), TDeviceState::Missing);
  EXPECT_EQ(DeviceState(dir.File("none")), TDeviceState::Missing);
  test::WriteBytes(dir.File("dev"), "");
  EXPECT_EQ(DeviceState(dir.File("dev")), TDeviceState::Present);
  chmod(dir.File("dev").c_str(), 0400);
  chmod(dir.Path().c_str(), 0755);
  // As an ordinary user: root may open anything.
  EXPECT_EQ(test::RunUnprivileged([&] { return DeviceState(dir.File("dev")) == TDeviceState::NoAccess; }),
            true);
}

TEST(SerialportComNumber, LinkInAppDirOpensTheDevice) {
  test::TTempDir app;
  test::TPtyPair pty;
  fs::create_directory(app.File("ports"));
  fs::create_symlink(pty.SlavePath(), app.File("ports/com256"));
  TSerialPort port;
  port.SetPort(256);
  EXPECT_EQ(port.PortName(), "");
  port.SetPortsDirectory(app.Path());
  EXPECT_EQ(port.PortName(), app.File("ports/com256")) << "the directory re-resolves the number";
  ASSERT_TRUE(port.Connect());
  port.SetPort(1);
  port.SetPortName("/dev/null");
  EXPECT_EQ(port.Port(), 256) << "ignored while open";
  EXPECT_EQ(port.PortName(), app.File("ports/com256"));
  EXPECT_TRUE(port.SendString("U?\r"));
  EXPECT_EQ(pty.Received(1000), "U?\r");
}

TEST(SerialportComNumber, Com256NeverKeepsThePreviousDevice) {
  // Squeezed into 8 bits, 256 became 0 and kept the last device open.
  test::TPtyPair pty;
  TSerialPort port;
  port.SetPortName(pty.SlavePath());
  port.SetPort(256);
  EXPECT_FALSE(port.Connect());
  EXPECT_FALSE(port.Connected());
}

}  // namespace
}  // namespace doz
