#include "Text_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "Temp_dir.h"

namespace doz::platform {
namespace {

using test::TTempDir;
using test::WriteBytes;

std::vector<std::string> Pieces(const std::string& path, std::size_t maxChars) {
  TTextReader in;
  EXPECT_TRUE(in.Open(path));
  std::vector<std::string> pieces;
  std::string piece;
  while (in.ReadPiece(maxChars, piece)) pieces.push_back(piece);
  return pieces;
}

struct TPieceCase {
  const char* name;
  std::string bytes;
  std::size_t maxChars;
  std::vector<std::string> expected;
};

TEST(TextReader, LineEndsReadAsTextModeStreamsDid) {
  const TPieceCase cases[] = {
      {"CR LF is one character", "ab\r\ncd\r\n", 3, {"ab\n", "cd\n"}},
      {"bare LF reads the same", "ab\ncd\n", 3, {"ab\n", "cd\n"}},
      {"lone CR is ordinary", "a\rb\r\n", 9, {"a\rb\n"}},
      {"CR CR LF keeps the first CR", "a\r\r\n", 9, {"a\r\n"}},
      {"CR at the very end", "ab\r", 9, {"ab\r"}},
      {"last line without end", "ab\r\ncd", 9, {"ab\n", "cd"}},
      {"long line comes in pieces", "abcdefg\r\n", 3, {"abc", "def", "g\n"}},
      {"line end exactly at the limit", "abc\r\nd", 4, {"abc\n", "d"}},
      {"line end just past the limit", "abcd\r\n", 4, {"abcd", "\n"}},
      {"empty lines", "\r\n\n", 5, {"\n", "\n"}},
      {"empty file", "", 5, {}},
      {"binary bytes as stored", std::string("\0\xFF\x81\r\n", 5), 9,
       {std::string("\0\xFF\x81\n", 4)}},
  };
  TTempDir dir;
  for (const TPieceCase& c : cases) {
    WriteBytes(dir.File("t.txt"), c.bytes);
    EXPECT_EQ(Pieces(dir.File("t.txt"), c.maxChars), c.expected) << c.name;
  }
}

TEST(TextReader, CrLfSplitAcrossTheReadBufferIsStillOneCharacter) {
  TTempDir dir;
  for (std::size_t crAt : {65534u, 65535u, 65536u}) {
    std::string bytes(crAt, 'x');
    bytes += "\r\nyz\r\n";
    WriteBytes(dir.File("t.txt"), bytes);
    const auto pieces = Pieces(dir.File("t.txt"), 1u << 20);
    ASSERT_EQ(pieces.size(), 2u) << crAt;
    EXPECT_EQ(pieces[0], std::string(crAt, 'x') + "\n");
    EXPECT_EQ(pieces[1], "yz\n");
  }
}

TEST(TextReader, HugeLineNeverGivesMoreThanAskedFor) {
  TTempDir dir;
  WriteBytes(dir.File("big.txt"), std::string(3u << 20, 'q'));
  TTextReader in;
  ASSERT_TRUE(in.Open(dir.File("big.txt")));
  std::string piece;
  std::size_t total = 0;
  while (in.ReadPiece(249, piece)) {
    ASSERT_LE(piece.size(), 249u);
    total += piece.size();
  }
  EXPECT_EQ(total, 3u << 20);
}

TEST(TextReader, OpenRefusesWhatIsNotARegularFile) {
  TTempDir dir;
  TTextReader in;
  EXPECT_FALSE(in.Open(dir.File("missing.txt")));
  EXPECT_FALSE(in.Open(dir.Path()));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(in.Open(dir.File("fifo")));  // must not wait for a writer
  EXPECT_FALSE(in.Open(""));
  std::string piece;
  EXPECT_FALSE(in.ReadPiece(10, piece));
}

TEST(TextReader, ReopeningStartsAfreshAndCloseEndsReading) {
  TTempDir dir;
  WriteBytes(dir.File("a.txt"), "first\r\nmore\r\n");
  WriteBytes(dir.File("b.txt"), "second\r\n");
  TTextReader in;
  std::string piece;
  ASSERT_TRUE(in.Open(dir.File("a.txt")));
  ASSERT_TRUE(in.ReadPiece(3, piece));
  ASSERT_TRUE(in.Open(dir.File("b.txt")));
  ASSERT_TRUE(in.ReadPiece(100, piece));
  EXPECT_EQ(piece, "second\n");
  in.Close();
  EXPECT_FALSE(in.ReadPiece(100, piece));
}

}  // namespace
}  // namespace doz::platform
