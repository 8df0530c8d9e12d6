// The driver without a device: defaults, clamps, coupled properties, the
// results of a closed port, and the termios record the settings make.
#include <gtest/gtest.h>

#include <tuple>

#include "Line_settings.h"
#include "Serialport.h"

namespace doz {
namespace {

TEST(SerialportDefaults, AreTheDocumentedOnes) {
  TSerialPort port;
  EXPECT_EQ(port.Port(), pnCOM1);
  EXPECT_EQ(port.PortName(), "/dev/ttyS0");
  EXPECT_EQ(port.BaudRate(), br9600);
  EXPECT_EQ(port.BaudRateValue(), 9600u);
  EXPECT_EQ(port.DataBits(), db8BITS);
  EXPECT_EQ(port.StopBits(), sb1BITS);
  EXPECT_EQ(port.Parity(), ptNONE);
  EXPECT_EQ(port.HwFlow(), hfNONERTSON);
  EXPECT_EQ(port.SwFlow(), sfNONE);
  EXPECT_EQ(port.InBufSize(), 2048u);
  EXPECT_EQ(port.OutBufSize(), 2048u);
  EXPECT_EQ(port.PacketSize(), -1);
  EXPECT_EQ(port.PacketTimeout(), -1);
  EXPECT_EQ(port.PacketMode(), pmDiscard);
  EXPECT_EQ(port.PollingDelay(), 100);
  EXPECT_TRUE(port.EnableDTROnOpen());
  EXPECT_EQ(port.OutputTimeout(), 500);
  EXPECT_EQ(port.InputTimeout(), 100u);
  EXPECT_FALSE(port.CheckLineStatus());
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(port.Handle(), -1);
}

TEST(SerialportClamps, BufferSizesAndPollingDelay) {
  TSerialPort port;
  const std::tuple<std::uint32_t, std::uint32_t> cases[] = {
      {0, 128}, {50, 128}, {127, 128}, {128, 128}, {129, 129}, {8192, 8192}, {8193, 8192}, {10000, 8192}};
  for (const auto& [given, stored] : cases) {
    port.SetInBufSize(given);
    port.SetOutBufSize(given);
    EXPECT_EQ(port.InBufSize(), stored) << given;
    EXPECT_EQ(port.OutBufSize(), stored) << given;
  }
  const std::tuple<std::uint16_t, std::uint16_t> delays[] = {{0, 5}, {2, 5}, {4, 5}, {5, 5}, {6, 6}, {1000, 1000}};
  for (const auto& [given, stored] : delays) {
    port.SetPollingDelay(given);
    EXPECT_EQ(port.PollingDelay(), stored) << given;
  }
}

TEST(SerialportPolling, PauseCounterStartsAtOne) {
  TSerialPort port;
  EXPECT_FALSE(port.IsPolling());
  port.ContinuePolling();
  EXPECT_TRUE(port.IsPolling());
  port.PausePolling();
  port.PausePolling();
  EXPECT_FALSE(port.IsPolling());
  port.ContinuePolling();
  port.ContinuePolling();
  port.ContinuePolling();
  EXPECT_TRUE(port.IsPolling()) << "at or below zero it polls";
}

TEST(SerialportBaudRate, NamedRatesAndValuesAreCoupled) {
  EXPECT_EQ(TSerialPort::BaudRateOf(brCustom), 0u);
  EXPECT_EQ(TSerialPort::BaudRateOf(TBaudRate(16)), 0u) << "no rate past the last name";
  TSerialPort port;
  port.SetBaudRateValue(9600);
  EXPECT_EQ(port.BaudRate(), brCustom) << "a value always makes the rate custom";
  port.SetBaudRate(br115200);
  EXPECT_EQ(port.BaudRateValue(), 115200u);
  port.SetBaudRateValue(250000);
  port.SetBaudRate(brCustom);
  EXPECT_EQ(port.BaudRateValue(), 250000u) << "brCustom keeps the value";
  port.SetBaudRate(TBaudRate(42));
  EXPECT_EQ(port.BaudRate(), brCustom) << "out-of-range rates are ignored";
}

TEST(SerialportBaudRate, DelayForRxRoundsToMilliseconds) {
  EXPECT_EQ(TSerialPort::DelayForRX(br9600, 21), 22u);     // 21.875
  EXPECT_EQ(TSerialPort::DelayForRX(br9600, 960), 1000u);
  EXPECT_EQ(TSerialPort::DelayForRX(br110, 11), 1000u);
  EXPECT_EQ(TSerialPort::DelayForRX(br256000, 1), 0u);      // 0.039
  EXPECT_EQ(TSerialPort::DelayForRX(br9600, 0), 0u);
  EXPECT_EQ(TSerialPort::DelayForRX(brCustom, 100), 0u) << "no rate, no division by zero";
}

TEST(SerialportPortNumber, NameFollowsNumberAndBack) {
  TSerialPort port;
  port.SetPort(3);
  EXPECT_EQ(port.PortName(), "/dev/ttyS2");
  port.SetPort(pnCustom);
  EXPECT_EQ(port.Port(), pnCustom);
  EXPECT_EQ(port.PortName(), "/dev/ttyS2") << "0 keeps the name";
  port.SetPort(40);
  EXPECT_EQ(port.PortName(), "/dev/ttyUSB7");
  port.SetPortName("/dev/pts/77");
  EXPECT_EQ(port.Port(), pnCustom);
  EXPECT_EQ(port.PortName(), "/dev/pts/77");
  port.SetPort(256);
  EXPECT_EQ(port.Port(), 256) << "the whole range of the settings file, not 8 bits";
  EXPECT_EQ(port.PortName(), "") << "COM256 has no fallback device";
  port.SetPort(257);
  port.SetPort(-1);
  EXPECT_EQ(port.Port(), 256) << "numbers outside 0..256 are ignored";
}

TEST(SerialportClosed, EveryOperationFailsQuietly) {
  TSerialPort port;
  port.SetPortName("");
  char buffer[8] = {};
  EXPECT_FALSE(port.Connect());
  EXPECT_FALSE(port.Disconnect());
  EXPECT_FALSE(port.ApplyCOMSettings());
  EXPECT_FALSE(port.FlushBuffers(true, true));
  EXPECT_EQ(port.CountRX(), 65535u);
  EXPECT_EQ(port.OutFreeSpace(), 65535u);
  EXPECT_EQ(port.SendData("abc", 3), 0u);
  EXPECT_FALSE(port.SendString("abc"));
  EXPECT_FALSE(port.SendZString("abc"));
  EXPECT_FALSE(port.SendByte(1));
  EXPECT_EQ(port.ReadData(buffer, 8), 0u);
  EXPECT_EQ(port.ReadData_All(buffer, 8), 0u);
  EXPECT_FALSE(port.ToggleDTR(true));
  EXPECT_FALSE(port.ToggleRTS(false));
  EXPECT_TRUE(port.GetLineStatus().none());
}

TEST(SerialportClosed, TimedReadsAndTheStoredTimeout) {
  TSerialPort port;
  char buffer[4];
  port.ReadData_inTime(buffer, 4, 2000);
  EXPECT_EQ(port.InputTimeout(), 2000u) << "stored even on a closed port";
  port.ReadData2(buffer, 4, 300);
  EXPECT_EQ(port.InputTimeout(), 2000u) << "ReadData2 stores only while open";
}

TEST(SerialportClosed, ConnectToMissingDeviceStaysClosed) {
  TSerialPort port;
  port.SetPortName("/nonexistent/tty-does-not-exist");
  EXPECT_FALSE(port.Connect());
  EXPECT_FALSE(port.Connected());
  port.SetPortName("/dev/null");
  EXPECT_FALSE(port.Connect()) << "not a terminal";
  EXPECT_FALSE(port.Connected());
}

// The termios record: a pseudo-terminal forces 8 bits and no parity, so the
// mapping is checked on the record itself.
struct TTermiosCase {
  TLineSettings settings;
  tcflag_t cflagOn;
  tcflag_t cflagOff;
  tcflag_t iflagOn;
};

class LineSettingsTermios : public ::testing::TestWithParam<TTermiosCase> {};

TEST_P(LineSettingsTermios, MapsEverySetting) {
  termios t{};
  t.c_iflag = ICRNL | IXANY | INPCK;
  t.c_lflag = ECHO | ICANON | ISIG;
  t.c_oflag = OPOST;
  ToTermios(GetParam().settings, t);
  EXPECT_EQ(t.c_cflag & GetParam().cflagOn, GetParam().cflagOn);
  EXPECT_EQ(t.c_cflag & GetParam().cflagOff, 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF), GetParam().iflagOn);
  EXPECT_EQ(t.c_iflag & (ICRNL | IXANY | INPCK), 0u) << "raw: no translation, no parity check";
  EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
  EXPECT_EQ(t.c_cc[VSTART], 17);
  EXPECT_EQ(t.c_cc[VSTOP], 19);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LineSettingsTermios,
    ::testing::Values(
        TTermiosCase{{9600, db8BITS, sb1BITS, ptNONE, hfNONERTSON, sfNONE}, CS8, PARENB | CSTOPB | CRTSCTS, 0},
        TTermiosCase{{9600, db5BITS, sb1HALFBITS, ptODD, hfNONE, sfNONE}, CS5 | CSTOPB | PARENB | PARODD, CMSPAR, 0},
        TTermiosCase{{9600, db6BITS, sb2BITS, ptEVEN, hfRTSCTS, sfNONE}, CS6 | CSTOPB | PARENB | CRTSCTS, PARODD | CMSPAR, 0},
        TTermiosCase{{9600, db7BITS, sb1BITS, ptMARK, hfNONE, sfXONXOFF}, CS7 | PARENB | CMSPAR | PARODD, CSTOPB, IXON | IXOFF},
        TTermiosCase{{9600, db8BITS, sb1BITS, ptSPACE, hfNONE, sfXONXOFF}, CS8 | PARENB | CMSPAR, PARODD | CSTOPB, IXON | IXOFF}));

TEST(LineSettingsSpeed, StandardRatesHaveConstantsOthersGoArbitrary) {
  const std::tuple<std::uint32_t, speed_t> cases[] = {
      {110, B110}, {9600, B9600}, {19200, B19200}, {57600, B57600}, {115200, B115200},
      {14400, B0}, {56000, B0},   {128000, B0},    {256000, B0},    {12345, B0}};
  for (const auto& [rate, code] : cases) {
    EXPECT_EQ(StandardSpeed(rate), code) << rate;
    termios t{};
    ToTermios({rate, db8BITS, sb1BITS, ptNONE, hfNONE, sfNONE}, t);
    EXPECT_EQ(cfgetospeed(&t), code == B0 ? B38400 : code) << rate;
    EXPECT_EQ(cfgetispeed(&t), cfgetospeed(&t)) << rate;
  }
}

}  // namespace
}  // namespace doz
