#include "Spawned_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace doz::test {
namespace {

bool Named(const std::string& entry, const std::string& name) {
  return entry.size() > name.size() && entry.compare(0, name.size(), name) == 0 &&
         entry[name.size()] == '=';
}

std::vector<std::string> Environment(const TSpawnOptions& options) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool drop = false;
    for (const std::string& name : options.unsetEnv) drop = drop || Named(entry, name);
    for (const std::string& set : options.setEnv)
      drop = drop || Named(entry, set.substr(0, set.find('=')));
    if (!drop) env.push_back(entry);
  }
  env.insert(env.end(), options.setEnv.begin(), options.setEnv.end());
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

TSpawnedProcess::TSpawnedProcess(const TSpawnOptions& options) {
  std::vector<std::string> args = options.args;
  std::vector<std::string> env = Environment(options);
  const std::vector<char*> argv = Pointers(args);
  const std::vector<char*> envp = Pointers(env);
  int err[2] = {-1, -1};
  if (options.keepStderr && pipe2(err, O_CLOEXEC) != 0) return;
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    if (err[1] >= 0) dup2(err[1], STDERR_FILENO);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  if (err[1] >= 0) close(err[1]);
  errFd_ = err[0];
  if (errFd_ >= 0) fcntl(errFd_, F_SETFL, O_NONBLOCK);
}

TSpawnedProcess::~TSpawnedProcess() {
  Stop();
  if (errFd_ >= 0) close(errFd_);
}

bool TSpawnedProcess::WaitExit(int timeoutMs, int& status) {
  if (pid_ <= 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      exited_ = true;
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

int TSpawnedProcess::Stop(int signal) {
  int status = 0;
  if (pid_ <= 0) return status;
  kill(pid_, signal);
  if (WaitExit(3000, status)) return status;
  kill(pid_, SIGKILL);
  waitpid(pid_, &status, 0);
  pid_ = -1;
  exited_ = true;
  return status;
}

std::string TSpawnedProcess::Errors() {
  char buffer[4096];
  ssize_t n = 0;
  while (errFd_ >= 0 && (n = read(errFd_, buffer, sizeof buffer)) > 0) errors_.append(buffer, n);
  return errors_;
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::string candidate = dirs.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace doz::test
