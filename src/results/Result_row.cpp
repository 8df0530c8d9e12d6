#include "Result_row.h"

#include <sys/random.h>

#include <array>
#include <cmath>
#include <random>

namespace doz::results {
namespace {

bool Finite(const std::optional<double>& value) { return !value || std::isfinite(*value); }

bool HexDigest(std::string_view text) {
  if (text.size() != 64) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::optional<std::string> TextFault(const TResultRow& row) {
  for (const std::string* text :
       {&row.Id, &row.Serial, &row.Station, &row.Criteria, &row.FileName, &row.ErrorText}) {
    if (!IsStorableText(*text)) return "a text of the row is not UTF-8 or holds a NUL";
  }
  for (const std::string& reason : row.Reasons) {
    if (!IsStorableText(reason)) return "a reason is not UTF-8 or holds a NUL";
  }
  for (const TFittedValue& v : row.Values) {
    if (v.Name.empty() || !IsStorableText(v.Name)) return "a fitted value has no usable name";
  }
  return std::nullopt;
}

}  // namespace

bool IsStorableText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == 0) return false;
    const int extra = c < 0x80           ? 0
                      : (c >> 5) == 0x06 ? 1
                      : (c >> 4) == 0x0E ? 2
                      : (c >> 3) == 0x1E ? 3
                                         : -1;
    if (extra < 0 || text.size() - i <= static_cast<std::size_t>(extra)) return false;
    char32_t code = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

std::string_view VerdictWord(TVerdict verdict) {
  switch (verdict) {
    case TVerdict::Pass:
      return "pass";
    case TVerdict::Fail:
      return "fail";
    case TVerdict::MeasurementError:
      return "error";
  }
  return "error";
}

std::optional<TVerdict> VerdictOfWord(std::string_view word) {
  for (const TVerdict v : {TVerdict::Pass, TVerdict::Fail, TVerdict::MeasurementError}) {
    if (VerdictWord(v) == word) return v;
  }
  return std::nullopt;
}

std::string NewRowId() {
  std::array<unsigned char, 16> bytes{};
  if (getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
    std::random_device device;
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(device());
  }
  bytes[6] = (bytes[6] & 0x0F) | 0x40;  // version 4
  bytes[8] = (bytes[8] & 0x3F) | 0x80;  // the RFC 4122 variant
  static const char kHex[] = "0123456789abcdef";
  std::string id;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) id += '-';
    id += kHex[bytes[i] >> 4];
    id += kHex[bytes[i] & 0xF];
  }
  return id;
}

std::optional<std::string> RowFault(const TResultRow& row) {
  if (row.Id.empty()) return "the row has no id";
  if (row.Serial.empty()) return "the row has no serial number";
  if (auto fault = TextFault(row)) return fault;
  if (!Representable(row.MeasuredAt)) return "the time of measurement lies outside years 0-9999";
  for (const TFittedValue& v : row.Values) {
    if (!std::isfinite(v.Value) || !Finite(v.Lower) || !Finite(v.Upper)) {
      return "the fitted value " + v.Name + " or a limit of it is not a finite number";
    }
  }
  if (!row.FileSha256.empty() && !HexDigest(row.FileSha256)) {
    return "the file's SHA-256 is not 64 lowercase hex digits";
  }
  if (row.Verdict == TVerdict::MeasurementError && row.ErrorText.empty()) {
    return "a failed measurement needs its error text";
  }
  return std::nullopt;
}

}  // namespace doz::results
