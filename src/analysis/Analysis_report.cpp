#include "Analysis_report.h"

#include <algorithm>
#include <cmath>

#include "Model_resonances.h"

namespace doz::analysis {
namespace {

double ExpectedError(const TFitData& data) {
  if (data.Points.empty()) return 0;
  double sum = 0;
  for (const TFitPoint& p : data.Points) {
    sum += 1.0 / (p.MagnitudeWeight * p.MagnitudeWeight) +
           1.0 / (data.PhaseWeight * data.PhaseWeight);
  }
  return std::sqrt(sum / double(data.Points.size()));
}

void FitWarnings(TAnalysisReport& report, const TCircuitFit& fit) {
  const TCircuitModel& model = fit.Circuit.Model();
  if (fit.Poor()) {
    report.Warnings.push_back({TWarningCode::PoorFit, fit.Circuit.Name(), fit.Error,
                               report.ExpectedError, 0, false, report.Automatic});
  }
  bool undetermined = false;
  for (std::size_t i = 0; i < model.Size(); ++i) {
    if (fit.AtBound[i] != 0) {
      const bool high = fit.AtBound[i] > 0;
      report.Warnings.push_back({TWarningCode::AtBound, model.Names()[i], fit.Circuit.Values()[i],
                                 high ? fit.Range[i].second : fit.Range[i].first, 0, high, false});
    } else if (!fit.Uncertainty[i]) {
      undetermined = true;
    } else if (fit.Undetermined(i)) {
      report.Warnings.push_back({TWarningCode::Undetermined, model.Names()[i],
                                 fit.Circuit.Values()[i], *fit.Uncertainty[i], 0, false, false});
    }
  }
  if (undetermined) {
    report.Warnings.push_back({TWarningCode::NoUncertainty, fit.Circuit.Name(), 0, 0, 0, false, false});
  }
}

std::vector<double> Frequencies(const TFitData& data) {
  std::vector<double> hertz;
  for (const TImpedanceSample& s : data.Samples) hertz.push_back(s.Hertz);
  return hertz;
}

}  // namespace

TAnalysisReport Analyze(const std::vector<TImpedanceSample>& samples,
                        const TAnalysisRequest& request) {
  const TFitInput input = FitInputOf(samples);
  TAnalysisReport report;
  report.Points = int(input.Data.Points.size());
  report.Clipped = input.Data.Clipped;
  report.ExpectedError = ExpectedError(input.Data);
  report.Automatic = !request.Model;
  const TFitOptions options{request.MaxEvaluations, request.Start, request.Stop};
  if (request.Model) {
    report.Fit = FitCircuit(input, *request.Model, options);
  } else {
    const TChoiceResult choice = ChooseCircuit(input, options);
    report.Fit = ChosenFit(choice);
    if (const auto* c = std::get_if<TModelChoice>(&choice)) report.Tried = c->Tried;
  }
  if (report.Clipped > 0) {
    report.Warnings.push_back({TWarningCode::ClippedPoints, "", 0, 0, report.Clipped, false, false});
  }
  if (const TCircuitFit* fit = report.FitOrNull()) {
    report.FitsWell = !fit->Poor();
    FitWarnings(report, *fit);
    if (const TPreset* preset = PresetOf(fit->Circuit.Model()); preset && preset->Derive)
      report.Derived = preset->Derive(fit->Circuit);
  }
  report.Resonances = report.FitsWell ? ModelResonances(report.FitOrNull()->Circuit, Frequencies(input.Data))
                                      : FindResonances(input.Data.Samples);
  for (const TResonance& r : report.Resonances) {
    if (r.Narrow && r.Source == TResonanceSource::Data) {
      report.Warnings.push_back({TWarningCode::NarrowResonance, "", r.ExtremumHertz,
                                 r.Q.value_or(0), 0, false, false});
    }
  }
  return report;
}

}  // namespace doz::analysis
