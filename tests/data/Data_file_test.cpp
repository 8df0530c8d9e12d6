#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

#include "Child_process.h"
#include "Doz_file.h"
#include "Hand_made_files.h"
#include "Temp_dir.h"

namespace doz {
namespace {

using test::DTA_HEADER_LINES;
using test::DtaLines;
using test::InsertLine;
using test::JoinLines;
using test::ReadBytes;
using test::RecordFor;
using test::TTempDir;
using test::WriteBytes;

using test::TLines;

constexpr int BAND10_POINTS = 95;
constexpr int END_LINE = DTA_HEADER_LINES + BAND10_POINTS;
const std::string kOldRecord = "OLDOLDOLDOLDOLDOLD00";

// What ReadDataFile left in the caller's places.
struct TReadResult {
  bool ok = false;
  std::string serial = "before";
  std::int32_t commPort = 99;
  TRawData raw;
};

TReadResult ReadFile(const std::string& path) {
  TReadResult r;
  r.raw.Band = 4;
  r.raw.DateTime = "before";
  for (TPointRecord& rec : r.raw.Data) std::memcpy(rec.data(), kOldRecord.c_str(), RECORD_LEN + 1);
  r.ok = TDoZ_File().ReadDataFile(path, r.serial, r.commPort, &r.raw);
  return r;
}

TReadResult ReadText(const std::string& bytes) {
  TTempDir dir;
  WriteBytes(dir.File("m.DTA"), bytes);
  return ReadFile(dir.File("m.DTA"));
}

std::string Slot(const TRawData& raw, int i) { return raw.Data[i].data(); }

TRawData Band10Data() {
  TRawData raw;
  raw.Band = 10;
  raw.DateTime = "2024/05/06 07:08:09";
  ClearRawData(raw);
  for (int i = 0; i < BAND10_POINTS; ++i) {
    std::memcpy(raw.Data[i].data(), RecordFor(i).c_str(), RECORD_LEN + 1);
  }
  return raw;
}

TEST(DataFile, WrittenFileIsTheHandMadeOneAndReadsBack) {
  TTempDir dir;
  TSettingData setting;
  setting.CommPortNum = 3;
  for (int band = 1; band <= BAND_COUNT; ++band) {
    TRawData raw = Band10Data();
    raw.Band = band;
    for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
      std::memcpy(raw.Data[i].data(), RecordFor(i).c_str(), RECORD_LEN + 1);
    }
    const std::string path = dir.File("b" + std::to_string(band) + ".DTA");
    ASSERT_TRUE(TDoZ_File().WriteDataFile(path, "RZ-0042", &setting, &raw));
    EXPECT_EQ(ReadBytes(path), JoinLines(DtaLines(band))) << band;

    const TReadResult r = ReadFile(path);
    ASSERT_TRUE(r.ok) << band;
    EXPECT_EQ(r.serial, "RZ-0042");
    EXPECT_EQ(r.commPort, 3);
    EXPECT_EQ(r.raw.Band, band);
    EXPECT_EQ(r.raw.DateTime, raw.DateTime);
    for (int i = 0; i < DATA_MAX; ++i) {
      const bool inBand = i >= BandFirstIndex(band) && i <= BandLastIndex(band);
      ASSERT_EQ(Slot(r.raw, i), inBand ? RecordFor(i) : kOldRecord) << band << " " << i;
    }
  }
}

TEST(DataFile, TextValuesAndRecordBytesSurviveTheRoundTrip) {
  TTempDir dir;
  TSettingData setting;
  setting.CommPortNum = 256;
  TRawData raw = Band10Data();
  raw.DateTime = "２０２４年５月６日 7:08:09";
  std::memcpy(raw.Data[7].data(), "\x81\x60zz\rGG  0123456789ab", RECORD_LEN);
  const std::string path = dir.File("m.DTA");
  ASSERT_TRUE(TDoZ_File().WriteDataFile(path, " Ω５～", &setting, &raw));
  const TReadResult r = ReadFile(path);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.serial, " Ω５～");
  EXPECT_EQ(r.commPort, 256);
  EXPECT_EQ(r.raw.DateTime, raw.DateTime);
  EXPECT_EQ(Slot(r.raw, 7), Slot(raw, 7));
}

using TReaderCase = test::TEditCase<TReadResult>;

