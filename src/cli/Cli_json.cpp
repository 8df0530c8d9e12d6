#include "Cli_json.h"

#include <cmath>
#include <cstdio>

#include "Number_text.h"

namespace doz::cli {

std::string JsonNumber(double value) {
  return std::isfinite(value) ? analysis::NumberText(value) : "null";
}

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

}  // namespace doz::cli
