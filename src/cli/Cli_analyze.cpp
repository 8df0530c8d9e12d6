#include "Cli_analyze.h"

#include <iomanip>
#include <optional>
#include <sstream>
#include <variant>

#include "Analysis_report.h"
#include "Cli_args.h"
#include "Cli_json.h"
#include "Cli_measurement.h"
#include "Number_text.h"
#include "Si_number.h"

namespace doz::cli {
namespace {

using namespace analysis;

std::string Help() {
  std::ostringstream help;
  help << "usage: doz-cli analyze FILE.DTA... [--model auto|PRESET|CIRCUIT]\n"
          "                       [--start NAME=VALUE,...] [--json] [--no-average]\n"
          "                       [--open FILE.DTA] [--short FILE.DTA]\n"
          "Fits an equivalent circuit to each measurement's complex impedance (|Z| and\n"
          "phase) over its band, with a standard uncertainty for every value, and lists\n"
          "its resonances: each peak or dip of |Z| where the phase passes zero.\n"
          "  --model M      the circuit to fit (default auto): a preset,\n";
  for (const TPreset& p : Presets()) {
    help << "                   " << std::left << std::setw(14) << p.Name << p.Circuit << "\n"
         << "                   " << std::setw(14) << "" << p.Purpose << "\n";
  }
  help << "                 auto: every preset; the simplest that explains the data wins\n"
          "                 (by the Bayesian information criterion), or it says that none\n"
          "                 fits well. Or a circuit string of elements R, L and C, each\n"
          "                 named as written (R1, L2, C0), joined by - in series and by\n"
          "                 p(a,b,...) in parallel, nested at will:\n"
          "                 'R1-L1-p(R2,L2,C2)', 'p(R1-L1,C1,R2)'. Values in ohms,\n"
          "                 henries and farads.\n"
          "  --start LIST   start values for some parameters of the model, such as\n"
          "                 R1=6k,L1=0.3 (SI prefixes p n u m k M G); the others are found\n"
          "                 from the data's resonances and asymptotes\n"
          "  --json         one JSON object per file and line on standard output: file,\n"
          "                 model, circuit, parameters, uncertainty (null where the data\n"
          "                 do not determine a value), error, expected_error, fits_well,\n"
          "                 derived (fs, Qms, Qes, Qts of the speaker presets),\n"
          "                 resonances (frequency where the phase passes zero and |Z| there\n"
          "                 as impedance, extremum_frequency and extremum_impedance of the\n"
          "                 peak or dip, q, source: model or data) and warnings (code and\n"
          "                 text); parameters in ohms, henries and farads, frequencies in\n"
          "                 hertz\n"
       << kCompensationHelp
       << "  --no-average   accepted for older scripts: fits and resonances always use the\n"
          "                 measured points (the five-point means flatten narrow\n"
          "                 resonances)\n"
          "The error is the relative RMS difference between the fitted circuit and the\n"
          "measured impedance. Resonances come from the fitted circuit when it fits\n"
          "well, from the measured points otherwise. Warnings:\n"
          "  clipped-points    points at the unit's maximum |Z| (16777215 Ω) or at 0 Ω,\n"
          "                    left out of the fit\n"
          "  at-bound          a value ended at a limit of its range: the data do not\n"
          "                    determine it\n"
          "  poor-fit          the error is far above what the noise and the whole-ohm\n"
          "                    rounding explain, or above 50 %; with auto: no preset\n"
          "                    fits well\n"
          "  narrow-resonance  a resonance narrower than about three grid points: its Q\n"
          "                    from the points is a lower bound\n"
          "  no-uncertainty    values that trade off against each other exactly\n"
          "  undetermined      a value whose uncertainty is as large as itself: neither\n"
          "                    it nor what is derived from it can be trusted\n"
          "Exit status: 0 every file analysed, 1 a file that could not be read or fitted,\n"
          "2 a usage error (a malformed circuit string names the position of the fault).\n";
  return help.str();
}

std::string Percent(double fraction) {
  return NumberText(100.0 * fraction, std::chars_format::fixed, 2) + " %";
}

std::string Ratio(std::optional<double> value) {
  return value ? NumberText(*value, std::chars_format::general, 3) : "-";
}

std::string JsonOptional(std::optional<double> value) {
  return value ? JsonNumber(*value) : "null";
}

void PrintJsonFit(const TCircuitFit& fit, std::ostream& out) {
  const TCircuitModel& model = fit.Circuit.Model();
  out << ", \"model\": " << JsonString(fit.Circuit.Name())
      << ", \"circuit\": " << JsonString(model.Text()) << ", \"parameters\": {";
  for (std::size_t i = 0; i < model.Size(); ++i) {
    out << (i ? ", " : "") << JsonString(model.Names()[i]) << ": "
        << JsonNumber(fit.Circuit.Values()[i]);
  }
  out << "}, \"uncertainty\": {";
  for (std::size_t i = 0; i < model.Size(); ++i) {
    out << (i ? ", " : "") << JsonString(model.Names()[i]) << ": "
        << JsonOptional(fit.Uncertainty[i]);
  }
  out << "}, \"error\": " << JsonNumber(fit.Error);
}

}  // namespace

void PrintAnalysisJson(const TAnalysisReport& report, const std::string& file, std::ostream& out) {
  out << "{\"file\": " << JsonString(file);
  if (const TCircuitFit* fit = report.FitOrNull()) {
    PrintJsonFit(*fit, out);
  } else {
    out << ", \"model\": null, \"refusal\": "
        << JsonString(RefusalText(std::get<TFitRefusal>(report.Fit)));
  }
  out << ", \"expected_error\": " << JsonNumber(report.ExpectedError)
      << ", \"fits_well\": " << (report.FitsWell ? "true" : "false") << ", \"derived\": {";
  for (std::size_t i = 0; i < report.Derived.size(); ++i) {
    out << (i ? ", " : "") << JsonString(report.Derived[i].Name) << ": "
        << JsonNumber(report.Derived[i].Value);
  }
  out << "}, \"resonances\": [";
  for (std::size_t i = 0; i < report.Resonances.size(); ++i) {
    const TResonance& r = report.Resonances[i];
    out << (i ? ", " : "") << "{\"kind\": " << JsonString(ResonanceName(r.Kind))
        << ", \"frequency\": " << JsonNumber(r.Hertz) << ", \"impedance\": " << JsonNumber(r.Ohms)
        << ", \"extremum_frequency\": " << JsonNumber(r.ExtremumHertz)
        << ", \"extremum_impedance\": " << JsonNumber(r.ExtremumOhms)
        << ", \"q\": " << JsonOptional(r.Q)
        << ", \"source\": " << JsonString(ResonanceSourceName(r.Source)) << "}";
  }
  out << "], \"warnings\": [";
  for (std::size_t i = 0; i < report.Warnings.size(); ++i) {
    const TAnalysisWarning& w = report.Warnings[i];
    out << (i ? ", " : "") << "{\"code\": " << JsonString(WarningCodeName(w.Code))
        << ", \"text\": " << JsonString(WarningText(w)) << "}";
  }
  out << "]}\n";
}

namespace {

void PrintParameters(const TCircuitFit& fit, std::ostream& out) {
  const TCircuitModel& model = fit.Circuit.Model();
  const TPreset* preset = PresetOf(model);
  out << "Circuit:     " << fit.Circuit.Name();
  if (preset) out << "  " << preset->Diagram;
  out << "\n";
  for (std::size_t i = 0; i < model.Size(); ++i) {
    const char* unit = ParameterUnit(model.Names()[i]);
    out << "  " << std::left << std::setw(11) << model.Names()[i]
        << FormatSi(fit.Circuit.Values()[i], unit);
    if (fit.Uncertainty[i]) out << " ± " << FormatSi(*fit.Uncertainty[i], unit);
    out << "\n";
  }
}

void PrintResonances(const std::vector<TResonance>& resonances, std::ostream& out) {
  out << "Resonances:";
  if (resonances.empty()) out << "  none";
  if (!resonances.empty()) {
    out << " (from the " << (resonances[0].Source == TResonanceSource::Model ? "model" : "points")
        << ")";
  }
  out << "\n";
  for (const TResonance& r : resonances) {
    out << "  " << std::left << std::setw(6) << ResonanceName(r.Kind) << std::right << std::setw(11)
        << FormatSi(r.Hertz, "Hz") << std::setw(12) << FormatSi(r.Ohms, "Ω") << "   Q "
        << std::left << std::setw(6) << Ratio(r.Q) << "  " << (r.Kind == TResonanceKind::Peak ? "peak " : "dip ")
        << FormatSi(r.ExtremumOhms, "Ω") << " at " << FormatSi(r.ExtremumHertz, "Hz") << "\n";
  }
}

void PrintTable(const TAnalysisReport& report, std::ostream& out) {
  const TCircuitFit& fit = *report.FitOrNull();
  if (report.Automatic && !report.FitsWell) out << "No preset fits well. The closest:\n";
  PrintParameters(fit, out);
  for (const TDerivedValue& d : report.Derived) {
    out << "  " << std::left << std::setw(11) << d.Name
        << (*d.Unit ? FormatSi(d.Value, d.Unit) : NumberText(d.Value, std::chars_format::general, 3))
        << "\n";
  }
  out << "Error:       " << Percent(fit.Error) << " (relative RMS; the noise and the rounding explain "
      << Percent(report.ExpectedError) << ")\n";
  PrintResonances(report.Resonances, out);
  if (!report.Warnings.empty()) out << "Warnings:\n";
  for (const TAnalysisWarning& w : report.Warnings)
    out << "  " << WarningCodeName(w.Code) << ": " << WarningText(w) << "\n";
  if (report.Tried.empty()) return;
  out << "Fits tried:\n";
  for (const auto& [name, result] : report.Tried) {
    const auto* f = std::get_if<TCircuitFit>(&result);
    out << "  " << std::left << std::setw(14) << name
        << (f ? Percent(f->Error) : RefusalText(std::get<TFitRefusal>(result)))
        << (name == fit.Circuit.Name() ? "  chosen" : "") << "\n";
  }
}

// --model and --start as a request; nothing, and the reason, for a bad one.
std::optional<TAnalysisRequest> RequestOf(const TCliArgs& parsed, std::string& reason) {
  TAnalysisRequest request;
  const std::string model = parsed.Has("--model") ? parsed.Value("--model") : "auto";
  if (model != "auto") {
    TModelParse named = ModelNamed(model);
    if (const auto* fault = std::get_if<TCircuitSyntaxError>(&named)) {
      reason = "--model " + model + ": " + fault->Text();
      return std::nullopt;
    }
    request.Model = std::get<TCircuitModel>(std::move(named));
  }
  if (!parsed.Has("--start")) return request;
  if (!request.Model) {
    reason = "--start needs --model";
    return std::nullopt;
  }
  const auto start = ParseValues(parsed.Value("--start"), *request.Model, reason);
  if (!start) {
    reason = "--start: " + reason;
    return std::nullopt;
  }
  request.Start = *start;
  return request;
}

// One file: 0 analysed, 1 not.
int AnalyzeFile(const std::string& path, const TAnalysisRequest& request,
                const TLeadCompensation& leads, bool json, bool titled, std::ostream& out,
                std::ostream& err) {
  const auto m = LoadMeasurement(path, err, leads);
  if (!m) return EXIT_FAILED;
  const TAnalysisReport report = Analyze(SamplesOf(m->calc, m->raw.Band), request);
  if (json) PrintAnalysisJson(report, path, out);
  if (!report.FitOrNull()) {
    err << "doz-cli analyze: " << path << ": " << RefusalText(std::get<TFitRefusal>(report.Fit))
        << "\n";
    return EXIT_FAILED;
  }
  if (json) return EXIT_OK;
  if (titled) out << "File:        " << path << "\n";
  PrintTable(report, out);
  return EXIT_OK;
}

}  // namespace

int RunAnalyze(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCliArgs parsed;
  std::vector<TCliOption> known = {
      {"--model", true}, {"--start", true}, {"--json", false}, {"--no-average", false}};
  known.insert(known.end(), CompensationOptions().begin(), CompensationOptions().end());
  static const std::string help = Help();
  if (auto done = ParseVerbArgs(parsed, args, known, {1, SIZE_MAX}, "analyze", help.c_str(), out,
                                err))
    return *done;
  std::string reason;
  const auto request = RequestOf(parsed, reason);
  if (!request) {
    err << "doz-cli analyze: " << reason << " (try 'doz-cli analyze --help')\n";
    return EXIT_USAGE;
  }
  const auto leads = CompensationOf(parsed, err);
  if (!leads) return EXIT_FAILED;
  const auto& files = parsed.Positional();
  int code = EXIT_OK;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i > 0 && !parsed.Has("--json")) out << "\n";
    if (AnalyzeFile(files[i], *request, *leads, parsed.Has("--json"), files.size() > 1, out, err) !=
        EXIT_OK)
      code = EXIT_FAILED;
  }
  return code;
}

}  // namespace doz::cli
