#include "Judgement.h"

#include <cmath>
#include <limits>

#include "Analysis_report.h"
#include "Impedance_sample.h"

namespace doz::station {
namespace {

using namespace analysis;
using results::TFittedValue;

constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// The slots of the band (of the measurement) and of the range (of both)
// alone: a window's set keeps values of earlier sweeps in other slots.
TCalcData Restricted(const TCalcData& set, int band, const std::optional<TBounds>& range) {
  TCalcData kept = set;
  for (int slot = 0; slot < DATA_MAX; ++slot) {
    const bool inBand = band == 0 || (slot >= BandFirstIndex(band) && slot <= BandLastIndex(band));
    if (!inBand || (range && !range->Holds(set.Freq[slot]))) kept.R[slot] = -1.0;
  }
  return kept;
}

TFinding Deviation(TFindingKind kind, const TComparison& c, double tolerance, const char* unit) {
  const TDeviation& worst = kind == TFindingKind::Magnitude ? c.WorstMagnitude : c.WorstPhase;
  TFinding f;
  f.Kind = kind;
  f.Pass = c.OutsideSlots.empty();
  f.Name = kind == TFindingKind::Magnitude ? "Z_dev" : "phase_dev";
  f.Value = worst.Value;
  f.Bounds = {-tolerance, tolerance};
  f.Unit = unit;
  f.Hertz = worst.Hertz;
  f.Outside = int(c.OutsideSlots.size());
  f.Compared = c.Compared;
  return f;
}

void JudgeGolden(const TCriteria& criteria, const TCalcData& measured, int band, TJudgement& j) {
  const TCalcData ours = Restricted(measured, band, criteria.Range);
  const TCalcData golden = Restricted(*criteria.Golden->Values, 0, criteria.Range);
  // Each tolerance alone, so that each check counts its own points.
  const TTolerance& t = criteria.Tolerance;
  const TCompareResult magnitude = CompareSets(ours, golden, {t.Percent, kUnbounded});
  const TCompareResult phase = CompareSets(ours, golden, {kUnbounded, t.Degrees});
  const auto* m = std::get_if<TComparison>(&magnitude);
  const auto* p = std::get_if<TComparison>(&phase);
  if (!m || !p) {
    TFinding none;
    none.Kind = TFindingKind::NoCommonPoint;
    j.Findings.push_back(none);
    return;
  }
  for (const TFinding& f : {Deviation(TFindingKind::Magnitude, *m, t.Percent, "%"),
                            Deviation(TFindingKind::Phase, *p, t.Degrees, "°")}) {
    j.Findings.push_back(f);
    j.Values.push_back({f.Name, f.Value, f.Bounds.Lower, f.Bounds.Upper});
  }
}

const TValueLimit* LimitOn(const TCriteria& criteria, const std::string& name) {
  for (const TValueLimit& limit : criteria.Limits)
    if (limit.Name == name) return &limit;
  return nullptr;
}

void Record(const TCriteria& criteria, const std::string& name, double value, TJudgement& j) {
  const TValueLimit* limit = LimitOn(criteria, name);
  j.Values.push_back({name, value, limit ? limit->Bounds.Lower : std::nullopt,
                      limit ? limit->Bounds.Upper : std::nullopt});
}

// A fit that does not explain the points has no values worth judging or
// recording; the limits fail on it.
bool FitFindings(const TCriteria& criteria, const TAnalysisReport& report, TJudgement& j) {
  const TCircuitFit* fit = report.FitOrNull();
  const int line = criteria.Limits.empty() ? 0 : criteria.Limits.front().Line;
  TFinding f;
  f.Name = criteria.Model->Text();
  f.Line = line;
  if (!fit) {
    f.Kind = TFindingKind::NoFit;
    f.Refusal = std::get<TFitRefusal>(report.Fit);
  } else if (!report.FitsWell) {
    f.Kind = TFindingKind::PoorFit;
    f.Value = fit->Error;
    f.Expected = report.ExpectedError;
  } else {
    return true;
  }
  if (!criteria.Limits.empty()) j.Findings.push_back(f);
  return false;
}

void JudgeModel(const TCriteria& criteria, const TAnalysisReport& report, TJudgement& j) {
  if (!FitFindings(criteria, report, j)) return;
  const TCircuitFit& fit = *report.FitOrNull();
  const TCircuitModel& model = fit.Circuit.Model();
  for (std::size_t i = 0; i < model.Size(); ++i)
    Record(criteria, model.Names()[i], fit.Circuit.Values()[i], j);
  for (const TDerivedValue& figure : report.Derived) Record(criteria, figure.Name, figure.Value, j);
  for (const TValueLimit& limit : criteria.Limits) {
    const std::size_t index = model.IndexOf(limit.Name);
    TFinding f;
    f.Name = limit.Name;
    f.Bounds = limit.Bounds;
    f.Unit = limit.Unit;
    f.Line = limit.Line;
    for (const TFittedValue& v : j.Values)
      if (v.Name == limit.Name) f.Value = v.Value;
    const bool undetermined = index < model.Size() && fit.Undetermined(index);
    f.Kind = undetermined ? TFindingKind::Undetermined : TFindingKind::Value;
    f.Pass = !undetermined && limit.Bounds.Holds(f.Value);
    j.Findings.push_back(f);
  }
}

void JudgeResonances(const TCriteria& criteria, const std::vector<TResonance>& found,
                     TJudgement& j) {
  for (const TResonanceLimit& limit : criteria.Resonances) {
    TFinding f;
    f.Kind = TFindingKind::NoResonance;
    f.Name = limit.ValueName;
    f.Bounds = limit.Hertz;
    f.Unit = "Hz";
    f.ResonanceKind = limit.Kind;
    f.Line = limit.Line;
    // The one within, else the nearest to the bounds.
    for (const TResonance& r : found) {
      if (r.Kind != limit.Kind) continue;
      const bool better =
          f.Kind == TFindingKind::NoResonance ||
          std::fabs(limit.Hertz.Excess(r.Hertz)) < std::fabs(limit.Hertz.Excess(f.Value));
      if (!better) continue;
      f.Kind = TFindingKind::Resonance;
      f.Value = r.Hertz;
      f.Pass = limit.Hertz.Holds(r.Hertz);
    }
    j.Findings.push_back(f);
    if (f.Kind == TFindingKind::Resonance)
      j.Values.push_back({f.Name, f.Value, limit.Hertz.Lower, limit.Hertz.Upper});
  }
}

}  // namespace

TJudgement Judge(const TCriteria& criteria, const TCalcData& measured, int band,
                 std::stop_token stop) {
  TJudgement j;
  if (criteria.Golden) JudgeGolden(criteria, measured, band, j);
  const std::vector<TImpedanceSample> samples = SamplesOf(measured, band);
  std::vector<TResonance> resonances;
  if (criteria.Model) {
    TAnalysisRequest request;
    request.Model = criteria.Model;
    request.Stop = stop;
    const TAnalysisReport report = Analyze(samples, request);
    const auto* refusal = std::get_if<TFitRefusal>(&report.Fit);
    j.Stopped = stop.stop_requested() || (refusal && *refusal == TFitRefusal::Stopped);
    if (j.Stopped) return j;
    JudgeModel(criteria, report, j);
    resonances = report.Resonances;
  } else if (!criteria.Resonances.empty()) {
    // Without a model, from the points alone: no fit of every preset.
    resonances = FindResonances(samples);
  }
  JudgeResonances(criteria, resonances, j);
  for (const TFinding& f : j.Findings)
    if (!f.Pass) j.Verdict = results::TVerdict::Fail;
  return j;
}

const char* ValueUnit(std::string_view name) {
  if (name == "Z_dev") return "%";
  if (name == "phase_dev") return "°";
  if (name == "fs" || name.substr(0, 2) == "f_") return "Hz";
  if (name.empty() || name[0] == 'Q') return "";
  return ParameterUnit(name);
}

std::optional<TCriteria> Compensated(const TCriteria& criteria, const TLeadCompensation& leads) {
  if (!criteria.Golden || leads.Empty()) return criteria;
  const TGolden& golden = *criteria.Golden;
  if (leads.Covers(*golden.Values, golden.Band) != TCompensationFault::None) return std::nullopt;
  auto values = std::make_shared<TCalcData>(*golden.Values);
  TCalcData smoothed;
  ClearCalcData(smoothed);
  leads.Apply(*values, smoothed, golden.Band);
  TCriteria corrected = criteria;
  corrected.Golden->Values = std::move(values);
  return corrected;
}

std::vector<std::string> ReasonTexts(const TJudgement& judgement) {
  std::vector<std::string> reasons;
  for (const TFinding& f : judgement.Findings)
    if (!f.Pass) reasons.push_back(FindingText(f));
  return reasons;
}

}  // namespace doz::station
