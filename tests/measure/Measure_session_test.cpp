// The measurement session on a line in memory, its watchdog and waits on the
// test's clock: a whole sweep, every ending of a sweep with the texts it
// gives, every refused start, the user's stop, and the scale growing with the
// points. What the session reports is recorded in order.
#include "Measure_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Memory_line.h"
#include "Scripted_unit.h"
#include "Unit_commands.h"

namespace doz {
namespace {

using namespace std::chrono_literals;
using test::TFakeClock;
using test::TMemoryLine;
using test::TUnitScript;
using TEvents = std::vector<std::string>;

std::string Name(TStatusText text) { return "status " + std::to_string(int(text)); }

// Every report as one line: "status N", "message N", "point SLOT N W",
// "ended N", "reset", "finished".
class TRecorder : public TSessionReport {
 public:
  void Status(TStatusText text) override { events.push_back(Name(text)); }
  void Message(TMessageText text) override { events.push_back("message " + std::to_string(int(text))); }
  void MeasurementReset() override { events.push_back("reset"); }
  void PointAccepted(int slot, int n, bool widened) override {
    events.push_back("point " + std::to_string(slot) + " " + std::to_string(n) + (widened ? " W" : ""));
  }
  void SweepEnded(TSweepEnding ending) override {
    events.push_back("ended " + std::to_string(int(ending)));
    ending_ = ending;
  }
  void MeasurementFinished() override { events.push_back("finished"); }
  TEvents Without(const std::string& prefix) const {
    TEvents kept;
    for (const std::string& e : events)
      if (e.rfind(prefix, 0) != 0) kept.push_back(e);
    return kept;
  }

  TEvents events;
  TSweepEnding ending_ = TSweepEnding::Stopped;
};

// A session whose COM1 is a unit in memory answering by script.
class SessionTest : public ::testing::Test {
 protected:
  SessionTest() {
    ClearRawData(raw);
    ClearCalcData(calc);
    ClearCalcData(ave);
    session.SetLine(&line);
  }
  bool Start(int band = 10) { return session.StartMeasure({{1, {}}, band, false}); }
  // Steps while cond holds, at most `limit`; false when the limit cut it
  // short (a broken receiver must fail the test, not hang it).
  bool StepWhile(const std::function<bool()>& cond, int limit = 10000) {
    for (int steps = 0; cond(); ++steps) {
      if (steps >= limit) return false;
      session.ReceiveData();
    }
    return true;
  }
  // Steps until the sweep has ended; the number of steps.
  int Run(int limit = 10000) {
    int steps = 0;
    while (session.fReceiving() && steps < limit) {
      const int before = session.Sweep().PointCount;
      session.ReceiveData();
      EXPECT_LE(session.Sweep().PointCount - before, 1) << "at most one point a step";
      ++steps;
    }
    return steps;
  }

