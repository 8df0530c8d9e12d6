// The simulated unit's smaller parts: its command line, the record encoding
// and the wire clock.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "Circuit_presets.h"
#include "Doz_setting.h"
#include "Impedance_model.h"
#include "Line_pacer.h"
#include "Point_record.h"
#include "Unitsim_options.h"

namespace doz::unitsim {
namespace {

using namespace std::chrono_literals;
using TClock = TLinePacer::TClock;

TEST(UnitsimOptions, ReadsEveryOption) {
  TUnitsimOptions o;
  std::string error;
  ASSERT_TRUE(o.Parse({"--seed", "42", "--fast", "--link", "/tmp/x/com1", "--unit-version", "2.00",
                       "--unit-serial", "S999", "--fault", "mute=MSn", "--fault", "mute=U?@3",
                       "--fault", "identity=Do-ZX", "--fault", "uncalibrated", "--fault",
                       "refuse-start", "--fault", "point-count=557", "--fault", "silent-after=0",
                       "--fault", "cr-in-point=7", "--fault", "end-mark=NG", "--fault",
                       "hangup-after=12", "--circuit", "coil:R=6.8k,L=2.5,C=400p", "--leads",
                       "R=0.5,C=50p", "--burst", "0"},
                      error))
      << error;
  EXPECT_EQ(o.Seed, 42u);
  EXPECT_TRUE(o.Fast);
  EXPECT_EQ(o.BurstMs, 0) << "each byte at its own wire time";
  EXPECT_EQ(TUnitsimOptions().BurstMs, 2) << "a USB adapter's bursts unless asked";
  EXPECT_EQ(o.Link, "/tmp/x/com1");
  EXPECT_EQ(o.Version, "2.00");
  EXPECT_EQ(o.Serial, "S999");
  const std::map<std::string, int> mute{{"MSn", 1}, {"U?", 3}};
  EXPECT_EQ(o.Faults.Mute, mute);
  EXPECT_EQ(o.Faults.Identity, "Do-ZX");
  EXPECT_TRUE(o.Faults.Uncalibrated);
  EXPECT_TRUE(o.Faults.RefuseStart);
  EXPECT_EQ(o.Faults.PointCount, 557);
  EXPECT_EQ(o.Faults.SilentAfter, 0);
  EXPECT_EQ(o.Faults.CrInPoint, 7);
  EXPECT_EQ(o.Faults.EndMark, "NG");
  EXPECT_EQ(o.Faults.HangupAfter, 12);
  ASSERT_TRUE(o.Device.Circuit);
  EXPECT_EQ(o.Device.Circuit->Values(), (std::vector<double>{6800, 2.5, 400e-12}));
  ASSERT_TRUE(o.Device.Leads);
  EXPECT_EQ(o.Device.Leads->R, 0.5);
  EXPECT_EQ(o.Device.Leads->L, 0.0);
}

TEST(ImpedanceModel, LeadsOpenShortedAndAroundADevice) {
  const double f = 1000, w = 2 * std::numbers::pi * f;
  const TLeads leads{1.0, 1e-6, 100e-12};
  const std::complex<double> series(1.0, w * 1e-6), stray(0.0, w * 100e-12);
  std::string error;
  const auto rl100 = analysis::TCircuit::Parse("rl:R=100,L=10m", error);
  const auto model = [&](TDevice::TKind kind, std::optional<TLeads> l) {
    return TImpedanceModel(1, {kind, rl100, l});
  };
  EXPECT_EQ(model(TDevice::TKind::Short, leads).Impedance(f), series);
  EXPECT_NEAR(std::abs(model(TDevice::TKind::Open, leads).Impedance(f) - (series + 1.0 / stray)), 0, 1e-6);
  const std::complex<double> rl(100, w * 0.01);
  EXPECT_NEAR(std::abs(model(TDevice::TKind::Circuit, leads).Impedance(f) - (series + 1.0 / (1.0 / rl + stray))),
              0, 1e-9);
  // Open ends without leads read as the unit's largest |Z|.
  std::mt19937_64 noise(1);
  EXPECT_EQ(model(TDevice::TKind::Open, std::nullopt).Measure(f, false, noise).Ohms, 16777215.0);
}

TEST(UnitsimOptions, RefusesWhatItDoesNotKnow) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},          {"--seed"},        {"--seed", "x1"},   {"--seed", "-3"},
      {"--fault"},          {"--fault", "nope"}, {"--fault", "mute=X?"}, {"--fault", "mute=U?@0"},
      {"--fault", "mute=U?@"}, {"--fault", "silent-after=-1"}, {"--fault", "cr-in-point=3x"},
      {"--fault", "uncalibrated=1"}, {"--fault", "identity"}, {"--link"},
      {"--circuit"}, {"--circuit", "coil:R=1,L=1"}, {"--circuit", "speaker"},
      {"--leads", ""}, {"--leads", "X=1"}, {"--leads", "R=-1"}, {"--leads", "R=1,R=2"},
      {"--burst"}, {"--burst", "-1"}, {"--burst", "2ms"}};
  for (const auto& args : bad) {
    TUnitsimOptions o;
    std::string error;
    EXPECT_FALSE(o.Parse(args, error)) << args.back();
    EXPECT_FALSE(error.empty()) << args.back();
  }
}

