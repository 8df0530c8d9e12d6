// Why a sweep did not give a measurement, for the row of the part: the
// status texts and boxes that said so, in the words the window shows.
#pragma once

#include <string>
#include <vector>

#include "Session_report.h"
#include "Text_catalogue.h"

namespace doz::station {

// Whether the status text tells of a failure (a port, a unit, a stream, a
// decoding that failed, a stop) rather than of progress.
bool IsFailureStatus(TStatusText text);

// Gathers the texts of a failing sweep, each once and in order.
class TSweepFailure {
 public:
  void Clear() { texts_.clear(); }
  void Status(TStatusText text);
  void Message(TMessageText text);
  // The ending of a stream that broke, when no text has said so yet.
  void Ended(TSweepEnding ending);
  // A reason of the owner's own.
  void Note(const std::string& text) { Add(text); }
  bool Any() const { return !texts_.empty(); }
  // "通信ポートが開けません / 測定開始できませんでした"; a general text when none came.
  std::string Text() const;

 private:
  void Add(const std::string& text);

  std::vector<std::string> texts_;
};

}  // namespace doz::station
