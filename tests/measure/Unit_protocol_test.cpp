// The unit protocol on a line in memory, answered by script, its waits on the
// test's clock: the three ways of reading a reply, finding and checking the
// unit, the start commands, stopping and releasing, each with the port state
// it leaves. Against the simulated unit on a pseudo-terminal, end to end: the
// unit found and checked, a running sweep stopped, COM numbers opened.
#include "Unit_protocol.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "Doz_setting.h"
#include "Memory_line.h"
#include "Scripted_unit.h"
#include "Serialport.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace doz {
namespace {

using namespace std::chrono_literals;
using test::TFakeClock;
using test::TMemoryLine;
using test::TUnitScript;

// A unit that answers a start with its count only: no stream follows.
TUnitScript CountOnly() {
  TUnitScript script;
  script.useRecords = true;
  script.endMark.clear();
  return script;
}

// The protocol on a line in memory answered by a script.
class ProtocolTest : public ::testing::Test {
 protected:
  ProtocolTest() { protocol.SetLine(&line); }
  void Script(const TUnitScript& unit) { script = unit; }
  void Open() { ASSERT_TRUE(protocol.OpenCOM({1, {}})); }
  // Open, with the unit checked: a session.
  void OpenSession() {
    Open();
    std::string version, serial;
    ASSERT_EQ(protocol.GetUnitInfo(version, serial), TUnitCheck::Ok);
  }
  // Milliseconds the clock ran on during `step`.
  template <class TStep>
  std::chrono::milliseconds Took(TStep step) {
    const auto before = clock.Now();
    step();
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock.Now() - before);
  }

  TUnitScript script;
  TFakeClock clock;
  TMemoryLine line{clock, [this](const std::string& c, int n) { return script.Answer(c, n); }};
  TUnitProtocol protocol;
};

enum class TReader { Fixed4, Short, ExpectOK };

struct TReplyCase {
  TReader reader;
  std::string sent;  // what the unit answers to "V?"
  bool ok;
  std::string reply;  // Fixed and Short only
};

TEST_F(ProtocolTest, ThreeReplyReadersTakeTheirLengthsAndIgnoreTheTerminator) {
  const TReplyCase cases[] = {
      {TReader::Fixed4, "ABCD\r", true, "ABCD"},   {TReader::Fixed4, "ABCD\n", true, "ABCD"},
      {TReader::Fixed4, "ABCDE\r", true, "ABCD"},  {TReader::Fixed4, "ABC\r", false, ""},
      {TReader::Fixed4, "", false, ""},            {TReader::Short, "Do-Z\r", true, "Do-Z"},
      {TReader::Short, "\r", true, ""},            {TReader::Short, "x", true, ""},
      {TReader::Short, "Do-ZXY\r", true, "Do-ZX"}, {TReader::Short, "", false, ""},
      {TReader::ExpectOK, "OK\r", true, ""},       {TReader::ExpectOK, "OK?", true, ""},
      {TReader::ExpectOK, "OKK\r", true, ""},      {TReader::ExpectOK, "ok\r", false, ""},
      {TReader::ExpectOK, "NG\r", false, ""},      {TReader::ExpectOK, "O\r", false, ""},
      {TReader::ExpectOK, "", false, ""},
  };
  for (const TReplyCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "reader " << int(c.reader) << " reply '" << c.sent << "'");
    TMemoryLine raw(clock, [&c](const std::string&, int) { return c.sent; });
    TUnitProtocol reader;
    reader.SetLine(&raw);
    ASSERT_TRUE(reader.OpenCOM({}));
    std::string reply = "unchanged";
    bool ok = false;
    const auto took = Took([&] {
      if (c.reader == TReader::Fixed4) ok = reader.SendCmdFixed("X?", reply, 100, 4);
      if (c.reader == TReader::Short) ok = reader.SendCmdShort("X?", reply, 100);
      if (c.reader == TReader::ExpectOK) ok = reader.SendCmdExpect("X?", "OK", 100);
    });
    EXPECT_EQ(ok, c.ok);
    if (c.ok && c.reader != TReader::ExpectOK) {
      EXPECT_EQ(reply, c.reply);
    }
    // Until all the bytes asked for have come the read waits out its time-out
    // ("U?" asks six); a wrong reply of full length fails at once.
    const std::size_t wanted = c.reader == TReader::Fixed4 ? 5 : c.reader == TReader::Short ? 6 : 3;
    EXPECT_EQ(took, c.sent.size() < wanted ? 100ms : 0ms);
  }
}

