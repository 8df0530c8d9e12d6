#include "Criteria_parser.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "Circuit.h"
#include "Circuit_presets.h"
#include "Doz_file.h"
#include "Impedance_sample.h"
#include "Result_row.h"
#include "Si_number.h"

namespace doz::station {
namespace {

using namespace analysis;

struct TEntry {
  std::string Key;
  std::string Value;
  int Line;
};

TCriteriaError Fault(TCriteriaFault fault, int line = 0, std::string subject = {}) {
  TCriteriaError error;
  error.Fault = fault;
  error.Line = line;
  error.Subject = std::move(subject);
  return error;
}

constexpr const char* kOnceKeys[] = {"name",  "golden", "tolerance", "phase-tolerance",
                                     "range", "model",  "band"};
constexpr const char* kRepeatedKeys[] = {"limit", "resonance"};

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The line without its comment: "#" at its start or after a blank.
std::string_view WithoutComment(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t'))
      return line.substr(0, i);
  }
  return line;
}

bool Known(const std::string& key, const char* const* keys, std::size_t count) {
  return std::find(keys, keys + count, key) != keys + count;
}

// The entries in line order; the first fault of form found.
std::variant<std::vector<TEntry>, TCriteriaError> Entries(std::string_view text) {
  std::vector<TEntry> entries;
  std::map<std::string, int> seen;
  int line = 0;
  while (!text.empty()) {
    ++line;
    const std::size_t end = text.find('\n');
    const std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::string_view content = Trimmed(WithoutComment(raw));
    if (content.empty()) continue;
    const std::size_t colon = content.find(':');
    if (colon == std::string_view::npos || Trimmed(content.substr(0, colon)).empty())
      return Fault(TCriteriaFault::NotKeyValue, line);
    TEntry entry{std::string(Trimmed(content.substr(0, colon))),
                 std::string(Trimmed(content.substr(colon + 1))), line};
    const bool once = Known(entry.Key, kOnceKeys, std::size(kOnceKeys));
    if (!once && !Known(entry.Key, kRepeatedKeys, std::size(kRepeatedKeys)))
      return Fault(TCriteriaFault::UnknownKey, line, entry.Key);
    if (entry.Value.empty()) return Fault(TCriteriaFault::EmptyValue, line, entry.Key);
    if (once && seen.count(entry.Key)) {
      TCriteriaError e = Fault(TCriteriaFault::Repeated, line, entry.Key);
      e.Other = seen[entry.Key];
      return e;
    }
    seen.emplace(entry.Key, line);
    entries.push_back(std::move(entry));
  }
  return entries;
}

// What the model fits and derives, with units: the names a limit may take.
std::map<std::string, const char*> ValueNames(const TCircuitModel& model) {
  std::map<std::string, const char*> names;
  for (const std::string& name : model.Names()) names.emplace(name, ParameterUnit(name));
  if (const TPreset* preset = PresetOf(model); preset && preset->Derive) {
    // Which figures a preset derives does not depend on the values.
    const TCircuit sample(model, std::vector<double>(model.Size(), 1.0));
    for (const TDerivedValue& figure : preset->Derive(sample))
      names.emplace(figure.Name, figure.Unit);
  }
  return names;
}

class TBuilder {
 public:
  TBuilder(const std::string& folder) : folder_(folder) {}

  std::optional<TCriteriaError> Take(const std::vector<TEntry>& entries);
  TCriteria& Result() { return criteria_; }

 private:
  std::optional<TCriteriaError> Entry(const TEntry& e);
  std::optional<TCriteriaError> Number(const TEntry& e, double& value);
  std::optional<TCriteriaError> Bounds(const TEntry& e, std::string_view text, TBounds& bounds);
  std::optional<TCriteriaError> Limit(const TEntry& e);
  std::optional<TCriteriaError> Resonance(const TEntry& e);
  std::optional<TCriteriaError> Golden(const TEntry& e);
  std::optional<TCriteriaError> Band(const TEntry& e);
  std::optional<TCriteriaError> Whole(const std::vector<TEntry>& entries);

