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

std::unique_ptr<TCliMeasurement> LoadMeasurement(const std::string& path, std::ostream& err) {
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
  return m;
}

}  // namespace doz::cli
