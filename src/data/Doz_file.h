// The file service: .DTA measurement files, the settings file "DoZ_ini.prf"
// and the text export. Files are code page 932 with CR LF line ends; strings
// in memory are UTF-8. Every writer replaces its target only when the whole
// file has been written; no operation throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Doz_setting.h"
#include "Text_reader.h"

namespace doz {

// What a read of a measurement file came to.
enum class TDataFileResult {
  Read,
  CannotRead,   // the file is missing, a folder, forbidden or failed: see failure
  BadContents,  // read, but not a valid measurement file
};

struct TDataFileRead {
  TDataFileResult result = TDataFileResult::Read;
  platform::TFileFailure failure;  // why the file could not be read
};

class TDoZ_File {
 public:
  // Longest line ReadLine returns in one piece, line end included.
  static constexpr std::size_t LINE_LIMIT = 249;

  // False also without a settings record or with a band outside 1..10.
  bool WriteDataFile(const std::string& fileName, const std::string& serial,
                     const TSettingData* setting, const TRawData* data) const;
  // Fills serial, commPort (only after it passed its check) and data (date-time
  // text, band, the band's records); leaves the present flag alone.
  bool ReadDataFile(const std::string& fileName, std::string& serial, std::int32_t& commPort,
                    TRawData* data) const;
  // The same, telling a file that cannot be read from one that is no
  // measurement.
  TDataFileRead ReadDataFileResult(const std::string& fileName, std::string& serial,
                                   std::int32_t& commPort, TRawData* data) const;

  bool SaveSetting(const std::string& fileName, const TSettingData* setting,
                   const TWindowPos& pos) const;
  // On failure the settings record is unchanged; window-position values read
  // before the failure keep their new values.
  bool LoadSetting(const std::string& fileName, TSettingData* setting, TWindowPos& pos) const;

  // calc: MeasAve or MeasCalc; data supplies the band and the date-time text.
  bool ExportText(const std::string& fileName, const std::string& serial, const TCalcData* calc,
                  const TRawData* data) const;

  // Next line without its CR and LF characters, at most LINE_LIMIT bytes (as
  // stored) at a time, skipping lines that begin with ";". False at the end,
  // and for a line holding a NUL byte (no valid line has one). `whole` tells
  // whether the piece ended the line (false: the rest follows as a line).
  static bool ReadLine(platform::TTextReader& in, std::string& line, bool* whole = nullptr);
};

}  // namespace doz
