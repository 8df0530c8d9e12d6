// A unit the test scripts, on a pseudo-terminal served from its own thread:
// every command that arrives is logged, and the test decides each reply. For
// the cases the simulated unit cannot make: exact values, lower-case counts,
// replies refused in other ways, an "ME" answered only at a given attempt.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Pty_pair.h"

namespace doz::test {

// Twenty upper-case hexadecimal digits: ohms (6), hundredths of a degree (4,
// two's complement), frequency numerator (6) and divisor (4).
std::string PointRecordText(std::uint32_t ohms, int hundredths, std::uint32_t numerator,
                            std::uint32_t divisor);
// A record of the given values at a plausible frequency for point n.
std::string SamplePoint(int n, std::uint32_t ohms, int hundredths);
// n records of a smooth curve (ohms 2000 + 37 n, phase 5 n - 300).
std::vector<std::string> SampleRecords(int n);

// What a well-behaved unit answers; change a field for a fault.
struct TUnitScript {
  std::string identity = "Do-Z";
  std::string version = "1.23";
  std::string serial = "0042";
  std::string calibration = "0";
  std::string msReply = "OK";
  // Reply to M0..M9; empty: the band's point count in four upper-case digits.
  std::string countReply;
  // Sent after the count; empty: SampleRecords of the band's count.
  std::vector<std::string> records;
  bool useRecords = false;  // send `records` even when empty
  // Sent after the records; empty: nothing more (the unit falls silent).
  std::string endMark = "OK";
  // A command left unanswered at that occurrence (counted from 1).
  std::function<bool(const std::string& command, int occurrence)> silent;

  std::string Answer(const std::string& command, int occurrence) const;
};

class TScriptedUnit {
 public:
  // command: without its carriage return. The returned bytes go out as they
  // are; empty: no answer. "ME" first drops what has not gone out yet, as the
  // unit stops a sweep at once.
  using TAnswer = std::function<std::string(const std::string& command, int occurrence)>;

  explicit TScriptedUnit(TAnswer answer);
  explicit TScriptedUnit(const TUnitScript& script);
  ~TScriptedUnit();
  TScriptedUnit(const TScriptedUnit&) = delete;
  TScriptedUnit& operator=(const TScriptedUnit&) = delete;

  const std::string& DevicePath() const { return pty_.SlavePath(); }
  // Every command so far, in order.
  std::vector<std::string> Commands() const;
  int Count(const std::string& command) const;
  // Every byte that arrived, carriage returns included.
  std::string Received() const;
  // Waits until the command has come n times; false after timeoutMs.
  bool WaitFor(const std::string& command, int n, int timeoutMs) const;
  // Puts bytes on the line now, unasked.
  void Send(const std::string& bytes);

 private:
  void Serve();
  void Wake();
  void TakeInput();
  void Command(const std::string& command);
  void WriteOut();

  TPtyPair pty_;
  TAnswer answer_;
  int wake_[2] = {-1, -1};
  std::thread thread_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::string line_;
  std::string received_;
  std::vector<std::string> commands_;
  std::map<std::string, int> seen_;
  std::string pending_;
  bool stop_ = false;
};

}  // namespace doz::test
