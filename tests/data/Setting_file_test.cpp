#include <gtest/gtest.h>

#include <functional>

#include "Child_process.h"
#include "Doz_file.h"
#include "Hand_made_files.h"
#include "Temp_dir.h"

namespace doz {
namespace {

using test::InsertLine;
using test::JoinLines;
using test::ReadBytes;
using test::SettingLines;
using test::TTempDir;
using test::WriteBytes;

using test::TLines;

constexpr int SETTING_LINE_COUNT = 28;
constexpr int PSTR_LINE = 15;  // first of the three "pstr:" lines
constexpr int TOP_LINE = 18;

bool SameSettings(const TSettingData& a, const TSettingData& b) {
  return a.CommPortNum == b.CommPortNum && a.PenColor_R == b.PenColor_R &&
         a.PenColor_Theta == b.PenColor_Theta && a.PenColor_R_Ref == b.PenColor_R_Ref &&
         a.PenColor_Theta_Ref == b.PenColor_Theta_Ref && a.pstr == b.pstr && a.band == b.band &&
         a.fronly == b.fronly && a.fwide == b.fwide && a.fave3 == b.fave3 && a.flog == b.flog &&
         a.faveM == b.faveM;
}

// The values of the hand-made settings file.
TSettingData HandMadeSettings() {
  TSettingData s;
  s.CommPortNum = 17;
  s.faveM = 1;
  s.PenColor_R = 1;
  s.PenColor_Theta = 2;
  s.PenColor_R_Ref = {10, 11, 12, 13, 14};
  s.PenColor_Theta_Ref = {20, 21, 22, 23, 24};
  s.pstr = {"first", "", "a:b:c"};
  s.band = 7;
  s.fronly = 1;
  s.fwide = 1;
  s.fave3 = 0;
  s.flog = 1;
  return s;
}

struct TLoadResult {
  bool ok = false;
  TSettingData setting;  // defaults before the load
  TWindowPos pos{-7, -7, -7, -7};
};

TLoadResult LoadText(const std::string& bytes) {
  TTempDir dir;
  WriteBytes(dir.File("DoZ_ini.prf"), bytes);
  TLoadResult r;
  r.ok = TDoZ_File().LoadSetting(dir.File("DoZ_ini.prf"), &r.setting, r.pos);
  return r;
}

TEST(SettingFile, SavedFileIsTheHandMadeOneAndLoadsBack) {
  TTempDir dir;
  const std::string path = dir.File("DoZ_ini.prf");
  const TSettingData saved = HandMadeSettings();
  ASSERT_TRUE(TDoZ_File().SaveSetting(path, &saved, TWindowPos{5, 6, 700, 500}));
  EXPECT_EQ(ReadBytes(path), JoinLines(SettingLines()));

  TSettingData loaded;
  TWindowPos pos{};
  ASSERT_TRUE(TDoZ_File().LoadSetting(path, &loaded, pos));
  EXPECT_TRUE(SameSettings(loaded, saved));
  EXPECT_EQ(pos.top, 5);
  EXPECT_EQ(pos.left, 6);
  EXPECT_EQ(pos.width, 700);
  EXPECT_EQ(pos.height, 500);
}

TEST(SettingFile, ExtremeValuesLoadBack) {
  TTempDir dir;
  const std::string path = dir.File("DoZ_ini.prf");
  TSettingData saved;
  saved.CommPortNum = 256;
  saved.PenColor_R = 0xFFFFFFFFu;
  saved.PenColor_Theta_Ref[4] = 0x80000000u;
  saved.pstr = {"印刷：Ω５～", std::string(243, 'x'), "a"};
  for (int i = 0; i < 121; ++i) saved.pstr[2] += "あ";  // 243 bytes once stored
  saved.band = 10;
  const TWindowPos pos{1, 1, 1, 2147483647};
  ASSERT_TRUE(TDoZ_File().SaveSetting(path, &saved, pos));
  TSettingData loaded;
  TWindowPos back{};
  ASSERT_TRUE(TDoZ_File().LoadSetting(path, &loaded, back));
  EXPECT_TRUE(SameSettings(loaded, saved));
  EXPECT_EQ(back.height, 2147483647);
}

// A window at or beyond the screen's top or left edge must not make the next
// start-up reject the file.
TEST(SettingFile, WindowEdgesAreSavedAsAtLeastOne) {
  TTempDir dir;
  const std::string path = dir.File("DoZ_ini.prf");
  const TSettingData saved = HandMadeSettings();
  ASSERT_TRUE(TDoZ_File().SaveSetting(path, &saved, TWindowPos{0, -250, 0, -3}));
  TSettingData loaded;
  TWindowPos pos{};
  ASSERT_TRUE(TDoZ_File().LoadSetting(path, &loaded, pos));
  EXPECT_EQ(pos.top, 1);
  EXPECT_EQ(pos.left, 1);
  EXPECT_EQ(pos.width, 1);
  EXPECT_EQ(pos.height, 1);
}

using TSettingCase = test::TEditCase<TLoadResult>;

const TSettingCase kSettingCases[] = {
    {"as described", [](TLines&) {}, true},
    {"faveM 7 is set", [](TLines& l) { l[2] = "faveM:7"; }, true,
     [](const TLoadResult& r) { EXPECT_EQ(r.setting.faveM, 1); }},
    {"faveM -1 is set", [](TLines& l) { l[2] = "faveM:-1"; }, true,
     [](const TLoadResult& r) { EXPECT_EQ(r.setting.faveM, 1); }},
    {"fave3 0 is clear", [](TLines& l) { l[25] = "fave3: 0"; }, true,
     [](const TLoadResult& r) { EXPECT_EQ(r.setting.fave3, 0); }},
    {"faveM of letters", [](TLines& l) { l[2] = "faveM:yes"; }, false},
    {"flag beyond 32 bits", [](TLines& l) { l[26] = "flog:4294967296"; }, false},
    {"PenColor_R of letters", [](TLines& l) { l[3] = "PenColor_R:clBlue"; }, false},
    {"colour of the old toolkit's negative kind",
     [](TLines& l) { l[3] = "PenColor_R:-16777201"; }, true,
     [](const TLoadResult& r) { EXPECT_EQ(r.setting.PenColor_R, 0xFF00000Fu); }},
    {"colour of 32 bits", [](TLines& l) { l[4] = "PenColor_Theta:4294967295"; }, true,
     [](const TLoadResult& r) { EXPECT_EQ(r.setting.PenColor_Theta, 0xFFFFFFFFu); }},
    {"colour beyond 32 bits", [](TLines& l) { l[4] = "PenColor_Theta:4294967296"; }, false},
    {"colour beyond 64 bits", [](TLines& l) { l[5] = "PenColor_R_Ref[0]:99999999999999999999999"; },
     false},
    {"reference colours swapped", [](TLines& l) { std::swap(l[5], l[6]); }, false},
    {"CommPortNum 0", [](TLines& l) { l[1] = "CommPortNum:0"; }, false},
    {"CommPortNum 257", [](TLines& l) { l[1] = "CommPortNum:257"; }, false},
    {"CommPortNum 256", [](TLines& l) { l[1] = "CommPortNum:256"; }, true},
    {"band 11", [](TLines& l) { l[22] = "band:11"; }, false,
     [](const TLoadResult& r) {
       EXPECT_EQ(r.pos.top, 5);  // nothing else is taken over, but the window position was read
       EXPECT_EQ(r.pos.height, 500);
     }},
    {"band 0", [](TLines& l) { l[22] = "band:0"; }, false},
    {"top 0", [](TLines& l) { l[TOP_LINE] = "top:0"; }, false,
     [](const TLoadResult& r) { EXPECT_EQ(r.pos.top, -7); }},
    {"left -5", [](TLines& l) { l[19] = "left:-5"; }, false},
    {"width 0", [](TLines& l) { l[20] = "width:0"; }, false},
    {"height beyond 32 bits", [](TLines& l) { l[21] = "height:2147483648"; }, false},
    {"pstr of 243 bytes", [](TLines& l) { l[PSTR_LINE + 2] = "pstr:" + std::string(243, 'p'); },
     true},
    {"pstr of 244 bytes", [](TLines& l) { l[PSTR_LINE + 2] = "pstr:" + std::string(244, 'p'); },
     false},
    {"first pstr of 244 bytes", [](TLines& l) { l[PSTR_LINE] = "pstr:" + std::string(244, 'p'); },
     false},
    {"pstr cut by the line length, its rest a comment",
     [](TLines& l) { l[PSTR_LINE] = "pstr:" + std::string(244, 'p') + ";rest"; }, false},
    {"pstr of 242 bytes and a two-byte character",
     [](TLines& l) { l[PSTR_LINE] = "pstr:" + std::string(242, 'p') + "\x82\xA0"; }, false},
    {"pstr in the code page", [](TLines& l) { l[PSTR_LINE + 1] = "pstr:\x88\xF3\x8D\xFC:\x83\xB6"; },
     true, [](const TLoadResult& r) { EXPECT_EQ(r.setting.pstr[1], "印刷:Ω"); }},
    {"pstr with invalid code page bytes", [](TLines& l) { l[PSTR_LINE] = "pstr:\x80"; }, false},
    {"NUL byte in a pstr", [](TLines& l) { l[PSTR_LINE] += std::string(1, '\0'); }, false},
    {"END with further text", [](TLines& l) { l.back() = "END: written by hand"; }, true},
    {"END without colon", [](TLines& l) { l.back() = "END"; }, false},
    {"no END", [](TLines& l) { l.pop_back(); }, false},
    {"first line with a trailing blank", [](TLines& l) { l[0] = "DoZ_ini "; }, false},
    {"first line a key line", [](TLines& l) { l[0] = "DoZ_ini:"; }, false},
    {"key in another case", [](TLines& l) { l[23] = "fRonly:1"; }, false},
    {"line missing", [](TLines& l) { l.erase(l.begin() + 10); }, false},
    {"a fourth pstr", [](TLines& l) { InsertLine(l, PSTR_LINE, "pstr:"); }, false},
};

TEST(SettingFileReader, RulesWithCrLfAndWithBareLf) {
  for (const char* eol : {"\r\n", "\n"}) {
    for (const TSettingCase& c : kSettingCases) {
      TLines lines = SettingLines();
      c.edit(lines);
      const TLoadResult r = LoadText(JoinLines(lines, eol));
      EXPECT_EQ(r.ok, c.ok) << c.name << (eol[0] == '\n' ? " (LF)" : "");
      if (c.ok) {
        EXPECT_EQ(r.setting.band, 7) << c.name;
      } else {
        EXPECT_TRUE(SameSettings(r.setting, TSettingData{})) << c.name;
      }
      if (c.check) c.check(r);
    }
  }
}

TEST(SettingFileReader, CommentLinesAnywhereAreSkippedAndBlankLinesAnywhereFail) {
  for (int at = 0; at <= SETTING_LINE_COUNT; ++at) {
    TLines withComment = SettingLines();
    withComment.insert(withComment.begin() + at, ";comment: top:0");
    const TLoadResult r = LoadText(JoinLines(withComment));
    EXPECT_TRUE(r.ok) << "comment at " << at;
    EXPECT_TRUE(SameSettings(r.setting, HandMadeSettings())) << at;

    TLines withBlank = SettingLines();
    withBlank.insert(withBlank.begin() + at, "");
    // A blank line after "END:" is never read.
    EXPECT_EQ(LoadText(JoinLines(withBlank)).ok, at == SETTING_LINE_COUNT) << "blank at " << at;
  }
}

TEST(SettingFileReader, WhatCannotBeReadLeavesTheRecordAlone) {
  TTempDir dir;
  WriteBytes(dir.File("ok.prf"), JoinLines(SettingLines()));
  TSettingData setting;
  TWindowPos pos{};
  const TDoZ_File file;
  EXPECT_FALSE(file.LoadSetting(dir.File("ok.prf"), nullptr, pos));
  EXPECT_FALSE(file.LoadSetting("", &setting, pos));
  EXPECT_FALSE(file.LoadSetting(dir.File("missing.prf"), &setting, pos));
  EXPECT_FALSE(file.LoadSetting(dir.Path(), &setting, pos));
  EXPECT_FALSE(LoadText("").ok);
  EXPECT_FALSE(LoadText(std::string(2u << 20, 'x')).ok);
  EXPECT_FALSE(LoadText("DoZ_ini\r\n" + std::string(2u << 20, '\0')).ok);
  EXPECT_TRUE(SameSettings(setting, TSettingData{}));
}

TEST(SettingFileWriter, FailuresAreReportedAndTheOldFileSurvives) {
  TTempDir dir;
  const std::string path = dir.File("DoZ_ini.prf");
  const std::string old = JoinLines(SettingLines());
  WriteBytes(path, old);
  const TSettingData setting;
  const TWindowPos pos;
  const TDoZ_File file;
  EXPECT_FALSE(file.SaveSetting("", &setting, pos));
  EXPECT_FALSE(file.SaveSetting(path, nullptr, pos));
  EXPECT_FALSE(file.SaveSetting(dir.File("missing/DoZ_ini.prf"), &setting, pos));
  EXPECT_EQ(test::RunWithFileSizeLimit(100, [&] { return file.SaveSetting(path, &setting, pos); }),
            false);
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(test::FolderEntries(dir.Path()), TLines{"DoZ_ini.prf"});
}

}  // namespace
}  // namespace doz
