// The receiving side of a sweep: 21-byte framing, the slot of every point,
// the carriage-return mend, the end marks and the bound of the receive
// buffer; then whole sweeps of the simulated unit, healthy and faulty.
#include "Sweep_receiver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>

#include "Pty_port_test.h"
#include "Recorded_sweep.h"
#include "Scripted_unit.h"
#include "Serialport.h"
#include "Unit_protocol.h"
#include "Unitsim_process.h"

namespace doz {
namespace {

using TClock = std::chrono::steady_clock;

// Appends bytes to the receive buffer as reads would.
void Feed(TSweepReceiver& receiver, const std::string& bytes) {
  std::memcpy(receiver.RcvBuf.data() + receiver.RcvLen, bytes.data(), bytes.size());
  receiver.RcvLen += static_cast<std::int32_t>(bytes.size());
}

std::string Slot(const TRawData& data, int slot) { return data.Data[slot].data(); }

class SweepReceiverTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearRawData(data); }
  TSweepReceiver receiver;
  TRawData data;
};

TEST_F(SweepReceiverTest, ResetTakesTheBandsCountAndFirstSlot) {
  for (int band = 1; band <= BAND_COUNT; ++band) {
    receiver.RcvLen = receiver.RcvPos = receiver.PointCount = 77;
    receiver.Reset(band);
    EXPECT_EQ(receiver.PointTotal, BandDataNum(band));
    EXPECT_EQ(receiver.FirstSlot, BandFirstIndex(band));
    EXPECT_EQ(receiver.RcvLen, 0);
    EXPECT_EQ(receiver.RcvPos, 0);
    EXPECT_EQ(receiver.PointCount, 0);
  }
}

TEST_F(SweepReceiverTest, EachPointGoesToTheNextSlotOfTheBand) {
  receiver.Reset(3);
  const std::vector<std::string> records = test::SampleRecords(3);
  for (const std::string& record : records) Feed(receiver, record + "\r");
  for (int n = 0; n < 3; ++n) {
    ASSERT_EQ(receiver.Take(data), TStepResult::Point) << n;
    EXPECT_EQ(receiver.CurrentSlot(), BandFirstIndex(3) + n);
    receiver.Accept();
  }
  EXPECT_EQ(receiver.Take(data), TStepResult::Waiting);
  for (int n = 0; n < 3; ++n) EXPECT_EQ(Slot(data, BandFirstIndex(3) + n), records[n]);
  EXPECT_EQ(Slot(data, BandFirstIndex(3) + 3), std::string(RECORD_LEN, '0')) << "untouched";
  EXPECT_EQ(receiver.RcvPos, 3 * 21);
}

TEST_F(SweepReceiverTest, ARecordIsTakenOnlyWhenAllItsBytesAreIn) {
  receiver.Reset(10);
  const std::string record = test::SampleRecords(1)[0];
  const std::string bytes = record + "\r";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    EXPECT_EQ(receiver.Take(data), TStepResult::Waiting) << i;
    Feed(receiver, bytes.substr(i, 1));
  }
  EXPECT_EQ(receiver.Take(data), TStepResult::Point);
  EXPECT_EQ(Slot(data, receiver.CurrentSlot()), record);
}

TEST_F(SweepReceiverTest, TheTwentyFirstByteIsNotChecked) {
  receiver.Reset(10);
  for (const char last : {'\r', '\n', 'X', '\0'}) {
    const std::string record = test::SamplePoint(receiver.PointCount, 1234, -56);
    Feed(receiver, record + std::string(1, last));
    ASSERT_EQ(receiver.Take(data), TStepResult::Point) << int(last);
    EXPECT_EQ(Slot(data, receiver.CurrentSlot()), record);
    receiver.Accept();
  }
}