  TUnitScript script;
  // What a read meets once the stream's bytes are used up.
  TLineOutcome streamEnd = TLineOutcome::TimedOut;
  TFakeClock clock;
  TMemoryLine line{clock, [this](const std::string& c, int n) {
                     if (test::IsSweepStart(c)) line.atEnd = streamEnd;
                     return script.Answer(c, n);
                   }};
  TRawData raw;
  TCalcData calc, ave;
  TGraphRange range;
  std::string serial, version;
  std::uint8_t saved = 1;
  TRecorder report;
  TMeasureSession session{{raw, calc, ave, range, serial, version, saved}, report, clock};
};

TEST_F(SessionTest, WholeSweepIsTakenPointByPointAndFinished) {
  script.serial = "0042";
  ASSERT_TRUE(Start());
  EXPECT_EQ(raw.DateTime, clock.dateTime);
  EXPECT_EQ(raw.Present, 0);
  Run();
  EXPECT_TRUE(session.fFinishPending());
  session.FinishMeasure();

  TEvents expected = {Name(TStatusText::EmptyState), Name(TStatusText::EmptyReadout),
                      Name(TStatusText::UnitInfo),   "reset",
                      Name(TStatusText::Receiving),  Name(TStatusText::Measuring)};
  for (int n = 0; n < 95; ++n) expected.push_back("point " + std::to_string(n) + " " + std::to_string(n));
  expected.insert(expected.end(), {Name(TStatusText::Calculating), "ended 0", "finished",
                                   Name(TStatusText::MeasureFinished)});
  EXPECT_EQ(report.events, expected);
  EXPECT_EQ(serial, "0042");
  EXPECT_EQ(raw.Present, 1);
  EXPECT_EQ(saved, 0) << "a new measurement is unsaved";
  EXPECT_EQ(raw.Data[94].data(), test::SampleRecords(95)[94]);
  EXPECT_EQ(line.Count("ME"), 2) << "finding, then the release";
  EXPECT_FALSE(line.LineOpen());
  EXPECT_FALSE(session.Protocol().fSession());
  EXPECT_FALSE(session.Timer1().Enabled());
}

struct TEndingCase {
  const char* name;
  std::function<void(TUnitScript&, TLineOutcome&)> fault;
  int points;
  TSweepEnding ending;
  TStatusText text;       // what the end of the stream says
  bool finished;          // the points go on to be finished
  std::chrono::milliseconds atMost;  // how long the end took on the clock
};

TEST_F(SessionTest, EverySweepEndsInOneOfItsEndingsWithItsText) {
  const auto records = [](int n, const std::string& end) {
    return [n, end](TUnitScript& s, TLineOutcome&) {
      s.records = test::SampleRecords(n);
      s.useRecords = true;
      s.endMark = end;
    };
  };
  const auto withCr = [](int at) {
    return [at](TUnitScript& s, TLineOutcome&) {
      s.records = test::SampleRecords(95);
      s.records[at - 1][10] = '\r';
    };
  };
  const auto breaking = [](TLineOutcome outcome) {
    return [outcome](TUnitScript& s, TLineOutcome& end) {
      s.records = test::SampleRecords(10);
      s.useRecords = true;
      s.endMark.clear();
      end = outcome;
    };
  };
  const TEndingCase cases[] = {
      {"complete", records(95, "OK"), 95, TSweepEnding::Complete, TStatusText::Calculating, true,
       100ms},
      {"end mark NG", records(95, "NG"), 95, TSweepEnding::BadEndMark, TStatusText::ReceiveError,
       true, 100ms},
      {"carriage return in the sixth record", withCr(6), 5, TSweepEnding::FramingError,
       TStatusText::ReceiveError, true, 0ms},
      {"carriage return in the first record", withCr(1), 0, TSweepEnding::FramingError,
       TStatusText::ReceiveError, false, 0ms},
      {"silence after ten", records(10, ""), 10, TSweepEnding::NoData, TStatusText::ReceiveError,
       true, 60100ms},
      {"hang-up after ten", breaking(TLineOutcome::HungUp), 10, TSweepEnding::LineBroken,
       TStatusText::ReceiveError, true, 0ms},
      {"I/O error after ten", breaking(TLineOutcome::IoError), 10, TSweepEnding::LineBroken,
       TStatusText::ReceiveError, true, 0ms},
  };
  for (const TEndingCase& c : cases) {
    SCOPED_TRACE(c.name);
    script = TUnitScript{};
    streamEnd = line.atEnd = TLineOutcome::TimedOut;
    c.fault(script, streamEnd);
    report.events.clear();
    ASSERT_TRUE(Start());
    const auto started = clock.Now();
    Run();
    EXPECT_FALSE(session.fReceiving());
    EXPECT_EQ(report.ending_, c.ending);
    EXPECT_EQ(session.Sweep().PointCount, c.points);
    const TEvents tail = report.Without("point");
    ASSERT_GE(tail.size(), 2u);
    EXPECT_EQ(tail[tail.size() - 2], Name(c.text));
    EXPECT_EQ(session.fFinishPending(), c.finished);
    EXPECT_LE(clock.Now() - started, c.atMost) << "only silence waits for the watchdog";
    EXPECT_FALSE(session.Protocol().fSession()) << "the port is released";
    EXPECT_FALSE(session.Timer1().Enabled());
    if (c.finished) session.FinishMeasure();
  }
}

TEST_F(SessionTest, SilenceEndsTheSweepOnlyAMinuteAfterTheLastByte) {
  script.records = test::SampleRecords(10);
  script.useRecords = true;
  script.endMark.clear();
  session.Timer1Timer();  // a tick outside a sweep
  EXPECT_TRUE(session.fNoData());
  ASSERT_TRUE(Start());
  EXPECT_FALSE(session.fNoData()) << "the start clears it";
  ASSERT_TRUE(StepWhile([&] { return session.Sweep().PointCount < 10; }, 100));
  const auto lastBytes = clock.Now();
  ASSERT_TRUE(StepWhile([&] { return clock.Now() - lastBytes < 59900ms; }, 1000));
  EXPECT_TRUE(session.fReceiving());
  EXPECT_EQ(session.Timer1().RemainingMs(), 100);
  session.ReceiveData();
  session.ReceiveData();
  EXPECT_FALSE(session.fReceiving());
  EXPECT_EQ(report.ending_, TSweepEnding::NoData);
}

struct TRefusalCase {
  const char* name;
  std::function<void(TUnitScript&, TMemoryLine&)> fault;
  TEvents texts;  // after the cleared panels, before the start failure
  bool portOpen;  // afterwards
};

TEST_F(SessionTest, ARefusedStartSaysWhyAndLeavesThePortAsTheProtocolSays) {
  const auto mute = [](const char* key) {
    return [key](TUnitScript& s, TMemoryLine&) {
      s.silent = [key](const std::string& command, int) { return command == key; };
    };
  };
  const std::string unitInfo = Name(TStatusText::UnitInfo);
  const TRefusalCase cases[] = {
      {"no port", [](TUnitScript&, TMemoryLine& l) { l.opens = false; },
       {Name(TStatusText::PortOpenError), "message 3"}, false},
      {"no unit", mute("?"), {Name(TStatusText::UnitNotFound), "message 4"}, false},
      {"another unit", [](TUnitScript& s, TMemoryLine&) { s.identity = "Ru-Z"; },
       {Name(TStatusText::UnitNotFound), "message 4"}, false},
      {"no version", mute("V?"), {Name(TStatusText::ResponseError)}, false},
      {"not calibrated", [](TUnitScript& s, TMemoryLine&) { s.calibration = "1"; },
       {Name(TStatusText::NotCalibrated)}, false},
      {"averaging unanswered", mute("MS0"), {unitInfo, "reset", Name(TStatusText::CommandSendError)},
       false},
      {"start refused", [](TUnitScript& s, TMemoryLine&) { s.countReply = "NG00"; },
       {unitInfo, "reset"}, true},
      {"wrong count", [](TUnitScript& s, TMemoryLine&) { s.countReply = "0100"; },
       {unitInfo, "reset", "message 7"}, true},
  };
  for (const TRefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    script = TUnitScript{};
    line.opens = true;
    line.CloseLine();
    c.fault(script, line);
    report.events.clear();
    EXPECT_FALSE(Start());
    TEvents expected = {Name(TStatusText::EmptyState), Name(TStatusText::EmptyReadout)};
    expected.insert(expected.end(), c.texts.begin(), c.texts.end());
    expected.push_back(Name(TStatusText::StartError));
    EXPECT_EQ(report.events, expected);
    EXPECT_EQ(line.LineOpen(), c.portOpen);
    EXPECT_FALSE(session.fReceiving());
    EXPECT_FALSE(session.Protocol().fSession());
  }
  session.SetLine(nullptr);
  report.events.clear();
  EXPECT_FALSE(Start()) << "without a port driver";
  EXPECT_EQ(report.events.back(), Name(TStatusText::StartError));
}

// Another port chosen closes the port a refused start left open, so the next
// start opens the chosen one; a running sweep keeps its port.
TEST_F(SessionTest, AnotherPortClosesThePortARefusedStartLeftOpen) {
  script.countReply = "NG00";
  EXPECT_FALSE(Start());
  ASSERT_TRUE(line.LineOpen());
  session.PortChanged();
  EXPECT_FALSE(line.LineOpen());
  script.countReply.clear();
  EXPECT_TRUE(session.StartMeasure({{2, {}}, 10, false}));
  EXPECT_EQ(line.lastAddress.comNumber, 2);
  EXPECT_EQ(line.opened, 2);
  session.PortChanged();
  EXPECT_TRUE(line.LineOpen()) << "the sweep goes on";
  EXPECT_GT(Run(), 0);
  EXPECT_TRUE(session.fFinishPending());
}

TEST_F(SessionTest, StopKeepsThePointsAsAnUnsavedMeasurement) {
  ASSERT_TRUE(Start());
  for (int i = 0; i < 10; ++i) session.ReceiveData();
  script.silent = [](const std::string& command, int) { return command == "ME"; };
  const auto before = clock.Now();
  session.StopMeasure();
  EXPECT_EQ(clock.Now() - before, 900ms) << "three attempts of 300 ms";
  EXPECT_EQ(report.events.back(), "ended 6");
  EXPECT_EQ(report.events[report.events.size() - 2], Name(TStatusText::MeasureStopped));
  EXPECT_EQ(raw.Present, 1);
  EXPECT_EQ(calc.Valid + ave.Valid, 2) << "the points stay drawable";
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(calc.R[20], -1.0) << "no value where no point came";
  EXPECT_FALSE(line.LineOpen());
  EXPECT_TRUE(session.Protocol().fSession()) << "unanswered: a later close stops again";
  EXPECT_FALSE(session.fFinishPending()) << "a stop is not finished";
}

TEST_F(SessionTest, OnlyALaterPointOutsideTheLimitsWidensThem) {
  std::vector<std::string> records = test::SampleRecords(95);
  records[0] = test::SamplePoint(0, 150000, 0);
  records[1] = test::SamplePoint(1, 150000, 0);
  records[2] = test::SamplePoint(2, 500, 8500);
  script.records = records;
  ASSERT_TRUE(Start());
  for (int i = 0; i < 4; ++i) session.ReceiveData();
  const TEvents points = {"point 0 0", "point 1 1 W", "point 2 2 W", "point 3 3"};
  TEvents seen;
  for (const std::string& e : report.events)
    if (e.rfind("point", 0) == 0) seen.push_back(e);
  EXPECT_EQ(seen, points);
  EXPECT_EQ(range.MaxR, 150000.0);
  EXPECT_EQ(range.MinR, 500.0);
  EXPECT_EQ(range.MaxTheta, 90.0) << "phase limits never change during a sweep";
}

}  // namespace
}  // namespace doz
