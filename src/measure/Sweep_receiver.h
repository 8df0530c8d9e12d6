// The receiving side of a sweep: the receive buffer, framing of the unit's
// stream into 21-byte point records, the slot each point goes to, and the
// end mark. One Step takes at most one point.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "Doz_setting.h"
#include "Serial_line.h"

namespace doz {

enum class TStepResult {
  Waiting,       // nothing complete yet
  Point,         // one record stored in slot FirstSlot + PointCount (not yet counted)
  FramingError,  // a carriage return inside a record, or the buffer is full
  EndOk,         // all points and "OK"
  EndBad,        // all points and an end mark other than "OK"
};

class TSweepReceiver {
 public:
  static constexpr int RCV_MAX = 20000;
  static constexpr int FRAME = 21;
  static constexpr std::chrono::milliseconds STEP_WAIT{100};

  void Reset(int band);
  // A new sweep of the band: the receiver reset; the raw set emptied, dated
  // and not present; both numeric sets without values, so that slots no point
  // reaches never show an earlier measurement.
  void Begin(int band, const std::string& dateTime, TRawData& data, TCalcData& calc,
             TCalcData& ave);
  // Reads up to 21 bytes into the buffer, waiting at most the 100 ms of an
  // acquisition step for the missing ones; the buffer's bound holds.
  TLineTransfer Read(TSerialLine& line);
  // Frames what has arrived: stores a complete record into data (its slot is
  // FirstSlot + PointCount) or checks the end mark once all points are in.
  TStepResult Take(TRawData& data);
  // Counts the point that Take stored.
  void Accept();
  int CurrentSlot() const { return FirstSlot + PointCount; }
  bool AllPointsIn() const { return PointCount >= PointTotal; }

  std::array<char, RCV_MAX> RcvBuf{};
  std::int32_t RcvLen = 0;
  std::int32_t RcvPos = 0;
  std::int32_t PointCount = 0;
  std::int32_t PointTotal = 0;
  std::int32_t FirstSlot = 0;
};

}  // namespace doz
