// Files written by hand from the format description, line by line (without
// line ends), for the reader tests and the command-line tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace doz::test {

using TLines = std::vector<std::string>;

// One change to a hand-made file, whether the reader must accept the result,
// and what else its result must show.
template <class TResult>
struct TEditCase {
  const char* name;
  std::function<void(TLines&)> edit;
  bool ok;
  std::function<void(const TResult&)> check = nullptr;
};

void InsertLine(TLines& lines, int at, const std::string& line);

// Lines before the first record of a .DTA file.
constexpr int DTA_HEADER_LINES = 6;

// A recognisable record for slot i: resistance, phase, numerator, divisor.
std::string RecordFor(int slot);
// DataFile, SN, DateTime, CommPortNum, Band, DNum, the band's records, END.
std::vector<std::string> DtaLines(int band, const std::string& serial = "RZ-0042",
                                  const std::string& dateTime = "2024/05/06 07:08:09",
                                  int commPort = 3);
// The 28 lines of a settings file holding values that differ from the defaults.
std::vector<std::string> SettingLines();
// Lines joined, each followed by eol.
std::string JoinLines(const std::vector<std::string>& lines, const std::string& eol = "\r\n");

}  // namespace doz::test
