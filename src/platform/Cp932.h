// Conversions between UTF-8 (strings in memory) and code page 932 (files).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace doz::platform {

// A character code page 932 cannot hold becomes "?"; never fails.
std::string Utf8ToCp932(std::string_view utf8);
// False on a byte sequence that is not code page 932.
bool Cp932ToUtf8(std::string_view cp932, std::string& utf8);
// Bytes the text takes once written in code page 932.
std::size_t Cp932Length(std::string_view utf8);

}  // namespace doz::platform
