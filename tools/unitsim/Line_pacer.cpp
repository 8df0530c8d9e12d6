#include "Line_pacer.h"

#include <algorithm>

namespace doz::unitsim {
namespace {

constexpr std::int64_t kBitsPerByte = 10;  // start, eight data bits, stop
constexpr std::int64_t kNanosPerSecond = 1000000000;

}  // namespace

TLinePacer::TLinePacer(std::uint32_t bitsPerSecond, TClock::duration burst)
    : bitsPerSecond_(bitsPerSecond), burst_(burst) {}

// Byte k (from 0) since the clock started arrives when its ten bits are in;
// rounded up to the nanosecond, as Due counts it.
TLinePacer::TClock::time_point TLinePacer::ArrivalOf(std::uint64_t byte) const {
  const std::int64_t bits = static_cast<std::int64_t>(byte + 1) * kBitsPerByte * kNanosPerSecond;
  const std::int64_t nanos = (bits + bitsPerSecond_ - 1) / bitsPerSecond_;
  return base_ + std::chrono::duration_cast<TClock::duration>(std::chrono::nanoseconds(nanos));
}

// Every byte offered before has been sent, and a byte is sent only once it
// has arrived: the line is idle, and the clock starts again.
void TLinePacer::Offer(TClock::time_point now) {
  base_ = now;
  sentSinceBase_ = 0;
}

std::size_t TLinePacer::Due(std::size_t waiting, TClock::time_point now) const {
  if (bitsPerSecond_ == 0) return waiting;
  if (now < lastSend_ + burst_) return 0;
  const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - base_).count();
  const std::int64_t arrived = elapsed * bitsPerSecond_ / (kBitsPerByte * kNanosPerSecond);
  const std::int64_t due = arrived - static_cast<std::int64_t>(sentSinceBase_);
  return static_cast<std::size_t>(std::clamp<std::int64_t>(due, 0, static_cast<std::int64_t>(waiting)));
}

void TLinePacer::Sent(std::size_t count, TClock::time_point now) {
  sentSinceBase_ += count;
  lastSend_ = now;
}

TLinePacer::TClock::time_point TLinePacer::NextRelease() const {
  if (bitsPerSecond_ == 0) return lastSend_;
  return std::max(ArrivalOf(sentSinceBase_), lastSend_ + burst_);
}

}  // namespace doz::unitsim
