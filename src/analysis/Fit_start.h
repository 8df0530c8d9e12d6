// Where the presets' fits start: values their physics reads off the
// resonances and the ends of the band, a few alternatives each. Every start
// lists the circuit's parameters in the order its string names them.
#pragma once

#include <vector>

#include "Fit_features.h"

namespace doz::analysis {

using TStarts = std::vector<std::vector<double>>;

TStarts RlStarts(const TFitFeatures& f);           // R-L
TStarts RcStarts(const TFitFeatures& f);           // R-C
TStarts RlcStarts(const TFitFeatures& f);          // R-L-C
TStarts RlcParallelStarts(const TFitFeatures& f);  // p(R,L,C)
TStarts CoilStarts(const TFitFeatures& f);         // p(R-L,C)
TStarts BvdStarts(const TFitFeatures& f);          // p(R1-L1-C1,C0)
TStarts SpeakerStarts(const TFitFeatures& f);      // Re-Le-p(Res,Lces,Cmes)
TStarts LossySpeakerStarts(const TFitFeatures& f); // Re-Le-p(L2,R2)-p(Res,Lces,Cmes)
TStarts PickupStarts(const TFitFeatures& f);       // p(R-L,C,Rp)
TStarts TransformerStarts(const TFitFeatures& f);  // R-p(L,Rp)

}  // namespace doz::analysis
