#include "Scripted_unit.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "Doz_setting.h"
#include "Unit_commands.h"

namespace doz::test {
namespace {

constexpr int kPollMs = 20;
constexpr std::uint32_t kMaxNumerator = 0xFFFFFF;
constexpr std::uint32_t kMaxDivisor = 0xFFFF;

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

}  // namespace

std::string PointRecordText(std::uint32_t ohms, int hundredths, std::uint32_t numerator,
                            std::uint32_t divisor) {
  return Hex(ohms & 0xFFFFFF, 6) + Hex(static_cast<std::uint32_t>(hundredths) & 0xFFFF, 4) +
         Hex(numerator & 0xFFFFFF, 6) + Hex(divisor & 0xFFFF, 4);
}

std::string SamplePoint(int n, std::uint32_t ohms, int hundredths) {
  const double hertz = 10.0 * std::pow(10.0, n / 120.0);
  // The finest divisor that keeps the numerator within its six digits.
  const auto divisor = static_cast<std::uint32_t>(
      std::min<double>(kMaxDivisor, std::floor(kMaxNumerator * FREQ_FACTOR / hertz)));
  const auto numerator = static_cast<std::uint32_t>(std::lround(hertz * divisor / FREQ_FACTOR));
  return PointRecordText(ohms, hundredths, numerator, divisor);
}

std::vector<std::string> SampleRecords(int n) {
  std::vector<std::string> records;
  for (int i = 0; i < n; ++i) records.push_back(SamplePoint(i, 2000 + 37 * i, 5 * i - 300));
  return records;
}

std::string TUnitScript::Answer(const std::string& command, int occurrence) const {
  if (silent && silent(command, occurrence)) return {};
  const auto reply = [](const std::string& text) { return text + "\r"; };
  if (command == "?" || command == "ME") return reply("OK");
  if (command == "U?") return reply(identity);
  if (command == "V?") return reply(version);
  if (command == "SN?") return reply(serial);
  if (command == "M?") return reply(calibration);
  if (command == "MS0" || command == "MS1") return reply(msReply);
  if (!IsSweepStart(command)) return reply("NG");
  const int band = command[1] - '0' + 1;
  std::string out = reply(countReply.empty() ? Hex(BandDataNum(band), 4) : countReply);
  const std::vector<std::string> points =
      useRecords || !records.empty() ? records : SampleRecords(BandDataNum(band));
  for (const std::string& record : points) out += reply(record);
  if (!endMark.empty()) out += reply(endMark);
  return out;
}

TScriptedUnit::TScriptedUnit(TAnswer answer) : answer_(std::move(answer)) {
  pipe2(wake_, O_CLOEXEC | O_NONBLOCK);
  thread_ = std::thread([this] { Serve(); });
}

TScriptedUnit::TScriptedUnit(const TUnitScript& script)
    : TScriptedUnit([script](const std::string& command, int occurrence) {
        return script.Answer(command, occurrence);
      }) {}

TScriptedUnit::~TScriptedUnit() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  Wake();
  thread_.join();
  close(wake_[0]);
  close(wake_[1]);
}

std::vector<std::string> TScriptedUnit::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

int TScriptedUnit::Count(const std::string& command) const {
  std::lock_guard lock(mutex_);
  const auto it = seen_.find(command);
  return it == seen_.end() ? 0 : it->second;
}

std::string TScriptedUnit::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

bool TScriptedUnit::WaitFor(const std::string& command, int n, int timeoutMs) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    const auto it = seen_.find(command);
    return it != seen_.end() && it->second >= n;
  });
}

void TScriptedUnit::Send(const std::string& bytes) {
  {
    std::lock_guard lock(mutex_);
    pending_ += bytes;
  }
  Wake();
}

void TScriptedUnit::Wake() {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(wake_[1], &byte, 1);
}

void TScriptedUnit::Serve() {
  for (;;) {
    bool wantOut;
    {
      std::lock_guard lock(mutex_);
      if (stop_) return;
      wantOut = !pending_.empty();
    }
    pollfd fds[2] = {{wake_[0], POLLIN, 0},
                     {pty_.Master(), static_cast<short>(POLLIN | (wantOut ? POLLOUT : 0)), 0}};
    poll(fds, 2, kPollMs);
    char drain[64];
    while (read(wake_[0], drain, sizeof drain) > 0) {
    }
    // While no one holds the terminal the master reports a hang-up at once.
    if ((fds[1].revents & POLLHUP) && !(fds[1].revents & POLLIN)) {
      usleep(2000);
      continue;
    }
    if (fds[1].revents & POLLIN) TakeInput();
    WriteOut();
  }
}

void TScriptedUnit::TakeInput() {
  char buffer[256];
  ssize_t n;
  while ((n = read(pty_.Master(), buffer, sizeof buffer)) > 0) {
    for (ssize_t i = 0; i < n; ++i) {
      std::unique_lock lock(mutex_);
      received_ += buffer[i];
      if (buffer[i] != '\r') {
        line_ += buffer[i];
        continue;
      }
      const std::string command = line_;
      line_.clear();
      lock.unlock();
      Command(command);
    }
  }
}

void TScriptedUnit::Command(const std::string& command) {
  int occurrence;
  {
    std::lock_guard lock(mutex_);
    occurrence = ++seen_[command];
    commands_.push_back(command);
    if (command == "ME") pending_.clear();
  }
  const std::string reply = answer_(command, occurrence);
  std::lock_guard lock(mutex_);
  pending_ += reply;
  changed_.notify_all();
}

void TScriptedUnit::WriteOut() {
  std::lock_guard lock(mutex_);
  if (pending_.empty()) return;
  const ssize_t n = write(pty_.Master(), pending_.data(), pending_.size());
  if (n > 0) pending_.erase(0, static_cast<std::size_t>(n));
}

}  // namespace doz::test
