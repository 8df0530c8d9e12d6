// The pieces of the JSON that doz-cli verbs print with --json.
#pragma once

#include <string>
#include <string_view>

namespace doz::cli {

// The shortest text that reads back as the same double; "null" for a value
// that is not finite (JSON has no such number).
std::string JsonNumber(double value);
// Quoted, with quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view text);

}  // namespace doz::cli
