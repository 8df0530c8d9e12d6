// The simulated unit as a child process for one test: started with the given
// options, its terminal path read from its first line, ended and reaped with
// the object. It also ends when the thread that started it ends, so a test
// that dies leaves no unit behind.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace doz::test {

class TUnitsimProcess {
 public:
  explicit TUnitsimProcess(const std::vector<std::string>& args = {});
  ~TUnitsimProcess();
  TUnitsimProcess(const TUnitsimProcess&) = delete;
  TUnitsimProcess& operator=(const TUnitsimProcess&) = delete;

  // True once the unit has printed its terminal's path.
  bool Started() const { return !devicePath_.empty(); }
  const std::string& DevicePath() const { return devicePath_; }
  pid_t Pid() const { return pid_; }

  // Waits up to timeoutMs for the unit to end by itself; its exit status
  // (as waitpid gives it) in status. False while it still runs.
  bool WaitExit(int timeoutMs, int& status);
  // Ends it with SIGTERM (SIGKILL if it does not go) and returns the status.
  int Stop();

  static std::string BinaryPath();

 private:
  void ReadFirstLine(int fd);

  pid_t pid_ = -1;
  std::string devicePath_;
};

}  // namespace doz::test