  std::string folder_;
  TCriteria criteria_;
  std::map<std::string, const char*> valueNames_;
  std::map<std::string, int> limitLines_;
  std::optional<int> band_;
};

std::optional<TCriteriaError> TBuilder::Take(const std::vector<TEntry>& entries) {
  // The model first: the limits before it in the file name its values.
  for (const TEntry& e : entries) {
    if (e.Key != "model") continue;
    TModelParse parsed = ModelNamed(e.Value);
    if (auto* error = std::get_if<TCircuitSyntaxError>(&parsed)) {
      TCriteriaError fault = Fault(TCriteriaFault::UnknownModel, e.Line, e.Value);
      fault.Syntax = *error;
      return fault;
    }
    criteria_.Model = std::get<TCircuitModel>(std::move(parsed));
    valueNames_ = ValueNames(*criteria_.Model);
  }
  for (const TEntry& e : entries) {
    if (auto fault = Entry(e)) return fault;
  }
  return Whole(entries);
}

std::optional<TCriteriaError> TBuilder::Entry(const TEntry& e) {
  if (e.Key == "name") criteria_.Name = e.Value;
  if (e.Key == "tolerance") return Number(e, criteria_.Tolerance.Percent);
  if (e.Key == "phase-tolerance") return Number(e, criteria_.Tolerance.Degrees);
  if (e.Key == "range") return Bounds(e, e.Value, criteria_.Range.emplace());
  if (e.Key == "limit") return Limit(e);
  if (e.Key == "resonance") return Resonance(e);
  if (e.Key == "golden") return Golden(e);
  if (e.Key == "band") return Band(e);
  return std::nullopt;
}

std::optional<TCriteriaError> TBuilder::Number(const TEntry& e, double& value) {
  const auto number = ParseSi(e.Value);
  if (!number || !(*number >= 0)) return Fault(TCriteriaFault::BadNumber, e.Line, e.Value);
  value = *number;
  return std::nullopt;
}

std::optional<TCriteriaError> TBuilder::Bounds(const TEntry& e, std::string_view text,
                                               TBounds& bounds) {
  auto parsed = ParseBounds(text);
  if (auto* fault = std::get_if<TCriteriaFault>(&parsed))
    return Fault(*fault, e.Line, std::string(text));
  bounds = std::get<TBounds>(parsed);
  return std::nullopt;
}

std::optional<TCriteriaError> TBuilder::Limit(const TEntry& e) {
  if (!criteria_.Model) return Fault(TCriteriaFault::NeedsModel, e.Line);
  const std::size_t equals = e.Value.find('=');
  if (equals == std::string::npos) return Fault(TCriteriaFault::BadBounds, e.Line, e.Value);
  TValueLimit limit{
      std::string(Trimmed(std::string_view(e.Value).substr(0, equals))), {}, "", e.Line};
  const auto name = valueNames_.find(limit.Name);
  if (name == valueNames_.end()) return Fault(TCriteriaFault::UnknownValue, e.Line, limit.Name);
  if (const auto first = limitLines_.find(limit.Name); first != limitLines_.end()) {
    TCriteriaError fault = Fault(TCriteriaFault::RepeatedLimit, e.Line, limit.Name);
    fault.Other = first->second;
    return fault;
  }
  limit.Unit = name->second;
  if (auto fault = Bounds(e, Trimmed(std::string_view(e.Value).substr(equals + 1)), limit.Bounds))
    return fault;
  limitLines_.emplace(limit.Name, e.Line);
  criteria_.Limits.push_back(std::move(limit));
  return std::nullopt;
}

std::optional<TCriteriaError> TBuilder::Resonance(const TEntry& e) {
  const std::size_t blank = e.Value.find_first_of(" \t");
  const std::string word = e.Value.substr(0, blank);
  TResonanceLimit limit;
  limit.Line = e.Line;
  if (word == "peak") {
    limit.Kind = TResonanceKind::Peak;
  } else if (word == "dip") {
    limit.Kind = TResonanceKind::Dip;
  } else {
    return Fault(TCriteriaFault::BadResonanceKind, e.Line, word);
  }
  const std::string_view rest = blank == std::string::npos
                                    ? std::string_view()
                                    : Trimmed(std::string_view(e.Value).substr(blank));
  if (auto fault = Bounds(e, rest, limit.Hertz)) return fault;
  const auto same = std::count_if(criteria_.Resonances.begin(), criteria_.Resonances.end(),
                                  [&](const TResonanceLimit& r) { return r.Kind == limit.Kind; });
  limit.ValueName = "f_" + word + (same > 0 ? "_" + std::to_string(same + 1) : "");
  criteria_.Resonances.push_back(std::move(limit));
  return std::nullopt;
}

std::optional<TCriteriaError> TBuilder::Golden(const TEntry& e) {
  TGolden golden;
  golden.Path = !e.Value.empty() && e.Value[0] == '/' ? e.Value : folder_ + "/" + e.Value;
  TRawData raw;
  ClearRawData(raw);
  std::string serial;
  std::int32_t port = 1;
  const TDataFileRead read = TDoZ_File().ReadDataFileResult(golden.Path, serial, port, &raw);
  if (read.result == TDataFileResult::CannotRead) {
    TCriteriaError fault = Fault(TCriteriaFault::GoldenUnreadable, e.Line, golden.Path);
    fault.Failure = read.failure;
    return fault;
  }
  auto values = std::make_shared<TCalcData>();
  TCalcData smoothed;
  if (read.result != TDataFileResult::Read || !MakeCalcData(&raw, values.get(), &smoothed))
    return Fault(TCriteriaFault::GoldenInvalid, e.Line, golden.Path);
  golden.Band = raw.Band;
  golden.Values = std::move(values);
  criteria_.Golden = std::move(golden);
  return std::nullopt;
}

std::optional<TCriteriaError> TBuilder::Band(const TEntry& e) {
  const auto number = ParseSi(e.Value);
  if (!number || *number != std::floor(*number) || !IsValidBand(int(*number)))
    return Fault(TCriteriaFault::BadBand, e.Line, e.Value);
  band_ = int(*number);
  return std::nullopt;
}

bool HoldsPointWithin(const TCalcData& values, int band, const std::optional<TBounds>& range) {
  for (int slot = BandFirstIndex(band); slot <= BandLastIndex(band); ++slot) {
    if (HoldsValue(values, slot) && (!range || range->Holds(values.Freq[slot]))) return true;
  }
  return false;
}

std::optional<TCriteriaError> TBuilder::Whole(const std::vector<TEntry>& entries) {
  if (criteria_.Name.empty()) return Fault(TCriteriaFault::NoName);
  if (!criteria_.Golden) {
    for (const TEntry& e : entries) {
      if (e.Key == "tolerance" || e.Key == "phase-tolerance" || e.Key == "range")
        return Fault(TCriteriaFault::NeedsGolden, e.Line, e.Key);
    }
  }
  criteria_.Band = band_ ? *band_ : criteria_.Golden ? criteria_.Golden->Band : 1;
  if (criteria_.Golden &&
      !HoldsPointWithin(*criteria_.Golden->Values, criteria_.Band, criteria_.Range))
    return Fault(TCriteriaFault::NoCommonPoint);
  if (!criteria_.Golden && criteria_.Limits.empty() && criteria_.Resonances.empty())
    return Fault(TCriteriaFault::NoCriterion);
  return std::nullopt;
}

// The line of the first byte that breaks UTF-8; 0 when none does.
int FirstBadLine(std::string_view text) {
  int line = 1;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (!results::IsStorableText(text.substr(start, end - start))) return line;
    start = end + 1;
    ++line;
  }
  return 0;
}

}  // namespace

