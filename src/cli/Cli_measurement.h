// A measurement file as the doz-cli verbs use it: read, decoded and smoothed.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include "Doz_setting.h"

namespace doz::cli {

struct TCliMeasurement {
  std::string serial;
  std::int32_t commPort = 1;
  TRawData raw;
  TCalcData calc;  // decoded
  TCalcData ave;   // decoded and smoothed
};

// Reads and decodes a .DTA file. On failure reports the file as the
// application does and returns nothing.
std::unique_ptr<TCliMeasurement> LoadMeasurement(const std::string& path, std::ostream& err);

}  // namespace doz::cli
