#include "Unitsim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace doz::test {
namespace {

constexpr int kStartTimeoutMs = 5000;
constexpr int kStopTimeoutMs = 3000;

}  // namespace

std::string TUnitsimProcess::BinaryPath() { return DOZ_UNITSIM_PATH; }

TUnitsimProcess::TUnitsimProcess(const std::vector<std::string>& args) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return;
  std::vector<std::string> argv{BinaryPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargs;
  for (std::string& a : argv) cargs.push_back(a.data());
  cargs.push_back(nullptr);
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    // A test that dies must not leave its unit running.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    dup2(out[1], STDOUT_FILENO);
    execv(cargs[0], cargs.data());
    _exit(127);
  }
  close(out[1]);
  if (pid_ > 0) ReadFirstLine(out[0]);
  close(out[0]);
}

TUnitsimProcess::~TUnitsimProcess() { Stop(); }

void TUnitsimProcess::ReadFirstLine(int fd) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  std::string line;
  char c = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    if (read(fd, &c, 1) != 1) return;
    if (c == '\n') {
      devicePath_ = line;
      return;
    }
    line += c;
  }
}

bool TUnitsimProcess::WaitExit(int timeoutMs, int& status) {
  if (pid_ <= 0) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  do {
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

int TUnitsimProcess::Stop() {
  int status = 0;
  if (pid_ <= 0) return status;
  kill(pid_, SIGTERM);
  if (WaitExit(kStopTimeoutMs, status)) return status;
  kill(pid_, SIGKILL);
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}

}  // namespace doz::test
