#include "Memory_line.h"

#include <algorithm>
#include <cstring>

namespace doz::test {

bool TMemoryLine::OpenLine(const TLineAddress& address) {
  lastAddress = address;
  if (!opens) return false;
  open_ = true;
  ++opened;
  queued_.clear();
  return true;
}

bool TMemoryLine::Purge() {
  if (!open_) return false;
  queued_.clear();
  typed_.clear();
  return true;
}

int TMemoryLine::Count(const std::string& command) const {
  return static_cast<int>(std::count(commands_.begin(), commands_.end(), command));
}

TLineTransfer TMemoryLine::Write(const void* data, std::uint32_t count, TMs) {
  if (!open_) return {TLineOutcome::HungUp, 0};
  const auto* bytes = static_cast<const char*>(data);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (bytes[i] != '\r') {
      typed_ += bytes[i];
      continue;
    }
    commands_.push_back(typed_);
    queued_ += answer_(typed_, Count(typed_));
    typed_.clear();
  }
  return {TLineOutcome::Done, count};
}

TLineTransfer TMemoryLine::Read(void* buffer, std::uint32_t count, TMs timeout) {
  if (!open_) return {TLineOutcome::HungUp, 0};
  const std::uint32_t got = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(queued_.size()));
  std::memcpy(buffer, queued_.data(), got);
  queued_.erase(0, got);
  if (got == count) return {TLineOutcome::Done, got};
  if (atEnd == TLineOutcome::HungUp) open_ = false;
  if (atEnd != TLineOutcome::TimedOut) return {atEnd, got};
  clock_.Advance(timeout);
  return {TLineOutcome::TimedOut, got};
}

}  // namespace doz::test