TEST_F(ProtocolTest, EveryCommandIsPurgedFirstAndEndsInOneCarriageReturn) {
  Open();
  line.Queue("stale bytes the unit sent unasked\r");
  std::string reply;
  EXPECT_TRUE(protocol.SendCmdFixed("V?", reply, 100, 4));
  EXPECT_EQ(reply, "1.23");
  EXPECT_TRUE(protocol.SendCmdExpect("?", "OK", 100));
  EXPECT_EQ(line.Commands(), (std::vector<std::string>{"V?", "?"}));
}

TEST_F(ProtocolTest, FindingTakesProbeIdentityAndStopAndWaitsTwoSecondsForTheStop) {
  Open();
  EXPECT_TRUE(protocol.CheckUnit());
  EXPECT_EQ(line.Commands(), (std::vector<std::string>{"?", "U?", "ME"}));
  script.silent = [](const std::string& command, int) { return command == "ME"; };
  bool found = true;
  EXPECT_EQ(Took([&] { found = protocol.CheckUnit(); }), 2000ms);
  EXPECT_FALSE(found);
}

struct TCheckCase {
  const char* name;
  std::function<void(TUnitScript&)> fault;
  TUnitCheck result;
};

TEST_F(ProtocolTest, CheckingTheUnitNamesEachFailureAndOpensTheSession) {
  const auto mute = [](const char* key) {
    return [key](TUnitScript& s) {
      s.silent = [key](const std::string& command, int) { return command == key; };
    };
  };
  const TCheckCase cases[] = {
      {"healthy", [](TUnitScript& s) { s.serial = "SN42"; }, TUnitCheck::Ok},
      {"U? unanswered", mute("U?"), TUnitCheck::ResponseError},
      {"identity with one more letter", [](TUnitScript& s) { s.identity = "Do-ZX"; },
       TUnitCheck::ModelNotFound},
      {"another unit", [](TUnitScript& s) { s.identity = "Ru-Z"; }, TUnitCheck::ModelNotFound},
      {"V? unanswered", mute("V?"), TUnitCheck::ResponseError},
      {"SN? unanswered", mute("SN?"), TUnitCheck::ResponseError},
      {"not calibrated", [](TUnitScript& s) { s.calibration = "1"; }, TUnitCheck::NotCalibrated},
      {"M? unanswered", mute("M?"), TUnitCheck::NotCalibrated},
  };
  for (const TCheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    script = TUnitScript{};
    c.fault(script);
    Open();
    std::string version = "v", serial = "s";
    TUnitCheck result = TUnitCheck::NotOpen;
    const auto took = Took([&] { result = protocol.GetUnitInfo(version, serial); });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(protocol.fSession(), c.result == TUnitCheck::Ok);
    if (c.result == TUnitCheck::Ok) {
      EXPECT_EQ(version, "1.23");
      EXPECT_EQ(serial, "SN42");
      EXPECT_EQ(took, 100ms) << "\"U?\" asks six bytes of a five-byte reply";
    }
    protocol.CloseCOM();
  }
}

TEST_F(ProtocolTest, CheckingAClosedPortSendsNothing) {
  std::string version = "v", serial = "s";
  EXPECT_EQ(protocol.GetUnitInfo(version, serial), TUnitCheck::NotOpen);
  EXPECT_EQ(version + serial, "vs");
  EXPECT_TRUE(line.Commands().empty());
}

TEST_F(ProtocolTest, StartSendsTheAveragingAndTheBandDigit) {
  Script(CountOnly());
  OpenSession();
  for (int band = 1; band <= BAND_COUNT; ++band) {
    EXPECT_EQ(protocol.StartSweep(band % 2 == 0, band), TStartResult::Ok) << band;
    EXPECT_TRUE(protocol.fSession());
  }
  const std::vector<std::string> sent(line.Commands().begin() + 4, line.Commands().end());
  const std::vector<std::string> expected = {"MS0", "M0",  "MS1", "M1",  "MS0", "M2",  "MS1",
                                             "M3",  "MS0", "M4",  "MS1", "M5",  "MS0", "M6",
                                             "MS1", "M7",  "MS0", "M8",  "MS1", "M9"};
  EXPECT_EQ(sent, expected);
}

