// The exchange formats read back by a parser of their own: every point with
// a value, at least six significant digits, periods whatever the locale,
// LF line ends, and the series quantities where they mean something.
#include "Exchange_writer.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <locale>
#include <numbers>
#include <sstream>

#include "Number_text.h"
#include "Si_number.h"
#include "Synthetic_sweep.h"
#include "Temp_dir.h"

namespace doz::analysis {
namespace {

using TFields = std::vector<std::string>;

TFields Split(const std::string& line, char separator) {
  TFields fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, separator)) fields.push_back(field);
  if (!line.empty() && line.back() == separator) fields.push_back("");
  return fields;
}

double Number(const std::string& text) {
  double value = std::nan("");
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_TRUE(r.ec == std::errc() && r.ptr == text.data() + text.size()) << "'" << text << "'";
  return value;
}

// The data lines of a file, its comment lines (starting with mark) left out.
std::vector<std::string> DataLines(const std::string& text, char mark) {
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_TRUE(!text.empty() && text.back() == '\n');
  std::vector<std::string> lines;
  for (const std::string& line : Split(text, '\n')) {
    if (!line.empty() && line[0] != mark) lines.push_back(line);
  }
  return lines;
}

void ExpectClose(double got, double expected) {
  EXPECT_NEAR(got, expected, 1e-6 * std::fabs(expected));
}

// A decimal comma in the program's C++ locale must not reach the files.
struct TCommaPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

class ExchangeWriter : public ::testing::Test {
 protected:
  ExchangeWriter()
      : previous_(std::locale::global(std::locale(std::locale::classic(), new TCommaPoint))) {
    std::string error;
    TCalcData data = test::SyntheticSweep(*TCircuit::Parse("rlc:R=50,L=20m,C=2u", error), 10);
    data.R[40] = -1.0;                          // a gap
    data.Theta[41] = 0.0;                       // no reactance: neither Ls nor Cs
    data.R[42] = 50.0, data.Theta[42] = 180.0;  // Z = -50 ohms: no S11
    samples = SamplesOf(data, 10);
  }
  ~ExchangeWriter() override { std::locale::global(previous_); }

  std::string Written(TExchangeFormat format) {
    const std::string path = dir.File(std::string("out") + ExchangeExtension(format));
    EXPECT_EQ(WriteExchangeFile(path, format, samples, {"run 1.DTA", "2024/05/06 07:08:09"}),
              TWriteResult::Written);
    return test::ReadBytes(path);
  }

  std::locale previous_;
  test::TTempDir dir;
  std::vector<TImpedanceSample> samples;
};

TEST_F(ExchangeWriter, CsvHoldsTheSeriesQuantitiesOfEveryPoint) {
  const auto lines = DataLines(Written(TExchangeFormat::Csv), '#');
  ASSERT_EQ(lines.size(), samples.size() + 1);  // 94 points and the header
  EXPECT_EQ(lines[0], "frequency_Hz,impedance_ohm,phase_deg,Rs_ohm,Xs_ohm,Ls_H,Cs_F,Q");
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const TImpedanceSample& s = samples[i];
    const TFields f = Split(lines[i + 1], ',');
    ASSERT_EQ(f.size(), 8u) << lines[i + 1];
    ExpectClose(Number(f[0]), s.Hertz);
    ExpectClose(Number(f[1]), s.Ohms);
    ExpectClose(Number(f[2]), s.Degrees);
    const double rs = s.Ohms * std::cos(s.Degrees * std::numbers::pi / 180);
    const double xs = s.Ohms * std::sin(s.Degrees * std::numbers::pi / 180);
    const double w = 2 * std::numbers::pi * s.Hertz;
    EXPECT_NEAR(Number(f[3]), rs, 1e-6 * s.Ohms);
    EXPECT_NEAR(Number(f[4]), xs, 1e-6 * s.Ohms);
    EXPECT_EQ(f[5].empty(), !(xs > 1e-9)) << lines[i + 1];
    EXPECT_EQ(f[6].empty(), !(xs < -1e-9)) << lines[i + 1];
    if (!f[5].empty()) ExpectClose(Number(f[5]), xs / w);
    if (!f[6].empty()) ExpectClose(Number(f[6]), -1 / (w * xs));
    EXPECT_EQ(f[7].empty(), !(rs > 0)) << lines[i + 1];
    if (!f[7].empty()) ExpectClose(Number(f[7]), std::fabs(xs) / rs);
  }
}

