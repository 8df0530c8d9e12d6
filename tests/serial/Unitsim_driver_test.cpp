// The simulated unit as a process, spoken to through the driver the way the
// application speaks to the real one: purge, command, fixed-length reply.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "Doz_setting.h"
#include "Serialport.h"
#include "Stopwatch.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace doz {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

// Purges, sends command + CR, and reads up to count bytes within timeoutMs.
std::string Exchange(TSerialPort& port, const std::string& command, std::uint32_t count,
                     std::uint32_t timeoutMs = 100) {
  port.FlushBuffers(true, true);
  if (!port.SendString(command + "\r")) return "<send failed>";
  std::string reply(count, '\0');
  reply.resize(port.ReadData_inTime(reply.data(), count, timeoutMs));
  return reply;
}

class UnitsimDriver : public ::testing::Test {
 protected:
  void Open(const std::vector<std::string>& args) {
    unit = std::make_unique<test::TUnitsimProcess>(args);
    ASSERT_TRUE(unit->Started());
    port.SetPortName(unit->DevicePath());
    port.SetBaudRate(br9600);
    ASSERT_TRUE(port.Connect());
  }
  void TearDown() override { port.Disconnect(); }
  // Reads a band's sweep after its count reply; gives every byte read.
  std::string ReadSweep(int points) {
    std::string bytes(std::size_t(points) * 21 + 3, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
      const std::uint32_t n = port.ReadData_inTime(bytes.data() + got, 21, 500);
      if (n == 0) break;
      got += n;
    }
    bytes.resize(got);
    return bytes;
  }
  std::unique_ptr<test::TUnitsimProcess> unit;
  TSerialPort port;
};

// What each command answers is checked on the unit itself; here options and
// replies cross the line, and the driver's time-out holds.
TEST_F(UnitsimDriver, AnswersThroughTheLine) {
  Open({"--fast", "--unit-serial", "SN42"});
  EXPECT_EQ(Exchange(port, "?", 3), "OK\r");
  EXPECT_EQ(Exchange(port, "SN?", 5), "SN42\r");
  const test::TStopwatch watch;
  EXPECT_EQ(Exchange(port, "U?", 6), "Do-Z\r") << "asking six bytes of a five-byte reply";
  EXPECT_TRUE(test::Waited(watch.Elapsed(), 100ms)) << "waits out its time-out";
}

TEST_F(UnitsimDriver, PacedSweepArrivesWholeInItsWireTime) {
  Open({});
  const auto start = TClock::now();
  EXPECT_EQ(Exchange(port, "M9", 5), "005F\r");
  const std::string bytes = ReadSweep(95);
  const auto took = TClock::now() - start;
  ASSERT_EQ(bytes.size(), 95u * 21 + 3);
  const auto wire = std::chrono::nanoseconds((5 + 95 * 21 + 3) * 10LL * 1000000000 / 9600);
  EXPECT_GE(took, wire) << "no byte arrives before its bits are on the wire";
  EXPECT_LT(took, wire * 2 + 2000ms) << "paced, not stalled";
  EXPECT_EQ(bytes.substr(95 * 21), "OK\r");
  for (int n = 0; n < 95; ++n) {
    const TPointValues v = DecodeRecord(bytes.c_str() + n * 21);
    EXPECT_EQ(bytes[std::size_t(n) * 21 + 20], '\r');
    EXPECT_GT(v.R, 0.0);
    EXPECT_GE(v.Freq, 10.0 * 0.999);
    EXPECT_LE(v.Freq, 100.0 * 1.001);
  }
}

TEST_F(UnitsimDriver, MeStopsARunningSweepAtOnce) {
  Open({});
  EXPECT_EQ(Exchange(port, "M0", 5), "022C\r");
  char some[100];
  EXPECT_EQ(port.ReadData_inTime(some, 100, 1000), 100u);
  // As the application does: up to three tries, for stream bytes that were
  // already on their way when the purge came.
  bool stopped = false;
  for (int attempt = 0; attempt < 3 && !stopped; ++attempt) stopped = Exchange(port, "ME", 3, 300) == "OK\r";
  EXPECT_TRUE(stopped);
  char more[1];
  EXPECT_EQ(port.ReadData_inTime(more, 1, 200), 0u) << "the sweep has stopped";
}

TEST_F(UnitsimDriver, SurvivesTheApplicationClosingAndReopening) {
  Open({"--fast"});
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Exchange(port, "M9", 5), "005F\r") << i;
    EXPECT_TRUE(port.Disconnect()) << "closed mid-sweep";
    // The unit notices the close within milliseconds; no one reopens faster.
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(port.Connect()) << i;
    EXPECT_EQ(Exchange(port, "?", 3, 1000), "OK\r") << i << ": a fresh session";
  }
}

TEST_F(UnitsimDriver, FaultsReachTheLine) {
  Open({"--fast", "--fault", "mute=?", "--fault", "identity=Do-ZX", "--fault", "uncalibrated",
        "--fault", "refuse-start"});
  EXPECT_EQ(Exchange(port, "?", 3), "");
  EXPECT_EQ(Exchange(port, "U?", 5), "Do-ZX") << "the extra letter takes the terminator's place";
  EXPECT_EQ(Exchange(port, "U?", 6), "Do-ZX\r");
  EXPECT_EQ(Exchange(port, "M?", 2), "1\r");
  EXPECT_EQ(Exchange(port, "M3", 5), "NG00\r");
}

TEST_F(UnitsimDriver, HangupLooksLikeAPulledAdapter) {
  Open({"--fault", "hangup-after=3"});
  EXPECT_EQ(Exchange(port, "M9", 5), "005F\r");
  std::string bytes(21 * 95, '\0');
  std::size_t got = 0;
  const auto start = TClock::now();
  while (port.Connected() && TClock::now() - start < 5s)
    got += port.ReadData_inTime(bytes.data() + got, 21, 2000);
  EXPECT_EQ(got, 3u * 21) << "the points sent before the line went";
  EXPECT_FALSE(port.Connected());
  EXPECT_LT(TClock::now() - start, 2s);
  int status = -1;
  ASSERT_TRUE(unit->WaitExit(3000, status));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(UnitsimProcess, LinkForTheComNumberComesAndGoes) {
  test::TTempDir app;
  std::filesystem::create_directory(app.File("ports"));
  const std::string link = app.File("ports/com7");
  int status = -1;
  {
    test::TUnitsimProcess unit({"--fast", "--link", link});
    ASSERT_TRUE(unit.Started());
    EXPECT_EQ(std::filesystem::read_symlink(link), unit.DevicePath());
    TSerialPort port;
    port.SetPortsDirectory(app.Path());
    port.SetPort(7);
    ASSERT_TRUE(port.Connect());
    EXPECT_EQ(Exchange(port, "?", 3), "OK\r");
    port.Disconnect();
    status = unit.Stop();
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "SIGTERM ends it cleanly";
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link))) << "link removed";
}

TEST(UnitsimProcess, BadOptionsEndItWithoutADevice) {
  test::TUnitsimProcess unit({"--fault", "nope"});
  EXPECT_FALSE(unit.Started());
  int status = -1;
  ASSERT_TRUE(unit.WaitExit(3000, status));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

}  // namespace
}  // namespace doz
