#include "Cli_export.h"


#include "Cli_args.h"
#include "Cli_measurement.h"
#include "Doz_file.h"
#include "Stringutil.h"

namespace doz::cli {
namespace {

const char* const kHelp =
    "usage: doz-cli export FILE.DTA [-o OUT.txt] [--no-average] [--force]\n"
    "Writes the measurement as the tab-separated text table of the application's\n"
    "export command.\n"
    "  -o OUT.txt     output file (default: FILE's folder and name, with .txt)\n"
    "  --no-average   the unsmoothed values instead of the five-point means\n"
    "  --force        overwrite an existing output file\n";

}  // namespace

std::string DefaultExportName(const std::string& input) {
  // A bare name lies in the current folder.
  const std::string path = input.find('/') == std::string::npos ? "./" + input : input;
  const std::string name = FileNamePart(path);
  return path.substr(0, path.size() - name.size()) + CutAtFirstDot(name) + ".txt";
}

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCliArgs parsed;
  const std::vector<TCliOption> known = {{"-o", true}, {"--no-average", false}, {"--force", false}};
  if (auto done = ParseVerbArgs(parsed, args, known, 1, "export", kHelp, out, err)) return *done;
  const std::string& input = parsed.Positional()[0];
  const std::string output = parsed.Has("-o") ? parsed.Value("-o") : DefaultExportName(input);

  const auto m = LoadMeasurement(input, err);
  if (!m) return EXIT_FAILED;
  if (!parsed.Has("--force") && PathTaken(output)) {
    err << "doz-cli export: " << output << " exists (use --force to overwrite)\n";
    return EXIT_FAILED;
  }
  const TCalcData* values = parsed.Has("--no-average") ? &m->calc : &m->ave;
  if (!TDoZ_File().ExportText(output, m->serial, values, &m->raw)) {
    err << "データ保存できませんでした: " << output << "\n";
    return EXIT_FAILED;
  }
  out << output << "\n";
  return EXIT_OK;
}

}  // namespace doz::cli
