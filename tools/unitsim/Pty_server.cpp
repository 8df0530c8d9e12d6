#include "Pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace doz::unitsim {
namespace {

using TClock = TLinePacer::TClock;

// While no one holds the terminal the master reports a hang-up at once, so
// the server waits for the terminal's next open instead; without that
// notice it looks again this often.
constexpr timespec kClosedRetry{0, 10 * 1000 * 1000};
// A safety net in case an open slips past the notice.
constexpr timespec kOpenCheck{1, 0};
constexpr std::size_t kReadChunk = 256;
// A hang-up flushes what the application has not read yet; it gets this long
// to take the points sent before the line goes.
constexpr timespec kHangupGrace{0, 200 * 1000 * 1000};

timespec ToTimespec(TClock::duration d) {
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::max(d, TClock::duration::zero()))
                      .count();
  return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

}  // namespace

TPtyServer::TPtyServer(TSimulatedUnit& unit, TLinePacer& pacer)
    : unit_(unit), pacer_(pacer) {}

TPtyServer::~TPtyServer() { Close(); }

bool TPtyServer::Open(const std::string& linkPath, std::string& error) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  const char* name = master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0 ? ptsname(master_) : nullptr;
  if (!name) {
    error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  devicePath_ = name;
  // Raw from the start, so nothing the unit sends before the application has
  // set up the line is echoed back or altered.
  termios t{};
  tcgetattr(master_, &t);
  cfmakeraw(&t);
  tcsetattr(master_, TCSANOW, &t);
  WatchOpens();
  return linkPath.empty() || MakeLink(linkPath, error);
}

void TPtyServer::WatchOpens() {
  watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (watch_ >= 0 && inotify_add_watch(watch_, devicePath_.c_str(), IN_OPEN) < 0) {
    ::close(watch_);
    watch_ = -1;
  }
}

// An old link (from a unit that was killed) is replaced; anything else that
// stands there is left alone.
bool TPtyServer::MakeLink(const std::string& linkPath, std::string& error) {
  std::error_code ec;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(linkPath, ec)))
    std::filesystem::remove(linkPath, ec);
  std::filesystem::create_symlink(devicePath_, linkPath, ec);
  if (ec) {
    error = "cannot create the link " + linkPath + ": " + ec.message();
    return false;
  }
  linkPath_ = linkPath;
  return true;
}

void TPtyServer::Close() {
  std::error_code ec;
  // Only a link that still leads to this terminal is ours to remove.
  if (!linkPath_.empty() && std::filesystem::read_symlink(linkPath_, ec) == devicePath_)
    std::filesystem::remove(linkPath_, ec);
  linkPath_.clear();
  if (master_ >= 0) ::close(master_);
  if (watch_ >= 0) ::close(watch_);
  master_ = -1;
  watch_ = -1;
}

void TPtyServer::Run(const volatile sig_atomic_t& stop, const sigset_t& waitMask) {
  while (!stop && !unit_.HangupDue()) {
    const TClock::time_point now = TClock::now();
    const std::size_t waiting = unit_.Pending().size();
    const bool due = waiting > 0 && pacer_.Due(waiting, now) > 0;
    // Room to write is asked for only when a byte is due (a terminal with
    // room would wake poll() at once); with nothing due the wait ends when
    // the next byte is released.
    pollfd p{master_, static_cast<short>(POLLIN | (due ? POLLOUT : 0)), 0};
    const timespec untilRelease = ToTimespec(pacer_.NextRelease() - now);
    const bool untimed = waiting == 0 || due;
    if (ppoll(&p, 1, untimed ? nullptr : &untilRelease, &waitMask) < 0) continue;
    if (SlaveGone(p.revents, waitMask)) continue;
    if (p.revents & POLLIN) ReadCommands();
    WriteDue();
  }
  if (unit_.HangupDue()) ppoll(nullptr, 0, &kHangupGrace, &waitMask);
  Close();
}

// The application has closed the port: a new session starts with its next open.
bool TPtyServer::SlaveGone(short revents, const sigset_t& waitMask) {
  if (!(revents & POLLHUP)) return false;
  unit_.LineClosed();
  AwaitOpen(waitMask);
  return true;
}

void TPtyServer::AwaitOpen(const sigset_t& waitMask) {
  char events[1024];
  while (watch_ >= 0 && ::read(watch_, events, sizeof events) > 0) {
  }
  // Opened again before the old notices were dropped: nothing to wait for.
  pollfd master{master_, POLLIN, 0};
  if (poll(&master, 1, 0) >= 0 && !(master.revents & POLLHUP)) return;
  pollfd watch{watch_, POLLIN, 0};
  if (watch_ >= 0) ppoll(&watch, 1, &kOpenCheck, &waitMask);
  else ppoll(nullptr, 0, &kClosedRetry, &waitMask);
}

void TPtyServer::ReadCommands() {
  char buffer[kReadChunk];
  const ssize_t n = ::read(master_, buffer, sizeof buffer);
  if (n <= 0) return;
  const bool wasIdle = unit_.Pending().empty();
  unit_.Receive(std::string_view(buffer, static_cast<std::size_t>(n)));
  if (wasIdle && !unit_.Pending().empty()) pacer_.Offer(TClock::now());
}

void TPtyServer::WriteDue() {
  const std::string_view pending = unit_.Pending();
  const TClock::time_point now = TClock::now();
  const std::size_t due = pacer_.Due(pending.size(), now);
  if (due == 0) return;
  const ssize_t n = ::write(master_, pending.data(), due);
  if (n <= 0) return;
  unit_.Consume(static_cast<std::size_t>(n));
  pacer_.Sent(static_cast<std::size_t>(n), now);
}

}  // namespace doz::unitsim
