// The wire clock of the simulated unit: when each byte it sends has fully
// arrived at the line rate, scheduled on absolute time so that a long stream
// takes exactly its wire time, however late the sender wakes.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace doz::unitsim {

class TLinePacer {
 public:
  using TClock = std::chrono::steady_clock;

  // bitsPerSecond 0: no pacing. Bytes are released in bursts no closer than
  // burst apart, as a UART's FIFO or a USB adapter would deliver them.
  TLinePacer(std::uint32_t bitsPerSecond, TClock::duration burst);

  // Output appeared while none was waiting: the line's clock starts now.
  void Offer(TClock::time_point now);
  // How many of the waiting bytes have arrived by now.
  std::size_t Due(std::size_t waiting, TClock::time_point now) const;
  void Sent(std::size_t count, TClock::time_point now);
  // When the next waiting byte may go out.
  TClock::time_point NextRelease() const;

 private:
  TClock::time_point ArrivalOf(std::uint64_t byte) const;

  std::uint32_t bitsPerSecond_;
  TClock::duration burst_;
  TClock::time_point base_{};
  std::uint64_t sentSinceBase_ = 0;
  TClock::time_point lastSend_{};
};

}  // namespace doz::unitsim
