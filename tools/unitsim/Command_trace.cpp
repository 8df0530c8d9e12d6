#include "Command_trace.h"

#include <chrono>

namespace doz::unitsim {

TCommandTrace::~TCommandTrace() {
  if (file_) std::fclose(file_);
}

bool TCommandTrace::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "ae");
  return file_ != nullptr;
}

void TCommandTrace::Write(const std::string& command) {
  if (!file_) return;
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  std::fprintf(file_, "%.6f %s\n", std::chrono::duration<double>(now).count(), command.c_str());
  std::fflush(file_);
}

}  // namespace doz::unitsim
