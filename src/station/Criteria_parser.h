// The criteria file (.dozcheck): UTF-8 text, one definition a line. A "#" at
// the start of a line or after a blank starts a comment that runs to the
// line's end; blank lines are skipped; every other line is "key: value":
//
//   name: coil-A                 required, once
//   golden: golden.DTA           a known-good measurement; a relative path
//                                starts at the criteria file's folder
//   tolerance: 5                 % of the golden's |Z| (default 5)
//   phase-tolerance: 3           degrees (default 5)
//   range: 100..20k              Hz: the golden comparison within it
//   model: coil                  a preset's name or a circuit string
//   limit: L=2.4..2.6            a fitted value of the model, or a figure
//                                derived from it (fs, Qms, Qes, Qts)
//   resonance: peak 4.5k..5.5k   a peak or dip whose frequency lies within
//   band: 3                      the band swept (default: the golden's, else 1)
//
// Numbers take SI prefixes (f p n u m k M G); MIN..MAX may leave one end
// open. limit and resonance may be given more than once, the other keys
// once. Every key but name is optional, but one of golden, limit and
// resonance must be given.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "Criteria.h"

namespace doz::station {

using TCriteriaParse = std::variant<TCriteria, TCriteriaError>;

// The largest criteria file read: far beyond any set of definitions.
inline constexpr std::size_t kMaxCriteriaBytes = 65536;

// text: the file's content; folder: where relative golden paths start.
TCriteriaParse ParseCriteria(std::string_view text, const std::string& folder);
// Reads and parses the file, and loads its golden measurement.
TCriteriaParse LoadCriteria(const std::string& path);

// "2.4..2.6", "..2.6", "350p..450p"; BadBounds for anything else, and
// MinAboveMax for a reversed pair.
std::variant<TBounds, TCriteriaFault> ParseBounds(std::string_view text);

}  // namespace doz::station
