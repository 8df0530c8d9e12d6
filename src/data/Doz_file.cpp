#include "Doz_file.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include "Cp932.h"
#include "Format_float.h"
#include "Stringutil.h"
#include "Text_reader.h"
#include "Text_writer.h"

namespace doz {
namespace {

using platform::TTextReader;
using platform::TTextWriter;

constexpr std::int32_t PORT_MIN = 1;
constexpr std::int32_t PORT_MAX = 256;
constexpr std::int64_t INT32_LO = -2147483648LL;
constexpr std::int64_t INT32_HI = 2147483647LL;
constexpr std::int64_t UINT32_HI = 4294967295LL;

// A piece of the file as stored. A NUL byte can be in no valid line.
bool ReadPieceChecked(TTextReader& in, std::size_t maxChars, std::string& piece) {
  return in.ReadPiece(maxChars, piece) && piece.find('\0') == std::string::npos;
}

// Optional leading blanks, an optional sign and decimal digits, nothing else,
// within lo..hi.
bool ParseInteger(const std::string& text, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  const bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  if (i == text.size()) return false;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > UINT32_HI + 1) return false;  // far beyond every range; stops overflow
  }
  if (negative) value = -value;
  if (value < lo || value > hi) return false;
  out = value;
  return true;
}

bool ParseInt32(const std::string& text, std::int32_t& out) {
  std::int64_t value = 0;
  if (!ParseInteger(text, INT32_LO, INT32_HI, value)) return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

// The next line must carry `key` (up to and including its first colon) and
// end within one piece: a value cut by the line length could never be
// written back as one line, so the file would not read again.
bool ReadKey(TTextReader& in, std::string_view key, std::string& value) {
  std::string line;
  bool whole = false;
  if (!TDoZ_File::ReadLine(in, line, &whole) || !whole) return false;
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos || std::string_view(line).substr(0, colon + 1) != key) {
    return false;
  }
  value = line.substr(colon + 1);
  return true;
}

bool ReadIntKey(TTextReader& in, std::string_view key, std::int32_t& value) {
  std::string text;
  return ReadKey(in, key, text) && ParseInt32(text, value);
}

// A text value as stored, converted to UTF-8; `utf8` changes only on success.
bool ReadTextKey(TTextReader& in, std::string_view key, std::string& utf8) {
  std::string text;
  return ReadKey(in, key, text) && platform::Cp932ToUtf8(text, utf8);
}

bool ReadRecords(TTextReader& in, TRawData& data) {
  std::string piece;
  for (int i = BandFirstIndex(data.Band); i <= BandLastIndex(data.Band); ++i) {
    if (!ReadPieceChecked(in, RECORD_LEN + 1, piece)) return false;
    // An early end leaves the remaining slots as they were.
    if (piece.compare(0, 4, "END:") == 0) return true;
    if (piece.size() != RECORD_LEN + 1) return false;
    std::memcpy(data.Data[i].data(), piece.data(), RECORD_LEN);
    data.Data[i][RECORD_LEN] = '\0';
  }
  return true;
}

bool ReadDataBody(TTextReader& in, std::string& serial, std::int32_t& commPort, TRawData& data) {
  std::string line;
  std::int32_t n = 0;
  if (!TDoZ_File::ReadLine(in, line) || line != "DataFile:Do-Z") return false;
  if (!ReadTextKey(in, "SN:", serial)) return false;
  if (!ReadTextKey(in, "DateTime:", data.DateTime)) return false;
  if (!ReadIntKey(in, "CommPortNum:", n) || n < PORT_MIN || n > PORT_MAX) return false;
  commPort = n;
  if (!ReadIntKey(in, "Band:", n) || !IsValidBand(n)) return false;
  data.Band = n;
  // The point count only has to be plausible; the band decides how many follow.
  if (!ReadIntKey(in, "DNum:", n) || n == 0 || n > DATA_MAX) return false;
  if (!ReadRecords(in, data)) return false;
  return TDoZ_File::ReadLine(in, line) && line == "END:";
}