struct TStartCase {
  std::string msReply;
  std::string countReply;
  TStartResult result;
};

TEST_F(ProtocolTest, StartRepliesAreCheckedAndRefusalsKeepThePortOpen) {
  const TStartCase cases[] = {
      {"OK", "022C", TStartResult::Ok},           {"OK", "022c", TStartResult::Ok},
      {"OK", "022D", TStartResult::CountMismatch}, {"OK", "0000", TStartResult::CountMismatch},
      {"OK", "NG00", TStartResult::Refused},      {"OK", "0G00", TStartResult::Refused},
      {"OK", "N22C", TStartResult::Refused},      {"OK", "X22C", TStartResult::Refused},
      {"OK", " 22C", TStartResult::Refused},      {"NG", "022C", TStartResult::Refused},
      {"OX", "022C", TStartResult::Refused},      {"ok", "022C", TStartResult::Refused},
  };
  for (const TStartCase& c : cases) {
    SCOPED_TRACE(c.msReply + " " + c.countReply);
    script = CountOnly();
    script.msReply = c.msReply;
    script.countReply = c.countReply;
    OpenSession();
    EXPECT_EQ(protocol.StartSweep(false, 1), c.result);
    EXPECT_EQ(protocol.fSession(), c.result == TStartResult::Ok);
    EXPECT_TRUE(protocol.fComOpen());
    protocol.CloseCOM();
  }
}

TEST_F(ProtocolTest, UnansweredStartCommandsCloseThePort) {
  for (const std::string key : {"MS0", "M9"}) {
    SCOPED_TRACE(key);
    script = TUnitScript{};
    script.silent = [key](const std::string& command, int) { return command == key; };
    OpenSession();
    EXPECT_EQ(protocol.StartSweep(false, 10), TStartResult::CommandSendError);
    EXPECT_FALSE(protocol.fSession());
    EXPECT_FALSE(protocol.fComOpen());
  }
}

TEST_F(ProtocolTest, StopTriesThreeTimesAndClosesThePortWhateverTheOutcome) {
  // The unit answers "ME" at attempt answeredAt; 4 is never, which keeps the
  // session.
  for (int answeredAt = 1; answeredAt <= 4; ++answeredAt) {
    SCOPED_TRACE(answeredAt);
    const bool answered = answeredAt <= 3;
    const int before = line.Count("ME");
    script.silent = [&](const std::string& command, int) {
      return command == "ME" && line.Count("ME") - before < answeredAt;
    };
    OpenSession();
    bool stopped = false;
    EXPECT_EQ(Took([&] { stopped = protocol.StopMeasure(); }), 300ms * (answeredAt - 1));
    EXPECT_EQ(stopped, answered);
    EXPECT_EQ(line.Count("ME") - before, std::min(answeredAt, 3));
    EXPECT_EQ(protocol.fSession(), !answered);
    EXPECT_FALSE(protocol.fComOpen());
  }
  // A later close request stops again, and fails at once on the closed port.
  const int before = line.Count("ME");
  EXPECT_EQ(Took([&] { EXPECT_FALSE(protocol.StopMeasure()); }), 0ms);
  EXPECT_EQ(line.Count("ME"), before);
  EXPECT_TRUE(protocol.fSession());
}

TEST_F(ProtocolTest, ReleaseSendsOneStopAndIgnoresItsOutcome) {
  script.silent = [](const std::string& command, int) { return command == "ME"; };
  Open();
  protocol.ReleaseCOM();
  EXPECT_EQ(line.Count("ME"), 0) << "no session: nothing to release";
  EXPECT_TRUE(protocol.fComOpen());

  OpenSession();
  EXPECT_EQ(Took([&] { protocol.ReleaseCOM(); }), 300ms);
  EXPECT_EQ(line.Count("ME"), 1);
  EXPECT_FALSE(protocol.fSession());
  EXPECT_FALSE(protocol.fComOpen());
}

TEST_F(ProtocolTest, OpenReusesAnOpenLineAndTakesOpenFromIt) {
  EXPECT_TRUE(protocol.OpenCOM({3, {}}));
  EXPECT_TRUE(protocol.OpenCOM({7, {}})) << "already open";
  EXPECT_EQ(line.opened, 1);
  EXPECT_EQ(line.lastAddress.comNumber, 3) << "the number is not re-applied";
  line.atEnd = TLineOutcome::HungUp;
  std::string reply;
  EXPECT_FALSE(protocol.SendCmdFixed("X?", reply, 100, 4)) << "NG is two letters";
  EXPECT_FALSE(protocol.fComOpen()) << "a line that hung up is not open";
  line.opens = false;
  EXPECT_FALSE(protocol.OpenCOM({3, {}}));
}

