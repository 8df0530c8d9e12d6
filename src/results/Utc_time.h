// Times of measurement: kept as UTC with millisecond resolution and written
// as fixed-width ISO 8601 text ("2025-03-01T08:15:30.250Z"), so that text
// order is time order in either database.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace doz::results {

using TUtcTime = std::chrono::sys_time<std::chrono::milliseconds>;

// Years 0000 to 9999 only; nothing outside them has a fixed-width text.
bool Representable(TUtcTime time);
std::string FormatUtc(TUtcTime time);
// Exactly the form FormatUtc writes; nothing for anything else.
std::optional<TUtcTime> ParseUtc(std::string_view text);
// A point in time given on a command line: "YYYY-MM-DD", "YYYY-MM-DDTHH:MM"
// or "YYYY-MM-DDTHH:MM:SS" (a space for the T too), local time unless it ends
// in "Z". Nothing for anything else or an impossible date.
std::optional<TUtcTime> ParseDateArgument(std::string_view text);
TUtcTime UtcNow();

}  // namespace doz::results
