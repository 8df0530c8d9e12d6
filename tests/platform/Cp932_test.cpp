#include "Cp932.h"

#include <gtest/gtest.h>

#include <random>

namespace doz::platform {
namespace {

struct TPair {
  const char* utf8;
  const char* cp932;
};

// Characters the system's own texts and band labels rely on.
const TPair kPairs[] = {
    {"～", "\x81\x60"},
    {"Ω", "\x83\xB6"},
    {"５", "\x82\x54"},
    {"測定データ", "\x91\xAA\x92\xE8\x83\x66\x81\x5B\x83\x5E"},
    {"10Hz～100kHz", "10Hz\x81\x60" "100kHz"},
    {"DateTime:2024/01/02 03:04:05", "DateTime:2024/01/02 03:04:05"},
    {"", ""},
};

TEST(Cp932, KnownCharactersConvertBothWays) {
  for (const TPair& p : kPairs) {
    EXPECT_EQ(Utf8ToCp932(p.utf8), p.cp932) << p.utf8;
    std::string back = "unchanged";
    ASSERT_TRUE(Cp932ToUtf8(p.cp932, back)) << p.utf8;
    EXPECT_EQ(back, p.utf8);
    EXPECT_EQ(Cp932Length(p.utf8), std::string(p.cp932).size()) << p.utf8;
  }
}

TEST(Cp932, UnrepresentableAndMalformedInputBecomesOneQuestionMarkEach) {
  const TPair cases[] = {
      {"a\xC3\xA9z", "a?z"},               // é has no code in the page
      {"\xF0\x9F\x98\x80!", "?!"},         // a four-byte character
      {"a\xFF" "b", "a?b"},                // not UTF-8 at all
      {"x\xE3\x81", "x?"},                 // cut off at the end
      {"\xE3\x81Ω", "?\x83\xB6"},          // cut off before a good character
      {"\x80\x80", "??"},                  // stray continuation bytes
      {"Ω\xC3\xA9Ω", "\x83\xB6?\x83\xB6"},
  };
  for (const TPair& c : cases) EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.cp932;
}

TEST(Cp932, NulBytesPassThrough) {
  const std::string withNul("a\0b", 3);
  EXPECT_EQ(Utf8ToCp932(withNul), withNul);
}

TEST(Cp932, InvalidCodePageBytesFailAndLeaveTheOutputAlone) {
  const char* invalid[] = {"\x80", "\xA0", "abc\x81", "\x81\x20", "SN\xFF"};
  for (const char* bytes : invalid) {
    std::string out = "kept";
    EXPECT_FALSE(Cp932ToUtf8(bytes, out)) << bytes;
    EXPECT_EQ(out, "kept");
  }
}

// Whatever bytes come in, the result is valid code page 932 text.
TEST(Cp932, RandomInputAlwaysGivesConvertibleOutput) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 40);
  for (int round = 0; round < 2000; ++round) {
    std::string input;
    for (int i = length(rng); i > 0; --i) input.push_back(static_cast<char>(byte(rng)));
    const std::string cp932 = Utf8ToCp932(input);
    std::string back;
    ASSERT_TRUE(Cp932ToUtf8(cp932, back)) << "round " << round;
    EXPECT_EQ(Cp932Length(input), cp932.size());
  }
}

}  // namespace
}  // namespace doz::platform
