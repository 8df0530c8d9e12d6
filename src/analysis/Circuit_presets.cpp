#include "Circuit_presets.h"

#include <algorithm>
#include <cctype>

#include "Fit_start.h"
#include "Speaker_parameters.h"

namespace doz::analysis {
namespace {

constexpr TPreset kPresets[] = {
    {"rl", "R-L", "R + L", "R and L in series", RlStarts},
    {"rc", "R-C", "R + C", "R and C in series", RcStarts},
    {"transformer", "R-p(L,Rp)", "R + (L ∥ Rp)", "a transformer's primary with its core loss",
     TransformerStarts},
    {"rlc", "R-L-C", "R + L + C", "R, L and C in series", RlcStarts},
    {"rlc-parallel", "p(R,L,C)", "R ∥ L ∥ C", "R, L and C in parallel", RlcParallelStarts},
    {"coil", "p(R-L,C)", "(R + L) ∥ C", "a winding with its self-capacitance", CoilStarts},
    {"pickup", "p(R-L,C,Rp)", "(R + L) ∥ C ∥ Rp", "a pickup loaded by its cable and controls",
     PickupStarts},
    {"bvd", "p(R1-L1-C1,C0)", "(R1 + L1 + C1) ∥ C0", "a piezo or quartz resonator", BvdStarts},
    {"speaker", "Re-Le-p(Res,Lces,Cmes)", "Re + Le + (Res ∥ Lces ∥ Cmes)",
     "a loudspeaker in free air", SpeakerStarts, SpeakerFigures},
    {"speaker-lossy", "Re-Le-p(L2,R2)-p(Res,Lces,Cmes)", "Re + Le + (L2 ∥ R2) + (Res ∥ Lces ∥ Cmes)",
     "a loudspeaker with a lossy voice coil", LossySpeakerStarts, SpeakerFigures},
};

bool LooksLikeAName(std::string_view text) {
  const std::size_t word = std::size_t(
      std::find_if(text.begin(), text.end(), [](char c) { return !std::islower(static_cast<unsigned char>(c)) && c != '-'; }) -
      text.begin());
  return word > 0 && !(word == 1 && text[0] == 'p');
}

}  // namespace

std::span<const TPreset> Presets() { return kPresets; }

const TPreset* PresetNamed(std::string_view name) {
  for (const TPreset& p : kPresets) {
    if (name == p.Name) return &p;
  }
  return nullptr;
}

const TPreset* PresetOf(const TCircuitModel& model) {
  for (const TPreset& p : kPresets) {
    if (model.Text() == p.Circuit) return &p;
  }
  return nullptr;
}

TModelParse ModelNamed(std::string_view text) {
  if (const TPreset* preset = PresetNamed(text)) return TCircuitModel::Parse(preset->Circuit);
  if (LooksLikeAName(text)) return TCircuitSyntaxError{1, TSyntaxFault::UnknownModel, std::string(text)};
  return TCircuitModel::Parse(text);
}

}  // namespace doz::analysis
