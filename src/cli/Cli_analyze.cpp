#include "Cli_analyze.h"

#include <iomanip>
#include <optional>
#include <variant>

#include "Circuit_fit.h"
#include "Cli_args.h"
#include "Cli_json.h"
#include "Cli_measurement.h"
#include "Number_text.h"
#include "Resonance_finder.h"
#include "Si_number.h"

namespace doz::cli {
namespace {

using namespace analysis;

const char* const kHelp =
    "usage: doz-cli analyze FILE.DTA [--model auto|rl|rc|rlc|rlc-parallel|coil|bvd] [--json]\n"
    "                       [--no-average]\n"
    "Fits an equivalent circuit to the measurement's complex impedance (|Z| and\n"
    "phase) over its band and lists its resonances: each peak or dip of |Z| where\n"
    "the phase passes zero, with its frequency, |Z| and Q.\n"
    "  --model M      the circuit to fit (default auto):\n"
    "                   rl            R + L in series\n"
    "                   rc            R + C in series\n"
    "                   rlc           R + L + C in series\n"
    "                   rlc-parallel  R, L and C in parallel\n"
    "                   coil          (R + L) parallel to C: a winding\n"
    "                   bvd           (R1 + L1 + C1) parallel to C0: a piezo or quartz\n"
    "                   auto          all of them; the simplest that explains the\n"
    "                                 data wins (by the Bayesian information criterion)\n"
    "  --json         one JSON object on standard output; parameters in ohms,\n"
    "                 henries and farads, frequencies in hertz\n"
    "  --no-average   the unsmoothed values (default: the five-point means, as the\n"
    "                 graph and the export use them)\n"
    "The error is the relative RMS difference between the fitted circuit and the\n"
    "measured impedance.\n";

std::string Percent(double fraction) {
  return NumberText(100.0 * fraction, std::chars_format::fixed, 2) + " %";
}

void PrintJson(const TCircuitFit& fit, const std::vector<TResonance>& resonances,
               std::ostream& out) {
  const auto names = ParameterNames(fit.Circuit.Kind());
  out << "{\"model\": " << JsonString(CircuitName(fit.Circuit.Kind())) << ", \"parameters\": {";
  for (std::size_t i = 0; i < names.size(); ++i) {
    out << (i ? ", " : "") << JsonString(names[i]) << ": " << JsonNumber(fit.Circuit.Values()[i]);
  }
  out << "}, \"error\": " << JsonNumber(fit.Error) << ", \"resonances\": [";
  for (std::size_t i = 0; i < resonances.size(); ++i) {
    const TResonance& r = resonances[i];
    out << (i ? ", " : "") << "{\"kind\": " << JsonString(ResonanceName(r.Kind))
        << ", \"frequency\": " << JsonNumber(r.Hertz) << ", \"impedance\": " << JsonNumber(r.Ohms)
        << ", \"q\": " << (r.Q ? JsonNumber(*r.Q) : "null") << "}";
  }
  out << "]}\n";
}

void PrintTable(const TCircuitFit& fit, const std::vector<TResonance>& resonances,
                const std::optional<TModelChoice>& choice, std::ostream& out) {
  const TCircuitKind kind = fit.Circuit.Kind();
  const auto names = ParameterNames(kind);
  out << "Circuit:     " << CircuitName(kind) << "  " << CircuitDiagram(kind) << "\n";
  for (std::size_t i = 0; i < names.size(); ++i) {
    out << "  " << std::left << std::setw(11) << names[i]
        << FormatSi(fit.Circuit.Values()[i], ParameterUnit(names[i])) << "\n";
  }
  out << "Error:       " << Percent(fit.Error) << " (relative RMS)\n";
  out << "Resonances:" << (resonances.empty() ? "  none\n" : "\n");
  for (const TResonance& r : resonances) {
    out << "  " << std::left << std::setw(6) << ResonanceName(r.Kind) << std::right << std::setw(11)
        << FormatSi(r.Hertz, "Hz") << std::setw(12) << FormatSi(r.Ohms, "Ω") << "   Q "
        << (r.Q ? NumberText(*r.Q, std::chars_format::general, 3) : "-") << "\n";
  }
  if (!choice) return;
  out << "Fits tried:\n";
  for (const auto& [tried, result] : choice->Tried) {
    const auto* f = std::get_if<TCircuitFit>(&result);
    out << "  " << std::left << std::setw(14) << CircuitName(tried)
        << (f ? Percent(f->Error) : RefusalText(std::get<TFitRefusal>(result)))
        << (tried == kind ? "  chosen" : "") << "\n";
  }
}

}  // namespace

int RunAnalyze(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCliArgs parsed;
  const std::vector<TCliOption> known = {
      {"--model", true}, {"--json", false}, {"--no-average", false}};
  if (auto done = ParseVerbArgs(parsed, args, known, 1, "analyze", kHelp, out, err)) return *done;
  const std::string model = parsed.Has("--model") ? parsed.Value("--model") : "auto";
  const auto kind = CircuitNamed(model);
  if (model != "auto" && !kind) {
    err << "doz-cli analyze: unknown model " << model << " (try 'doz-cli analyze --help')\n";
    return EXIT_USAGE;
  }
  const std::string& input = parsed.Positional()[0];
  const auto m = LoadMeasurement(input, err);
  if (!m) return EXIT_FAILED;

  const auto samples = SamplesOf(parsed.Has("--no-average") ? m->calc : m->ave, m->raw.Band);
  std::optional<TModelChoice> choice;
  TFitResult result = TFitRefusal::NoPoints;
  if (kind) {
    result = FitCircuit(samples, *kind);
  } else {
    const TChoiceResult chosen = ChooseCircuit(samples);
    result = ChosenFit(chosen);
    if (const auto* c = std::get_if<TModelChoice>(&chosen)) choice = *c;
  }
  const auto* fit = std::get_if<TCircuitFit>(&result);
  if (!fit) {
    err << "doz-cli analyze: " << input << ": " << RefusalText(std::get<TFitRefusal>(result))
        << "\n";
    return EXIT_FAILED;
  }
  const std::vector<TResonance> resonances = FindResonances(samples);
  if (parsed.Has("--json")) {
    PrintJson(*fit, resonances, out);
  } else {
    PrintTable(*fit, resonances, choice, out);
  }
  return EXIT_OK;
}

}  // namespace doz::cli
