// The record of a run: every command the unit heard, stamped with the
// monotonic clock, so that a failed end-to-end test or a benchmark can be
// read afterwards without running it again.
#pragma once

#include <cstdio>
#include <string>

namespace doz::unitsim {

class TCommandTrace {
 public:
  TCommandTrace() = default;
  ~TCommandTrace();
  TCommandTrace(const TCommandTrace&) = delete;
  TCommandTrace& operator=(const TCommandTrace&) = delete;

  // Appends to the file; false when it cannot be opened.
  bool Open(const std::string& path);
  // "<seconds of the monotonic clock> <command>", written out at once.
  void Write(const std::string& command);

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace doz::unitsim
