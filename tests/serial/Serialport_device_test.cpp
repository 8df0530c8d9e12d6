// The driver and the world around the device: other processes that want the
// same port, and a device that goes away mid-transfer.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "Child_process.h"
#include "Pty_port_test.h"
#include "Stopwatch.h"

namespace doz {
namespace {

using namespace std::chrono_literals;
using test::TStopwatch;

// Privileged processes may open a terminal despite TIOCEXCL; an ordinary
// user's cannot. Drops that privilege for the calling (child) process.
bool DropSysAdmin() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  data[0].effective &= ~(1u << CAP_SYS_ADMIN);
  data[0].permitted &= ~(1u << CAP_SYS_ADMIN);
  return syscall(SYS_capset, &header, data) == 0;
}

bool ConnectsTo(const std::string& device) {
  TSerialPort second;
  second.SetPortName(device);
  return second.Connect();
}

TEST(SerialportExclusive, SecondConnectFromAnotherProcessFails) {
  test::TPtyPair pty;
  TSerialPort port;
  port.SetPortName(pty.SlavePath());
  ASSERT_TRUE(port.Connect());
  EXPECT_EQ(test::RunInChild([&] { return ConnectsTo(pty.SlavePath()); }), false);
  EXPECT_EQ(test::RunInChild([&] {
              return DropSysAdmin() && open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY) < 0 &&
                     errno == EBUSY;
            }),
            true)
      << "the terminal itself is exclusive too";
  port.Disconnect();
  EXPECT_EQ(test::RunInChild([&] { return ConnectsTo(pty.SlavePath()); }), true)
      << "free again once closed";
}

TEST(SerialportExclusive, OrdinaryUserReopensAfterClose) {
  // The terminal keeps its exclusive flag while the unit holds the other
  // side; the driver clears it on close, or its own next open would fail.
  test::TPtyPair pty;
  EXPECT_EQ(test::RunInChild([&] {
              if (!DropSysAdmin()) return false;
              TSerialPort port;
              port.SetPortName(pty.SlavePath());
              for (int i = 0; i < 3; ++i) {
                if (!port.Connect()) return false;
                port.Disconnect();
              }
              return true;
            }),
            true);
}

class SerialportVanished : public test::TPtyPortTest {
 protected:
  // The device goes after a while, as a pulled adapter would.
  std::thread UnplugAfter(std::chrono::milliseconds delay, const std::string& lastWords = "") {
    return std::thread([this, delay, lastWords] {
      pty.Send(lastWords);
      std::this_thread::sleep_for(delay);
      pty.CloseMaster();
    });
  }
};

TEST_F(SerialportVanished, ReadReturnsAndThePortIsClosed) {
  std::thread unplug = UnplugAfter(150ms, "12345");
  char buffer[21] = {};
  const TStopwatch watch;
  const std::uint32_t got = port.ReadData_inTime(buffer, 21, 2000);
  const auto took = watch.Elapsed();
  unplug.join();
  EXPECT_EQ(got, 5u) << "what arrived before the device went";
  EXPECT_EQ(std::string(buffer, 5), "12345");
  EXPECT_GE(took, 150ms);
  EXPECT_LT(took, 1500ms) << "a hang-up ends the wait, not the time-out";
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.CountRX(), 65535u);
  EXPECT_FALSE(port.Disconnect()) << "already closed";
}

TEST_F(SerialportVanished, ReadOnAGoneDeviceEndsAtOnce) {
  pty.CloseMaster();
  char buffer[4];
  const TStopwatch watch;
  EXPECT_EQ(port.ReadData_inTime(buffer, 4, 2000), 0u);
  EXPECT_LT(watch.Elapsed(), 1000ms);
  EXPECT_FALSE(port.Connected());
}

TEST_F(SerialportVanished, WriteOnAGoneDeviceEndsAtOnce) {
  pty.CloseMaster();
  const TStopwatch watch;
  EXPECT_EQ(port.SendDataEx("hello", 5, 2000), 0u);
  EXPECT_LT(watch.Elapsed(), 1000ms);
  EXPECT_FALSE(port.Connected()) << "a write to a hung-up terminal notes it";
  EXPECT_FALSE(port.Connect()) << "the device is gone for good";
}

TEST_F(SerialportVanished, WriterBlockedOnAFullTerminalSeesTheHangUp) {
  std::thread unplug = UnplugAfter(150ms);
  const std::string lots(200000, 'z');
  const TStopwatch watch;
  const std::uint32_t sent = port.SendDataEx(lots.data(), std::uint32_t(lots.size()), 3000);
  const auto took = watch.Elapsed();
  unplug.join();
  EXPECT_LT(sent, lots.size());
  EXPECT_LT(took, 2000ms);
  EXPECT_FALSE(port.Connected());
  // Reaching here at all shows no SIGHUP or SIGPIPE ended the process.
}

// A USB adapter that is pulled out shows poll()'s POLLHUP and reads of 0
// bytes, not the EIO of a pseudo-terminal; a pipe and a socket whose other
// end is closed hang up that way. The bytes sent before are still read, then
// the read ends at once and the port is closed.
TEST(SerialportHangUp, EndOfFileAfterAHangUpEndsTheReadAndClosesThePort) {
  using TMake = int (*)(int*);
  const std::pair<const char*, TMake> kinds[] = {
      {"pipe", [](int* fds) { return pipe2(fds, O_CLOEXEC); }},
      {"socketpair", [](int* fds) { return socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds); }}};
  for (const auto& [name, make] : kinds) {
    for (const std::string lastWords : {"12345", ""}) {
      SCOPED_TRACE(std::string(name) + " " + lastWords);
      int fds[2];
      ASSERT_EQ(make(fds), 0);
      TSerialPort port;
      port.SetHandle(fds[0]);
      ASSERT_EQ(write(fds[1], lastWords.data(), lastWords.size()), ssize_t(lastWords.size()));
      std::thread unplug([fd = fds[1], late = !lastWords.empty()] {
        if (late) std::this_thread::sleep_for(150ms);
        close(fd);
      });
      if (lastWords.empty()) unplug.join();  // gone before the read
      char buffer[21] = {};
      const TStopwatch watch;
      const TLineTransfer got = port.Read(buffer, 21, 6000ms);
      const auto took = watch.Elapsed();
      if (unplug.joinable()) unplug.join();
      EXPECT_EQ(got.outcome, TLineOutcome::HungUp);
      EXPECT_EQ(std::string(buffer, got.count), lastWords);
      EXPECT_LT(took, 2500ms) << "the hang-up ends the wait, not the time-out";
      EXPECT_FALSE(port.Connected());
    }
  }
}

}  // namespace
}  // namespace doz