// Writes a file through `body`; true only when all of it reached the disk.
bool WriteFile(const std::string& fileName, const std::function<void(TTextWriter&)>& body) {
  TTextWriter out;
  if (!out.Open(fileName)) return false;
  body(out);
  return out.Commit();
}

std::string_view RecordText(const TPointRecord& record) {
  return {record.data(), ::strnlen(record.data(), RECORD_LEN)};
}

// One line of the settings file after "DoZ_ini": its key, its value as
// written, and how a value read is taken over (false: the file is invalid).
struct TSettingLine {
  std::string key;
  std::function<std::string()> write;
  std::function<bool(const std::string&)> read;
};

TSettingLine RangeLine(std::string key, std::int32_t& field, std::int32_t lo, std::int32_t hi) {
  return {std::move(key), [&field] { return std::to_string(field); },
          [&field, lo, hi](const std::string& v) {
            std::int32_t n = 0;
            if (!ParseInt32(v, n) || n < lo || n > hi) return false;
            field = n;
            return true;
          }};
}

TSettingLine FlagLine(std::string key, std::uint8_t& flag) {
  return {std::move(key), [&flag] { return std::string(flag ? "1" : "0"); },
          [&flag](const std::string& v) {
            std::int32_t n = 0;
            if (!ParseInt32(v, n)) return false;
            flag = n != 0 ? 1 : 0;
            return true;
          }};
}

// Colours written by the original toolkit may be negative (its colour type
// was signed); they stand for the same 32 bits.
TSettingLine ColourLine(std::string key, TColorRef& colour) {
  return {std::move(key), [&colour] { return std::to_string(colour); },
          [&colour](const std::string& v) {
            std::int64_t n = 0;
            if (!ParseInteger(v, INT32_LO, UINT32_HI, n)) return false;
            colour = static_cast<TColorRef>(n);
            return true;
          }};
}

TSettingLine TextLine(std::string key, std::string& text) {
  return {std::move(key), [&text] { return text; },
          [&text](const std::string& v) { return platform::Cp932ToUtf8(v, text); }};
}

// A window edge at 0 or beyond the screen's top or left is stored as 1, so the
// file stays readable (every position value must be at least 1).
TSettingLine PositionLine(std::string key, std::int32_t& value) {
  TSettingLine line = RangeLine(std::move(key), value, 1, INT32_HI);
  line.write = [&value] { return std::to_string(std::max<std::int32_t>(value, 1)); };
  return line;
}

std::vector<TSettingLine> SettingLines(TSettingData& s, TWindowPos& pos) {
  std::vector<TSettingLine> lines;
  lines.push_back(RangeLine("CommPortNum:", s.CommPortNum, PORT_MIN, PORT_MAX));
  lines.push_back(FlagLine("faveM:", s.faveM));
  lines.push_back(ColourLine("PenColor_R:", s.PenColor_R));
  lines.push_back(ColourLine("PenColor_Theta:", s.PenColor_Theta));
  for (int n = 0; n < REF_MAX; ++n) {
    const std::string index = "[" + std::to_string(n) + "]:";
    lines.push_back(ColourLine("PenColor_R_Ref" + index, s.PenColor_R_Ref[n]));
    lines.push_back(ColourLine("PenColor_Theta_Ref" + index, s.PenColor_Theta_Ref[n]));
  }
  for (std::string& text : s.pstr) lines.push_back(TextLine("pstr:", text));
  lines.push_back(PositionLine("top:", pos.top));
  lines.push_back(PositionLine("left:", pos.left));
  lines.push_back(PositionLine("width:", pos.width));
  lines.push_back(PositionLine("height:", pos.height));
  lines.push_back(RangeLine("band:", s.band, 1, BAND_COUNT));
  lines.push_back(FlagLine("fronly:", s.fronly));
  lines.push_back(FlagLine("fwide:", s.fwide));
  lines.push_back(FlagLine("fave3:", s.fave3));
  lines.push_back(FlagLine("flog:", s.flog));
  lines.push_back({"END:", [] { return std::string(); }, [](const std::string&) { return true; }});
  return lines;
}

}  // namespace

