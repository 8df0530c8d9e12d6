#include "Start_search.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace doz::analysis {
namespace {

// Values within this ln distance are one.
constexpr double kSame = 0.05;
constexpr int kSweeps = 2;
// The evolution: this many members per parameter, each within a factor
// e^kReach of the value the data suggest for its part; the weight of a
// difference and the share of a trial taken from it.
constexpr int kMembersPerParameter = 10;
constexpr double kReach = 9.2;  // four decades
constexpr double kWeight = 0.7;
constexpr double kCrossing = 0.9;
constexpr std::uint64_t kSeed = 20261208;

void AddDistinct(std::vector<double>& lns, double value) {
  if (!(value > 0) || !std::isfinite(value)) return;
  const double ln = std::log(value);
  for (double v : lns) {
    if (std::fabs(v - ln) < kSame) return;
  }
  lns.push_back(ln);
}

struct TScales {
  std::vector<double> omegas;  // ln ω
  std::vector<double> levels;  // ln |Z|
  double middle = 0;           // ln ω at the middle of the band
  double median = 0;           // ln of the median |Z|
};

TScales ScalesOf(const TFitFeatures& f) {
  TScales s;
  s.middle = std::log(std::sqrt(f.Low.w * f.High.w));
  s.median = std::log(f.MedianOhms);
  std::vector<double> omegas = {f.Low.w, f.High.w, std::sqrt(f.Low.w * f.High.w)};
  std::vector<double> levels = {std::abs(f.Low.z), std::abs(f.High.z), f.MedianOhms,
                                f.Low.Rs().value_or(0), f.High.Rs().value_or(0)};
  std::vector<const TResonance*> resonances;
  for (const TResonance& r : f.Found) resonances.push_back(&r);
  for (const bool capacitive : {false, true}) {
    for (const TResonanceKind kind : {TResonanceKind::Peak, TResonanceKind::Dip})
      if (const TResonance* r = f.Strongest(kind, capacitive)) resonances.push_back(r);
  }
  for (const TImpedanceSample& turn : f.Turns) {
    omegas.push_back(Omega(turn.Hertz));
    levels.push_back(turn.Ohms);
  }
  for (const TResonance* r : resonances) {
    omegas.push_back(Omega(r->Hertz));
    omegas.push_back(Omega(r->ExtremumHertz));
    levels.push_back(r->ExtremumOhms);
  }
  for (double w : omegas) AddDistinct(s.omegas, w);
  for (double z : levels) AddDistinct(s.levels, z);
  return s;
}

// ln of a part of the kind with impedance e^level at e^omega.
double PartAt(TElementKind kind, double level, double omega) {
  switch (kind) {
    case TElementKind::R:
      return level;
    case TElementKind::L:
      return level - omega;
    case TElementKind::C:
      return -level - omega;
  }
  return level;
}

class TSearcher {
 public:
  TSearcher(const TFitProblem& problem, const TCircuitModel& model, const TScales& scales,
            const std::vector<std::optional<double>>& fixed, int budget)
      : problem_(problem), model_(model), scales_(scales), budget_(budget) {
    for (std::size_t i = 0; i < model.Size(); ++i) {
      free_.push_back(fixed.size() <= i || !fixed[i]);
    }
    best_ = Base(fixed);
    bestCost_ = Cost(best_);
  }

  TSearch Run() {
    const Eigen::VectorXd base = best_;
    for (int sweep = 0; sweep < kSweeps && Left(); ++sweep) {
      const double before = bestCost_;
      for (std::size_t i = 0; i < model_.Size(); ++i) TryEach(i);
      TryPairs();
      TryGroups();
      if (!(bestCost_ < before)) break;
    }
    TSearch search;
    search.Starts.push_back(best_);
    Evolve(base, search);
    search.Evaluations = used_;
    return search;
  }

 private:
  bool Left() const { return used_ < budget_; }

  double Cost(const Eigen::VectorXd& x) {
    ++used_;
    return problem_.Cost(x);
  }

  // Every part at the size of the median |Z| at the middle of the band.
  Eigen::VectorXd Base(const std::vector<std::optional<double>>& fixed) const {
    Eigen::VectorXd x(model_.Size());
    for (std::size_t i = 0; i < model_.Size(); ++i) {
      x[Eigen::Index(i)] = free_[i] ? PartAt(model_.KindOf(i), scales_.median, scales_.middle)
                                  : std::log(*fixed[i]);
    }
    return Clamped(x);
  }

  Eigen::VectorXd Clamped(const Eigen::VectorXd& x) const {
    return x.cwiseMax(problem_.Low()).cwiseMin(problem_.High());
  }

  void Consider(const Eigen::VectorXd& x) {
    const Eigen::VectorXd in = Clamped(x);
    const double cost = Cost(in);
    if (cost < bestCost_) best_ = in, bestCost_ = cost;
  }

