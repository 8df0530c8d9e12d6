#include "Cli_main.h"

#include "Cli_analyze.h"
#include "Cli_args.h"
#include "Cli_compare.h"
#include "Cli_export.h"
#include "Cli_info.h"
#include "Cli_part_check.h"
#include "Cli_measure.h"
#include "Cli_plot.h"
#include "Cli_ports.h"
#include "Cli_speaker.h"
#include "Cli_results.h"
#include "Doz_version.h"

namespace doz::cli {
namespace {

using TVerbRun = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct TVerb {
  const char* name;
  const char* synopsis;
  const char* summary;
  TVerbRun run;
};

// One line per verb.
constexpr TVerb kVerbs[] = {
    {"info", "FILE.DTA", "show what a measurement file holds", RunInfo},
    {"export", "FILE.DTA [-o OUT.txt] [--no-average] [--force] [--format tsv|csv|zma|touchstone]",
     "write a measurement as a text table, CSV, ZMA or Touchstone file", RunExport},
    {"plot",
     "FILE.DTA [--ref REF.DTA]... [--log] [--r-only] [--wide] [--no-average] [--info TEXT]... "
     "[--force] -o OUT.pdf|OUT.png",
     "draw the printed page of a measurement into a PDF or PNG file", RunPlot},
    {"measure",
     "--port COMn|DEVICE [--band N] [--unit-average] [-o FILE.DTA] [--export FILE.txt] "
     "[--force]",
     "run one sweep of the unit and write it as a measurement file", RunMeasure},
    {"analyze", "FILE.DTA... [--model auto|PRESET|CIRCUIT] [--start NAME=VALUE,...] [--json]",
     "fit an equivalent circuit and find the resonances of measurements", RunAnalyze},
    {"speaker",
     "FREE.DTA [--added-mass GRAMS LOADED.DTA | --box-volume LITRES BOXED.DTA] [--sd CM2] "
     "[--json]",
     "give a loudspeaker's Thiele-Small parameters", RunSpeaker},
    {"compare",
     "FILE.DTA... REFERENCE.DTA [--tolerance PERCENT] [--phase-tolerance DEGREES] [--json] "
     "[--no-average]",
     "check measurements against a reference within tolerances", RunCompare},
    {"inspect",
     "--port COMn|DEVICE --criteria FILE.dozcheck --serial SN [--db PATH|URL] [--save-dir DIR] "
     "[--station NAME] [--json]",
     "inspect one part: sweep, judge against criteria, save it and write its result row",
     RunInspect},
    {"results", "--db PATH|URL [--since DATE] [--serial SN] [--json|--csv] [--stats]",
     "list the rows of an inspection results store, or their statistics", RunResults},
    {"ports", "[--link DEVICE]",
     "list the serial devices and their COM numbers, or give a device one", RunPorts},
};

void PrintUsage(std::ostream& out) {
  out << "usage: doz-cli COMMAND [ARGUMENTS]\n\ncommands:\n";
  for (const TVerb& verb : kVerbs) {
    out << "  doz-cli " << verb.name << " " << verb.synopsis << "\n      " << verb.summary << "\n";
  }
  out << "\n'doz-cli COMMAND --help' describes a command; 'doz-cli --version' gives the\n"
         "version.\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << "doz-cli: no command given (try 'doz-cli --help')\n";
    return EXIT_USAGE;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintUsage(out);
    return EXIT_OK;
  }
  if (args[0] == "--version") {
    out << "doz-cli " << kDozVersion << "\n";
    return EXIT_OK;
  }
  for (const TVerb& verb : kVerbs) {
    if (args[0] == verb.name) return verb.run({args.begin() + 1, args.end()}, out, err);
  }
  err << "doz-cli: unknown command " << args[0] << " (try 'doz-cli --help')\n";
  return EXIT_USAGE;
}

}  // namespace doz::cli
