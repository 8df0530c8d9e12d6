// Progress of a sweep on standard error: on a terminal a bar redrawn in
// place, otherwise one line each time another tenth of the points is in.
#pragma once

#include <chrono>
#include <ostream>
#include <string>

namespace doz::cli {

// "[#####-----...] 278/556  50%  0:06 left": the bar is 30 characters, the
// percentage is truncated, and a negative secondsLeft (not yet known) shows
// "-:--".
std::string ProgressBar(int done, int total, double secondsLeft);
// "278/556 points (50%)".
std::string ProgressLine(int done, int total);
// Whole tenths of total that done has reached, 0 to 10.
int ProgressTenths(int done, int total);
// Seconds still to go when done of total took elapsed seconds; -1 before the
// first point.
double SecondsLeft(int done, int total, double elapsed);

class TProgress {
 public:
  TProgress(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

  void Start(int total);
  void Update(int done);
  // Ends the bar's line so that the next text starts a line of its own.
  void EndLine();

 private:
  using TClock = std::chrono::steady_clock;

  std::ostream& err_;
  bool terminal_;
  bool barShown_ = false;
  int total_ = 0;
  int tenths_ = 0;
  TClock::time_point start_;
};

}  // namespace doz::cli
