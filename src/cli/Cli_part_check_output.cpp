#include "Cli_part_check_output.h"

#include "Cli_json.h"

namespace doz::cli {
namespace {

using namespace results;

std::string RowWord(station::TRowFate fate) {
  switch (fate) {
    case station::TRowFate::Stored:
      return "stored";
    case station::TRowFate::Queued:
      return "queued";
    case station::TRowFate::Lost:
      break;
  }
  return "lost";
}

std::string JsonLimit(const std::optional<double>& limit) {
  return limit ? JsonNumber(*limit) : "null";
}

std::string RowText(const TInspection& i) {
  const std::string waiting = " (" + std::to_string(i.Record.Waiting) + " waiting)";
  switch (i.Record.Fate) {
    case station::TRowFate::Stored:
      return "stored in " + i.Store + (i.Record.Waiting ? waiting : "");
    case station::TRowFate::Queued:
      return "queued" + waiting + ": " + i.Record.Status.Message;
    case station::TRowFate::Lost:
      break;
  }
  return "lost: " + i.Record.Status.Message;
}

}  // namespace

const char* VerdictText(TVerdict verdict) {
  switch (verdict) {
    case TVerdict::Pass:
      return "合格";
    case TVerdict::Fail:
      return "不合格";
    case TVerdict::MeasurementError:
      break;
  }
  return "測定エラー";
}

void PrintInspectionText(const TInspection& i, std::ostream& out) {
  const TResultRow& row = i.Row;
  out << VerdictText(row.Verdict) << " (" << VerdictWord(row.Verdict) << ")  " << row.Serial << "  "
      << row.Criteria << "\n";
  if (!row.ErrorText.empty()) out << "  " << row.ErrorText << "\n";
  for (const station::TFinding& f : i.Judgement.Findings)
    out << (f.Pass ? "  ok    " : "  FAIL  ") << station::FindingText(f) << "\n";
  out << "File: " << (i.FilePath.empty() ? "none" : i.FilePath) << "\n"
      << "Row:  " << RowText(i) << "\n";
}

void PrintInspectionJson(const TInspection& i, std::ostream& out) {
  const TResultRow& row = i.Row;
  out << "{\"serial\": " << JsonString(row.Serial)
      << ", \"verdict\": " << JsonString(VerdictWord(row.Verdict))
      << ", \"criteria\": " << JsonString(row.Criteria)
      << ", \"station\": " << JsonString(row.Station)
      << ", \"measured_at\": " << JsonString(FormatUtc(row.MeasuredAt)) << ", \"reasons\": [";
  for (std::size_t k = 0; k < row.Reasons.size(); ++k)
    out << (k ? ", " : "") << JsonString(row.Reasons[k]);
  out << "], \"values\": [";
  for (std::size_t k = 0; k < row.Values.size(); ++k) {
    const TFittedValue& v = row.Values[k];
    out << (k ? ", " : "") << "{\"name\": " << JsonString(v.Name)
        << ", \"value\": " << JsonNumber(v.Value) << ", \"lower\": " << JsonLimit(v.Lower)
        << ", \"upper\": " << JsonLimit(v.Upper) << "}";
  }
  out << "], \"error\": " << (row.ErrorText.empty() ? "null" : JsonString(row.ErrorText))
      << ", \"file\": " << (i.FilePath.empty() ? "null" : JsonString(i.FilePath))
      << ", \"sha256\": " << (row.FileSha256.empty() ? "null" : JsonString(row.FileSha256))
      << ", \"row\": " << JsonString(RowWord(i.Record.Fate))
      << ", \"waiting\": " << i.Record.Waiting << "}\n";
}

}  // namespace doz::cli
