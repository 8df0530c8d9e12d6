// The unit protocol against the simulated unit and, where exact replies are
// needed, against a scripted one: the three ways of reading a reply, finding
// and checking the unit, the start commands, stopping and releasing, each
// with the port state it leaves.
#include "Unit_protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>

#include "Doz_setting.h"
#include "Scripted_unit.h"
#include "Serialport.h"
#include "Stopwatch.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace doz {
namespace {

using namespace std::chrono_literals;
using test::TScriptedUnit;
using test::TStopwatch;
using test::TUnitScript;

// A unit that answers a start with its count only: no stream follows, so the
// next command finds it listening.
TUnitScript CountOnly() {
  TUnitScript script;
  script.useRecords = true;
  script.endMark.clear();
  return script;
}

// The protocol on a port to some device.
class ProtocolTest : public ::testing::Test {
 protected:
  ProtocolTest() { protocol.SetPort(&port); }
  void OpenSim(std::vector<std::string> args) {
    args.push_back("--fast");
    sim = std::make_unique<test::TUnitsimProcess>(args);
    ASSERT_TRUE(sim->Started());
    ASSERT_TRUE(protocol.OpenDevice(sim->DevicePath()));
  }
  void OpenScript(const TUnitScript& script) {
    unit = std::make_unique<TScriptedUnit>(script);
    ASSERT_TRUE(protocol.OpenDevice(unit->DevicePath()));
  }
  void OpenAnswering(TScriptedUnit::TAnswer answer) {
    unit = std::make_unique<TScriptedUnit>(std::move(answer));
    ASSERT_TRUE(protocol.OpenDevice(unit->DevicePath()));
  }
  // Open with the session flag set, as after a successful check.
  void ExpectOpen() const {
    EXPECT_TRUE(protocol.fComOpen);
    EXPECT_TRUE(port.Connected());
  }
  void ExpectClosed() const {
    EXPECT_FALSE(protocol.fComOpen);
    EXPECT_FALSE(port.Connected());
  }

