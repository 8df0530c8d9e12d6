#include "Cli_measurement.h"

#include "Doz_file.h"
#include "Text_catalogue.h"

namespace doz::cli {

std::unique_ptr<TCliMeasurement> LoadMeasurement(const std::string& path, std::ostream& err) {
  auto m = std::make_unique<TCliMeasurement>();
  ClearRawData(m->raw);
  if (!TDoZ_File().ReadDataFile(path, m->serial, m->commPort, &m->raw) ||
      !MakeCalcData(&m->raw, &m->calc, &m->ave)) {
    err << MessageText(TMessageText::DataFileError, "Do-Z") << ": " << path << "\n";
    return nullptr;
  }
  m->raw.Present = 1;
  return m;
}

}  // namespace doz::cli
