#include "Row_codec.h"

#include <charconv>
#include <vector>

namespace doz::results {
namespace {

constexpr std::string_view kHead = "doz-row-1";
constexpr std::string_view kEnd = ".";

void Field(std::string& line, std::string_view text) {
  line += '\t';
  for (const char c : text) {
    switch (c) {
      case '\\':
        line += "\\\\";
        break;
      case '\t':
        line += "\\t";
        break;
      case '\n':
        line += "\\n";
        break;
      case '\r':
        line += "\\r";
        break;
      default:
        line += c;
    }
  }
}

std::string Number(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

std::string OptionalNumber(const std::optional<double>& value) {
  return value ? Number(*value) : "";
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    const char c = text[i];
    if (c != '\\' && c != 't' && c != 'n' && c != 'r') return std::nullopt;
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : '\\';
  }
  return out;
}

// The fields of a line in order, each taken once.
class TFieldReader {
 public:
  explicit TFieldReader(std::vector<std::string> fields) : fields_(std::move(fields)) {}
  bool Failed() const { return failed_; }
  void Fail() { failed_ = true; }
  bool AtEnd() const { return next_ == fields_.size(); }
  std::string Text() {
    if (next_ < fields_.size()) return fields_[next_++];
    failed_ = true;
    return "";
  }
  double Number() {
    const std::string text = Text();
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    failed_ = failed_ || text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size();
    return value;
  }
  std::optional<double> OptionalNumber() {
    if (next_ < fields_.size() && fields_[next_].empty()) {
      ++next_;
      return std::nullopt;
    }
    return Number();
  }
  std::size_t Count() {
    const double count = Number();
    failed_ = failed_ || count < 0 || count > double(fields_.size()) || count != std::size_t(count);
    return failed_ ? 0 : static_cast<std::size_t>(count);
  }

 private:
  std::vector<std::string> fields_;
  std::size_t next_ = 0;
  bool failed_ = false;
};

std::optional<std::vector<std::string>> Fields(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (start <= line.size()) {
    const std::size_t end = std::min(line.find('\t', start), line.size());
    auto text = Unescaped(line.substr(start, end - start));
    if (!text) return std::nullopt;
    fields.push_back(std::move(*text));
    start = end + 1;
  }
  return fields;
}

TResultRow ReadRow(TFieldReader& in) {
  TResultRow row;
  row.Id = in.Text();
  row.Serial = in.Text();
  const auto time = ParseUtc(in.Text());
  row.Station = in.Text();
  row.Criteria = in.Text();
  const auto verdict = VerdictOfWord(in.Text());
  row.FileName = in.Text();
  row.FileSha256 = in.Text();
  row.ErrorText = in.Text();
  for (std::size_t n = in.Count(), i = 0; i < n; ++i) row.Reasons.push_back(in.Text());
  for (std::size_t n = in.Count(), i = 0; i < n; ++i) {
    TFittedValue& v = row.Values.emplace_back();
    v.Name = in.Text();
    v.Value = in.Number();
    v.Lower = in.OptionalNumber();
    v.Upper = in.OptionalNumber();
  }
  if (!time || !verdict) in.Fail();
  row.MeasuredAt = time.value_or(TUtcTime{});
  row.Verdict = verdict.value_or(TVerdict::MeasurementError);
  return row;
}

}  // namespace

std::string EncodeRow(const TResultRow& row) {
  std::string line(kHead);
  for (const std::string* text : {&row.Id, &row.Serial}) Field(line, *text);
  Field(line, FormatUtc(row.MeasuredAt));
  for (const std::string* text : {&row.Station, &row.Criteria}) Field(line, *text);
  Field(line, VerdictWord(row.Verdict));
  for (const std::string* text : {&row.FileName, &row.FileSha256, &row.ErrorText})
    Field(line, *text);
  Field(line, std::to_string(row.Reasons.size()));
  for (const std::string& reason : row.Reasons) Field(line, reason);
  Field(line, std::to_string(row.Values.size()));
  for (const TFittedValue& v : row.Values) {
    Field(line, v.Name);
    Field(line, Number(v.Value));
    Field(line, OptionalNumber(v.Lower));
    Field(line, OptionalNumber(v.Upper));
  }
  Field(line, kEnd);
  return line + "\n";
}

std::optional<TResultRow> DecodeRow(std::string_view line) {
  auto fields = Fields(line);
  if (!fields || fields->empty() || fields->front() != kHead) return std::nullopt;
  TFieldReader in(std::move(*fields));
  in.Text();
  TResultRow row = ReadRow(in);
  if (in.Text() != kEnd || in.Failed() || !in.AtEnd() || RowFault(row)) return std::nullopt;
  return row;
}

}  // namespace doz::results