// Every rule of the reader that a real file could break.
const TReaderCase kReaderCases[] = {
    {"as described", [](TLines&) {}, true},
    {"comment before the first line", [](TLines& l) { InsertLine(l, 0, ";made by hand"); }, true},
    {"comments between header lines",
     [](TLines& l) {
       InsertLine(l, 5, "; before DNum");
       InsertLine(l, 2, ";");
     },
     true},
    {"comment before END", [](TLines& l) { InsertLine(l, END_LINE, ";end follows"); }, true},
    {"comment inside the records is a record",
     [](TLines& l) { InsertLine(l, 10, ";2345678901234567890"); }, false},
    {"blank header line", [](TLines& l) { InsertLine(l, 2, ""); }, false},
    {"blank record line", [](TLines& l) { InsertLine(l, 20, ""); }, false},
    {"blank line before END", [](TLines& l) { InsertLine(l, END_LINE, ""); }, false},
    {"record of 19 characters", [](TLines& l) { l[12].pop_back(); }, false},
    {"record of 21 characters", [](TLines& l) { l[12] += "0"; }, false},
    {"record line of 41 characters is read as two records",
     [](TLines& l) {
       l[12] += "X" + l[13];
       l.erase(l.begin() + 13);
     },
     true, [](const TReadResult& r) { EXPECT_EQ(Slot(r.raw, 7), RecordFor(7)); }},
    {"records end early", [](TLines& l) { l.resize(DTA_HEADER_LINES + 50), l.push_back("END:"); },
     false},
    {"records end early with END twice",
     [](TLines& l) {
       l.resize(DTA_HEADER_LINES + 50);
       l.push_back("END:");
       l.push_back("END:");
     },
     true,
     [](const TReadResult& r) {
       EXPECT_EQ(Slot(r.raw, 49), RecordFor(49));
       EXPECT_EQ(Slot(r.raw, 50), kOldRecord);
       EXPECT_EQ(Slot(r.raw, 94), kOldRecord);
     }},
    {"END with trailing text", [](TLines& l) { l.back() = "END: "; }, false},
    {"END without colon", [](TLines& l) { l.back() = "END"; }, false},
    {"no END", [](TLines& l) { l.pop_back(); }, false},
    {"text after END is not read", [](TLines& l) { l.push_back("anything"); }, true},
    {"DNum -3", [](TLines& l) { l[5] = "DNum:-3"; }, true},
    {"DNum 776", [](TLines& l) { l[5] = "DNum:776"; }, true},
    {"DNum 0", [](TLines& l) { l[5] = "DNum:0"; }, false},
    {"DNum 777", [](TLines& l) { l[5] = "DNum:777"; }, false},
    {"CommPortNum 1", [](TLines& l) { l[3] = "CommPortNum:1"; }, true,
     [](const TReadResult& r) { EXPECT_EQ(r.commPort, 1); }},
    {"CommPortNum 256 with blanks and sign", [](TLines& l) { l[3] = "CommPortNum:  +256"; }, true,
     [](const TReadResult& r) { EXPECT_EQ(r.commPort, 256); }},
    {"CommPortNum 0", [](TLines& l) { l[3] = "CommPortNum:0"; }, false,
     [](const TReadResult& r) {
       EXPECT_EQ(r.commPort, 99);
       EXPECT_EQ(r.serial, "RZ-0042");  // read before the failure, so taken over
     }},
    {"CommPortNum 257", [](TLines& l) { l[3] = "CommPortNum:257"; }, false,
     [](const TReadResult& r) { EXPECT_EQ(r.commPort, 99); }},
    {"CommPortNum with trailing blank", [](TLines& l) { l[3] = "CommPortNum:3 "; }, false},
    {"CommPortNum empty", [](TLines& l) { l[3] = "CommPortNum:"; }, false},
    {"CommPortNum of letters", [](TLines& l) { l[3] = "CommPortNum:COM3"; }, false},
    {"CommPortNum sign only", [](TLines& l) { l[3] = "CommPortNum:-"; }, false},
    {"CommPortNum beyond 32 bits", [](TLines& l) { l[3] = "CommPortNum:4294967299"; }, false},
    {"CommPortNum beyond 64 bits", [](TLines& l) { l[3] = "CommPortNum:184467440737095516170"; },
     false},
    {"Band 11", [](TLines& l) { l[4] = "Band:11"; }, false,
     [](const TReadResult& r) {
       EXPECT_EQ(r.raw.Band, 4);
       EXPECT_EQ(r.commPort, 3);
       EXPECT_EQ(r.raw.DateTime, "2024/05/06 07:08:09");
     }},
    {"Band 0", [](TLines& l) { l[4] = "Band:0"; }, false},
    {"Band of another length than the records", [](TLines& l) { l[4] = "Band:9"; }, false},
    {"SN empty", [](TLines& l) { l[1] = "SN:"; }, true,
     [](const TReadResult& r) { EXPECT_EQ(r.serial, ""); }},
    {"SN with leading blank and colons", [](TLines& l) { l[1] = "SN: A:B"; }, true,
     [](const TReadResult& r) { EXPECT_EQ(r.serial, " A:B"); }},
    {"SN in the code page", [](TLines& l) { l[1] = "SN:\x82\x54\x83\xB6"; }, true,
     [](const TReadResult& r) { EXPECT_EQ(r.serial, "５Ω"); }},
    {"SN of 245 bytes fits a line", [](TLines& l) { l[1] = "SN:" + std::string(245, 'S'); }, true},
    {"SN of 246 bytes does not", [](TLines& l) { l[1] = "SN:" + std::string(246, 'S'); }, false},
    {"DateTime cut by the line length, its rest a comment",
     [](TLines& l) { l[2] = "DateTime:" + std::string(240, 'D') + ";rest"; }, false},
    {"SN with invalid code page bytes", [](TLines& l) { l[1] = "SN:\x81\x20"; }, false,
     [](const TReadResult& r) { EXPECT_EQ(r.serial, "before"); }},
    {"NUL byte in DateTime", [](TLines& l) { l[2] += std::string(1, '\0'); }, false},
    {"NUL byte in a record", [](TLines& l) { l[9][4] = '\0'; }, false},
    {"lone CR inside a record", [](TLines& l) { l[9][4] = '\r'; }, true,
     [](const TReadResult& r) { EXPECT_EQ(Slot(r.raw, 3)[4], '\r'); }},
    {"record characters are not checked", [](TLines& l) { l[9] = "GGGG zzzz ~~~~ ....!"; }, true,
     [](const TReadResult& r) { EXPECT_EQ(Slot(r.raw, 3), "GGGG zzzz ~~~~ ....!"); }},
    {"first line with a trailing blank", [](TLines& l) { l[0] += " "; }, false},
    {"first line of another program", [](TLines& l) { l[0] = "DataFile:Du-D2"; }, false},
    {"keys out of order", [](TLines& l) { std::swap(l[1], l[2]); }, false},
    {"key in lower case", [](TLines& l) { l[1] = "sn:RZ"; }, false},
    {"key without colon", [](TLines& l) { l[1] = "SN"; }, false},
    {"header line missing", [](TLines& l) { l.erase(l.begin() + 5); }, false},
};

