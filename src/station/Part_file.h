// The measurement file of an inspected part: SERIAL_YYYYMMDD-HHMMSS.DTA in
// the batch folder, named from the serial number's safe characters alone,
// written whole before it takes its name and never over another file (a
// name that is taken gets _2, _3, ...).
#pragma once

#include <string>
#include <string_view>

#include "Doz_setting.h"
#include "Utc_time.h"

namespace doz::station {

// Letters, digits, "-" and "_" as they are; any other character (a whole
// UTF-8 sequence) becomes "_". At most kMaxSerialChars characters, so that
// no path separator, dot or control character reaches a file name.
inline constexpr std::size_t kMaxSerialChars = 64;
std::string SafeSerial(std::string_view serial);

// "SN-1_20250301-081530.DTA" in local time; from the second try on "_2".
std::string PartFileName(std::string_view serial, results::TUtcTime when, int attempt = 1);

enum class TSaveFault {
  None,
  Folder,  // the batch folder cannot be made
  Write,   // the file cannot be written (disk full, no permission)
  Taken,   // every name up to kMaxAttempts is taken
};

struct TPartSave {
  TSaveFault Fault = TSaveFault::None;
  int SystemError = 0;  // errno behind Folder and Write
  std::string Path;     // the file written
  std::string Name;     // its name alone
  std::string Sha256;
};

inline constexpr int kMaxAttempts = 1000;

// Writes the measurement as the save command does (records as the unit sent
// them, with the unit's serial number and COM port number) under the part's
// name; the folder is made when missing.
TPartSave SavePart(const std::string& folder, std::string_view serial, results::TUtcTime when,
                   const std::string& unitSerial, int comPort, const TRawData& raw);

// "cannot write the file: No space left on device".
std::string SaveFaultText(const TPartSave& save);

}  // namespace doz::station
