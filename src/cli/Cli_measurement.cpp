#include "Cli_measurement.h"

#include <cstring>

#include "Doz_file.h"
#include "Text_catalogue.h"

namespace doz::cli {
namespace {

using platform::TFileFailure;
using platform::TFileProblem;

// The system's own words for an error, in the language of LC_MESSAGES.
std::string SystemText(int error) {
  char buffer[256];
  return ::strerror_r(error, buffer, sizeof buffer);
}

}  // namespace

std::string FileFailureText(const TFileFailure& failure) {
  switch (failure.problem) {
    case TFileProblem::None:
      return {};
    case TFileProblem::Missing:
      return "ファイルがありません";
    case TFileProblem::Folder:
      return "フォルダーです";
    case TFileProblem::NoPermission:
      return "読み取りの権限がありません";
    case TFileProblem::NotRegularFile:
      return "通常のファイルではありません";
    case TFileProblem::ReadError:
      return "読み取りエラーです（" + SystemText(failure.systemError) + "）";
  }
  return {};
}

std::unique_ptr<TCliMeasurement> LoadMeasurement(const std::string& path, std::ostream& err,
                                                 const analysis::TLeadCompensation& leads) {
  auto m = std::make_unique<TCliMeasurement>();
  ClearRawData(m->raw);
  const TDataFileRead read = TDoZ_File().ReadDataFileResult(path, m->serial, m->commPort, &m->raw);
  if (read.result == TDataFileResult::CannotRead) {
    err << path << ": " << FileFailureText(read.failure) << "\n";
    return nullptr;
  }
  if (read.result != TDataFileResult::Read || !MakeCalcData(&m->raw, &m->calc, &m->ave)) {
    err << MessageText(TMessageText::DataFileError, "Do-Z") << ": " << path << "\n";
    return nullptr;
  }
  m->raw.Present = 1;
  if (leads.Empty()) return m;
  if (leads.Covers(m->calc, m->raw.Band) != analysis::TCompensationFault::None) {
    err << path << ": 補正データ（--open, --short）がこの測定の点を含みません\n";
    return nullptr;
  }
  m->compensated = true;
  if (const int lost = leads.Apply(m->calc, m->ave, m->raw.Band); lost > 0)
    err << path << ": 補正で値のなくなった点 " << lost << " 個\n";
  return m;
}

const char* const kCompensationHelp =
    "  --open FILE.DTA   a sweep of the test leads with their ends open (band 1\n"
    "                    serves every band): their stray admittance is taken out\n"
    "  --short FILE.DTA  a sweep with the leads' ends shorted together: their\n"
    "                    series impedance is taken out. With either, every\n"
    "                    measurement read is corrected point by point (the files\n"
    "                    stay as they are); a compensation file that cannot be read\n"
    "                    or lacks a point of the measurement is an error\n";

const std::vector<TCliOption>& CompensationOptions() {
  static const std::vector<TCliOption> options = {{"--open", true}, {"--short", true}};
  return options;
}

std::optional<analysis::TLeadCompensation> CompensationOf(const TCliArgs& parsed,
                                                          std::ostream& err) {
  analysis::TLeadCompensation leads;
  for (const char* option : {"--open", "--short"}) {
    if (!parsed.Has(option)) continue;
    const auto m = LoadMeasurement(parsed.Value(option), err);
    if (!m) return std::nullopt;
    if (std::string(option) == "--open") {
      leads.SetOpen(m->calc);
    } else {
      leads.SetShort(m->calc);
    }
  }
  return leads;
}

}  // namespace doz::cli