TEST(UnitsimOptions, HelpDocumentsEveryFault) {
  const std::string help = TUnitsimOptions::HelpText();
  for (const analysis::TPreset& preset : analysis::Presets())
    EXPECT_NE(help.find(preset.Name), std::string::npos) << preset.Name;
  EXPECT_NE(help.find("16777215"), std::string::npos);
  for (const char* fault : {"mute=", "identity=", "uncalibrated", "refuse-start", "point-count=",
                            "silent-after=", "cr-in-point=", "end-mark=", "hangup-after="})
    EXPECT_NE(help.find(fault), std::string::npos) << fault;
  EXPECT_NE(help.find("--burst MS"), std::string::npos);
}

TEST(PointRecord, GridIsLogSpacedWithinDecades) {
  EXPECT_DOUBLE_EQ(GridFrequency(0), 10.0);
  EXPECT_NEAR(GridFrequency(94), 100.0, 1e-9);
  EXPECT_NEAR(GridFrequency(215), 1000.0, 1e-9);
  EXPECT_NEAR(GridFrequency(367), 10000.0, 1e-9);
  EXPECT_NEAR(GridFrequency(555), 100000.0, 1e-9);
  const int starts[] = {0, 94, 215, 367, 555};
  for (int d = 0; d < 4; ++d) {
    const double ratio = std::pow(10.0, 1.0 / (starts[d + 1] - starts[d]));
    for (int s = starts[d]; s < starts[d + 1]; ++s)
      EXPECT_NEAR(GridFrequency(s + 1) / GridFrequency(s), ratio, 1e-9) << s;
  }
}

TEST(PointRecord, FrequencyFieldsKeepTheFinestResolution) {
  std::mt19937_64 g(12345);
  // Up to the highest frequency a record can carry: 24 bits over divisor 1.
  std::uniform_real_distribution<double> logHz(0.0, std::log10(255999.0));
  std::vector<double> hertz = {FREQ_FACTOR, 1.0, 10.0, 100000.0, 250000.0, 255999.0};
  for (int i = 0; i < 2000; ++i) hertz.push_back(std::pow(10.0, logHz(g)));
  for (const double f : hertz) {
    const TFrequencyFields e = EncodeFrequency(f);
    EXPECT_LE(e.Numerator, 0xFFFFFFu) << f;
    EXPECT_GE(e.Divisor, 1u) << f;
    EXPECT_LE(e.Divisor, 0xFFFFu) << f;
    EXPECT_NEAR(e.Numerator * FREQ_FACTOR / e.Divisor, f, f * 1e-5) << f;
  }
}

