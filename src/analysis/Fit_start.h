// Where a circuit's fit starts: values read off the resonances and the low-
// and high-frequency ends of the data, a few alternatives per circuit.
#pragma once

#include <vector>

#include "Circuit_model.h"
#include "Impedance_sample.h"
#include "Resonance_finder.h"

namespace doz::analysis {

// samples: ordered by frequency, at least one, every |Z| positive. Each
// start holds one positive, finite value per parameter.
std::vector<std::vector<double>> StartValues(TCircuitKind kind,
                                             const std::vector<TImpedanceSample>& samples,
                                             const std::vector<TResonance>& resonances);

}  // namespace doz::analysis
