// A fitted circuit as a data set on a measurement's frequencies, so that it
// can be drawn and compared like a measured one.
#pragma once

#include "Circuit.h"
#include "Doz_setting.h"

namespace doz::analysis {

// The circuit's |Z| and phase at the frequency of each of the band's slots
// where `measured` holds a value; every other slot is empty (resistance -1,
// frequency 0), and so is a slot where the circuit's impedance is not finite.
TCalcData ModelCurve(const TCircuit& circuit, const TCalcData& measured, int band);

}  // namespace doz::analysis
