#include "Circuit.h"

#include "Circuit_presets.h"
#include "Fit_features.h"
#include "Si_number.h"

namespace doz::analysis {

TCircuit::TCircuit(TCircuitModel model, std::vector<double> values)
    : model_(std::move(model)), values_(std::move(values)) {
  values_.resize(model_.Size(), 0.0);
}

std::string TCircuit::Name() const {
  const TPreset* preset = PresetOf(model_);
  return preset ? preset->Name : model_.Text();
}

std::optional<double> TCircuit::Value(std::string_view name) const {
  const std::size_t i = model_.IndexOf(name);
  if (i >= values_.size()) return std::nullopt;
  return values_[i];
}

std::complex<double> TCircuit::Impedance(double hertz) const {
  return model_.Impedance(values_, Omega(hertz));
}

std::optional<std::vector<std::optional<double>>> ParseValues(std::string_view list,
                                                             const TCircuitModel& model,
                                                             std::string& error) {
  std::vector<std::optional<double>> values(model.Size());
  for (bool more = !list.empty(); more;) {
    const std::size_t comma = list.find(',');
    const std::string_view item = list.substr(0, comma);
    more = comma != std::string_view::npos;
    list = more ? list.substr(comma + 1) : std::string_view();
    const std::size_t eq = item.find('=');
    const std::size_t index = model.IndexOf(item.substr(0, eq));
    const double value =
        eq == std::string_view::npos ? 0.0 : ParseSi(item.substr(eq + 1)).value_or(0.0);
    if (index >= model.Size() || !(value > 0.0) || values[index]) {
      error = "'" + std::string(item) + "' is not a parameter of " + model.Text() +
              " with a positive value (once each)";
      return std::nullopt;
    }
    values[index] = value;
  }
  return values;
}

std::optional<TCircuit> TCircuit::Parse(std::string_view text, std::string& error) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    error = "a circuit is MODEL:NAME=VALUE,... with MODEL a preset's name or a circuit string";
    return std::nullopt;
  }
  TModelParse parsed = ModelNamed(text.substr(0, colon));
  if (const auto* fault = std::get_if<TCircuitSyntaxError>(&parsed)) {
    error = fault->Text();
    return std::nullopt;
  }
  const TCircuitModel& model = std::get<TCircuitModel>(parsed);
  const auto given = ParseValues(text.substr(colon + 1), model, error);
  if (!given) return std::nullopt;
  std::vector<double> values;
  for (std::size_t i = 0; i < model.Size(); ++i) {
    if (!(*given)[i]) {
      error = model.Text() + " needs " + model.Names()[i] + "=VALUE";
      return std::nullopt;
    }
    values.push_back(*(*given)[i]);
  }
  return TCircuit(model, std::move(values));
}

}  // namespace doz::analysis
