#include "Sweep_failure.h"

#include <algorithm>

namespace doz::station {
namespace {

// The short name the unit's texts begin with, as the window's services have it.
constexpr const char* kName = "Do-Z";

}  // namespace

bool IsFailureStatus(TStatusText text) {
  switch (text) {
    case TStatusText::UnitNotFound:
    case TStatusText::ModelNotFound:
    case TStatusText::PortOpenError:
    case TStatusText::ReceiveError:
    case TStatusText::CommandSendError:
    case TStatusText::ResponseError:
    case TStatusText::NotCalibrated:
    case TStatusText::CalcError:
    case TStatusText::MeasureStopped:
    case TStatusText::StartError:
      return true;
    default:
      return false;
  }
}

void TSweepFailure::Add(const std::string& text) {
  if (std::find(texts_.begin(), texts_.end(), text) == texts_.end()) texts_.push_back(text);
}

void TSweepFailure::Status(TStatusText text) {
  if (IsFailureStatus(text)) Add(StatusText(text, kName));
}

void TSweepFailure::Message(TMessageText text) {
  if (MessageKind(text) == TMessageKind::Error) Add(MessageText(text, kName));
}

void TSweepFailure::Ended(TSweepEnding ending) {
  if (ending == TSweepEnding::Complete || Any()) return;
  Status(ending == TSweepEnding::Stopped ? TStatusText::MeasureStopped : TStatusText::ReceiveError);
}

std::string TSweepFailure::Text() const {
  if (texts_.empty()) return StatusText(TStatusText::StartError, kName);
  std::string joined;
  for (const std::string& text : texts_) joined += (joined.empty() ? "" : " / ") + text;
  return joined;
}

}  // namespace doz::station
