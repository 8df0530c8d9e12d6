#include "Stringutil.h"

#include <gtest/gtest.h>

namespace doz {
namespace {

TEST(Stringutil, FileNamePartSplitsAtTheLastSlash) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/u/data/m1.DTA", "m1.DTA"}, {"rel/dir/x", "x"}, {"/x", "x"},
      {"no-slash.DTA", ""},              {"/home/u/", ""},   {"", ""},
      {"a.b/c.d.e", "c.d.e"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(FileNamePart(in), out) << in;
}

TEST(Stringutil, CutAtFirstDotAndRemoveLineEnds) {
  EXPECT_EQ(CutAtFirstDot("m1.2024.DTA"), "m1");
  EXPECT_EQ(CutAtFirstDot("plain"), "plain");
  EXPECT_EQ(CutAtFirstDot(".hidden"), "");
  EXPECT_EQ(CutAtFirstDot(""), "");
  EXPECT_EQ(RemoveLineEnds("\ra\r\nb\n\nc\r"), "abc");
  EXPECT_EQ(RemoveLineEnds("\r\n"), "");
  EXPECT_EQ(RemoveLineEnds("keep\tthis"), "keep\tthis");
}

}  // namespace
}  // namespace doz