TEST_F(ExchangeWriter, ZmaHoldsFrequencyMagnitudeAndPhase) {
  const std::string text = Written(TExchangeFormat::Zma);
  EXPECT_EQ(text.rfind("* ", 0), 0u);
  EXPECT_NE(text.find("2024/05/06 07:08:09"), std::string::npos);
  const auto lines = DataLines(text, '*');
  ASSERT_EQ(lines.size(), samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const TFields f = Split(lines[i], ' ');
    ASSERT_EQ(f.size(), 3u) << lines[i];
    ExpectClose(Number(f[0]), samples[i].Hertz);
    ExpectClose(Number(f[1]), samples[i].Ohms);
    ExpectClose(Number(f[2]), samples[i].Degrees);
  }
}

TEST_F(ExchangeWriter, TouchstoneHoldsS11AgainstFiftyOhms) {
  const auto lines = DataLines(Written(TExchangeFormat::Touchstone), '!');
  ASSERT_EQ(lines.size(), samples.size());  // the option line, less the -50 ohm point
  EXPECT_EQ(lines[0], "# Hz S RI R 50");
  std::size_t row = 1;
  for (const TImpedanceSample& s : samples) {
    if (s.Slot == 42) continue;
    const TFields f = Split(lines.at(row++), ' ');
    ASSERT_EQ(f.size(), 3u);
    ExpectClose(Number(f[0]), s.Hertz);
    const std::complex<double> s11(Number(f[1]), Number(f[2]));
    const std::complex<double> z = 50.0 * (1.0 + s11) / (1.0 - s11);
    EXPECT_NEAR(std::abs(z - s.Z), 0, 1e-5 * s.Ohms) << lines[row - 1];
  }
}

// Near S11 = 1 every digit counts: |Z| must come back from the file.
TEST(ExchangeNumbers, TouchstoneGivesBackHighImpedancesThroughAReader) {
  std::vector<TImpedanceSample> samples;
  for (double ohms = 1.0; ohms <= 1.6e7; ohms *= 3.7) {
    for (const double degrees : {-89.9, -30.0, 0.0, 0.01, 45.0, 89.9}) {
      const std::complex<double> z = std::polar(ohms, degrees * std::numbers::pi / 180);
      samples.push_back({int(samples.size()), 1000.0, ohms, degrees, z});
    }
  }
  const auto lines = DataLines(ExchangeText(TExchangeFormat::Touchstone, samples, {}), '!');
  ASSERT_EQ(lines.size(), samples.size() + 1);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const TFields f = Split(lines[i + 1], ' ');
    ASSERT_EQ(f.size(), 3u);
    const std::complex<double> s11(Number(f[1]), Number(f[2]));
    const double back = std::abs(50.0 * (1.0 + s11) / (1.0 - s11));
    EXPECT_NEAR(back, samples[i].Ohms, 1e-7 * samples[i].Ohms) << lines[i + 1];
  }
}

// No number reads "-0": what shows as zero shows without a sign.
TEST(ExchangeNumbers, AValueThatShowsAsZeroHasNoSign) {
  EXPECT_EQ(NumberText(-0.0), "0");
  EXPECT_EQ(NumberText(-0.004, std::chars_format::fixed, 2), "0.00");
  EXPECT_EQ(NumberText(-0.0, std::chars_format::scientific, 2), "0.00e+00");
  EXPECT_EQ(NumberText(-0.006, std::chars_format::fixed, 2), "-0.01");
  EXPECT_EQ(NumberText(-1e-20, std::chars_format::general, 9), "-1e-20");
  EXPECT_EQ(NumberText(-HUGE_VAL, std::chars_format::general, 9), "-inf");
  EXPECT_EQ(FormatSi(-0.0, "Ω"), "0 Ω");
  const std::pair<double, const char*> deviations[] = {
      {1.5, "+1.50"}, {-0.25, "-0.25"}, {-0.001, "0.00"}, {0.004, "0.00"}, {-0.006, "-0.01"}};
  for (const auto& [value, text] : deviations) EXPECT_EQ(SignedNumberText(value, 2), text);
}

TEST_F(ExchangeWriter, AFileThatCannotBeWrittenIsReported) {
  EXPECT_EQ(WriteExchangeFile(dir.File("missing/out.csv"), TExchangeFormat::Csv, samples, {}),
            TWriteResult::CannotWrite);
  EXPECT_EQ(WriteExchangeFile(dir.Path(), TExchangeFormat::Zma, samples, {}),
            TWriteResult::CannotWrite);
}

}  // namespace
}  // namespace doz::analysis
