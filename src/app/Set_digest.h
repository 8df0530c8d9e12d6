// A digest of the values an analysis of a band reads: the analysis window
// keys its results on it and so never shows them for other values.
#pragma once

#include <cstdint>

#include "Doz_setting.h"

namespace doz {

// FNV-1a over the band number, the valid flag and the band's resistances,
// phases and frequencies, bit for bit. Equal values give equal digests.
std::uint64_t SetDigest(const TCalcData& set, int band);

}  // namespace doz
