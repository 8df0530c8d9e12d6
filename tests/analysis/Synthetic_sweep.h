// A known circuit measured on the unit's grid with seeded noise, as the
// analysis tests and the benchmark feed it.
#pragma once

#include <cstdint>
#include <string>

#include "Circuit_model.h"
#include "Doz_setting.h"

namespace doz::test {

struct TNoise {
  double Relative = 0.003;  // of |Z|, one sigma
  double Degrees = 0.2;     // of phase, one sigma
  std::uint64_t Seed = 1;
};

// The band's slots filled, every other slot without value.
TCalcData SyntheticSweep(const analysis::TCircuit& circuit, int band = 1, const TNoise& noise = {});
// The same as the unit's point records (whole ohms, hundredths of a degree),
// written as a measurement file; false when it cannot be.
bool WriteSyntheticFile(const std::string& path, const analysis::TCircuit& circuit, int band = 1,
                        const TNoise& noise = {});

}  // namespace doz::test
