// What the simulated unit sends for one sweep, read straight off the line
// without any of the application's receiving code: the first sweep of a
// fresh unit started with the given options.
#pragma once

#include <string>
#include <vector>

namespace doz::test {

struct TRecordedSweep {
  std::string count;                 // the reply to the start command
  std::vector<std::string> records;  // each point's 20 characters
  std::string end;                   // what came after the last point
};

// simArgs: options of the simulated unit ("--fast" is added).
TRecordedSweep RecordSimulatedSweep(std::vector<std::string> simArgs, int band, bool unitAverage);

}  // namespace doz::test