  std::unique_ptr<test::TUnitsimProcess> sim;
  std::unique_ptr<TScriptedUnit> unit;
  TSerialPort port;
  TUnitProtocol protocol;
};

enum class TReader { Fixed4, Short, ExpectOK };

struct TReplyCase {
  TReader reader;
  std::string sent;  // what the unit answers to "X?"
  bool ok;
  std::string reply;  // Fixed and Short only
};

TEST_F(ProtocolTest, ThreeReplyReadersTakeTheirLengthsAndIgnoreTheTerminator) {
  std::mutex mutex;
  std::string answer;
  OpenAnswering([&](const std::string&, int) {
    std::lock_guard lock(mutex);
    return answer;
  });
  const TReplyCase cases[] = {
      {TReader::Fixed4, "ABCD\r", true, "ABCD"},
      {TReader::Fixed4, "ABCD\n", true, "ABCD"},
      {TReader::Fixed4, "ABCDE\r", true, "ABCD"},
      {TReader::Fixed4, "ABC\r", false, ""},
      {TReader::Fixed4, "", false, ""},
      {TReader::Short, "Do-Z\r", true, "Do-Z"},
      {TReader::Short, "\r", true, ""},
      {TReader::Short, "x", true, ""},
      {TReader::Short, "Do-ZXY\r", true, "Do-ZX"},
      {TReader::Short, "", false, ""},
      {TReader::ExpectOK, "OK\r", true, ""},
      {TReader::ExpectOK, "OK?", true, ""},
      {TReader::ExpectOK, "OKK\r", true, ""},
      {TReader::ExpectOK, "ok\r", false, ""},
      {TReader::ExpectOK, "NG\r", false, ""},
      {TReader::ExpectOK, "O\r", false, ""},
      {TReader::ExpectOK, "", false, ""},
  };
  for (const TReplyCase& c : cases) {
    {
      std::lock_guard lock(mutex);
      answer = c.sent;
    }
    std::string reply = "unchanged";
    const TStopwatch watch;
    bool ok = false;
    switch (c.reader) {
      case TReader::Fixed4:
        ok = protocol.SendCmdFixed("X?", reply, 100, 4);
        break;
      case TReader::Short:
        ok = protocol.SendCmdShort("X?", reply, 100);
        break;
      case TReader::ExpectOK:
        ok = protocol.SendCmdExpect("X?", "OK", 100);
        break;
    }
    const auto took = watch.Elapsed();
    SCOPED_TRACE(testing::Message() << "reader " << int(c.reader) << " reply '" << c.sent << "'");
    EXPECT_EQ(ok, c.ok);
    if (c.ok && c.reader != TReader::ExpectOK) {
      EXPECT_EQ(reply, c.reply);
    }
    // Until all the bytes asked for have come, the read waits out its
    // time-out ("U?" asks six); a wrong reply of full length fails at once.
    const std::size_t wanted = c.reader == TReader::Fixed4 ? 5 : c.reader == TReader::Short ? 6 : 3;
    if (c.sent.size() < wanted) {
      EXPECT_TRUE(test::Waited(took, 100ms));
    } else {
      EXPECT_LT(took, 100ms);
    }
  }
}

TEST_F(ProtocolTest, EveryCommandIsPurgedFirstAndEndsInOneCarriageReturn) {
  TUnitScript script;
  OpenScript(script);
  unit->Send("stale bytes the unit sent unasked\r");
  ASSERT_TRUE(test::TPtyPair::WaitQueued(port.Handle(), 10));
  std::string reply;
  EXPECT_TRUE(protocol.SendCmdFixed("V?", reply, 100, 4));
  EXPECT_EQ(reply, "1.23");
  EXPECT_TRUE(protocol.SendCmdExpect("?", "OK", 100));
  ASSERT_TRUE(unit->WaitFor("?", 1, 1000));
  EXPECT_EQ(unit->Received(), "V?\r?\r");
}

TEST_F(ProtocolTest, TimedReadBecomesTheInputTimeOutOfLaterReads) {
  OpenScript(TUnitScript{});
  EXPECT_TRUE(protocol.SendCmdExpect("ME", "OK", 2000));
  EXPECT_EQ(port.InputTimeout(), 2000u);
  std::string reply;
  EXPECT_TRUE(protocol.SendCmdFixed("SN?", reply, 100, 4));
  EXPECT_EQ(port.InputTimeout(), 100u);
}

TEST_F(ProtocolTest, FindsTheUnitWithProbeIdentityAndStop) {
  OpenScript(TUnitScript{});
  EXPECT_TRUE(protocol.CheckUnit());
  EXPECT_EQ(unit->Commands(), (std::vector<std::string>{"?", "U?", "ME"}));
}

struct TFindCase {
  std::vector<std::string> fault;
  bool found;
};

TEST_F(ProtocolTest, FindingTheSimulatedUnitFailsAtItsFirstFault) {
  const TFindCase cases[] = {
      {{}, true},
      {{"--fault", "identity=Do-ZX"}, true},  // only four characters are compared
      {{"--fault", "mute=?"}, false},
      {{"--fault", "mute=U?"}, false},
      {{"--fault", "identity=Do-Y"}, false},
      {{"--fault", "identity=do-z"}, false},
  };
  for (const TFindCase& c : cases) {
    SCOPED_TRACE(c.fault.empty() ? "healthy" : c.fault[1]);
    OpenSim(c.fault);
    EXPECT_EQ(protocol.CheckUnit(), c.found);
    protocol.CloseCOM();
  }
}

TEST_F(ProtocolTest, FindingWaitsTwoSecondsForTheStopReply) {
  OpenSim({"--fault", "mute=ME"});
  const TStopwatch watch;
  EXPECT_FALSE(protocol.CheckUnit());
  EXPECT_TRUE(test::Waited(watch.Elapsed(), 2000ms));
}

struct TCheckCase {
  std::vector<std::string> fault;
  TUnitCheck result;
};

TEST_F(ProtocolTest, CheckingTheUnitNamesEachFailure) {
  const TCheckCase cases[] = {
      {{"--unit-serial", "SN42"}, TUnitCheck::Ok},
      {{"--fault", "mute=U?"}, TUnitCheck::ResponseError},
      {{"--fault", "identity=Do-ZX"}, TUnitCheck::ModelNotFound},
      {{"--fault", "identity=Ru-Z"}, TUnitCheck::ModelNotFound},
      {{"--fault", "mute=V?"}, TUnitCheck::ResponseError},
      {{"--fault", "mute=SN?"}, TUnitCheck::ResponseError},
      {{"--fault", "uncalibrated"}, TUnitCheck::NotCalibrated},
      {{"--fault", "mute=M?"}, TUnitCheck::NotCalibrated},
  };
  for (const TCheckCase& c : cases) {
    SCOPED_TRACE(c.fault[1]);
    OpenSim(c.fault);
    std::string version = "v", serial = "s";
    const TStopwatch watch;
    EXPECT_EQ(protocol.GetUnitInfo(version, serial), c.result);
    if (c.result == TUnitCheck::Ok) {
      EXPECT_EQ(version, "1.10");
      EXPECT_EQ(serial, "SN42");
      // "U?" asks six bytes of a five-byte reply; the other three replies
      // come complete and at once.
      EXPECT_TRUE(test::Waited(watch.Elapsed(), 100ms));
    }
    protocol.CloseCOM();
  }
}

TEST_F(ProtocolTest, CheckingAClosedPortSendsNothing) {
  TUnitScript script;
  unit = std::make_unique<TScriptedUnit>(script);
  std::string version = "v", serial = "s";
  EXPECT_EQ(protocol.GetUnitInfo(version, serial), TUnitCheck::NotOpen);
  EXPECT_EQ(version, "v");
  EXPECT_EQ(serial, "s");
  EXPECT_TRUE(unit->Commands().empty());
}

TEST_F(ProtocolTest, StartSendsTheAveragingAndTheBandDigit) {
  OpenScript(CountOnly());
  for (int band = 1; band <= BAND_COUNT; ++band) {
    protocol.fSession = true;
    EXPECT_EQ(protocol.StartSweep(band % 2 == 0, band), TStartResult::Ok) << band;
    EXPECT_TRUE(protocol.fSession);
  }
  ASSERT_TRUE(unit->WaitFor("M9", 1, 1000));
  const std::vector<std::string> expected = {"MS0", "M0",  "MS1", "M1",  "MS0", "M2",  "MS1",
                                             "M3",  "MS0", "M4",  "MS1", "M5",  "MS0", "M6",
                                             "MS1", "M7",  "MS0", "M8",  "MS1", "M9"};
  EXPECT_EQ(unit->Commands(), expected);
}

struct TStartCase {
  std::string msReply;
  std::string countReply;
  TStartResult result;
};

TEST_F(ProtocolTest, StartRepliesAreCheckedAndRefusalsKeepThePortOpen) {
  const TStartCase cases[] = {
      {"OK", "022C", TStartResult::Ok},
      {"OK", "022c", TStartResult::Ok},
      {"OK", "022D", TStartResult::CountMismatch},
      {"OK", "0000", TStartResult::CountMismatch},
      {"OK", "NG00", TStartResult::Refused},
      {"OK", "0G00", TStartResult::Refused},
      {"OK", "N22C", TStartResult::Refused},
      {"OK", "X22C", TStartResult::Refused},
      {"OK", " 22C", TStartResult::Refused},
      {"NG", "022C", TStartResult::Refused},
      {"OX", "022C", TStartResult::Refused},
      {"ok", "022C", TStartResult::Refused},
  };
  for (const TStartCase& c : cases) {
    SCOPED_TRACE(c.msReply + " " + c.countReply);
    TUnitScript script = CountOnly();
    script.msReply = c.msReply;
    script.countReply = c.countReply;
    OpenScript(script);
    protocol.fSession = true;
    EXPECT_EQ(protocol.StartSweep(false, 1), c.result);
    EXPECT_EQ(protocol.fSession, c.result == TStartResult::Ok);
    ExpectOpen();
    protocol.CloseCOM();
  }
}

TEST_F(ProtocolTest, UnansweredStartCommandsCloseThePort) {
  for (const std::string fault : {"mute=MSn", "mute=Mn"}) {
    SCOPED_TRACE(fault);
    OpenSim({"--fault", fault});
    protocol.fSession = true;
    EXPECT_EQ(protocol.StartSweep(false, 10), TStartResult::CommandSendError);
    EXPECT_FALSE(protocol.fSession);
    ExpectClosed();
  }
}

TEST_F(ProtocolTest, StopTriesThreeTimesAndClosesThePortWhateverTheOutcome) {
  // The unit answers "ME" at attempt answeredAt; 4 is never, which keeps the
  // session.
  for (int answeredAt = 1; answeredAt <= 4; ++answeredAt) {
    SCOPED_TRACE(answeredAt);
    const bool answered = answeredAt <= 3;
    TUnitScript script;
    script.silent = [answeredAt](const std::string& command, int n) {
      return command == "ME" && n < answeredAt;
    };
    OpenScript(script);
    protocol.fSession = true;
    const TStopwatch watch;
    EXPECT_EQ(protocol.StopMeasure(), answered);
    EXPECT_TRUE(test::Waited(watch.Elapsed(), 300ms * (answeredAt - 1)));
    EXPECT_EQ(unit->Count("ME"), std::min(answeredAt, 3));
    EXPECT_EQ(protocol.fSession, !answered);
    ExpectClosed();
  }
  // A later close request stops again, and fails at once on the closed port.
  const TStopwatch watch;
  EXPECT_FALSE(protocol.StopMeasure());
  EXPECT_LT(watch.Elapsed(), 100ms);
  EXPECT_EQ(unit->Count("ME"), 3);
  EXPECT_TRUE(protocol.fSession);
}

TEST_F(ProtocolTest, StopEndsARunningSweep) {
  sim = std::make_unique<test::TUnitsimProcess>();  // paced: the sweep is still running
  ASSERT_TRUE(sim->Started());
  ASSERT_TRUE(protocol.OpenDevice(sim->DevicePath()));
  protocol.fSession = true;
  ASSERT_EQ(protocol.StartSweep(false, 1), TStartResult::Ok);
  char some[63];
  ASSERT_EQ(port.ReadData(some, sizeof some), sizeof some);
  EXPECT_TRUE(protocol.StopMeasure());
  ExpectClosed();
  ASSERT_TRUE(protocol.OpenDevice(sim->DevicePath()));
  EXPECT_TRUE(protocol.SendCmdExpect("?", "OK", 100)) << "the unit listens again";
}

TEST_F(ProtocolTest, ReleaseSendsOneStopAndIgnoresItsOutcome) {
  TUnitScript script;
  script.silent = [](const std::string& command, int) { return command == "ME"; };
  OpenScript(script);
  protocol.ReleaseCOM();
  EXPECT_EQ(unit->Count("ME"), 0) << "no session: nothing to release";
  ExpectOpen();

  protocol.fSession = true;
  const TStopwatch watch;
  protocol.ReleaseCOM();
  EXPECT_GE(watch.Elapsed(), 300ms);
  EXPECT_EQ(unit->Count("ME"), 1);
  EXPECT_FALSE(protocol.fSession);
  ExpectClosed();

  protocol.fSession = true;
  protocol.ReleaseCOM();
  EXPECT_FALSE(protocol.fSession) << "on a closed port it only ends the session";
  EXPECT_EQ(unit->Count("ME"), 1);
}

TEST_F(ProtocolTest, OpenReusesAnOpenPortAndReportsADeviceThatIsNotThere) {
  test::TTempDir dir;
  OpenScript(TUnitScript{});
  const std::string device = port.PortName();
  EXPECT_TRUE(protocol.OpenCOM(7)) << "already open";
  EXPECT_EQ(port.PortName(), device) << "the number is not re-applied";
  protocol.CloseCOM();
  ExpectClosed();

  std::filesystem::create_directories(dir.File("ports"));
  std::filesystem::create_symlink(unit->DevicePath(), dir.File("ports/com7"));
  port.SetPortsDirectory(dir.Path());
  EXPECT_TRUE(protocol.OpenCOM(7));
  EXPECT_TRUE(protocol.SendCmdExpect("?", "OK", 100));
  protocol.CloseCOM();

  EXPECT_FALSE(protocol.OpenCOM(200)) << "no ports/com200 and no such device";
  EXPECT_FALSE(protocol.OpenDevice(dir.File("no-such-device")));
  ExpectClosed();
}

TEST(ProtocolWithoutPort, EveryOperationFailsQuietly) {
  TUnitProtocol protocol;
  std::string reply;
  EXPECT_FALSE(protocol.OpenCOM(1));
  EXPECT_FALSE(protocol.OpenDevice("/dev/null"));
  EXPECT_FALSE(protocol.SendCmdFixed("V?", reply, 100, 4));
  EXPECT_FALSE(protocol.SendCmdShort("U?", reply, 100));
  EXPECT_FALSE(protocol.SendCmdExpect("?", "OK", 100));
  EXPECT_FALSE(protocol.CheckUnit());
  protocol.fSession = true;
  EXPECT_EQ(protocol.StartSweep(false, 1), TStartResult::CommandSendError);
  EXPECT_FALSE(protocol.fSession);
  protocol.fSession = true;
  EXPECT_FALSE(protocol.StopMeasure());
  EXPECT_TRUE(protocol.fSession);
  protocol.ReleaseCOM();
  EXPECT_TRUE(protocol.fSession) << "nothing to release without a driver";
  EXPECT_FALSE(protocol.fComOpen);
}

}  // namespace
}  // namespace doz