  // Parameter i at each size the scales suggest, and nearly absent.
  void TryEach(std::size_t i) {
    if (!free_[i]) return;
    const auto e = Eigen::Index(i);
    std::vector<double> sizes = {problem_.Low()[e] + 2.3, problem_.High()[e] - 2.3};
    for (double level : scales_.levels) {
      if (model_.KindOf(i) == TElementKind::R) {
        sizes.push_back(level);
        continue;
      }
      for (double omega : scales_.omegas) sizes.push_back(PartAt(model_.KindOf(i), level, omega));
    }
    for (double size : sizes) {
      if (!Left()) return;
      Eigen::VectorXd x = best_;
      x[e] = size;
      Consider(x);
    }
  }

  // Every L with every C, resonating at each frequency with each level as
  // the impedance of either at resonance.
  void TryPairs() {
    for (std::size_t l = 0; l < model_.Size(); ++l) {
      if (!free_[l] || model_.KindOf(l) != TElementKind::L) continue;
      for (std::size_t c = 0; c < model_.Size(); ++c) {
        if (!free_[c] || model_.KindOf(c) != TElementKind::C) continue;
        for (double omega : scales_.omegas) {
          for (double level : scales_.levels) {
            if (!Left()) return;
            Eigen::VectorXd x = best_;
            x[Eigen::Index(l)] = level - omega;
            x[Eigen::Index(c)] = -level - omega;
            Consider(x);
          }
        }
      }
    }
  }

  // The parts a joint holds directly, all at one level at one frequency:
  // a tank or a series resonance put where the data turn.
  void TryGroups() {
    for (const auto& group : model_.Groups()) {
      if (group.size() < 2) continue;
      for (double omega : scales_.omegas) {
        for (double level : scales_.levels) {
          if (!Left()) return;
          Eigen::VectorXd x = best_;
          for (std::size_t i : group) {
            if (free_[i]) x[Eigen::Index(i)] = PartAt(model_.KindOf(i), level, omega);
          }
          Consider(x);
        }
      }
    }
  }

  // Differential evolution over the ln values, every part within kReach of
  // the size the data suggest for it, from a population that holds the best
  // start so far. Seeded: the same data give the same starts.
  void Evolve(const Eigen::VectorXd& base, TSearch& search) {
    const auto k = Eigen::Index(model_.Size());
    const int size = std::max(4, kMembersPerParameter * int(k));
    const Eigen::VectorXd low = (base.array() - kReach).matrix().cwiseMax(problem_.Low());
    const Eigen::VectorXd high = (base.array() + kReach).matrix().cwiseMin(problem_.High());
    std::mt19937_64 random(kSeed);
    const auto uniform = [&random] { return double(random() >> 11) * 0x1.0p-53; };
    std::vector<Eigen::VectorXd> members;
    std::vector<double> costs;
    for (int m = 0; m < size && Left(); ++m) {
      Eigen::VectorXd x = best_;
      for (Eigen::Index i = 0; m > 0 && i < k; ++i) {
        if (free_[std::size_t(i)]) x[i] = low[i] + (high[i] - low[i]) * uniform();
      }
      costs.push_back(m == 0 ? bestCost_ : Cost(x));
      members.push_back(x);
    }
    if (int(members.size()) < size) return;
    while (Left()) {
      for (int m = 0; m < size && Left(); ++m) {
        const auto pick = [&] { return members[std::size_t(random() % std::uint64_t(size))]; };
        const Eigen::VectorXd a = pick(), b = pick(), c = pick();
        Eigen::VectorXd trial = members[std::size_t(m)];
        const auto forced = Eigen::Index(random() % std::uint64_t(k));
        for (Eigen::Index i = 0; i < k; ++i) {
          if (free_[std::size_t(i)] && (i == forced || uniform() < kCrossing))
            trial[i] = std::clamp(a[i] + kWeight * (b[i] - c[i]), low[i], high[i]);
        }
        const double cost = Cost(trial);
        if (cost < costs[std::size_t(m)]) members[std::size_t(m)] = trial, costs[std::size_t(m)] = cost;
      }
    }
    const auto best = std::min_element(costs.begin(), costs.end()) - costs.begin();
    if (costs[std::size_t(best)] < bestCost_) search.Starts.insert(search.Starts.begin(), members[std::size_t(best)]);
  }

  const TFitProblem& problem_;
  const TCircuitModel& model_;
  const TScales& scales_;
  const int budget_;
  int used_ = 0;
  std::vector<bool> free_;
  Eigen::VectorXd best_;
  double bestCost_;
};

}  // namespace

TSearch SearchStarts(const TFitProblem& problem, const TCircuitModel& model,
                     const TFitFeatures& features, const std::vector<std::optional<double>>& fixed,
                     int maxEvaluations) {
  const TScales scales = ScalesOf(features);
  if (scales.levels.empty() || scales.omegas.empty() || !std::isfinite(scales.middle) ||
      !std::isfinite(scales.median))
    return {};
  return TSearcher(problem, model, scales, fixed, maxEvaluations).Run();
}

}  // namespace doz::analysis
