#include "Hand_made_files.h"

#include <cstdio>

#include "Doz_setting.h"

namespace doz::test {

std::string RecordFor(int slot) {
  char text[32];
  std::snprintf(text, sizeof text, "%06X%04X%06X%04X", 1000 + slot * 37,
                (slot * 613 + 0xF000) & 0xFFFF, 0x280 + slot * 29, 1 + slot % 3);
  return text;
}

std::vector<std::string> DtaLines(int band, const std::string& serial,
                                  const std::string& dateTime, int commPort) {
  std::vector<std::string> lines = {"DataFile:Do-Z",
                                    "SN:" + serial,
                                    "DateTime:" + dateTime,
                                    "CommPortNum:" + std::to_string(commPort),
                                    "Band:" + std::to_string(band),
                                    "DNum:" + std::to_string(BandDataNum(band))};
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) lines.push_back(RecordFor(i));
  lines.push_back("END:");
  return lines;
}

std::vector<std::string> SettingLines() {
  return {"DoZ_ini",
          "CommPortNum:17",
          "faveM:1",
          "PenColor_R:1",
          "PenColor_Theta:2",
          "PenColor_R_Ref[0]:10",
          "PenColor_Theta_Ref[0]:20",
          "PenColor_R_Ref[1]:11",
          "PenColor_Theta_Ref[1]:21",
          "PenColor_R_Ref[2]:12",
          "PenColor_Theta_Ref[2]:22",
          "PenColor_R_Ref[3]:13",
          "PenColor_Theta_Ref[3]:23",
          "PenColor_R_Ref[4]:14",
          "PenColor_Theta_Ref[4]:24",
          "pstr:first",
          "pstr:",
          "pstr:a:b:c",
          "top:5",
          "left:6",
          "width:700",
          "height:500",
          "band:7",
          "fronly:1",
          "fwide:1",
          "fave3:0",
          "flog:1",
          "END:"};
}

void InsertLine(TLines& lines, int at, const std::string& line) {
  lines.insert(lines.begin() + at, line);
}

std::string JoinLines(const std::vector<std::string>& lines, const std::string& eol) {
  std::string text;
  for (const std::string& line : lines) text += line + eol;
  return text;
}

}  // namespace doz::test