TEST(DataFileReader, RulesWithCrLfAndWithBareLf) {
  for (const char* eol : {"\r\n", "\n"}) {
    for (const TReaderCase& c : kReaderCases) {
      TLines lines = DtaLines(10);
      c.edit(lines);
      const TReadResult r = ReadText(JoinLines(lines, eol));
      EXPECT_EQ(r.ok, c.ok) << c.name << (eol[0] == '\n' ? " (LF)" : "");
      if (c.check) c.check(r);
    }
  }
}

TEST(DataFileReader, CallerPlacesAndWhatCannotBeOpened) {
  TTempDir dir;
  WriteBytes(dir.File("ok.DTA"), JoinLines(DtaLines(10)));
  std::string serial;
  std::int32_t port = 0;
  TRawData raw;
  const TDoZ_File file;
  EXPECT_FALSE(file.ReadDataFile(dir.File("ok.DTA"), serial, port, nullptr));
  EXPECT_FALSE(file.ReadDataFile("", serial, port, &raw));
  EXPECT_FALSE(file.ReadDataFile(dir.File("missing.DTA"), serial, port, &raw));
  EXPECT_FALSE(file.ReadDataFile(dir.Path(), serial, port, &raw));
  EXPECT_FALSE(ReadText("").ok);
  raw.Present = 0;
  ASSERT_TRUE(file.ReadDataFile(dir.File("ok.DTA"), serial, port, &raw));
  EXPECT_EQ(raw.Present, 0);  // the caller sets it after decoding
}

