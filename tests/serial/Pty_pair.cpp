#include "Pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace doz::test {

TPtyPair::TPtyPair() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
    throw std::runtime_error("no pseudo-terminal");
  slavePath_ = ptsname(master_);
  termios t{};
  tcgetattr(master_, &t);
  cfmakeraw(&t);
  tcsetattr(master_, TCSANOW, &t);
}

TPtyPair::~TPtyPair() { CloseMaster(); }

void TPtyPair::CloseMaster() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

void TPtyPair::Send(std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = write(master_, text.data(), text.size());
    if (n > 0) {
      text.remove_prefix(static_cast<std::size_t>(n));
    } else {
      pollfd p{master_, POLLOUT, 0};
      poll(&p, 1, 100);
    }
  }
}

std::string TPtyPair::Received(int waitMs) {
  std::string got;
  pollfd p{master_, POLLIN, 0};
  if (poll(&p, 1, waitMs) <= 0) return got;
  char buffer[4096];
  for (ssize_t n; (n = read(master_, buffer, sizeof buffer)) > 0;) got.append(buffer, std::size_t(n));
  return got;
}

bool TPtyPair::WaitQueued(int slaveFd, int count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int queued = 0;
  while (ioctl(slaveFd, FIONREAD, &queued) == 0 && queued < count) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return queued >= count;
}

bool TPtyPair::SendQueued(int slaveFd, std::string_view text) {
  int before = 0;
  if (ioctl(slaveFd, FIONREAD, &before) != 0) return false;
  Send(text);
  return WaitQueued(slaveFd, before + static_cast<int>(text.size()));
}

}  // namespace doz::test
