// The driver on a pseudo-terminal: open and close, line rates, queues,
// purges and every time-out rule.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "Pty_port_test.h"
#include "Stopwatch.h"

namespace doz {
namespace {

using namespace std::chrono_literals;
using test::TStopwatch;
using TClock = std::chrono::steady_clock;

using SerialportPty = test::TPtyPortTest;

TEST_F(SerialportPty, ConnectTwiceDisconnectTwice) {
  EXPECT_TRUE(port.Connected());
  const int fd = port.Handle();
  EXPECT_TRUE(port.Connect()) << "already open";
  EXPECT_EQ(port.Handle(), fd) << "not reopened";
  EXPECT_TRUE(port.Disconnect());
  EXPECT_FALSE(port.Connected());
  EXPECT_FALSE(port.Disconnect());
  EXPECT_TRUE(port.Connect()) << "the device can be opened again";
}

TEST_F(SerialportPty, EveryNamedRateAndACustomOneReachTheKernel) {
  EXPECT_EQ(test::LineRate(port.Handle()), 9600u);
  // 14400, 56000, 128000 and 256000 have no termios constant.
  const std::pair<TBaudRate, std::uint32_t> named[] = {
      {br110, 110},       {br300, 300},       {br600, 600},       {br1200, 1200},
      {br2400, 2400},     {br4800, 4800},     {br9600, 9600},     {br14400, 14400},
      {br19200, 19200},   {br38400, 38400},   {br56000, 56000},   {br57600, 57600},
      {br115200, 115200}, {br128000, 128000}, {br256000, 256000}};
  for (const auto& [rate, bitsPerSecond] : named) {
    port.SetBaudRate(rate);
    EXPECT_EQ(test::LineRate(port.Handle()), bitsPerSecond) << rate;
  }
  port.SetBaudRateValue(250000);
  EXPECT_EQ(test::LineRate(port.Handle()), 250000u);
  port.SetBaudRateValue(0);
  EXPECT_FALSE(port.ApplyCOMSettings()) << "no rate is no line";
  EXPECT_TRUE(port.Connected());
}

TEST_F(SerialportPty, NoModemLinesIsNotAFailure) {
  for (const THwFlowControl flow : {hfNONE, hfNONERTSON, hfRTSCTS}) {
    port.SetHwFlow(flow);
    port.SetEnableDTROnOpen(flow != hfNONE);
    EXPECT_TRUE(port.ApplyCOMSettings()) << flow;
  }
  EXPECT_FALSE(port.ToggleDTR(true));
  EXPECT_FALSE(port.ToggleRTS(false));
  EXPECT_TRUE(port.GetLineStatus().none());
  EXPECT_TRUE(port.Connected());
}

TEST_F(SerialportPty, SettingsWhileOpenAreAppliedAndBufferSizesWait) {
  port.SetInBufSize(4096);
  port.SetOutBufSize(256);
  EXPECT_EQ(port.InBufSize(), 2048u) << "sizes change only while closed";
  EXPECT_EQ(port.OutBufSize(), 2048u);
  Queue("stale");
  port.SetStopBits(sb2BITS);
  EXPECT_EQ(port.CountRX(), 0u) << "applying settings purges";
  // A pseudo-terminal carries no parity: the kernel refuses that request.
  port.SetParity(ptEVEN);
  EXPECT_FALSE(port.ApplyCOMSettings());
  EXPECT_TRUE(port.Connected()) << "a refused setting is no lost device";
}

TEST_F(SerialportPty, QueueCountsAndPurge) {
  EXPECT_EQ(port.CountRX(), 0u);
  EXPECT_EQ(port.OutFreeSpace(), port.OutBufSize()) << "nothing waits to go out";
  Queue("0123456");
  EXPECT_EQ(port.CountRX(), 7u);
  EXPECT_TRUE(port.FlushBuffers(false, true));
  EXPECT_EQ(port.CountRX(), 7u) << "transmit purge leaves reception";
  EXPECT_TRUE(port.FlushBuffers(false, false));
  EXPECT_EQ(port.CountRX(), 7u);
  EXPECT_TRUE(port.FlushBuffers(true, false));
  EXPECT_EQ(port.CountRX(), 0u);
  Queue("abc");
  EXPECT_TRUE(port.FlushBuffers(true, true));
  EXPECT_EQ(port.CountRX(), 0u);
}

TEST_F(SerialportPty, SendsReachTheDevice) {
  EXPECT_TRUE(port.SendZString("?\r"));
  EXPECT_TRUE(port.SendString(std::string("U?\r")));
  EXPECT_TRUE(port.SendByte(0x00));
  EXPECT_TRUE(port.SendChar('\xff'));
  EXPECT_TRUE(port.SendString(""));
  EXPECT_FALSE(port.SendZString(nullptr));
  EXPECT_EQ(pty.Received(1000), std::string("?\rU?\r\0\xff", 7));
}

TEST_F(SerialportPty, ReadWaitsTheTimeoutForMissingBytes) {
  Queue("0123456789");
  char buffer[32] = {};
  port.SetInputTimeout(100);
  const TStopwatch watch;
  EXPECT_EQ(port.ReadData(buffer, 21), 10u);
  EXPECT_TRUE(test::Waited(watch.Elapsed(), 100ms));
  EXPECT_EQ(std::string(buffer, 10), "0123456789");
}

TEST_F(SerialportPty, QueuedBytesAreReadWhateverTheTimeout) {
  Queue("abcdef");
  char buffer[8] = {};
  const TStopwatch watch;
  EXPECT_EQ(port.ReadData_inTime(buffer, 6, 0), 6u) << "the time-out counts only while the queue is empty";
  EXPECT_LT(watch.Elapsed(), test::kSlack);
  EXPECT_EQ(port.ReadData_inTime(buffer, 6, 0), 0u);
}

TEST_F(SerialportPty, BytesArrivingInPiecesCompleteTheRead) {
  std::thread device([&] {
    std::this_thread::sleep_for(40ms);
    pty.Send("0123456789");
    std::this_thread::sleep_for(40ms);
    pty.Send("ABCDEFGHIJK");
  });
  char buffer[21] = {};
  const TStopwatch watch;
  const std::uint32_t got = port.ReadData_inTime(buffer, 21, 3000);
  const auto took = watch.Elapsed();
  device.join();
  EXPECT_EQ(got, 21u);
  EXPECT_EQ(std::string(buffer, 21), "0123456789ABCDEFGHIJK");
  EXPECT_GE(took, 80ms);
  EXPECT_LT(took, 3000ms) << "a complete read returns before its time-out";
}

TEST_F(SerialportPty, TimedReadsStoreTheirTimeout) {
  char buffer[4];
  EXPECT_EQ(port.ReadData_inTime(buffer, 4, 20), 0u);
  EXPECT_EQ(port.InputTimeout(), 20u);
  EXPECT_EQ(port.ReadData2(buffer, 4, 30), 0u);
  EXPECT_EQ(port.InputTimeout(), 30u);
  const TStopwatch watch;
  EXPECT_EQ(port.ReadData(buffer, 4), 0u);
  EXPECT_TRUE(test::Waited(watch.Elapsed(), 30ms)) << "the last timed read's time-out";
}

TEST_F(SerialportPty, SingleBytesAndReadAll) {
  Queue("xy");
  std::uint8_t b = 0;
  char c = 0;
  EXPECT_TRUE(port.ReadByte(b));
  EXPECT_EQ(b, 'x');
  EXPECT_TRUE(port.ReadChar(c));
  EXPECT_EQ(c, 'y');
  port.SetInputTimeout(10);
  EXPECT_FALSE(port.ReadChar(c));

  char buffer[8] = {};
  EXPECT_EQ(port.ReadData_All(buffer, 8), 0u) << "nothing waiting";
  Queue("0123456789");
  EXPECT_EQ(port.ReadData_All(buffer, 8), 8u) << "never past the buffer";
  EXPECT_EQ(std::string(buffer, 8), "01234567");
  EXPECT_EQ(port.ReadData_All(buffer, 8), 2u);
  EXPECT_EQ(std::string(buffer, 2), "89");
}

TEST_F(SerialportPty, SilentReadCostsNoCpu) {
  rusage before{}, after{};
  getrusage(RUSAGE_THREAD, &before);
  char buffer[21];
  const TStopwatch watch;
  EXPECT_EQ(port.ReadData_inTime(buffer, 21, 2000), 0u);
  const auto took = watch.Elapsed();
  getrusage(RUSAGE_THREAD, &after);
  const auto cpuUs = [](const rusage& r) {
    return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000L + r.ru_utime.tv_usec + r.ru_stime.tv_usec;
  };
  EXPECT_TRUE(test::Waited(took, 2000ms));
  EXPECT_LT(cpuUs(after) - cpuUs(before), 200000) << "waiting happens in poll(), not in a loop";
}

// A record trickling in at the line rate wakes the reader a few times, not
// once per byte.
TEST_F(SerialportPty, TrickleAtTheLineRateIsReadInFewWakeUps) {
  std::thread device([&] {
    for (const char c : std::string("0123456789ABCDEFGHIJ\r")) {
      pty.Send(std::string(1, c));
      std::this_thread::sleep_for(1042us);  // 10 bits at 9600 baud
    }
  });
  rusage before{}, after{};
  getrusage(RUSAGE_THREAD, &before);
  char buffer[21] = {};
  const std::uint32_t got = port.ReadData_inTime(buffer, 21, 2000);
  getrusage(RUSAGE_THREAD, &after);
  device.join();
  EXPECT_EQ(got, 21u);
  EXPECT_LE(after.ru_nvcsw - before.ru_nvcsw, 6);
}

TEST_F(SerialportPty, SendTimesOutFromTheLastProgress) {
  // Nobody reads the device: the terminal fills, and the send gives up once
  // the time-out has passed without progress.
  const std::string lots(200000, 'x');
  const TStopwatch watch;
  const std::uint32_t sent = port.SendDataEx(lots.data(), std::uint32_t(lots.size()), 150);
  EXPECT_TRUE(test::Waited(watch.Elapsed(), 150ms));
  EXPECT_GT(sent, 0u);
  EXPECT_LT(sent, lots.size());
  EXPECT_TRUE(port.Connected());
}

TEST_F(SerialportPty, SlowSteadyDrainNeverTimesOut) {
  // The device takes 4 KiB every 100 ms: the whole transfer takes longer than
  // the time-out, but there is progress all the time. (The time-out is wide:
  // on a loaded machine the kernel hands the room back late.)
  const std::string lots(90000, 'y');
  std::size_t drained = 0;
  std::thread device([&] {
    char chunk[4096];
    const auto until = TClock::now() + 10s;
    while (drained < lots.size() && TClock::now() < until) {
      std::this_thread::sleep_for(100ms);
      const ssize_t n = read(pty.Master(), chunk, sizeof chunk);
      if (n > 0) drained += std::size_t(n);
    }
  });
  const TStopwatch watch;
  const std::uint32_t sent = port.SendDataEx(lots.data(), std::uint32_t(lots.size()), 1500);
  const auto took = watch.Elapsed();
  device.join();
  EXPECT_EQ(sent, lots.size());
  EXPECT_GT(took, 1500ms) << "the whole transfer outlasts the time-out";
  EXPECT_EQ(drained, lots.size());
}

TEST_F(SerialportPty, CheckLineStatusStopsSendingWithoutModemLines) {
  port.SetCheckLineStatus(true);
  EXPECT_EQ(port.SendData("abc", 3), 0u);
  port.SetCheckLineStatus(false);
  EXPECT_EQ(port.SendData("abc", 3), 3u);
}

TEST_F(SerialportPty, AdoptedAndForgottenHandles) {
  const int fd = port.Handle();
  port.SetHandle(fd);
  EXPECT_EQ(port.Handle(), fd) << "the same handle: nothing happens";
  port.SetHandle(-2);
  EXPECT_FALSE(port.Connected());
  EXPECT_NE(fcntl(fd, F_GETFD), -1) << "forgotten, not closed";
  TSerialPort other;
  other.SetHandle(fd);
  ASSERT_TRUE(other.Connected());
  ASSERT_TRUE(pty.SendQueued(fd, "hi"));
  char buffer[2];
  EXPECT_EQ(other.ReadData_inTime(buffer, 2, 100), 2u);
  other.SetHandle(-1);
  EXPECT_FALSE(other.Connected());
  EXPECT_EQ(fcntl(fd, F_GETFD), -1) << "-1 closes";
}

}  // namespace
}  // namespace doz
