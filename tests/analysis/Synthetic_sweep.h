// A known circuit measured on the unit's grid with seeded noise, as the
// analysis tests and the benchmark feed it.
#pragma once

#include <cstdint>
#include <string>

#include "Circuit.h"
#include "Doz_setting.h"

namespace doz::test {

// A circuit of each preset, simplest first, each with its resonances (if
// any) inside band 1 at a quality the grid resolves: a winding (the README's
// coil), a damped piezo disc whose phase never reaches zero, tuned circuits,
// a pickup loaded by its cable and controls, a transformer's primary, and
// loudspeakers at ten times their true scale (the true scale rounds to whole
// ohms; see WholeOhms).
inline constexpr const char* kKnownCircuits[] = {
    "rl:R=1000,L=100m",
    "rc:R=2000,C=100n",
    "transformer:R=400,L=10,Rp=100k",
    "rlc:R=500,L=500m,C=100n",
    "rlc-parallel:R=20k,L=200m,C=20n",
    "coil:R=6800,L=2.5,C=400p",
    "pickup:R=6k,L=2.5,C=500p,Rp=200k",
    "bvd:R1=1000,L1=50m,C1=1n,C0=5n",
    "speaker:Re=62,Le=5m,Res=620,Lces=706m,Cmes=29.3u",
    "speaker-lossy:Re=62,Le=2m,L2=10m,R2=100,Res=620,Lces=706m,Cmes=29.3u",
};

// "coil:R=6800,L=2.5,C=400p" or a circuit string with its values; the
// program stops on a text that does not parse (a fault of the test itself).
analysis::TCircuit Circuit(const std::string& text);

struct TNoise {
  double Relative = 0.003;  // of |Z|, one sigma
  double Degrees = 0.2;     // of phase, one sigma
  std::uint64_t Seed = 1;
};

// The band's slots filled, every other slot without value.
TCalcData SyntheticSweep(const analysis::TCircuit& circuit, int band = 1, const TNoise& noise = {});
// The values as the unit reports them: whole ohms, hundredths of a degree.
TCalcData WholeOhms(TCalcData data);
// The same as the unit's point records, written as a measurement file;
// false when it cannot be.
bool WriteSyntheticFile(const std::string& path, const analysis::TCircuit& circuit, int band = 1,
                        const TNoise& noise = {});

}  // namespace doz::test
