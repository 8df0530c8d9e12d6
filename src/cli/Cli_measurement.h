// A measurement file as the doz-cli verbs use it: read, decoded and smoothed.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "Doz_setting.h"
#include "Text_reader.h"

namespace doz::cli {

struct TCliMeasurement {
  std::string serial;
  std::int32_t commPort = 1;
  TRawData raw;
  TCalcData calc;  // decoded
  TCalcData ave;   // decoded and smoothed
};

// Why a file could not be read, in a few words: "ファイルがありません".
std::string FileFailureText(const platform::TFileFailure& failure);

// Reads and decodes a .DTA file. On failure reports it and returns nothing:
// a file that cannot be read as "PATH: " and why, one that holds no valid
// measurement as the application does.
std::unique_ptr<TCliMeasurement> LoadMeasurement(const std::string& path, std::ostream& err);

}  // namespace doz::cli
