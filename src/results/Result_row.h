// One inspected part as the results store keeps it: who, when, where, the
// verdict and why, every fitted value with the limits it was judged against,
// and the measurement file it came from.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Utc_time.h"

namespace doz::results {

enum class TVerdict { Pass, Fail, MeasurementError };

struct TFittedValue {
  std::string Name;  // "L", "fs", "Qts"
  double Value = 0.0;
  std::optional<double> Lower;  // the limits it was judged against, where any
  std::optional<double> Upper;

  bool operator==(const TFittedValue&) const = default;
};

struct TResultRow {
  // Made once by the writer (NewRowId), so that a write tried again, or a
  // queued row flushed twice, is stored once.
  std::string Id;
  std::string Serial;
  TUtcTime MeasuredAt{};
  std::string Station;
  std::string Criteria;
  TVerdict Verdict = TVerdict::Pass;
  std::vector<std::string> Reasons;
  std::vector<TFittedValue> Values;
  std::string FileName;    // the measurement file's name, empty when none was saved
  std::string FileSha256;  // its SHA-256 as 64 lowercase hex digits, empty with it
  std::string ErrorText;   // why the measurement failed (MeasurementError only)

  bool operator==(const TResultRow&) const = default;
};

// "pass", "fail", "error": the stored words.
std::string_view VerdictWord(TVerdict verdict);
std::optional<TVerdict> VerdictOfWord(std::string_view word);

// Well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF) without NUL: what both databases take as text.
bool IsStorableText(std::string_view text);

// A random version-4 UUID in lowercase text.
std::string NewRowId();

// Why the row cannot be stored as it is, or nothing when it can: an empty
// id or serial, text that is not UTF-8 or holds a NUL, a value or limit that
// is not finite, a time outside years 0-9999, a digest that is not 64 hex
// digits, a failed measurement without its error text.
std::optional<std::string> RowFault(const TResultRow& row);

}  // namespace doz::results
