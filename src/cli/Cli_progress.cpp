#include "Cli_progress.h"

#include <cmath>
#include <cstdio>

namespace doz::cli {
namespace {

constexpr int kBarWidth = 30;

}  // namespace

std::string ProgressBar(int done, int total, double secondsLeft) {
  const int filled = total > 0 ? done * kBarWidth / total : 0;
  const int percent = total > 0 ? done * 100 / total : 0;
  char left[32] = "-:--";
  if (secondsLeft >= 0) {
    const long s = std::lround(secondsLeft);
    std::snprintf(left, sizeof left, "%ld:%02ld", s / 60, s % 60);
  }
  char tail[96];
  std::snprintf(tail, sizeof tail, "] %d/%d %3d%%  %s left", done, total, percent, left);
  return "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + tail;
}

std::string ProgressLine(int done, int total) {
  const int percent = total > 0 ? done * 100 / total : 0;
  return std::to_string(done) + "/" + std::to_string(total) + " points (" +
         std::to_string(percent) + "%)";
}

int ProgressTenths(int done, int total) { return total > 0 ? done * 10 / total : 0; }

double SecondsLeft(int done, int total, double elapsed) {
  if (done <= 0) return -1.0;
  return elapsed * (total - done) / done;
}

void TProgress::Start(int total) {
  total_ = total;
  tenths_ = 0;
  start_ = TClock::now();
  Update(0);
}

void TProgress::Update(int done) {
  if (terminal_) {
    const double elapsed = std::chrono::duration<double>(TClock::now() - start_).count();
    err_ << "\r" << ProgressBar(done, total_, SecondsLeft(done, total_, elapsed)) << std::flush;
    barShown_ = true;
    return;
  }
  const int tenths = ProgressTenths(done, total_);
  if (tenths <= tenths_) return;
  tenths_ = tenths;
  err_ << ProgressLine(done, total_) << "\n" << std::flush;
}

void TProgress::EndLine() {
  if (!barShown_) return;
  err_ << "\n";
  barShown_ = false;
}

}  // namespace doz::cli