TEST_F(SweepReceiverTest, CarriageReturnInsideARecordKeepsTheBytesBeforeItPaddedWithZeros) {
  const std::string record = "0003E8FC1800FFFF0001";
  for (int at = 0; at < RECORD_LEN; ++at) {
    SCOPED_TRACE(at);
    receiver.Reset(10);
    std::string bytes = record + "\r";
    bytes[at] = '\r';
    Feed(receiver, bytes);
    EXPECT_EQ(receiver.Take(data), TStepResult::FramingError);
    const std::string stored = Slot(data, receiver.CurrentSlot());
    EXPECT_EQ(stored, record.substr(0, at) + std::string(RECORD_LEN - at, '0'));
    EXPECT_EQ(receiver.PointCount, 0) << "the broken record is not counted";
  }
}

TEST_F(SweepReceiverTest, NulAndLineFeedInsideARecordAreStoredAsZero) {
  receiver.Reset(10);
  std::string bytes = "0003E8FC1800FFFF0001\r";
  bytes[3] = '\0';
  bytes[12] = '\n';
  Feed(receiver, bytes);
  ASSERT_EQ(receiver.Take(data), TStepResult::Point);
  EXPECT_EQ(Slot(data, receiver.CurrentSlot()), "0000E8FC18000FFF0001");
  EXPECT_EQ(std::strlen(data.Data[receiver.CurrentSlot()].data()), std::size_t(RECORD_LEN));
}

TEST_F(SweepReceiverTest, EndMarkIsCheckedOnceAllPointsAreIn) {
  const std::pair<std::string, TStepResult> cases[] = {
      {"OK\r", TStepResult::EndOk},
      {"OKX", TStepResult::EndOk},
      {"OK\r0003E8", TStepResult::EndOk},
      {"NG\r", TStepResult::EndBad},
      {"ok\r", TStepResult::EndBad},
      {"KO\r", TStepResult::EndBad},
      {"0003E8FC1800FFFF0001\r", TStepResult::EndBad},
      {"OK", TStepResult::Waiting},
      {"O", TStepResult::Waiting},
      {"", TStepResult::Waiting},
  };
  for (const auto& [bytes, result] : cases) {
    SCOPED_TRACE(bytes);
    receiver.Reset(10);
    receiver.PointCount = receiver.PointTotal;
    receiver.RcvPos = receiver.RcvLen = 95 * 21;
    Feed(receiver, bytes);
    EXPECT_EQ(receiver.Take(data), result);
  }
}

// Reads from a port with bytes queued.
class SweepReceiverPort : public test::TPtyPortTest {
 protected:
  TSweepReceiver receiver;
  TRawData data;
};

TEST_F(SweepReceiverPort, AReadTakesAtMostOneRecordsLength) {
  receiver.Reset(1);
  Queue(std::string(50, 'A'));
  EXPECT_EQ(receiver.Read(port).count, 21u);
  EXPECT_EQ(receiver.Read(port).count, 21u);
  const TLineTransfer last = receiver.Read(port);
  EXPECT_EQ(last.count, 8u);
  EXPECT_EQ(last.outcome, TLineOutcome::TimedOut) << "fewer by its time-out is not success";
  EXPECT_EQ(receiver.RcvLen, 50);
  EXPECT_EQ(receiver.Read(port).count, 0u);
}

TEST_F(SweepReceiverPort, TheReceiveBufferNeverOverflows) {
  receiver.Reset(1);
  receiver.RcvLen = TSweepReceiver::RCV_MAX - 5;
  receiver.RcvPos = receiver.RcvLen - 10;
  Queue(std::string(30, 'B'));
  EXPECT_EQ(receiver.Read(port).count, 5u);
  EXPECT_EQ(receiver.RcvLen, TSweepReceiver::RCV_MAX);
  EXPECT_EQ(receiver.Read(port).count, 0u);
  EXPECT_EQ(receiver.RcvLen, TSweepReceiver::RCV_MAX);
  EXPECT_EQ(port.CountRX(), 25u) << "the rest stays unread";
  // A full buffer can never complete the record: the sweep ends instead of
  // waiting for ever.
  EXPECT_EQ(receiver.Take(data), TStepResult::FramingError);
  receiver.PointCount = receiver.PointTotal;
  receiver.RcvPos = TSweepReceiver::RCV_MAX - 2;
  EXPECT_EQ(receiver.Take(data), TStepResult::FramingError);
}

