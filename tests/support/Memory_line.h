// A serial line in memory for the protocol's and the session's tests, on a
// clock of the test's own: what is written is split into commands at each
// carriage return and answered by the test's function; a read takes what the
// answers queued and, where bytes are missing, lets the clock run on by the
// read's time-out instead of waiting. Where the queued bytes end, the line
// can also hang up or fail.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Clock.h"
#include "Serial_line.h"

namespace doz::test {

class TFakeClock : public platform::TClockSource {
 public:
  TTime Now() const override { return now_; }
  std::string DateTimeText() const override { return dateTime; }
  void Advance(std::chrono::milliseconds ms) { now_ += ms; }

  std::string dateTime = "2026/12/08 10:00:00";

 private:
  TTime now_{};
};

class TMemoryLine : public TSerialLine {
 public:
  // command: without its carriage return; occurrence counts from 1.
  using TAnswer = std::function<std::string(const std::string& command, int occurrence)>;

  TMemoryLine(TFakeClock& clock, TAnswer answer) : clock_(clock), answer_(std::move(answer)) {}

  bool OpenLine(const TLineAddress& address) override;
  void CloseLine() override { open_ = false; }
  bool LineOpen() const override { return open_; }
  bool Purge() override;
  TLineTransfer Write(const void* data, std::uint32_t count, TMs timeout) override;
  TLineTransfer Read(void* buffer, std::uint32_t count, TMs timeout) override;

  // Bytes the unit sends unasked, after what is queued.
  void Queue(const std::string& bytes) { queued_ += bytes; }
  const std::vector<std::string>& Commands() const { return commands_; }
  int Count(const std::string& command) const;

  bool opens = true;  // whether OpenLine succeeds
  // What a read meets where the queued bytes end: silence, or the line
  // breaking (a hang-up also closes it).
  TLineOutcome atEnd = TLineOutcome::TimedOut;
  TLineAddress lastAddress;
  int opened = 0;

 private:
  TFakeClock& clock_;
  TAnswer answer_;
  bool open_ = false;
  std::string queued_;
  std::string typed_;
  std::vector<std::string> commands_;
};

}  // namespace doz::test
