// Any bytes as a circuit string (as typed, or built from the grammar) and a
// decoded data set (band, values, gaps, repeats, values no record can hold)
// through every analysis function: each returns within a second, reports
// nothing that is not finite, and a set compared with itself is within
// every tolerance. The fits are held to a few evaluations, so that a run
// tries many inputs.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Analysis_report.h"
#include "Exchange_writer.h"
#include "Fuzz_files.h"
#include "Point_quantities.h"
#include "Resonance_finder.h"
#include "Set_comparator.h"

namespace {

using namespace doz;
using namespace doz::analysis;
using TClock = std::chrono::steady_clock;

// Under libFuzzer a second; replayed beside other tests on a loaded machine
// (and in unoptimised sanitizer builds) the rule keeps generous slack.
#ifdef DOZ_FUZZ_REPLAY
constexpr auto kCallLimit = std::chrono::seconds(10);
#else
constexpr auto kCallLimit = std::chrono::seconds(1);
#endif

// Evaluations of the one fit per input: enough to run every stage.
constexpr int kFitEvaluations = 40;

class TBytes {
 public:
  std::uint8_t Next() {
    std::uint8_t b = 0;
    Take(&b, 1);
    return b;
  }
  TBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Take(void* out, std::size_t count) {
    if (size_ < count) return false;
    std::memcpy(out, data_, count);
    data_ += count;
    size_ -= count;
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// Per slot a mode byte: 0 a gap, 1 a point record from 10 bytes (two
// hexadecimal digits each), 2 three raw doubles, 3 the previous slot again.
TCalcData DataSetOf(TBytes& bytes, int& band) {
  TCalcData data;
  ClearCalcData(data);
  std::uint8_t first = 0;
  bytes.Take(&first, 1);
  band = 1 + first % BAND_COUNT;
  std::uint8_t mode = 0;
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band) && bytes.Take(&mode, 1); ++i) {
    std::uint8_t record[10];
    double values[3];
    if (mode % 4 == 1 && bytes.Take(record, sizeof record)) {
      char text[RECORD_LEN + 1];
      for (int k = 0; k < 10; ++k) std::snprintf(text + 2 * k, 3, "%02X", record[k]);
      const TPointValues v = DecodeRecord(text);
      data.R[i] = v.R, data.Theta[i] = v.Theta, data.Freq[i] = v.Freq;
    } else if (mode % 4 == 2 && bytes.Take(values, sizeof values)) {
      data.R[i] = values[0], data.Theta[i] = values[1], data.Freq[i] = values[2];
    } else if (mode % 4 == 3 && i > 0) {
      data.R[i] = data.R[i - 1], data.Theta[i] = data.Theta[i - 1], data.Freq[i] = data.Freq[i - 1];
    }
  }
  return data;
}

template <typename TCall>
auto Timed(TCall call) {
  const auto start = TClock::now();
  auto result = call();
  if (TClock::now() - start > kCallLimit) fuzz::Broken("a call took over a second");
  return result;
}

void Finite(double value, const char* what) {
  if (!std::isfinite(value)) fuzz::Broken(what);
}

void Finite(const std::optional<double>& value, const char* what) {
  if (value) Finite(*value, what);
}

// A chain of up to `depth` levels: elements and p( ) of two or three branches.
std::string Grown(TBytes& bytes, int depth, int& elements) {
  std::string chain;
  const int terms = 1 + bytes.Next() % 3;
  for (int t = 0; t < terms; ++t) {
    if (t) chain += '-';
    const std::uint8_t b = bytes.Next();
    if (depth > 0 && b % 4 == 0) {
      chain += "p(" + Grown(bytes, depth - 1, elements) + "," + Grown(bytes, depth - 1, elements);
      if (b & 16) chain += "," + Grown(bytes, depth - 1, elements);
      chain += ")";
    } else {
      chain += "RLC"[b % 3] + std::to_string(elements++);
    }
  }
  return chain;
}

// A preset's name, a circuit grown from the grammar, or bytes as typed.
std::string CircuitText(TBytes& bytes) {
  const std::uint8_t how = bytes.Next();
  if (how % 3 == 0) return Presets()[bytes.Next() % Presets().size()].Name;
  int elements = 0;
  if (how % 3 == 1) return Grown(bytes, 2, elements);
  std::string typed;
  for (int n = bytes.Next() % 24; n > 0; --n) typed += "RLCp(),-1 x"[bytes.Next() % 11];
  return typed;
}

void CheckReport(const TAnalysisReport& report) {
  for (const TResonance& r : report.Resonances) {
    Finite(r.Hertz, "resonance frequency");
    Finite(r.Ohms, "resonance impedance");
    Finite(r.ExtremumOhms, "resonance extremum");
    Finite(r.Q, "resonance Q");
  }
  for (const TDerivedValue& d : report.Derived) Finite(d.Value, "derived value");
  const TCircuitFit* fit = report.FitOrNull();
  if (!fit) return;
  for (double v : fit->Circuit.Values()) {
    if (!(v > 0) || !std::isfinite(v))
      fuzz::Broken("a fitted parameter is not positive and finite");
  }
  for (const auto& u : fit->Uncertainty) Finite(u, "uncertainty");
  if (fit->Evaluations > kFitEvaluations) fuzz::Broken("a fit went past its evaluations");
  Finite(fit->Error, "fit error");
  Finite(fit->Bic, "fit BIC");
}

void CheckPoints(const std::vector<TImpedanceSample>& samples) {
  for (const TImpedanceSample& s : samples) {
    const TPointQuantities q = QuantitiesOf(s);
    for (const double v : {q.Rs, q.Xs}) Finite(v, "series quantity");
    for (const auto& v : {q.Ls, q.Cs, q.Q, q.D, q.Rp, q.Xp, q.Lp, q.Cp})
      Finite(v, "point quantity");
  }
  for (const TResonance& r : Timed([&] { return FindResonances(samples); })) {
    Finite(r.Hertz, "resonance frequency");
    Finite(r.Ohms, "resonance impedance");
    Finite(r.Q, "resonance Q");
  }
}

void CheckExchange(const std::vector<TImpedanceSample>& samples) {
  for (const auto format :
       {TExchangeFormat::Csv, TExchangeFormat::Zma, TExchangeFormat::Touchstone}) {
    const std::string text = Timed([&] { return ExchangeText(format, samples, {"fuzz", "now"}); });
    if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos) {
      fuzz::Broken("an exchange file holds a number that is not finite");
    }
  }
}

void CheckComparison(const TCalcData& data) {
  const TCompareResult self = Timed([&] { return CompareSets(data, data, {0.0, 0.0}); });
  if (const auto* c = std::get_if<TComparison>(&self)) {
    if (!c->OutsideSlots.empty()) fuzz::Broken("a set differs from itself");
    Finite(c->WorstMagnitude.Value, "magnitude deviation");
    Finite(c->WorstPhase.Value, "phase deviation");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  TBytes input(bytes, size);
  const std::string circuit = CircuitText(input);
  int band = 1;
  const TCalcData data = DataSetOf(input, band);
  const auto samples = SamplesOf(data, band);
  CheckPoints(samples);
  TModelParse model = ModelNamed(circuit);
  if (auto* m = std::get_if<TCircuitModel>(&model)) {
    TAnalysisRequest request;
    request.Model = std::move(*m);
    request.MaxEvaluations = kFitEvaluations;
    CheckReport(Timed([&] { return Analyze(samples, request); }));
  }
  CheckExchange(samples);
  CheckComparison(data);
  return 0;
}
