// What the measurement session reports, on the command line: status texts
// and boxes as lines through the application's services, the progress of
// the points, and how the sweep ended.
#pragma once

#include <optional>
#include <string>

#include "Cli_progress.h"
#include "Doz_setting.h"
#include "Session_report.h"
#include "Sweep_failure.h"

namespace doz {
class TQo_Message;
class TQo_Status;
}  // namespace doz

namespace doz::cli {

class TCliSweepReport : public TSessionReport {
 public:
  // The unit's serial number and version and the measurement are read when
  // the session reports them.
  TCliSweepReport(TQo_Status& status, TQo_Message& message, TProgress& progress,
                  const std::string& serial, const std::string& version, const TRawData& data)
      : status_(status),
        message_(message),
        progress_(progress),
        serial_(serial),
        version_(version),
        data_(data) {}

  void Status(TStatusText text) override;
  void Message(TMessageText text) override;
  void MeasurementReset() override {}
  void PointAccepted(int slot, int n, bool widened) override;
  void SweepEnded(TSweepEnding ending) override;
  void MeasurementFinished() override;

  // The stream failed: no data, a broken record or line, a wrong end mark.
  bool ReceiveFailed() const;
  // What the status texts and boxes said of a failure.
  const station::TSweepFailure& Failure() const { return failure_; }

 private:
  TQo_Status& status_;
  TQo_Message& message_;
  TProgress& progress_;
  const std::string& serial_;
  const std::string& version_;
  const TRawData& data_;
  std::optional<TSweepEnding> ending_;
  station::TSweepFailure failure_;
  int points_ = 0;  // received so far
};

}  // namespace doz::cli