// Steps through a sweep as the session does, until it ends or stalls.
struct TSweepRun {
  std::vector<TStepResult> ends;  // every result other than Point and Waiting
  int points = 0;
  bool broken = false;  // the line hung up or failed
};

TSweepRun RunSweep(TSweepReceiver& receiver, TSerialPort& port, TRawData& data, int stallMs) {
  TSweepRun run;
  auto lastByte = TClock::now();
  for (;;) {
    const TLineTransfer got = receiver.Read(port);
    if (got.count > 0) lastByte = TClock::now();
    if (got.Broken()) run.broken = true;
    const TStepResult r = receiver.Take(data);
    if (r == TStepResult::Point) {
      receiver.Accept();
      ++run.points;
    } else if (r != TStepResult::Waiting) {
      run.ends.push_back(r);
      return run;
    } else if (run.broken || TClock::now() - lastByte > std::chrono::milliseconds(stallMs)) {
      return run;
    }
  }
}

class SweepFromSimulatedUnit : public SweepReceiverTest {
 protected:
  void Start(std::vector<std::string> args, int band) {
    args.push_back("--fast");
    sim = std::make_unique<test::TUnitsimProcess>(args);
    ASSERT_TRUE(sim->Started());
    protocol.SetLine(&port);
    ASSERT_TRUE(protocol.OpenCOM({0, sim->DevicePath()}));
    std::string version, serial;
    ASSERT_EQ(protocol.GetUnitInfo(version, serial), TUnitCheck::Ok);
    ASSERT_EQ(protocol.StartSweep(false, band), TStartResult::Ok);
    receiver.Reset(band);
  }
  std::unique_ptr<test::TUnitsimProcess> sim;
  TSerialPort port;
  TUnitProtocol protocol;
};

TEST_F(SweepFromSimulatedUnit, WholeBandArrivesInItsSlotsAndEndsWithOK) {
  const test::TRecordedSweep sent = test::RecordSimulatedSweep({"--seed", "5"}, 10, false);
  ASSERT_EQ(sent.records.size(), 95u);
  Start({"--seed", "5"}, 10);
  const TSweepRun run = RunSweep(receiver, port, data, 1000);
  EXPECT_EQ(run.points, 95);
  EXPECT_EQ(run.ends, std::vector<TStepResult>{TStepResult::EndOk});
  for (int n = 0; n < 95; ++n) EXPECT_EQ(Slot(data, BandFirstIndex(10) + n), sent.records[n]) << n;
  EXPECT_EQ(Slot(data, BandLastIndex(10) + 1), std::string(RECORD_LEN, '0'));
  EXPECT_EQ(receiver.RcvLen, 95 * 21 + 3);
}

TEST_F(SweepFromSimulatedUnit, AUnitThatVanishesBreaksTheLineAndLeavesAClosedPort) {
  Start({"--fault", "hangup-after=3"}, 1);
  const TSweepRun run = RunSweep(receiver, port, data, 5000);
  EXPECT_EQ(run.points, 3);
  EXPECT_TRUE(run.broken) << "a hang-up, not silence";
  EXPECT_TRUE(run.ends.empty()) << "no end mark, no framing error";
  EXPECT_FALSE(port.Connected());
  const int len = receiver.RcvLen;
  EXPECT_EQ(receiver.Read(port).outcome, TLineOutcome::HungUp);
  EXPECT_EQ(receiver.RcvLen, len);
  EXPECT_EQ(receiver.Take(data), TStepResult::Waiting);
}

}  // namespace
}  // namespace doz
