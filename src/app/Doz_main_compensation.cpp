// Lead compensation: the sets the window shows and writes.
#include "Doz_main.h"

namespace doz {

const TCalcData& TFormMain::ShownCalc() const { return MeasCalc; }
const TCalcData& TFormMain::ShownAve() const { return MeasAve; }
const TCalcData& TFormMain::ShownRefCalc(int slot) const { return RefCalc[slot]; }
const TCalcData& TFormMain::ShownRefAve(int slot) const { return RefAve[slot]; }

}  // namespace doz