TEST(PointRecord, FieldsEncodeAndDecodeBack) {
  struct TCase {
    double ohms, degrees, hertz;
    double backOhms, backDegrees;
  };
  const TCase cases[] = {
      {1000.0, -10.0, 1000.0, 1000.0, -10.0},     {0.0, 0.0, 10.0, 0.0, 0.0},
      {-5.0, 400.0, 100.0, 0.0, 327.67},          {2.0e7, -400.0, 100.0, 16777215.0, -327.68},
      {4321.4, 89.994, 55555.0, 4321.0, 89.99},   {4321.6, -0.004, 20.0, 4322.0, 0.0}};
  for (const TCase& c : cases) {
    const std::string rec = EncodeRecord(c.ohms, c.degrees, c.hertz);
    ASSERT_EQ(rec.size(), std::size_t(RECORD_LEN));
    EXPECT_EQ(rec.find_first_not_of("0123456789ABCDEF"), std::string::npos) << rec;
    const TPointValues v = DecodeRecord(rec.c_str());
    EXPECT_DOUBLE_EQ(v.R, c.backOhms) << rec;
    EXPECT_NEAR(v.Theta, c.backDegrees, 1e-9) << rec;
    EXPECT_NEAR(v.Freq, c.hertz, c.hertz * 1e-5) << rec;
  }
}

const TClock::time_point kStart{std::chrono::hours(1)};
constexpr std::chrono::nanoseconds kByte9600{1041667};  // 10 bits at 9600 baud, rounded up

TEST(LinePacer, ReleasesEachByteWhenItsBitsAreIn) {
  TLinePacer pacer(9600, TClock::duration::zero());
  pacer.Offer(kStart);
  EXPECT_EQ(pacer.Due(100, kStart), 0u);
  EXPECT_EQ(pacer.Due(100, kStart + kByte9600 - 1ns), 0u);
  EXPECT_EQ(pacer.Due(100, kStart + kByte9600), 1u);
  EXPECT_EQ(pacer.Due(100, kStart + 1s), 100u) << "never more than is waiting";
  EXPECT_EQ(pacer.Due(2000, kStart + 1s), 960u);
  pacer.Sent(960, kStart + 1s);
  EXPECT_EQ(pacer.Due(2000, kStart + 1s), 0u);
  EXPECT_EQ(pacer.NextRelease(), kStart + 1001041667ns) << "961 bytes of 10 bits, rounded up";
}

TEST(LinePacer, LateWakeUpsDoNotStretchTheStream) {
  // A whole band-1 sweep, its sender waking late and at random: the last
  // byte still leaves at exactly the wire time.
  const std::size_t total = 5 + 556 * 21 + 3;
  TLinePacer pacer(9600, 2ms);
  std::mt19937_64 g(99);
  std::uniform_int_distribution<int> lateUs(0, 3000);
  pacer.Offer(kStart);
  std::size_t sent = 0;
  TClock::time_point now = kStart;
  while (sent < total) {
    now = std::max(now, pacer.NextRelease()) + std::chrono::microseconds(lateUs(g));
    const std::size_t due = pacer.Due(total - sent, now);
    pacer.Sent(due, now);
    sent += due;
  }
  const auto wire = std::chrono::nanoseconds(std::int64_t(total) * 10 * 1000000000 / 9600);
  EXPECT_GE(now - kStart, wire);
  EXPECT_LT(now - kStart, wire + 6ms) << "one late wake-up at the most";
}

TEST(LinePacer, BurstsAndIdleLines) {
  TLinePacer pacer(9600, 2ms);
  pacer.Offer(kStart);
  pacer.Sent(1, kStart + 1ms);
  EXPECT_EQ(pacer.Due(100, kStart + 2ms), 0u) << "no burst closer than 2 ms";
  EXPECT_EQ(pacer.Due(100, kStart + 3ms), 1u);
  EXPECT_EQ(pacer.NextRelease(), kStart + 3ms);
  pacer.Sent(1, kStart + 3ms);
  // Output after a pause starts the clock afresh: no burst to catch up.
  pacer.Offer(kStart + 10s);
  EXPECT_EQ(pacer.Due(100, kStart + 10s), 0u);
  EXPECT_EQ(pacer.Due(100, kStart + 10s + kByte9600), 1u);
}

TEST(LinePacer, UnpacedReleasesEverything) {
  TLinePacer pacer(0, TClock::duration::zero());
  pacer.Offer(kStart);
  EXPECT_EQ(pacer.Due(12345, kStart), 12345u);
  pacer.Sent(12345, kStart);
  EXPECT_LE(pacer.NextRelease(), kStart);
}

}  // namespace
}  // namespace doz::unitsim
