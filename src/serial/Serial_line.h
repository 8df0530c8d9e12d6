// The serial line as the unit's protocol uses it: open, close, purge, write
// and read, each transfer with its own time-out and a typed outcome. The port
// driver is one such line; a line in memory serves the protocol's and the
// measurement session's tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace doz {

// Where a line goes: COM port n (as the driver maps COM numbers) when
// comNumber > 0, else the device path.
struct TLineAddress {
  int comNumber = 0;
  std::string device;
};

enum class TLineOutcome {
  Done,      // every byte asked for
  TimedOut,  // fewer by the time-out
  HungUp,    // the device went away: a unit switched off, an adapter pulled
  IoError,   // the device refused the transfer
};

struct TLineTransfer {
  TLineOutcome outcome = TLineOutcome::TimedOut;
  std::uint32_t count = 0;  // bytes moved, also when the outcome is not Done

  bool Broken() const {
    return outcome == TLineOutcome::HungUp || outcome == TLineOutcome::IoError;
  }
};

class TSerialLine {
 public:
  using TMs = std::chrono::milliseconds;

  virtual ~TSerialLine() = default;

  // Opens the line at 9600 baud, 8-N-1, and purges it; false when it cannot.
  virtual bool OpenLine(const TLineAddress& address) = 0;
  // Purges and closes; nothing when it is not open.
  virtual void CloseLine() = 0;
  // The line's own answer: false also once the device has gone.
  virtual bool LineOpen() const = 0;
  // Drops what waits to be read or sent.
  virtual bool Purge() = 0;
  // Gives up once no byte could be written for `timeout`.
  virtual TLineTransfer Write(const void* data, std::uint32_t count, TMs timeout) = 0;
  // Takes bytes as they come until `count` are in; gives up only while none
  // is waiting and `timeout` has passed since the call began.
  virtual TLineTransfer Read(void* buffer, std::uint32_t count, TMs timeout) = 0;
};

}  // namespace doz
