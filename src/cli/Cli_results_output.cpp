#include "Cli_results_output.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "Cli_json.h"
#include "Number_text.h"

namespace doz::cli {
namespace {

using namespace results;

// Six significant digits, as a person reads them.
std::string Short(double value) {
  return analysis::NumberText(value, std::chars_format::general, 6);
}

std::string Joined(const std::vector<std::string>& texts, const char* between) {
  std::string out;
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? between : "") + texts[i];
  return out;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string JsonLimit(const std::optional<double>& limit) {
  return limit ? JsonNumber(*limit) : "null";
}

std::string LimitsText(const TValueStats& s) {
  if (!s.Lower && !s.Upper) return "-";
  return (s.Lower ? Short(*s.Lower) : "") + ".." + (s.Upper ? Short(*s.Upper) : "");
}

// The fitted value names of the rows in the order first met.
std::vector<std::string> ValueNames(const std::vector<TResultRow>& rows) {
  std::vector<std::string> names;
  for (const TResultRow& row : rows) {
    for (const TFittedValue& v : row.Values) {
      if (std::find(names.begin(), names.end(), v.Name) == names.end()) names.push_back(v.Name);
    }
  }
  return names;
}

void PrintRowJson(const TResultRow& row, std::ostream& out) {
  out << "{\"id\": " << JsonString(row.Id) << ", \"serial\": " << JsonString(row.Serial)
      << ", \"measured_at\": " << JsonString(FormatUtc(row.MeasuredAt))
      << ", \"station\": " << JsonString(row.Station)
      << ", \"criteria\": " << JsonString(row.Criteria)
      << ", \"verdict\": " << JsonString(VerdictWord(row.Verdict)) << ", \"reasons\": [";
  for (std::size_t i = 0; i < row.Reasons.size(); ++i) {
    out << (i ? ", " : "") << JsonString(row.Reasons[i]);
  }
  out << "], \"values\": [";
  for (std::size_t i = 0; i < row.Values.size(); ++i) {
    const TFittedValue& v = row.Values[i];
    out << (i ? ", " : "") << "{\"name\": " << JsonString(v.Name)
        << ", \"value\": " << JsonNumber(v.Value) << ", \"lower\": " << JsonLimit(v.Lower)
        << ", \"upper\": " << JsonLimit(v.Upper) << "}";
  }
  out << "], \"file_name\": " << JsonString(row.FileName)
      << ", \"file_sha256\": " << JsonString(row.FileSha256)
      << ", \"error\": " << JsonString(row.ErrorText) << "}";
}

}  // namespace

void PrintRowsText(const std::vector<TResultRow>& rows, std::ostream& out) {
  for (const TResultRow& row : rows) {
    std::vector<std::string> values;
    for (const TFittedValue& v : row.Values) values.push_back(v.Name + "=" + Short(v.Value));
    const std::vector<std::string>& why =
        row.Verdict == TVerdict::MeasurementError ? std::vector{row.ErrorText} : row.Reasons;
    out << FormatUtc(row.MeasuredAt) << "  " << VerdictWord(row.Verdict) << "  " << row.Serial
        << "  " << row.Station << "  " << row.Criteria;
    if (!values.empty()) out << "  " << Joined(values, " ");
    if (!why.empty()) out << "  | " << Joined(why, "; ");
    out << "\n";
  }
}

void PrintRowsCsv(const std::vector<TResultRow>& rows, std::ostream& out) {
  const std::vector<std::string> names = ValueNames(rows);
  out << "id,measured_at,serial,station,criteria,verdict,reasons,error,file_name,file_sha256";
  for (const std::string& name : names) out << "," << CsvField(name);
  out << "\n";
  for (const TResultRow& row : rows) {
    for (const std::string& field : {row.Id, FormatUtc(row.MeasuredAt), row.Serial, row.Station,
                                     row.Criteria, std::string(VerdictWord(row.Verdict)),
                                     Joined(row.Reasons, "; "), row.ErrorText, row.FileName}) {
      out << CsvField(field) << ",";
    }
    out << row.FileSha256;
    for (const std::string& name : names) {
      const auto v = std::find_if(row.Values.begin(), row.Values.end(),
                                  [&name](const TFittedValue& f) { return f.Name == name; });
      out << "," << (v == row.Values.end() ? "" : analysis::NumberText(v->Value));
    }
    out << "\n";
  }
}

void PrintRowsJson(const std::vector<TResultRow>& rows, std::ostream& out) {
  out << "{\"rows\": [";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    out << (i ? ",\n  " : "\n  ");
    PrintRowJson(rows[i], out);
  }
  out << (rows.empty() ? "]}\n" : "\n]}\n");
}

void PrintStatsText(const TBatchStats& stats, std::ostream& out) {
  out << "Rows:    " << stats.Count << "\nPassed:  " << stats.Passed << "\nYield:   "
      << (stats.Yield ? analysis::NumberText(*stats.Yield * 100, std::chars_format::fixed, 1) + " %"
                      : "-")
      << "\n";
  if (stats.Values.empty()) return;
  out << "\nvalue\tlimits\tcount\tmean\tstd dev\tmin\tmax\tCpk\n";
  for (const TValueStats& s : stats.Values) {
    out << s.Name << "\t" << LimitsText(s) << "\t" << s.Count << "\t" << Short(s.Mean) << "\t"
        << Short(s.StdDev) << "\t" << Short(s.Min) << "\t" << Short(s.Max) << "\t"
        << (s.Cpk ? analysis::NumberText(*s.Cpk, std::chars_format::fixed, 2) : "-") << "\n";
  }
}

void PrintStatsJson(const TBatchStats& stats, std::ostream& out) {
  out << "{\"count\": " << stats.Count << ", \"passed\": " << stats.Passed
      << ", \"yield\": " << JsonLimit(stats.Yield) << ", \"values\": [";
  for (std::size_t i = 0; i < stats.Values.size(); ++i) {
    const TValueStats& s = stats.Values[i];
    out << (i ? ", " : "") << "{\"name\": " << JsonString(s.Name)
        << ", \"lower\": " << JsonLimit(s.Lower) << ", \"upper\": " << JsonLimit(s.Upper)
        << ", \"count\": " << s.Count << ", \"mean\": " << JsonNumber(s.Mean)
        << ", \"std_dev\": " << JsonNumber(s.StdDev) << ", \"min\": " << JsonNumber(s.Min)
        << ", \"max\": " << JsonNumber(s.Max) << ", \"cpk\": " << JsonLimit(s.Cpk) << "}";
  }
  out << "]}\n";
}

}  // namespace doz::cli