// A file that cannot be read says why; only one that was read is blamed.
TEST(DataFileReader, TellsAFileThatCannotBeReadFromOneThatIsNoMeasurement) {
  using platform::TFileProblem;
  TTempDir dir;
  WriteBytes(dir.File("ok.DTA"), JoinLines(DtaLines(10)));
  WriteBytes(dir.File("bad.DTA"), "DataFile:Do-Z\r\nSN:\r\n");
  const auto expect = [](const std::string& path, TDataFileResult result, TFileProblem problem,
                         int error) {
    std::string serial;
    std::int32_t port = 0;
    TRawData raw;
    const TDataFileRead read = TDoZ_File().ReadDataFileResult(path, serial, port, &raw);
    EXPECT_EQ(read.result, result) << path;
    EXPECT_EQ(read.failure.problem, problem) << path;
    EXPECT_EQ(read.failure.systemError, error) << path;
  };
  expect(dir.File("ok.DTA"), TDataFileResult::Read, TFileProblem::None, 0);
  expect(dir.File("bad.DTA"), TDataFileResult::BadContents, TFileProblem::None, 0);
  expect(dir.File("ok.DTA/x"), TDataFileResult::CannotRead, TFileProblem::Missing, ENOTDIR);
  // Opened, then a read fails: nothing is mapped at address 0.
  expect("/proc/self/mem", TDataFileResult::CannotRead, TFileProblem::ReadError, EIO);

  // Root reads every file; as another user it is refused one.
  ::chmod(dir.Path().c_str(), 0711);
  ::chmod(dir.File("ok.DTA").c_str(), 0);
  const bool asUser = ::geteuid() == 0 && ::seteuid(65534) == 0;
  expect(dir.File("ok.DTA"), TDataFileResult::CannotRead, TFileProblem::NoPermission, EACCES);
  if (asUser) {
    EXPECT_EQ(::seteuid(0), 0);
  }
}

// Junk of every kind gives false: never a crash, a hang or unbounded memory.
TEST(DataFileReader, JunkIsRejected) {
  std::mt19937 rng(4242);
  std::uniform_int_distribution<int> byte(0, 255);
  const std::string valid = JoinLines(DtaLines(10));
  for (int round = 0; round < 300; ++round) {
    std::string junk(static_cast<std::size_t>(round * 7), '\0');
    for (char& c : junk) c = static_cast<char>(byte(rng));
    EXPECT_FALSE(ReadText(junk).ok) << round;
    // A valid file cut anywhere before its "END:" is incomplete.
    const std::size_t cut = rng() % (valid.size() - 3);
    EXPECT_FALSE(ReadText(valid.substr(0, cut)).ok) << cut;
  }
  EXPECT_FALSE(ReadText(std::string(8u << 20, 'D')).ok);
  EXPECT_FALSE(ReadText("DataFile:Do-Z" + std::string(4u << 20, '\n')).ok);
  EXPECT_FALSE(ReadText(std::string(4u << 20, ';') + "\r\n").ok);
}

TEST(DataFileWriter, RefusesWhatItCannotWrite) {
  TTempDir dir;
  const TSettingData setting;
  TRawData raw = Band10Data();
  const TDoZ_File file;
  EXPECT_FALSE(file.WriteDataFile("", "SN", &setting, &raw));
  EXPECT_FALSE(file.WriteDataFile(dir.File("a.DTA"), "SN", nullptr, &raw));
  EXPECT_FALSE(file.WriteDataFile(dir.File("a.DTA"), "SN", &setting, nullptr));
  EXPECT_FALSE(file.WriteDataFile(dir.File("missing/a.DTA"), "SN", &setting, &raw));
  raw.Band = 11;
  EXPECT_FALSE(file.WriteDataFile(dir.File("a.DTA"), "SN", &setting, &raw));
  EXPECT_TRUE(test::FolderEntries(dir.Path()).empty());
}

TEST(DataFileWriter, FullDiskIsAFailureAndTheOldFileSurvives) {
  TTempDir dir;
  const std::string path = dir.File("m.DTA");
  const std::string old = JoinLines(DtaLines(4));
  WriteBytes(path, old);
  const TSettingData setting;
  TRawData raw = Band10Data();
  raw.Band = 1;
  const auto write = [&] { return TDoZ_File().WriteDataFile(path, "SN", &setting, &raw); };
  EXPECT_EQ(test::RunWithFileSizeLimit(2000, write), false);
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(test::FolderEntries(dir.Path()), TLines{"m.DTA"});
  EXPECT_EQ(test::RunWithFileSizeLimit(1u << 20, write), true);
  EXPECT_NE(ReadBytes(path), old);
}

}  // namespace
}  // namespace doz
