#include "Circuit_model.h"

#include <algorithm>
#include <cctype>

namespace doz::analysis {

namespace {

using TComplex = std::complex<double>;

constexpr std::size_t kMaxElements = kMaxCircuitElements;

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// 1/z without the library's care for infinities, which costs more than the
// whole circuit: a result that is not finite is caught by the caller.
TComplex Reciprocal(TComplex z) {
  const double scale = 1.0 / (z.real() * z.real() + z.imag() * z.imag());
  return {z.real() * scale, -z.imag() * scale};
}

}  // namespace

std::string TCircuitSyntaxError::Text() const {
  const std::string quoted = "'" + Token + "'";
  std::string reason;
  switch (Fault) {
    case TSyntaxFault::MissingElement:
      reason = "an element R, L or C, or p(, is missing";
      break;
    case TSyntaxFault::Unexpected:
      reason = quoted + " where an element R, L or C, or p(, belongs";
      break;
    case TSyntaxFault::UnknownElement:
      reason = "unknown element " + quoted + " (elements are R, L and C)";
      break;
    case TSyntaxFault::UnknownModel:
      reason = "unknown model " + quoted + " (a preset's name, or a circuit string such as R1-p(R2,C2))";
      break;
    case TSyntaxFault::Duplicate:
      reason = quoted + " appears twice (each name once)";
      break;
    case TSyntaxFault::TooManyElements:
      reason = "more than " + std::to_string(kMaxCircuitElements) + " elements";
      break;
    case TSyntaxFault::MissingOpen:
      reason = "'(' after p";
      break;
    case TSyntaxFault::ExpectedSeparator:
      reason = quoted + " where ',' or ')' belongs";
      break;
    case TSyntaxFault::MissingClose:
      reason = "')' is missing";
      break;
    case TSyntaxFault::OneBranch:
      reason = "p( ) joins at least two branches";
      break;
    case TSyntaxFault::Trailing:
      reason = quoted + " after the circuit";
      break;
  }
  return "position " + std::to_string(Position) + ": " + reason;
}

// Recursive descent over
//   chain := term ('-' term)*
//   term  := element | 'p' '(' chain (',' chain)+ ')'
// with blanks allowed between the tokens.
class TCircuitParser {
 public:
  explicit TCircuitParser(std::string_view text) : text_(text) {}

  TModelParse Parse() {
    if (!Chain()) return error_;
    Blanks();
    if (at_ < text_.size()) {
      Fail(TSyntaxFault::Trailing, std::string(1, text_[at_]));
      return error_;
    }
    for (TCircuitModel::TNode& node : model_.nodes_) {
      if (node.parent == kNoParent) node.parent = std::uint16_t(model_.nodes_.size() - 1);
    }
    return std::move(model_);
  }

 private:
  static constexpr std::uint16_t kNoParent = 0xFFFF;

  void Blanks() {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  }

  bool Fail(TSyntaxFault fault, std::string token = {}) {
    error_ = {at_ + 1, fault, std::move(token)};
    return false;
  }

  // A node whose branches are the last `count` subtrees built, ending at
  // the given node indices.
  void Join(TCircuitModel::TOp op, const std::vector<std::size_t>& branches) {
    const auto index = std::uint16_t(model_.nodes_.size());
    for (std::size_t b : branches) model_.nodes_[b].parent = index;
    model_.nodes_.push_back({op, 0, kNoParent});
  }

  // The chain's root node index, when it parses.
  bool Chain() {
    std::vector<std::size_t> terms;
    for (;;) {
      if (!Term()) return false;
      terms.push_back(model_.nodes_.size() - 1);
      Blanks();
      if (at_ >= text_.size() || text_[at_] != '-') break;
      ++at_;
    }
    if (terms.size() > 1) Join(TCircuitModel::TOp::Series, terms);
    return true;
  }

  bool Term() {
    Blanks();
    if (at_ >= text_.size()) return Fail(TSyntaxFault::MissingElement);
    const char c = text_[at_];
    if (c == 'p') return Parallel();
    if (c == 'R' || c == 'L' || c == 'C') return Element();
    std::size_t end = at_;
    while (end < text_.size() && IsNameChar(text_[end])) ++end;
    if (end == at_) return Fail(TSyntaxFault::Unexpected, std::string(1, c));
    return Fail(TSyntaxFault::UnknownElement, std::string(text_.substr(at_, end - at_)));
  }

  bool Element() {
    const std::size_t start = at_;
    while (at_ < text_.size() && IsNameChar(text_[at_])) ++at_;
    const std::string name(text_.substr(start, at_ - start));
    if (model_.IndexOf(name) < model_.Size()) {
      at_ = start;
      return Fail(TSyntaxFault::Duplicate, name);
    }
    if (model_.Size() == kMaxElements) {
      at_ = start;
      return Fail(TSyntaxFault::TooManyElements);
    }
    model_.nodes_.push_back(
        {TCircuitModel::TOp::Element, std::uint16_t(model_.names_.size()), kNoParent});
    model_.kinds_.push_back(name[0] == 'R'   ? TElementKind::R
                            : name[0] == 'L' ? TElementKind::L
                                             : TElementKind::C);
    model_.names_.push_back(name);
    return true;
  }

