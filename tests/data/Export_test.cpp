#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "Child_process.h"
#include "Cp932.h"
#include "Doz_file.h"
#include "Temp_dir.h"

namespace doz {
namespace {

using test::ReadBytes;
using test::TTempDir;

// The integer fields of one point record.
struct TFields {
  long long r, p, n, d;
};

std::string RecordText(const TFields& f) {
  char text[32];
  std::snprintf(text, sizeof text, "%06llX%04llX%06llX%04llX", f.r, f.p, f.n, f.d);
  return text;
}

long long Signed16(long long p) { return p >= 0x8000 ? p - 0x10000 : p; }

// num / den rounded half away from zero; den > 0.
long long RoundDiv(long long num, long long den) {
  const long long q = (2 * std::llabs(num) + den) / (2 * den);
  return num < 0 ? -q : q;
}

// A fixed-point number of `places` decimals from an integer count of units.
std::string Fixed(long long units, int places) {
  long long scale = 1;
  for (int i = 0; i < places; ++i) scale *= 10;
  std::string frac = std::to_string(std::llabs(units) % scale);
  frac.insert(0, static_cast<std::size_t>(places) - frac.size(), '0');
  return (units < 0 ? "-" : "") + std::to_string(std::llabs(units) / scale) + "." + frac;
}

// Frequency in thousandths of a hertz from N and D: the factor 0.015258789
// is 15258789 / 10^9. Also tells whether the value lies too close to a
// rounding tie for a double to be trusted with it.
std::string FrequencyText(const TFields& f, bool& nearTie) {
  const long long num = f.d == 0 ? f.n * 15258789LL * 2 : f.n * 15258789LL;
  const long long den = f.d == 0 ? 1000000LL : f.d * 1000000LL;
  const long long rest = (2 * num + den) % (2 * den);
  nearTie = std::min(rest, 2 * den - rest) < 2 * den / 100000;
  return Fixed(RoundDiv(num, den), 3);
}

struct TExportData {
  TRawData raw;
  std::vector<TFields> fields;  // per slot of the band
};

TExportData RandomBand10(unsigned seed) {
  TExportData e;
  e.raw.Band = 10;
  e.raw.DateTime = "2024/05/06 07:08:09";
  ClearRawData(e.raw);
  std::mt19937 rng(seed);
  for (int i = 0; i <= 94; ++i) {
    TFields f{static_cast<long long>(rng() % 0x1000000), static_cast<long long>(rng() % 0x10000),
              static_cast<long long>(rng() % 0x1000000), static_cast<long long>(rng() % 0x10000)};
    if (i % 17 == 0) f.d = 0;
    e.fields.push_back(f);
    std::memcpy(e.raw.Data[i].data(), RecordText(f).c_str(), RECORD_LEN + 1);
  }
  return e;
}

std::vector<std::string> Lines(const std::string& cp932) {
  std::string text;
  EXPECT_TRUE(platform::Cp932ToUtf8(cp932, text));
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "text after the last line end";
  return lines;
}

const std::vector<std::string> kHeader = {"Do-Z 測定データ", "測定日時:2024/05/06 07:08:09",
                                          "周波数[Hz]\t抵抗値[kΩ]\t位相角[deg]"};

// Mean over the slots a..b of the band, as the smoothing takes them.
long long Sum(const std::vector<TFields>& f, int a, int b, bool phase) {
  long long sum = 0;
  for (int j = a; j <= b; ++j) sum += phase ? Signed16(f[j].p) : f[j].r;
  return sum;
}

std::pair<int, int> Window(int i, int last) {
  if (i == 0 || i == last) return {i, i};
  if (i == 1 || i == last - 1) return {i - 1, i + 1};
  return {i - 2, i + 2};
}

TEST(ExportText, UnsmoothedAndSmoothedTablesMatchIndependentArithmetic) {
  TTempDir dir;
  for (unsigned seed : {1u, 2u, 3u}) {
    const TExportData e = RandomBand10(seed);
    TCalcData calc, ave;
    ASSERT_TRUE(MakeCalcData(&e.raw, &calc, &ave));
    for (const bool smoothed : {false, true}) {
      const std::string path = dir.File("out.txt");
      ASSERT_TRUE(TDoZ_File().ExportText(path, "SN", smoothed ? &ave : &calc, &e.raw));
      const std::string bytes = ReadBytes(path);
      EXPECT_NE(bytes.find("[k\x83\xB6]"), std::string::npos);  // the code page's omega
      const std::vector<std::string> lines = Lines(bytes);
      ASSERT_EQ(lines.size(), 3u + 95u);
      EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3), kHeader);
      for (int i = 0; i <= 94; ++i) {
        bool nearTie = false;
        const std::string freq = FrequencyText(e.fields[i], nearTie);
        const auto [a, b] = smoothed ? Window(i, 94) : std::pair{i, i};
        const std::string r = Fixed(RoundDiv(Sum(e.fields, a, b, false), b - a + 1), 3);
        const std::string p = Fixed(RoundDiv(Sum(e.fields, a, b, true), b - a + 1), 2);
        const std::string& line = lines[3 + i];
        if (nearTie) {
          EXPECT_EQ(line.substr(line.find('\t')), "\t" + r + "\t" + p) << seed << " " << i;
        } else {
          EXPECT_EQ(line, freq + "\t" + r + "\t" + p) << seed << " " << i;
        }
      }
    }
  }
}

TEST(ExportText, KnownPointsAndClearedRecords) {
  TTempDir dir;
  TRawData raw;
  raw.Band = 3;
  raw.DateTime = "";
  ClearRawData(raw);
  TCalcData calc, ave;
  ASSERT_TRUE(MakeCalcData(&raw, &calc, &ave));  // a sweep stopped before any point
  calc.R[215] = 1234.0;
  calc.Theta[215] = -12.5;
  calc.Freq[215] = 99.99;
  ASSERT_TRUE(TDoZ_File().ExportText(dir.File("e.txt"), "", &calc, &raw));
  const std::vector<std::string> lines = Lines(ReadBytes(dir.File("e.txt")));
  ASSERT_EQ(lines.size(), 3u + 341u);
  EXPECT_EQ(lines[1], "測定日時:");
  EXPECT_EQ(lines[3], "99.990\t1.234\t-12.50");
  for (std::size_t i = 4; i < lines.size(); ++i) ASSERT_EQ(lines[i], "0.000\t0.000\t0.00") << i;
}

TEST(ExportText, FailuresAreReported) {
  TTempDir dir;
  const TExportData e = RandomBand10(9);
  TCalcData calc, ave;
  ASSERT_TRUE(MakeCalcData(&e.raw, &calc, &ave));
  const TDoZ_File file;
  EXPECT_FALSE(file.ExportText("", "", &calc, &e.raw));
  EXPECT_FALSE(file.ExportText(dir.File("a.txt"), "", nullptr, &e.raw));
  EXPECT_FALSE(file.ExportText(dir.File("a.txt"), "", &calc, nullptr));
  EXPECT_FALSE(file.ExportText(dir.File("missing/a.txt"), "", &calc, &e.raw));
  test::WriteBytes(dir.File("a.txt"), "old");
  EXPECT_EQ(test::RunWithFileSizeLimit(1000, [&] {
              return file.ExportText(dir.File("a.txt"), "", &calc, &e.raw);
            }),
            false);
  EXPECT_EQ(ReadBytes(dir.File("a.txt")), "old");
  EXPECT_EQ(test::FolderEntries(dir.Path()), std::vector<std::string>{"a.txt"});
}

}  // namespace
}  // namespace doz
