// An equivalent circuit written as a string: R, L and C elements, each named
// as written (R1, Lces, C0), "-" joining in series and p(a,b,...) joining in
// parallel, nested at will: "R1-L1-p(R2,L2,C2)", "p(R1-L1,C1,R2)". One parser
// and one evaluator serve every circuit; the presets are named strings of it.
#pragma once

#include <complex>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace doz::analysis {

enum class TElementKind : std::uint8_t { R, L, C };

// Enough for any circuit a person writes, and a bound on the evaluator's
// scratch space.
inline constexpr std::size_t kMaxCircuitElements = 24;

enum class TSyntaxFault {
  MissingElement,    // the string (or a branch) ends where an element belongs
  Unexpected,        // Token stands where an element or p( belongs
  UnknownElement,    // Token is no R, L or C element
  UnknownModel,      // Token is neither a preset nor a circuit
  Duplicate,         // Token names a second element
  TooManyElements,   // more than kMaxCircuitElements
  MissingOpen,       // p without (
  ExpectedSeparator, // Token stands where , or ) belongs
  MissingClose,      // the string ends inside p(
  OneBranch,         // p( ) with a single branch
  Trailing,          // Token follows a complete circuit
};

// Where a circuit string goes wrong: a position counted from 1, the fault
// and the text at fault.
struct TCircuitSyntaxError {
  std::size_t Position = 1;
  TSyntaxFault Fault = TSyntaxFault::MissingElement;
  std::string Token;

  std::string Text() const;  // "position 4: ..."
};

class TCircuitModel;
using TModelParse = std::variant<TCircuitModel, TCircuitSyntaxError>;

class TCircuitModel {
 public:
  static TModelParse Parse(std::string_view text);

  // The string without blanks, as it parses.
  const std::string& Text() const { return text_; }
  // Parameters in the order the string names them.
  std::size_t Size() const { return names_.size(); }
  const std::vector<std::string>& Names() const { return names_; }
  TElementKind KindOf(std::size_t parameter) const { return kinds_[parameter]; }
  // The parameter of that name, or Size().
  std::size_t IndexOf(std::string_view name) const;
  // Per series or parallel joint, the parameters of the elements it joins
  // directly (R3, L3, C3 of p(R3,L3,C3)): parts that act together.
  std::vector<std::vector<std::size_t>> Groups() const;

  // Impedance at the angular frequency, the values in SI units in Names()
  // order. Not finite where the circuit is (a lossless resonance).
  std::complex<double> Impedance(std::span<const double> values, double omega) const;
  // The same at every angular frequency (z as long as omegas) and, when
  // slopes is not empty, its derivative by the logarithm of every value
  // (the fitter's parameters): slopes[i * omegas.size() + j] = dZ_j / d ln
  // values[i]. One node at a time over all frequencies, which costs a
  // fraction of one frequency at a time.
  void Impedances(std::span<const double> values, std::span<const double> omegas,
                  std::span<std::complex<double>> z,
                  std::span<std::complex<double>> slopes = {}) const;

 private:
  // The circuit in postfix order, the whole circuit last: every node after
  // its branches, so that one pass forward gives the impedances and one
  // pass backward how the total depends on each node.
  enum class TOp : std::uint8_t { Element, Series, Parallel };
  struct TNode {
    TOp op;
    std::uint16_t parameter;  // Element: index into the values
    std::uint16_t parent;     // the node it is a branch of; the last node its own
  };

  friend class TCircuitParser;
  std::string text_;
  std::vector<std::string> names_;
  std::vector<TElementKind> kinds_;
  std::vector<TNode> nodes_;
};

// "Ω", "H" or "F" after the element the name starts with.
const char* ParameterUnit(std::string_view name);

}  // namespace doz::analysis