  bool Parallel() {
    ++at_;
    Blanks();
    if (at_ >= text_.size() || text_[at_] != '(') return Fail(TSyntaxFault::MissingOpen);
    ++at_;
    std::vector<std::size_t> branches;
    for (;;) {
      if (!Chain()) return false;
      branches.push_back(model_.nodes_.size() - 1);
      Blanks();
      if (at_ < text_.size() && text_[at_] == ',') {
        ++at_;
        continue;
      }
      if (at_ < text_.size() && text_[at_] == ')') break;
      if (at_ >= text_.size()) return Fail(TSyntaxFault::MissingClose);
      return Fail(TSyntaxFault::ExpectedSeparator, std::string(1, text_[at_]));
    }
    if (branches.size() < 2) return Fail(TSyntaxFault::OneBranch);
    ++at_;
    Join(TCircuitModel::TOp::Parallel, branches);
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  TCircuitModel model_;
  TCircuitSyntaxError error_;
};

TModelParse TCircuitModel::Parse(std::string_view text) {
  TModelParse parsed = TCircuitParser(text).Parse();
  if (auto* model = std::get_if<TCircuitModel>(&parsed)) {
    std::string compact(text);
    std::erase(compact, ' ');
    model->text_ = std::move(compact);
  }
  return parsed;
}

std::size_t TCircuitModel::IndexOf(std::string_view name) const {
  return std::size_t(std::find(names_.begin(), names_.end(), name) - names_.begin());
}

std::vector<std::vector<std::size_t>> TCircuitModel::Groups() const {
  std::vector<std::vector<std::size_t>> groups(nodes_.size());
  for (std::size_t i = 0; i + 1 < nodes_.size(); ++i) {
    if (nodes_[i].op == TOp::Element) groups[nodes_[i].parent].push_back(nodes_[i].parameter);
  }
  std::erase_if(groups, [](const auto& g) { return g.empty(); });
  return groups;
}

TComplex TCircuitModel::Impedance(std::span<const double> values, double omega) const {
  TComplex z;
  Impedances(values, std::span(&omega, 1), std::span(&z, 1));
  return z;
}

void TCircuitModel::Impedances(std::span<const double> values, std::span<const double> omegas,
                               std::span<TComplex> out, std::span<TComplex> slopes) const {
  const std::size_t n = nodes_.size(), m = omegas.size();
  // Per node and frequency: its impedance; for a branch of a parallel node
  // its admittance, for a parallel node the sum of those; backward, how
  // much the total moves per unit move of the node. Kept per thread: too
  // large to clear or to allocate at every evaluation.
  thread_local std::vector<TComplex> scratch;
  scratch.resize(3 * n * m);
  TComplex* const z = scratch.data();
  TComplex* const y = z + n * m;
  TComplex* const s = y + n * m;
  for (std::size_t i = 0; i < n; ++i) {
    if (nodes_[i].op != TOp::Element) std::fill_n(nodes_[i].op == TOp::Series ? z + i * m : y + i * m, m, 0.0);
  }
  for (std::size_t i = 0; i < n; ++i) {
    const TNode& node = nodes_[i];
    TComplex* const zi = z + i * m;
    if (node.op == TOp::Element) {
      const double v = values[node.parameter];
      switch (kinds_[node.parameter]) {
        case TElementKind::R:
          std::fill_n(zi, m, TComplex(v, 0.0));
          break;
        case TElementKind::L:
          for (std::size_t j = 0; j < m; ++j) zi[j] = {0.0, omegas[j] * v};
          break;
        case TElementKind::C:
          for (std::size_t j = 0; j < m; ++j) zi[j] = {0.0, -1.0 / (omegas[j] * v)};
          break;
      }
    }
    if (node.op == TOp::Parallel) {
      for (std::size_t j = 0; j < m; ++j) zi[j] = Reciprocal(y[i * m + j]);
    }
    if (i + 1 == n) break;
    // A node's branches all come before it: add this one in.
    const std::uint16_t p = node.parent;
    if (nodes_[p].op == TOp::Series) {
      for (std::size_t j = 0; j < m; ++j) z[p * m + j] += zi[j];
    } else {
      for (std::size_t j = 0; j < m; ++j) {
        y[i * m + j] = Reciprocal(zi[j]);
        y[p * m + j] += y[i * m + j];
      }
    }
  }
  std::copy_n(z + (n - 1) * m, m, out.begin());
  if (slopes.empty()) return;
  std::fill_n(s + (n - 1) * m, m, 1.0);
  for (std::size_t i = n - 1; i-- > 0;) {
    const std::uint16_t p = nodes_[i].parent;
    if (nodes_[p].op == TOp::Series) {
      std::copy_n(s + p * m, m, s + i * m);
      continue;
    }
    for (std::size_t j = 0; j < m; ++j) {
      const TComplex share = y[i * m + j] * z[p * m + j];  // Z_parallel / Z_branch
      s[i * m + j] = s[p * m + j] * share * share;
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (nodes_[i].op != TOp::Element) continue;
    const std::uint16_t k = nodes_[i].parameter;
    // d ln of an element's impedance by the ln of its value: +1 for R and L, -1 for C.
    const double sign = kinds_[k] == TElementKind::C ? -1.0 : 1.0;
    for (std::size_t j = 0; j < m; ++j) slopes[k * m + j] = sign * s[i * m + j] * z[i * m + j];
  }
}

const char* ParameterUnit(std::string_view name) {
  if (name.starts_with('L')) return "H";
  if (name.starts_with('C')) return "F";
  return "Ω";
}

}  // namespace doz::analysis
