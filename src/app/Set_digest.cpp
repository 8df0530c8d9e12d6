#include "Set_digest.h"

#include <cstring>

namespace doz {
namespace {

constexpr std::uint64_t kOffsetBasis = 14695981039346656037ull;
constexpr std::uint64_t kPrime = 1099511628211ull;

template <class T>
void Mix(std::uint64_t& hash, const T& value) {
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  for (unsigned char b : bytes) hash = (hash ^ b) * kPrime;
}

}  // namespace

std::uint64_t SetDigest(const TCalcData& set, int band) {
  std::uint64_t hash = kOffsetBasis;
  Mix(hash, band);
  Mix(hash, set.Valid);
  if (!IsValidBand(band)) return hash;
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
    Mix(hash, set.R[i]);
    Mix(hash, set.Theta[i]);
    Mix(hash, set.Freq[i]);
  }
  return hash;
}

}  // namespace doz