bool TDoZ_File::ReadLine(TTextReader& in, std::string& line, bool* whole) {
  std::string piece;
  do {
    if (!ReadPieceChecked(in, LINE_LIMIT, piece)) return false;
  } while (piece[0] == ';');
  if (whole) *whole = piece.size() < LINE_LIMIT || piece.back() == '\n';
  line = RemoveLineEnds(piece);
  return true;
}

bool TDoZ_File::WriteDataFile(const std::string& fileName, const std::string& serial,
                              const TSettingData* setting, const TRawData* data) const {
  if (fileName.empty() || !setting || !data || !IsValidBand(data->Band)) return false;
  return WriteFile(fileName, [&](TTextWriter& out) {
    out.WriteLine("DataFile:Do-Z");
    out.WriteLine("SN:" + serial);
    out.WriteLine("DateTime:" + data->DateTime);
    out.WriteLine("CommPortNum:" + std::to_string(setting->CommPortNum));
    out.WriteLine("Band:" + std::to_string(data->Band));
    out.WriteLine("DNum:" + std::to_string(BandDataNum(data->Band)));
    for (int i = BandFirstIndex(data->Band); i <= BandLastIndex(data->Band); ++i) {
      out.WriteRawLine(RecordText(data->Data[i]));
    }
    out.WriteLine("END:");
  });
}

bool TDoZ_File::ReadDataFile(const std::string& fileName, std::string& serial,
                             std::int32_t& commPort, TRawData* data) const {
  return ReadDataFileResult(fileName, serial, commPort, data).result == TDataFileResult::Read;
}

TDataFileRead TDoZ_File::ReadDataFileResult(const std::string& fileName, std::string& serial,
                                            std::int32_t& commPort, TRawData* data) const {
  if (!data) return {TDataFileResult::BadContents, {}};
  TTextReader in;
  // An empty name is a file that is not there.
  if (in.Open(fileName) && ReadDataBody(in, serial, commPort, *data)) return {};
  // A read that broke off is the file's fault only when nothing failed below it.
  if (in.Failure().problem != platform::TFileProblem::None)
    return {TDataFileResult::CannotRead, in.Failure()};
  return {TDataFileResult::BadContents, {}};
}

bool TDoZ_File::SaveSetting(const std::string& fileName, const TSettingData* setting,
                            const TWindowPos& pos) const {
  if (fileName.empty() || !setting) return false;
  TSettingData values = *setting;
  TWindowPos position = pos;
  return WriteFile(fileName, [&](TTextWriter& out) {
    out.WriteLine("DoZ_ini");
    for (const TSettingLine& line : SettingLines(values, position)) {
      out.WriteLine(line.key + line.write());
    }
  });
}

bool TDoZ_File::LoadSetting(const std::string& fileName, TSettingData* setting,
                            TWindowPos& pos) const {
  if (fileName.empty() || !setting) return false;
  TTextReader in;
  std::string line;
  if (!in.Open(fileName) || !ReadLine(in, line) || line != "DoZ_ini") return false;
  TSettingData work = *setting;
  for (const TSettingLine& expected : SettingLines(work, pos)) {
    if (!ReadKey(in, expected.key, line) || !expected.read(line)) return false;
  }
  *setting = work;
  return true;
}

bool TDoZ_File::ExportText(const std::string& fileName, const std::string& serial,
                           const TCalcData* calc, const TRawData* data) const {
  if (fileName.empty() || !calc || !data || !IsValidBand(data->Band)) return false;
  return WriteFile(fileName, [&](TTextWriter& out) {
    out.WriteLine("Do-Z 測定データ");
    out.WriteLine("測定日時:" + data->DateTime);
    out.WriteLine("周波数[Hz]\t抵抗値[kΩ]\t位相角[deg]");
    for (int i = BandFirstIndex(data->Band); i <= BandLastIndex(data->Band); ++i) {
      out.WriteLine(platform::FormatFloat("0.000", calc->Freq[i]) + "\t" +
                    platform::FormatFloat("0.000", calc->R[i] * 0.001) + "\t" +
                    platform::FormatFloat("0.00", calc->Theta[i]));
    }
  });
}

}  // namespace doz
