#include "Xvfb_display.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace doz::test {
namespace {

constexpr int kStartTimeoutMs = 10000;

// The display number Xvfb writes to the descriptor once it accepts clients.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  char c = 0;
  pollfd p{fd, POLLIN, 0};
  while (poll(&p, 1, kStartTimeoutMs) > 0 && read(fd, &c, 1) == 1 && c != '\n') number += c;
  return number;
}

}  // namespace

TXvfbDisplay::TXvfbDisplay() {
  if (!OnPath("Xvfb")) return;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  // The write end stays open across exec: Xvfb reports its display on it.
  fcntl(pipeFds[0], F_SETFD, FD_CLOEXEC);
  TSpawnOptions options;
  options.args = {"/usr/bin/Xvfb",  "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                  "1280x1024x24", "-nolisten",  "tcp",  "-noreset"};
  options.keepStderr = true;
  server_ = std::make_unique<TSpawnedProcess>(options);
  close(pipeFds[1]);
  const std::string number = ReadDisplayNumber(pipeFds[0]);
  close(pipeFds[0]);
  if (!number.empty()) name_ = ":" + number;
}

TXvfbDisplay::~TXvfbDisplay() = default;

}  // namespace doz::test