std::variant<TBounds, TCriteriaFault> ParseBounds(std::string_view text) {
  const std::size_t dots = text.find("..");
  if (dots == std::string_view::npos) return TCriteriaFault::BadBounds;
  TBounds bounds;
  const std::string_view lower = Trimmed(text.substr(0, dots));
  const std::string_view upper = Trimmed(text.substr(dots + 2));
  if (lower.empty() && upper.empty()) return TCriteriaFault::BadBounds;
  if (!lower.empty() && !(bounds.Lower = ParseSi(lower))) return TCriteriaFault::BadBounds;
  if (!upper.empty() && !(bounds.Upper = ParseSi(upper))) return TCriteriaFault::BadBounds;
  if (bounds.Lower && bounds.Upper && *bounds.Lower > *bounds.Upper)
    return TCriteriaFault::MinAboveMax;
  return bounds;
}

TCriteriaParse ParseCriteria(std::string_view text, const std::string& folder) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (const int line = FirstBadLine(text)) return Fault(TCriteriaFault::NotUtf8, line);
  auto entries = Entries(text);
  if (auto* fault = std::get_if<TCriteriaError>(&entries)) return *fault;
  TBuilder builder(folder);
  if (auto fault = builder.Take(std::get<std::vector<TEntry>>(entries))) return *fault;
  return std::move(builder.Result());
}

TCriteriaParse LoadCriteria(const std::string& path) {
  platform::TTextReader reader;
  if (!reader.Open(path)) {
    TCriteriaError fault = Fault(TCriteriaFault::CannotRead);
    fault.Failure = reader.Failure();
    return fault;
  }
  std::string text, piece;
  while (text.size() <= kMaxCriteriaBytes && reader.ReadPiece(4096, piece)) text += piece;
  if (reader.Failure().problem != platform::TFileProblem::None) {
    TCriteriaError fault = Fault(TCriteriaFault::CannotRead);
    fault.Failure = reader.Failure();
    return fault;
  }
  if (text.size() > kMaxCriteriaBytes) return Fault(TCriteriaFault::TooLarge);
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  TCriteriaParse parsed = ParseCriteria(text, folder);
  if (auto* criteria = std::get_if<TCriteria>(&parsed)) criteria->File = path;
  return parsed;
}

}  // namespace doz::station
