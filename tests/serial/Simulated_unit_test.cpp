// What the simulated unit answers, checked without a terminal: every
// command, the framing and values of each band's sweep, and every fault.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Doz_setting.h"
#include "Point_record.h"
#include "Simulated_unit.h"

namespace doz::unitsim {
namespace {

constexpr std::size_t kRecordBytes = RECORD_LEN + 1;

TUnitsimOptions WithFaults(const std::vector<std::string>& faults) {
  TUnitsimOptions options;
  std::vector<std::string> args;
  for (const std::string& f : faults) args.insert(args.end(), {"--fault", f});
  std::string error;
  EXPECT_TRUE(options.Parse(args, error)) << error;
  return options;
}

// Sends one command and takes everything the unit has to say to it.
std::string Ask(TSimulatedUnit& unit, const std::string& command) {
  unit.Receive(command + "\r");
  std::string reply(unit.Pending());
  unit.Consume(reply.size());
  return reply;
}

struct TSweep {
  std::string countReply;
  std::vector<std::string> records;
  std::string tail;  // what follows the records
};

// Splits a sweep into the count reply, whole records and what is left.
TSweep SplitSweep(const std::string& bytes, std::size_t records) {
  TSweep sweep;
  sweep.countReply = bytes.substr(0, 5);
  std::size_t at = 5;
  for (std::size_t i = 0; i < records && at + kRecordBytes <= bytes.size(); ++i, at += kRecordBytes)
    sweep.records.push_back(bytes.substr(at, kRecordBytes));
  sweep.tail = bytes.substr(std::min(at, bytes.size()));
  return sweep;
}

std::string SweepBytes(TSimulatedUnit& unit, int band) { return Ask(unit, "M" + std::to_string(band - 1)); }

TEST(UnitsimCommands, EachCommandHasItsReply) {
  const TUnitsimOptions options;
  TSimulatedUnit unit(options);
  const std::pair<const char*, const char*> cases[] = {
      {"?", "OK\r"},     {"U?", "Do-Z\r"}, {"V?", "1.10\r"}, {"SN?", "0001\r"}, {"M?", "0\r"},
      {"MS0", "OK\r"},   {"MS1", "OK\r"},  {"ME", "OK\r"},   {"XY", "NG\r"},    {"M", "NG\r"},
      {"MS2", "NG\r"},   {"u?", "NG\r"},   {"", "NG\r"}};
  for (const auto& [command, reply] : cases) EXPECT_EQ(Ask(unit, command), reply) << command;
}

TEST(UnitsimCommands, CommandsInPiecesAndLineFeedsAndOwnTexts) {
  TUnitsimOptions options;
  options.Version = "V2.0";
  options.Serial = "A123";
  TSimulatedUnit unit(options);
  unit.Receive("S");
  unit.Receive("N");
  EXPECT_TRUE(unit.Pending().empty()) << "nothing before the carriage return";
  unit.Receive("?\r\nV?\r");
  EXPECT_EQ(unit.Pending(), "A123\rV2.0\r");
}

TEST(UnitsimSweep, EveryBandIsFramedAndOnTheGrid) {
  const TUnitsimOptions options;
  TSimulatedUnit unit(options);
  for (int band = 1; band <= BAND_COUNT; ++band) {
    const int points = BandDataNum(band);
    const TSweep sweep = SplitSweep(SweepBytes(unit, band), std::size_t(points));
    EXPECT_EQ(HexToInt(sweep.countReply.substr(0, 4)), points) << band;
    EXPECT_EQ(sweep.countReply[4], '\r');
    ASSERT_EQ(sweep.records.size(), std::size_t(points)) << band;
    EXPECT_EQ(sweep.tail, "OK\r") << band;
    double previous = 0.0;
    for (int n = 0; n < points; ++n) {
      const std::string& rec = sweep.records[std::size_t(n)];
      EXPECT_EQ(rec.find_first_not_of("0123456789ABCDEF"), std::size_t(RECORD_LEN)) << band << ":" << n;
      EXPECT_EQ(rec.back(), '\r');
      const TPointValues v = DecodeRecord(rec.c_str());
      const double grid = GridFrequency(BandFirstIndex(band) + n);
      EXPECT_NEAR(v.Freq, grid, grid * 0.001) << band << ":" << n;
      EXPECT_GT(v.Freq, previous) << "lowest frequency first";
      previous = v.Freq;
      EXPECT_GT(v.R, 1000.0);
      EXPECT_LT(std::abs(v.Theta), 90.0);
    }
  }
}

TEST(UnitsimSweep, LooksLikeALoudspeaker) {
  const TUnitsimOptions options;
  TSimulatedUnit unit(options);
  const TSweep sweep = SplitSweep(SweepBytes(unit, 1), 556);
  ASSERT_EQ(sweep.records.size(), 556u);
  std::size_t peak = 0;
  std::vector<TPointValues> v;
  for (const std::string& rec : sweep.records) v.push_back(DecodeRecord(rec.c_str()));
  for (std::size_t i = 0; i < 300; ++i)
    if (v[i].R > v[peak].R) peak = i;
  const TImpedanceModel model(options.Seed);
  EXPECT_NEAR(v[peak].Freq, model.ResonanceHz(), model.ResonanceHz() * 0.1) << "resonance peak";
  EXPECT_GT(v[peak].R, 3.0 * v[0].R);
  EXPECT_GT(v[555].R, v[367].R) << "inductive rise";
  EXPECT_GT(v[555].Theta, 30.0) << "inductive at the top";
}

TEST(UnitsimSweep, MeasuresAGivenCircuitWithinTheRecordsLimits) {
  TUnitsimOptions options;
  std::string error;
  // 1 pF: |Z| beyond the record's 6 hexadecimal digits below about 10 kHz,
  // within them above.
  ASSERT_TRUE(options.Parse({"--circuit", "rc:R=1,C=1p"}, error)) << error;
  TSimulatedUnit unit(options);
  const TSweep sweep = SplitSweep(SweepBytes(unit, 1), 556);
  ASSERT_EQ(sweep.records.size(), 556u);
  for (const std::string& rec : sweep.records) {
    const TPointValues v = DecodeRecord(rec.c_str());
    const double ohms = std::abs(options.Device.Circuit->Impedance(v.Freq));
    if (ohms > 0xFFFFFF * 1.02) {
      EXPECT_EQ(v.R, double(0xFFFFFF)) << v.Freq;  // clamped to the largest
    } else if (ohms < 0xFFFFFF * 0.98) {
      EXPECT_NEAR(v.R, ohms, 0.02 * ohms) << v.Freq;  // the noise is 0.4 %
    }
    EXPECT_NEAR(v.Theta, -90.0, 2.0) << v.Freq;
  }
}

TEST(UnitsimSweep, SeedMakesItReproducible) {
  TUnitsimOptions a, b, c;
  c.Seed = 7;
  TSimulatedUnit first(a), second(b), other(c);
  const std::string sweep = SweepBytes(first, 3);
  EXPECT_EQ(sweep, SweepBytes(second, 3));
  EXPECT_NE(sweep, SweepBytes(other, 3));
  const std::string again = SweepBytes(first, 3);
  EXPECT_NE(sweep, again) << "each sweep has its own noise";
  EXPECT_EQ(again, SweepBytes(second, 3)) << "the n-th sweep of a run is the same";
}

// Relative deviation of the measured resistance from the model, RMS, in a
// band-1 sweep after the given averaging commands.
double NoiseOf(const std::vector<std::string>& commands) {
  TUnitsimOptions options;
  TSimulatedUnit unit(options);
  for (const std::string& command : commands) Ask(unit, command);
  const TSweep sweep = SplitSweep(SweepBytes(unit, 1), 556);
  const TImpedanceModel model(options.Seed);
  double sum = 0.0;
  for (const std::string& rec : sweep.records) {
    const TPointValues v = DecodeRecord(rec.c_str());
    const double exact = std::abs(model.Impedance(v.Freq));
    sum += std::pow((v.R - exact) / exact, 2);
  }
  return std::sqrt(sum / double(sweep.records.size()));
}

TEST(UnitsimSweep, UnitAveragingLowersTheNoiseFromMs1ToMs0) {
  const double plain = NoiseOf({});
  const double averaged = NoiseOf({"MS1"});
  EXPECT_GT(averaged, 0.0) << "still a measurement";
  EXPECT_LT(averaged, plain * 0.5) << "a fresh unit does not average";
  EXPECT_LT(averaged, NoiseOf({"MS1", "MS0"}) * 0.5) << "MS0 ends the averaging";
  EXPECT_LT(plain, 0.02);
}

TEST(UnitsimSweep, MeStopsAtOnceAndOtherCommandsWait) {
  const TUnitsimOptions options;
  TSimulatedUnit unit(options);
  unit.Receive("M0\r");
  unit.Consume(100);
  EXPECT_TRUE(unit.Streaming());
  unit.Receive("?\rU?\r");
  const std::size_t left = unit.Pending().size();
  EXPECT_EQ(left, 5 + 556 * kRecordBytes + 3 - 100) << "a sweep listens for ME only";
  unit.Receive("ME\r");
  EXPECT_EQ(unit.Pending(), "OK\r");
  EXPECT_FALSE(unit.Streaming());
  unit.Consume(3);
  EXPECT_EQ(Ask(unit, "?"), "OK\r");
}

TEST(UnitsimSweep, ClosedLineDropsEverythingPending) {
  const TUnitsimOptions options;
  TSimulatedUnit unit(options);
  unit.Receive("M9\rU");
  unit.LineClosed();
  EXPECT_TRUE(unit.Pending().empty());
  EXPECT_EQ(Ask(unit, "?"), "OK\r") << "the half command went with the line";
}

TEST(UnitsimFaults, MutedCommandsGoUnanswered) {
  const char* keys[][2] = {{"?", "?"},   {"U?", "U?"}, {"V?", "V?"}, {"SN?", "SN?"},
                           {"M?", "M?"}, {"MSn", "MS1"}, {"Mn", "M4"}, {"ME", "ME"}};
  for (const auto& [key, command] : keys) {
    const TUnitsimOptions options = WithFaults({std::string("mute=") + key});
    TSimulatedUnit unit(options);
    EXPECT_EQ(Ask(unit, command), "") << key;
    EXPECT_EQ(Ask(unit, command), "") << key << " stays muted";
    EXPECT_EQ(Ask(unit, "XY"), "NG\r") << key << ": others still answer";
  }
}

TEST(UnitsimFaults, MuteFromTheNthTime) {
  const TUnitsimOptions options = WithFaults({"mute=U?@2"});
  TSimulatedUnit unit(options);
  EXPECT_EQ(Ask(unit, "U?"), "Do-Z\r") << "found";
  EXPECT_EQ(Ask(unit, "U?"), "") << "then silent when checked";
}

TEST(UnitsimFaults, IdentityCalibrationAndRefusal) {
  const TUnitsimOptions options = WithFaults({"identity=Do-ZX", "uncalibrated", "refuse-start"});
  TSimulatedUnit unit(options);
  EXPECT_EQ(Ask(unit, "U?"), "Do-ZX\r");
  EXPECT_EQ(Ask(unit, "M?"), "1\r");
  EXPECT_EQ(Ask(unit, "M0"), "NG00\r") << "no sweep follows";
  EXPECT_FALSE(unit.Streaming());
}

TEST(UnitsimFaults, SweepShapeFaultsAndTheStopStillAnswered) {
  struct TCase {
    const char* fault;
    int band;
    const char* countReply;
    std::size_t records;
    const char* tail;
  };
  const TCase cases[] = {
      {"point-count=557", 1, "022D\r", 556, "OK\r"},  // the band is still sent whole
      {"silent-after=10", 10, "005F\r", 10, ""},     // no end mark
      {"silent-after=0", 10, "005F\r", 0, ""},
      {"end-mark=NG", 10, "005F\r", 95, "NG\r"},
  };
  for (const TCase& c : cases) {
    const TUnitsimOptions options = WithFaults({c.fault});
    TSimulatedUnit unit(options);
    const TSweep sweep = SplitSweep(SweepBytes(unit, c.band), std::size_t(BandDataNum(c.band)));
    EXPECT_EQ(sweep.countReply, c.countReply) << c.fault;
    EXPECT_EQ(sweep.records.size(), c.records) << c.fault;
    EXPECT_EQ(sweep.tail, c.tail) << c.fault;
    EXPECT_EQ(Ask(unit, "ME"), "OK\r") << c.fault;
  }
}

TEST(UnitsimFaults, CarriageReturnInsidePointK) {
  const TUnitsimOptions options = WithFaults({"cr-in-point=3"});
  TSimulatedUnit unit(options);
  const TSweep sweep = SplitSweep(SweepBytes(unit, 10), 95);
  ASSERT_EQ(sweep.records.size(), 95u);
  EXPECT_EQ(sweep.records[0].find('\r'), 20u);
  EXPECT_EQ(sweep.records[1].find('\r'), 20u);
  EXPECT_EQ(sweep.records[2].find('\r'), 10u) << "point 3, counted from 1";
  EXPECT_EQ(sweep.records[3].find('\r'), 20u);
}

TEST(UnitsimFaults, IgnoredMeLeavesTheSweepRunning) {
  const TUnitsimOptions options = WithFaults({"mute=ME"});
  TSimulatedUnit unit(options);
  unit.Receive("M9\r");
  const std::size_t before = unit.Pending().size();
  unit.Receive("ME\r");
  EXPECT_EQ(unit.Pending().size(), before);
  EXPECT_TRUE(unit.Streaming());
}

TEST(UnitsimFaults, HangupComesAfterKPoints) {
  const TUnitsimOptions options = WithFaults({"hangup-after=5"});
  TSimulatedUnit unit(options);
  unit.Receive("M9\r");
  EXPECT_EQ(unit.Pending().size(), 5 + 5 * kRecordBytes) << "nothing after the fifth point";
  unit.Consume(5 + 5 * kRecordBytes - 1);
  EXPECT_FALSE(unit.HangupDue());
  unit.Consume(1);
  EXPECT_TRUE(unit.HangupDue());

  TSimulatedUnit stopped(options);
  stopped.Receive("M9\r");
  stopped.Receive("ME\r");
  stopped.Consume(stopped.Pending().size());
  EXPECT_FALSE(stopped.HangupDue()) << "a stopped sweep never reaches point 5";
}

}  // namespace
}  // namespace doz::unitsim
