#include "Cli_export.h"

#include <optional>

#include "Cli_args.h"
#include "Cli_measurement.h"
#include "Doz_file.h"
#include "Exchange_writer.h"
#include "Stringutil.h"
#include "Text_catalogue.h"

namespace doz::cli {
namespace {

const char* const kHelp =
    "usage: doz-cli export FILE.DTA [-o OUT.txt] [--no-average] [--force]\n"
    "                      [--format tsv|csv|zma|touchstone] [--open FILE.DTA]\n"
    "                      [--short FILE.DTA]\n"
    "Writes the measurement as the tab-separated text table of the application's\n"
    "export command, or in a format that other programs read.\n"
    "  -o OUT.txt     output file (default: FILE's folder and name, with the\n"
    "                 format's extension)\n"
    "  --no-average   the unsmoothed values instead of the five-point means\n"
    "  --force        overwrite an existing output file\n"
    "  --format F     tsv         the application's table (default; .txt)\n"
    "                 csv         UTF-8, comma-separated, one row per point: frequency,\n"
    "                             |Z|, phase, series Rs, Xs, Ls, Cs and Q (.csv); Ls\n"
    "                             is empty where Xs <= 0, Cs where Xs >= 0 and Q\n"
    "                             where Rs <= 0, as is a value that is not finite\n"
    "                 zma         frequency, |Z| and phase for loudspeaker and\n"
    "                             crossover design programs (.zma)\n"
    "                 touchstone  S11 against 50 ohms with 12 significant digits,\n"
    "                             Touchstone version 1 (.s1p)\n"
    "                 The last three hold the points with a value, with a period as\n"
    "                 decimal point and LF line ends; no number reads -0.\n";

// Writes the table, or one of the exchange formats; false when it cannot.
bool WriteExport(const std::optional<analysis::TExchangeFormat>& format, const std::string& input,
                 const std::string& output, const TCliMeasurement& m, const TCalcData& values) {
  if (!format) return TDoZ_File().ExportText(output, m.serial, &values, &m.raw);
  const analysis::TExchangeSource source{FileNamePart(input), m.raw.DateTime};
  return analysis::WriteExchangeFile(output, *format, analysis::SamplesOf(values, m.raw.Band),
                                     source) == analysis::TWriteResult::Written;
}

}  // namespace

std::string DefaultExportName(const std::string& input, const std::string& extension) {
  // A bare name lies in the current folder.
  const std::string path = input.find('/') == std::string::npos ? "./" + input : input;
  const std::string name = FileNamePart(path);
  return path.substr(0, path.size() - name.size()) + CutAtFirstDot(name) + extension;
}

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCliArgs parsed;
  std::vector<TCliOption> known = {
      {"-o", true}, {"--no-average", false}, {"--force", false}, {"--format", true}};
  known.insert(known.end(), CompensationOptions().begin(), CompensationOptions().end());
  static const std::string help = std::string(kHelp) + kCompensationHelp;
  if (auto done = ParseVerbArgs(parsed, args, known, 1, "export", help.c_str(), out, err))
    return *done;
  const std::string formatName = parsed.Has("--format") ? parsed.Value("--format") : "tsv";
  const auto format = analysis::ExchangeFormatNamed(formatName);
  if (formatName != "tsv" && !format) {
    err << "doz-cli export: unknown format " << formatName << " (try 'doz-cli export --help')\n";
    return EXIT_USAGE;
  }
  const std::string& input = parsed.Positional()[0];
  const std::string output =
      parsed.Has("-o") ? parsed.Value("-o")
                       : DefaultExportName(input, format ? analysis::ExchangeExtension(*format) : ".txt");

  const auto leads = CompensationOf(parsed, err);
  if (!leads) return EXIT_FAILED;
  const auto m = LoadMeasurement(input, err, *leads);
  if (!m) return EXIT_FAILED;
  if (!parsed.Has("--force") && PathTaken(output)) {
    err << "doz-cli export: " << output << " exists (use --force to overwrite)\n";
    return EXIT_FAILED;
  }
  const TCalcData& values = parsed.Has("--no-average") ? m->calc : m->ave;
  if (!WriteExport(format, input, output, *m, values)) {
    err << StatusText(TStatusText::SaveError, "Do-Z") << ": " << output << "\n";
    return EXIT_FAILED;
  }
  out << output << "\n";
  return EXIT_OK;
}

}  // namespace doz::cli
