// What an inspection station judges a part by: a curve against a golden
// measurement within |Z| and phase tolerances, limits on fitted values and
// derived figures of a model, and limits on resonance frequencies. Kept in a
// small UTF-8 text file (.dozcheck, see Criteria_parser.h).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Circuit_model.h"
#include "Doz_setting.h"
#include "Resonance_finder.h"
#include "Set_comparator.h"
#include "Text_reader.h"

namespace doz::station {

// MIN..MAX with either end left open ("..2.6", "2.4.."), never both.
struct TBounds {
  std::optional<double> Lower;
  std::optional<double> Upper;

  bool Holds(double value) const;
  // How far the value lies beyond the bound it breaks: positive above the
  // upper, negative below the lower, 0 within.
  double Excess(double value) const;
};

// limit: NAME=MIN..MAX on a fitted value of the model or a figure derived
// from it (fs, Qms, Qes, Qts of the loudspeaker presets).
struct TValueLimit {
  std::string Name;
  TBounds Bounds;
  const char* Unit = "";  // "H", "Hz", "" for a ratio
  int Line = 0;
};

// resonance: peak|dip MIN..MAX on the frequency of a resonance of that kind.
struct TResonanceLimit {
  analysis::TResonanceKind Kind = analysis::TResonanceKind::Peak;
  TBounds Hertz;
  std::string ValueName;  // the name its frequency is recorded by: "f_peak", "f_dip_2"
  int Line = 0;
};

// golden: a known-good measurement, compared point by point.
struct TGolden {
  std::string Path;  // as found, relative to the criteria file resolved
  int Band = 1;
  std::shared_ptr<const TCalcData> Values;  // decoded, unsmoothed
};

struct TCriteria {
  std::string Name;
  std::string File;  // the criteria file itself
  std::optional<TGolden> Golden;
  analysis::TTolerance Tolerance;  // 5 % and 5° unless set
  std::optional<TBounds> Range;    // hertz: the golden comparison within it
  std::optional<analysis::TCircuitModel> Model;
  std::vector<TValueLimit> Limits;
  std::vector<TResonanceLimit> Resonances;
  int Band = 1;  // the sweep's: band:, else the golden's, else 1
};

// Why a criteria file cannot be used; Line 0 when the fault is not one line's.
enum class TCriteriaFault {
  CannotRead,  // Failure: why
  TooLarge,
  NotUtf8,
  NotKeyValue,       // neither a comment nor "key: value"
  UnknownKey,        // Subject: the key
  Repeated,          // Subject: a key that is given once; Other: its first line
  EmptyValue,        // Subject: the key
  BadNumber,         // Subject: the text
  BadBounds,         // Subject: the text (not MIN..MAX)
  MinAboveMax,       // Subject: the text
  BadBand,           // Subject: the text
  UnknownModel,      // Syntax: where the circuit string goes wrong
  NeedsModel,        // a limit without model:
  UnknownValue,      // Subject: a name the model neither fits nor derives
  RepeatedLimit,     // Subject: the name; Other: its first line
  BadResonanceKind,  // Subject: the word that is not peak or dip
  GoldenUnreadable,  // Subject: the path; Failure: why
  GoldenInvalid,     // Subject: the path (read, but no measurement)
  NeedsGolden,       // Subject: tolerance, phase-tolerance or range given without golden:
  NoCommonPoint,     // the golden holds no point within the band and the range
  NoName,
  NoCriterion,  // no golden, limit or resonance
};

struct TCriteriaError {
  TCriteriaFault Fault = TCriteriaFault::CannotRead;
  int Line = 0;
  std::string Subject;
  int Other = 0;
  platform::TFileFailure Failure;
  std::optional<analysis::TCircuitSyntaxError> Syntax;
};

// "line 7: unknown model 'coill' ..." (English; the window words it itself).
std::string CriteriaErrorText(const TCriteriaError& error);

}  // namespace doz::station
