#include "Sweep_receiver.h"

#include <algorithm>

namespace doz {

void TSweepReceiver::Reset(int band) {
  RcvLen = 0;
  RcvPos = 0;
  PointCount = 0;
  PointTotal = BandDataNum(band);
  FirstSlot = BandFirstIndex(band);
}

void TSweepReceiver::Begin(int band, const std::string& dateTime, TRawData& data,
                           TCalcData& calc, TCalcData& ave) {
  data.Band = band;
  data.Present = 0;
  ClearRawData(data);
  data.DateTime = dateTime;
  ClearCalcData(calc);
  ClearCalcData(ave);
  Reset(band);
}

TLineTransfer TSweepReceiver::Read(TSerialLine& line) {
  const int want = std::min(FRAME, RCV_MAX - RcvLen);
  if (want <= 0) return {TLineOutcome::Done, 0};
  const TLineTransfer got = line.Read(RcvBuf.data() + RcvLen, static_cast<std::uint32_t>(want), STEP_WAIT);
  RcvLen += static_cast<std::int32_t>(got.count);
  return got;
}

TStepResult TSweepReceiver::Take(TRawData& data) {
  const int unread = RcvLen - RcvPos;
  if (AllPointsIn()) {
    if (unread < 3) return RcvLen == RCV_MAX ? TStepResult::FramingError : TStepResult::Waiting;
    const bool ok = RcvBuf[RcvPos] == 'O' && RcvBuf[RcvPos + 1] == 'K';
    return ok ? TStepResult::EndOk : TStepResult::EndBad;
  }
  if (unread < FRAME) return RcvLen == RCV_MAX ? TStepResult::FramingError : TStepResult::Waiting;
  TPointRecord& record = data.Data[CurrentSlot()];
  // A byte that would break the record's line in a saved file (NUL, LF) is
  // kept as "0", the value every non-digit decodes to anyway. After a
  // carriage return the record is completed with "0" so that a file saved
  // from the points so far can be read again.
  bool framingError = false;
  for (int i = 0; i < RECORD_LEN; ++i) {
    const char c = RcvBuf[RcvPos + i];
    framingError = framingError || c == '\r';
    record[i] = (framingError || c == '\0' || c == '\n') ? '0' : c;
  }
  record[RECORD_LEN] = '\0';
  return framingError ? TStepResult::FramingError : TStepResult::Point;
}

void TSweepReceiver::Accept() {
  ++PointCount;
  RcvPos += FRAME;
}

}  // namespace doz
