// Resonances of a fitted circuit: found on its own curve, so neither the
// grid of the measured points nor their noise limits them.
#pragma once

#include <vector>

#include "Circuit.h"
#include "Resonance_finder.h"

namespace doz::analysis {

// Between the first and the last measured frequency (hertz, ascending, at
// least two), lowest first. The same rules as for the measured points: the
// phase passes zero beyond ±2° on both sides, and an extremum of |Z| lies
// within a factor of two of it. Narrow marks a resonance narrower than three
// steps of the measured grid there.
std::vector<TResonance> ModelResonances(const TCircuit& circuit,
                                        const std::vector<double>& measuredHertz);

}  // namespace doz::analysis
