#include "Cli_speaker.h"

#include <iomanip>
#include <optional>

#include "Analysis_report.h"
#include "Cli_args.h"
#include "Cli_json.h"
#include "Cli_measurement.h"
#include "Number_text.h"
#include "Si_number.h"
#include "Speaker_parameters.h"

namespace doz::cli {
namespace {

using namespace analysis;

const char* const kHelp =
    "usage: doz-cli speaker FREE.DTA [--added-mass GRAMS LOADED.DTA |\n"
    "                       --box-volume LITRES BOXED.DTA] [--sd CM2] [--json]\n"
    "A loudspeaker's Thiele-Small parameters from its impedance in free air: the\n"
    "speaker circuit Re + Le + (Res | Lces | Cmes) is fitted, or speaker-lossy with\n"
    "the voice coil's losses (L2 | R2) where that fits clearly better, and\n"
    "  fs = 1 / (2 pi sqrt(Lces Cmes)), Qms = Res sqrt(Cmes / Lces),\n"
    "  Qes = Re sqrt(Cmes / Lces), Qts = Qms Qes / (Qms + Qes).\n"
    "A second sweep gives the mechanical parameters:\n"
    "  --added-mass GRAMS LOADED.DTA  the cone loaded with a known mass M; its\n"
    "      resonance fs' gives Mms = M / ((fs/fs')^2 - 1), Cms = 1 / ((2 pi fs)^2 Mms),\n"
    "      Bl = sqrt(2 pi fs Mms Re / Qes)\n"
    "  --box-volume LITRES BOXED.DTA  the speaker in a closed box of volume Vb; its\n"
    "      resonance fc and Qec give Vas = Vb ((fc Qec) / (fs Qes) - 1), and with\n"
    "      --sd Cms = Vas / (rho c^2 Sd^2), Mms = 1 / ((2 pi fs)^2 Cms) and Bl as above\n"
    "  --sd CM2       the cone's effective area Sd in cm²: gives Vas = rho c^2 Sd^2 Cms\n"
    "                 after an added mass (rho = 1.204 kg/m³, c = 343 m/s: air at 20 °C)\n"
    "  --json         one JSON object: fs, Qms, Qes, Qts, Re, Le, Mms, Cms, Bl, Vas\n"
    "                 (each where known; SI units: Hz, Ω, H, kg, m/N, T·m, m³) and\n"
    "                 warnings (code and text, as doz-cli analyze gives them)\n"
    "Exit status: 0 done, 1 a file that cannot be read or fitted, 2 a usage error:\n"
    "a mass, volume or area of 0 or less, or a second sweep whose resonance is not\n"
    "lower (added mass) or higher (box) than the free one's.\n";

// A fit of both speaker presets, the simpler kept unless the lossy one is
// clearly better.
struct TSpeakerFit {
  TAnalysisReport report;
  TThieleSmall ts{};
};

constexpr double kBicMargin = 10.0;

TAnalysisReport Fitted(const std::vector<TImpedanceSample>& samples, const char* preset) {
  TAnalysisRequest request;
  request.Model = std::get<TCircuitModel>(ModelNamed(preset));
  return Analyze(samples, request);
}

std::optional<TSpeakerFit> FitSpeaker(const std::string& path, std::ostream& err) {
  const auto m = LoadMeasurement(path, err);
  if (!m) return std::nullopt;
  const auto samples = SamplesOf(m->calc, m->raw.Band);
  TAnalysisReport plain = Fitted(samples, "speaker");
  TAnalysisReport lossy = Fitted(samples, "speaker-lossy");
  const TCircuitFit* a = plain.FitOrNull();
  const TCircuitFit* b = lossy.FitOrNull();
  TAnalysisReport& chosen = b && (!a || b->Bic < a->Bic - kBicMargin) ? lossy : plain;
  const TCircuitFit* fit = chosen.FitOrNull();
  const auto ts = fit ? ThieleSmallOf(fit->Circuit) : std::nullopt;
  if (!ts) {
    err << "doz-cli speaker: " << path << ": "
        << (fit ? "no loudspeaker resonance" : RefusalText(std::get<TFitRefusal>(chosen.Fit)))
        << "\n";
    return std::nullopt;
  }
  return TSpeakerFit{std::move(chosen), *ts};
}

// A number above 0 (SI prefixes allowed), or nothing.
std::optional<double> Positive(const TCliArgs& parsed, const std::string& name) {
  const auto value = ParseSi(parsed.Value(name));
  if (!value || !(*value > 0)) return std::nullopt;
  return value;
}

struct TFigure {
  const char* name;
  std::optional<double> value;  // SI
  const char* unit;             // for the table; none: a plain ratio
  double shown = 1.0;           // the table's unit per SI unit (grams, litres)
};

void Print(const std::vector<TFigure>& figures, const std::vector<TAnalysisWarning>& warnings,
           bool json, std::ostream& out) {
  if (json) {
    out << "{";
    for (const TFigure& f : figures) {
      if (f.value) out << JsonString(f.name) << ": " << JsonNumber(*f.value) << ", ";
    }
    out << "\"warnings\": [";
    for (std::size_t i = 0; i < warnings.size(); ++i) {
      out << (i ? ", " : "") << "{\"code\": " << JsonString(WarningCodeName(warnings[i].Code))
          << ", \"text\": " << JsonString(WarningText(warnings[i])) << "}";
    }
    out << "]}\n";
    return;
  }
  for (const TFigure& f : figures) {
    if (!f.value) continue;
    out << std::left << std::setw(6) << f.name
        << (*f.unit ? FormatSi(*f.value * f.shown, f.unit)
                    : NumberText(*f.value, std::chars_format::general, 3))
        << "\n";
  }
  for (const TAnalysisWarning& w : warnings)
    out << "warning: " << WarningCodeName(w.Code) << ": " << WarningText(w) << "\n";
}

const char* FaultText(TSecondSweepFault fault, bool box) {
  switch (fault) {
    case TSecondSweepFault::NotPositive:
      return box ? "--box-volume and --sd need a number above 0" : "--added-mass and --sd need a number above 0";
    case TSecondSweepFault::NotLower:
      return "the loaded sweep's fs is not lower than the free one's";
    case TSecondSweepFault::NotHigher:
      return "the boxed sweep's fs (and fs·Qes) is not higher than the free one's";
  }
  return "";
}

}  // namespace

int RunSpeaker(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCliArgs parsed;
  const std::vector<TCliOption> known = {
      {"--added-mass", true}, {"--box-volume", true}, {"--sd", true}, {"--json", false}};
  if (auto done = ParseVerbArgs(parsed, args, known, {1, 2}, "speaker", kHelp, out, err)) return *done;
  const bool mass = parsed.Has("--added-mass"), box = parsed.Has("--box-volume");
  const auto usage = [&err](const std::string& reason) {
    err << "doz-cli speaker: " << reason << " (try 'doz-cli speaker --help')\n";
    return EXIT_USAGE;
  };
  if (mass && box) return usage("--added-mass and --box-volume exclude each other");
  if ((mass || box) != (parsed.Positional().size() == 2))
    return usage(mass || box ? "the second sweep's file is missing" : "a second file needs --added-mass or --box-volume");
  const std::optional<double> amount = mass ? Positive(parsed, "--added-mass") : box ? Positive(parsed, "--box-volume") : 1.0;
  const std::optional<double> sd = parsed.Has("--sd") ? Positive(parsed, "--sd") : std::nullopt;
  if (!amount || (parsed.Has("--sd") && !sd))
    return usage(FaultText(TSecondSweepFault::NotPositive, box));

  const auto free = FitSpeaker(parsed.Positional()[0], err);
  if (!free) return EXIT_FAILED;
  std::vector<TAnalysisWarning> warnings = free->report.Warnings;
  TMechanical mech;
  const std::optional<double> sdSquareMetres = sd ? std::optional(*sd * 1e-4) : std::nullopt;
  if (mass || box) {
    const auto second = FitSpeaker(parsed.Positional()[1], err);
    if (!second) return EXIT_FAILED;
    warnings.insert(warnings.end(), second->report.Warnings.begin(), second->report.Warnings.end());
    const TMechanicalResult result =
        mass ? AddedMass(free->ts, second->ts, *amount * 1e-3, sdSquareMetres)
             : ClosedBox(free->ts, second->ts, *amount * 1e-3, sdSquareMetres);
    if (const auto* fault = std::get_if<TSecondSweepFault>(&result)) return usage(FaultText(*fault, box));
    mech = std::get<TMechanical>(result);
  }
  const TThieleSmall& ts = free->ts;
  Print({{"fs", ts.Fs, "Hz"}, {"Qms", ts.Qms, ""}, {"Qes", ts.Qes, ""}, {"Qts", ts.Qts, ""},
         {"Re", ts.Re, "Ω"}, {"Le", ts.Le, "H"}, {"Mms", mech.Mms, "g", 1e3},
         {"Cms", mech.Cms, "m/N"}, {"Bl", mech.Bl, "T·m"}, {"Vas", mech.Vas, "L", 1e3}},
        warnings, parsed.Has("--json"), out);
  return EXIT_OK;
}

}  // namespace doz::cli
