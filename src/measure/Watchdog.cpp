#include "Watchdog.h"

#include <algorithm>

namespace doz {

void TWatchdog::Start(int ms) {
  due_ = clock_.Now() + std::chrono::milliseconds(ms);
  enabled_ = true;
}

int TWatchdog::RemainingMs() const {
  if (!enabled_) return 0;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due_ - clock_.Now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

}  // namespace doz
