// A measurement file as the doz-cli verbs use it: read, decoded and smoothed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "Cli_args.h"
#include "Doz_setting.h"
#include "Lead_compensation.h"
#include "Text_reader.h"

namespace doz::cli {

struct TCliMeasurement {
  std::string serial;
  std::int32_t commPort = 1;
  TRawData raw;
  TCalcData calc;  // decoded (and compensated)
  TCalcData ave;   // decoded (and compensated) and smoothed
  bool compensated = false;
};

// Why a file could not be read, in a few words: "ファイルがありません".
std::string FileFailureText(const platform::TFileFailure& failure);

// Reads and decodes a .DTA file. On failure reports it and returns nothing:
// a file that cannot be read as "PATH: " and why, one that holds no valid
// measurement as the application does.
// With a compensation that is not empty, the values are those of the device
// without its leads; a measurement it does not cover is refused, and points
// whose correction is undefined lose their value (counted on err).
std::unique_ptr<TCliMeasurement> LoadMeasurement(const std::string& path, std::ostream& err,
                                                 const analysis::TLeadCompensation& leads = {});

// --open FILE.DTA and --short FILE.DTA: sweeps of the test leads with their
// ends open and shorted together, and the lines of a verb's help on them.
const std::vector<TCliOption>& CompensationOptions();
extern const char* const kCompensationHelp;
// The compensation they name (empty when neither is given); nothing, with
// the file and the reason on err, when one cannot be read.
std::optional<analysis::TLeadCompensation> CompensationOf(const TCliArgs& parsed,
                                                          std::ostream& err);

}  // namespace doz::cli
