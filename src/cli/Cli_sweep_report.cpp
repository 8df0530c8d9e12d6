#include "Cli_sweep_report.h"

#include "Point_text.h"
#include "Qo_message.h"
#include "Qo_status.h"

namespace doz::cli {

void TCliSweepReport::Status(TStatusText text) {
  failure_.Status(text);
  status_.ShowSessionStatus(text, serial_, version_);
}

void TCliSweepReport::Message(TMessageText text) {
  failure_.Message(text);
  message_.Show(text);
}

void TCliSweepReport::PointAccepted(int, int n, bool) {
  points_ = n + 1;
  progress_.Update(points_);
}

void TCliSweepReport::SweepEnded(TSweepEnding ending) {
  ending_ = ending;
  failure_.Ended(ending);
  progress_.EndLine();
}

void TCliSweepReport::MeasurementFinished() {
  status_.SetPanelText(QString::fromStdString(BandReadoutText(data_, points_)), 2);
}

bool TCliSweepReport::ReceiveFailed() const {
  return ending_ && *ending_ != TSweepEnding::Complete && *ending_ != TSweepEnding::Stopped;
}

}  // namespace doz::cli