TEST(ProtocolWithoutLine, EveryOperationFailsQuietly) {
  TUnitProtocol protocol;
  std::string reply, version, serial;
  EXPECT_FALSE(protocol.OpenCOM({1, {}}));
  EXPECT_FALSE(protocol.SendCmdFixed("V?", reply, 100, 4));
  EXPECT_FALSE(protocol.SendCmdShort("U?", reply, 100));
  EXPECT_FALSE(protocol.SendCmdExpect("?", "OK", 100));
  EXPECT_FALSE(protocol.CheckUnit());
  EXPECT_EQ(protocol.GetUnitInfo(version, serial), TUnitCheck::NotOpen);
  EXPECT_EQ(protocol.StartSweep(false, 1), TStartResult::CommandSendError);
  EXPECT_FALSE(protocol.StopMeasure());
  protocol.ReleaseCOM();
  EXPECT_FALSE(protocol.fSession());
  EXPECT_FALSE(protocol.fComOpen());
}

// End to end on a pseudo-terminal: the simulated unit found and checked at
// its first fault, and a COM number opening its ports/comN link.
struct TSimCase {
  std::vector<std::string> options;
  bool found;
  TUnitCheck check;
};

TEST(ProtocolOnTheSimulatedUnit, FindingAndCheckingStopAtTheFirstFault) {
  const TSimCase cases[] = {
      {{"--unit-serial", "SN42"}, true, TUnitCheck::Ok},
      {{"--fault", "identity=Do-ZX"}, true, TUnitCheck::ModelNotFound},
      {{"--fault", "mute=?"}, false, TUnitCheck::Ok},
      {{"--fault", "identity=do-z"}, false, TUnitCheck::Ok},
      {{"--fault", "uncalibrated"}, true, TUnitCheck::NotCalibrated},
  };
  for (const TSimCase& c : cases) {
    SCOPED_TRACE(c.options[1]);
    std::vector<std::string> options = c.options;
    options.push_back("--fast");
    test::TUnitsimProcess sim(options);
    ASSERT_TRUE(sim.Started());
    TSerialPort port;
    TUnitProtocol protocol;
    protocol.SetLine(&port);
    ASSERT_TRUE(protocol.OpenCOM({0, sim.DevicePath()}));
    EXPECT_EQ(protocol.CheckUnit(), c.found);
    if (!c.found) continue;
    std::string version, serial;
    EXPECT_EQ(protocol.GetUnitInfo(version, serial), c.check);
    if (c.check == TUnitCheck::Ok) {
      EXPECT_EQ(version + " " + serial, "1.10 SN42");
    }
  }
}

TEST(ProtocolOnTheSimulatedUnit, StopEndsARunningSweepAndTheUnitListensAgain) {
  test::TUnitsimProcess sim;  // paced: the sweep is still running
  ASSERT_TRUE(sim.Started());
  test::TTempDir dir;
  std::filesystem::create_directories(dir.File("ports"));
  std::filesystem::create_symlink(sim.DevicePath(), dir.File("ports/com7"));
  TSerialPort port;
  port.SetPortsDirectory(dir.Path());
  TUnitProtocol protocol;
  protocol.SetLine(&port);
  ASSERT_TRUE(protocol.OpenCOM({7, {}}));
  std::string version, serial;
  ASSERT_EQ(protocol.GetUnitInfo(version, serial), TUnitCheck::Ok);
  ASSERT_EQ(protocol.StartSweep(false, 1), TStartResult::Ok);
  char some[63];
  ASSERT_EQ(port.Read(some, sizeof some, 1000ms).outcome, TLineOutcome::Done);
  EXPECT_TRUE(protocol.StopMeasure());
  EXPECT_FALSE(protocol.fComOpen());
  ASSERT_TRUE(protocol.OpenCOM({7, {}}));
  EXPECT_TRUE(protocol.SendCmdExpect("?", "OK", 100)) << "the unit listens again";
  protocol.CloseCOM();
  EXPECT_FALSE(protocol.OpenCOM({200, {}})) << "no ports/com200 and no such device";
}

}  // namespace
}  // namespace doz
