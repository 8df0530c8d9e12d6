// The analysis window's texts: values with SI prefixes, signed degrees and
// percentages, and the names of circuits, resonances and refusals.
#pragma once

#include <QString>
#include <chrono>
#include <optional>

#include "Analysis_report.h"
#include "Circuit_fit.h"
#include "Resonance_finder.h"

namespace doz {

// "6.80 kΩ"; "－" for a value that has no meaning at the point.
QString SiText(std::optional<double> value, const char* unit);
// Three significant digits ("11.5", "0.0123"), or "－".
QString RatioText(std::optional<double> value);
// "+45.00°", "-2.10°"; "0.00°" for one that rounds to zero.
QString DegreesText(double degrees);
// "+6.20 %".
QString PercentText(double percent);
// "coil　(R + L) ∥ C"; a circuit string as it stands.
QString CircuitText(const analysis::TCircuit& circuit);
QString PresetText(const analysis::TPreset& preset);
// "位置 4: ')' がありません".
QString SyntaxErrorText(const analysis::TCircuitSyntaxError& error);
// A warning in the window's own words.
QString JapaneseWarning(const analysis::TAnalysisWarning& warning);
// "6.80 kΩ ± 1.55 Ω" without the value: "± 1.55 Ω", or "－".
QString UncertaintyText(std::optional<double> sigma, const char* unit);
// "山（並列共振）", "谷（直列共振）".
QString ResonanceText(analysis::TResonanceKind kind);
QString FitRefusalText(analysis::TFitRefusal refusal);
// "410 ms", "3.2 ms".
QString ElapsedText(std::chrono::microseconds elapsed);

}  // namespace doz
