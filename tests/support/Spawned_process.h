// A program started for one test: the test's environment with some names
// changed, standard error kept for the test to read. It is ended and reaped
// with the object, and also when the test process dies.
#pragma once

#include <sys/types.h>

#include <csignal>
#include <string>
#include <vector>

namespace doz::test {

struct TSpawnOptions {
  std::vector<std::string> args;      // args[0]: the program's path
  std::vector<std::string> setEnv;    // "NAME=value", replacing any NAME
  std::vector<std::string> unsetEnv;  // names to remove
  bool keepStderr = false;            // else it goes where the test's goes
};

class TSpawnedProcess {
 public:
  explicit TSpawnedProcess(const TSpawnOptions& options);
  ~TSpawnedProcess();
  TSpawnedProcess(const TSpawnedProcess&) = delete;
  TSpawnedProcess& operator=(const TSpawnedProcess&) = delete;

  bool Started() const { return pid_ > 0 || exited_; }
  pid_t Pid() const { return pid_; }
  // Waits up to timeoutMs for it to end by itself; its waitpid status.
  bool WaitExit(int timeoutMs, int& status);
  // Sends the signal, then SIGKILL if it has not ended within 3 s.
  int Stop(int signal = SIGTERM);
  // What it wrote to standard error so far (keepStderr only).
  std::string Errors();

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  int errFd_ = -1;
  std::string errors_;
};

// True when the program is found on PATH.
bool OnPath(const std::string& program);

}  // namespace doz::test
