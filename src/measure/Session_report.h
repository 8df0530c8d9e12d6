// What a measurement session tells its owner: status texts and messages by
// their identifiers in the catalogue, each point as it is taken, the end of
// a sweep and how it ended, and the finished measurement. The owner shows,
// draws, prints or formats; the session does none of it.
#pragma once

#include "Text_catalogue.h"

namespace doz {

enum class TSweepEnding {
  Complete,      // every point and "OK"
  BadEndMark,    // every point, then an end mark other than "OK"
  NoData,        // the watchdog: a minute without a byte
  FramingError,  // a carriage return inside a record, or the buffer full
  DecodeError,   // a point that could not go into its slot
  LineBroken,    // the device hung up or refused to be read
  Stopped,       // the user stopped it
};

class TSessionReport {
 public:
  virtual ~TSessionReport() = default;

  // A status text on its panel. For UnitInfo the owner composes the line
  // from the unit's serial number and version.
  virtual void Status(TStatusText text) = 0;
  // An error box.
  virtual void Message(TMessageText text) = 0;
  // A new sweep has emptied the measurement: no file is current any more.
  virtual void MeasurementReset() = 0;
  // Point n (from 0) is in `slot`; `widened`: the resistance limits grew to
  // take it, so the sweep so far must be drawn again.
  virtual void PointAccepted(int slot, int n, bool widened) = 0;
  // The sweep is over; a finish may follow at the next step.
  virtual void SweepEnded(TSweepEnding ending) = 0;
  // The measurement is decoded and smoothed: show it and its band's range,
  // before the finished text.
  virtual void MeasurementFinished() = 0;
};

}  // namespace doz
