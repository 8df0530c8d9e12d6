#include "Criteria.h"

#include <cmath>
#include <cstring>

namespace doz::station {
namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string FailureText(const platform::TFileFailure& failure) {
  switch (failure.problem) {
    case platform::TFileProblem::Missing:
      return "no such file";
    case platform::TFileProblem::Folder:
      return "a folder, not a file";
    case platform::TFileProblem::NoPermission:
      return "no permission to read it";
    case platform::TFileProblem::NotRegularFile:
      return "not a regular file";
    case platform::TFileProblem::ReadError:
    case platform::TFileProblem::None:
      break;
  }
  return std::string("read error: ") + std::strerror(failure.systemError);
}

std::string FaultText(const TCriteriaError& e) {
  switch (e.Fault) {
    case TCriteriaFault::CannotRead:
      return "cannot be read: " + FailureText(e.Failure);
    case TCriteriaFault::TooLarge:
      return "too large for a criteria file";
    case TCriteriaFault::NotUtf8:
      return "not UTF-8 text";
    case TCriteriaFault::NotKeyValue:
      return "neither a comment (#) nor 'key: value'";
    case TCriteriaFault::UnknownKey:
      return "unknown key " + Quoted(e.Subject) +
             " (keys: name, golden, tolerance, phase-tolerance, range, model, limit, resonance, "
             "band)";
    case TCriteriaFault::Repeated:
      return Quoted(e.Subject) + " given again (first on line " + std::to_string(e.Other) + ")";
    case TCriteriaFault::EmptyValue:
      return Quoted(e.Subject) + " without a value";
    case TCriteriaFault::BadNumber:
      return Quoted(e.Subject) + " is not a number of at least 0 (SI prefixes allowed)";
    case TCriteriaFault::BadBounds:
      return Quoted(e.Subject) + " is not MIN..MAX (either end may be left open)";
    case TCriteriaFault::MinAboveMax:
      return Quoted(e.Subject) + ": MIN is above MAX";
    case TCriteriaFault::BadBand:
      return "band " + Quoted(e.Subject) + " is not a band from 1 to 10";
    case TCriteriaFault::UnknownModel:
      return "model: " + (e.Syntax ? e.Syntax->Text() : Quoted(e.Subject));
    case TCriteriaFault::NeedsModel:
      return "a limit needs a 'model:' line";
    case TCriteriaFault::UnknownValue:
      return Quoted(e.Subject) + " is neither a value of the model nor a figure derived from it";
    case TCriteriaFault::RepeatedLimit:
      return "a second limit on " + Quoted(e.Subject) + " (first on line " +
             std::to_string(e.Other) + ")";
    case TCriteriaFault::BadResonanceKind:
      return Quoted(e.Subject) + " is not peak or dip";
    case TCriteriaFault::GoldenUnreadable:
      return "golden file " + e.Subject + " cannot be read: " + FailureText(e.Failure);
    case TCriteriaFault::GoldenInvalid:
      return "golden file " + e.Subject + " holds no valid measurement";
    case TCriteriaFault::NeedsGolden:
      return Quoted(e.Subject) + " applies to a golden comparison, and no golden: line is given";
    case TCriteriaFault::NoCommonPoint:
      return "the golden holds no point within the band and the range";
    case TCriteriaFault::NoName:
      return "no name: line";
    case TCriteriaFault::NoCriterion:
      return "no criterion: give a golden:, limit: or resonance: line";
  }
  return "unusable";
}

}  // namespace

bool TBounds::Holds(double value) const { return std::isfinite(value) && Excess(value) == 0.0; }

double TBounds::Excess(double value) const {
  if (Upper && value > *Upper) return value - *Upper;
  if (Lower && value < *Lower) return value - *Lower;
  return 0.0;
}

std::string CriteriaErrorText(const TCriteriaError& error) {
  const std::string where = error.Line > 0 ? "line " + std::to_string(error.Line) + ": " : "";
  return where + FaultText(error);
}

}  // namespace doz::station
