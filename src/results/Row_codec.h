// A result row as one line of text for the local queue: tab-separated
// fields with tab, line ends and backslash escaped, numbers that read back
// as the same doubles, and an end mark, so that a line cut short by a crash
// never passes for a row.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Result_row.h"

namespace doz::results {

// The line, ending in "\n".
std::string EncodeRow(const TResultRow& row);
// The row of a line (with or without its "\n"); nothing for a line that is
// damaged, cut short or holds a row that could not be stored.
std::optional<TResultRow> DecodeRow(std::string_view line);

}  // namespace doz::results
