#include "Cli_compare.h"

#include <charconv>
#include <cmath>
#include <variant>

#include "Cli_json.h"
#include "Cli_measurement.h"
#include "Number_text.h"
#include "Si_number.h"

namespace doz::cli {
namespace {

using namespace analysis;

const char* const kHelp =
    "usage: doz-cli compare FILE.DTA... REFERENCE.DTA [--tolerance PERCENT]\n"
    "                       [--phase-tolerance DEGREES] [--json] [--no-average]\n"
    "                       [--open FILE.DTA] [--short FILE.DTA]\n"
    "Compares each measurement with the reference (the last file) at every\n"
    "frequency point both hold: |Z| relative to the reference's, and the phase.\n"
    "Prints how many points lie outside the tolerances and the worst deviations\n"
    "with their frequencies.\n"
    "Exit status: 0 every point of every file within, 1 any point outside, 2 a\n"
    "usage error, a file that cannot be read or files without a common point.\n"
    "  --tolerance PERCENT        allowed |Z| deviation (default 5)\n"
    "  --phase-tolerance DEGREES  allowed phase deviation (default 5)\n"
    "  --json                     one JSON object per measurement and line on\n"
    "                             standard output, with its file\n"
    "  --no-average               the unsmoothed values (default: the five-point\n"
    "                             means, as the graph shows them)\n";

// Frequencies of the points outside that the text report lists.
constexpr std::size_t kListed = 10;

std::optional<double> Tolerance(const TCliArgs& parsed, const std::string& name, double fallback) {
  if (!parsed.Has(name)) return fallback;
  const std::string text = parsed.Value(name);
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() ||
      !std::isfinite(value) || value < 0) {
    return std::nullopt;
  }
  return value;
}

void PrintJson(const TComparison& c, const TCalcData& reference, const TCompareOptions& o,
               std::ostream& out) {
  const TTolerance& t = o.tolerance;
  out << "{";
  if (!o.file.empty()) out << "\"file\": " << JsonString(o.file) << ", ";
  out << "\"compared\": " << c.Compared << ", \"outside\": " << c.OutsideSlots.size()
      << ", \"tolerance_percent\": " << JsonNumber(t.Percent)
      << ", \"phase_tolerance_deg\": " << JsonNumber(t.Degrees)
      << ", \"worst_impedance\": {\"deviation_percent\": " << JsonNumber(c.WorstMagnitude.Value)
      << ", \"frequency\": " << JsonNumber(c.WorstMagnitude.Hertz) << "}"
      << ", \"worst_phase\": {\"deviation_deg\": " << JsonNumber(c.WorstPhase.Value)
      << ", \"frequency\": " << JsonNumber(c.WorstPhase.Hertz) << "}, \"outside_frequencies\": [";
  for (std::size_t i = 0; i < c.OutsideSlots.size(); ++i) {
    out << (i ? ", " : "") << JsonNumber(reference.Freq[c.OutsideSlots[i]]);
  }
  out << "]}\n";
}

void PrintText(const TComparison& c, const TCalcData& reference, const TTolerance& t,
               std::ostream& out) {
  out << "Points compared:  " << c.Compared << "\n"
      << "Points outside:   " << c.OutsideSlots.size() << " (tolerance " << NumberText(t.Percent)
      << " %, " << NumberText(t.Degrees) << "°)\n"
      << "Worst |Z|:        " << SignedNumberText(c.WorstMagnitude.Value, 2) << " % at "
      << FormatSi(c.WorstMagnitude.Hertz, "Hz") << "\n"
      << "Worst phase:      " << SignedNumberText(c.WorstPhase.Value, 2) << "° at "
      << FormatSi(c.WorstPhase.Hertz, "Hz") << "\n";
  if (c.OutsideSlots.empty()) return;
  out << "Outside at:      ";
  for (std::size_t i = 0; i < c.OutsideSlots.size() && i < kListed; ++i) {
    out << (i ? ", " : " ") << FormatSi(reference.Freq[c.OutsideSlots[i]], "Hz");
  }
  if (c.OutsideSlots.size() > kListed) out << " and " << c.OutsideSlots.size() - kListed << " more";
  out << "\n";
}

}  // namespace

const std::vector<TCliOption>& ToleranceOptions() {
  static const std::vector<TCliOption> options = {{"--tolerance", true},
                                                  {"--phase-tolerance", true}};
  return options;
}

std::optional<TTolerance> TolerancesOf(const TCliArgs& parsed, std::string& reason) {
  const TTolerance defaults;
  const auto percent = Tolerance(parsed, "--tolerance", defaults.Percent);
  const auto degrees = Tolerance(parsed, "--phase-tolerance", defaults.Degrees);
  if (!percent || !degrees) {
    reason = std::string(percent ? "--phase-tolerance" : "--tolerance") +
             " needs a number of at least 0";
    return std::nullopt;
  }
  return TTolerance{*percent, *degrees};
}

int CompareAndReport(const TCalcData& measured, const TCalcData& reference,
                     const TCompareOptions& options, const std::string& verb, std::ostream& out,
                     std::ostream& err) {
  const TCompareResult result = CompareSets(measured, reference, options.tolerance);
  const auto* c = std::get_if<TComparison>(&result);
  if (!c) {
    err << "doz-cli " << verb << ": "
        << (std::get<TCompareRefusal>(result) == TCompareRefusal::NoCommonPoint
                ? "the measurement and the reference share no frequency point"
                : "a tolerance is not a number of at least 0")
        << "\n";
    return EXIT_USAGE;
  }
  if (options.json) {
    PrintJson(*c, reference, options, out);
  } else {
    PrintText(*c, reference, options.tolerance, out);
  }
  return c->OutsideSlots.empty() ? EXIT_OK : EXIT_FAILED;
}

int RunCompare(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCliArgs parsed;
  std::vector<TCliOption> known = {{"--json", false}, {"--no-average", false}};
  known.insert(known.end(), ToleranceOptions().begin(), ToleranceOptions().end());
  known.insert(known.end(), CompensationOptions().begin(), CompensationOptions().end());
  static const std::string help = std::string(kHelp) + kCompensationHelp;
  if (auto done = ParseVerbArgs(parsed, args, known, {2, SIZE_MAX}, "compare", help.c_str(), out, err))
    return *done;
  std::string reason;
  const auto tolerance = TolerancesOf(parsed, reason);
  if (!tolerance) {
    err << "doz-cli compare: " << reason << " (try 'doz-cli compare --help')\n";
    return EXIT_USAGE;
  }
  const bool raw = parsed.Has("--no-average");
  // Status 1 says "outside" here; a file that cannot be read must not look so.
  const auto leads = CompensationOf(parsed, err);
  if (!leads) return EXIT_USAGE;
  const auto& files = parsed.Positional();
  const auto reference = LoadMeasurement(files.back(), err, *leads);
  if (!reference) return EXIT_USAGE;
  int code = EXIT_OK;
  for (std::size_t i = 0; i + 1 < files.size(); ++i) {
    const auto measured = LoadMeasurement(files[i], err, *leads);
    if (!measured) return EXIT_USAGE;
    if (files.size() > 2 && !parsed.Has("--json")) out << (i ? "\n" : "") << "File:             " << files[i] << "\n";
    const int one = CompareAndReport(raw ? measured->calc : measured->ave,
                                     raw ? reference->calc : reference->ave,
                                     {*tolerance, parsed.Has("--json"), files[i]}, "compare", out, err);
    if (one == EXIT_USAGE) return one;
    if (one != EXIT_OK) code = one;
  }
  return code;
}

}  // namespace doz::cli
