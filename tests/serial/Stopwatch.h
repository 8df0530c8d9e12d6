// Time checks for tests on a shared, busy machine: a wait may never end early,
// and may end late by up to kSlack, generous enough for a loaded CI machine.
#pragma once

#include <gtest/gtest.h>

#include <chrono>

namespace doz::test {

constexpr std::chrono::milliseconds kSlack{1500};

class TStopwatch {
 public:
  std::chrono::milliseconds Elapsed() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_);
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// At least `wait`, and less than `wait` + kSlack.
inline ::testing::AssertionResult Waited(std::chrono::milliseconds took,
                                         std::chrono::milliseconds wait) {
  if (took >= wait && took < wait + kSlack) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "took " << took.count() << " ms for a wait of "
                                       << wait.count() << " ms";
}

}  // namespace doz::test
