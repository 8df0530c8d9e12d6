// The unit's command protocol over a serial line: purge, send, the three
// ways of reading a reply, finding and checking the unit, the start commands
// with the point-count check, stopping and releasing. It keeps the session
// flag itself, and takes "open" from the line; it shows nothing: callers turn
// results into texts.
#pragma once

#include <string>

#include "Serial_line.h"

namespace doz {

enum class TUnitCheck { Ok, NotOpen, ResponseError, ModelNotFound, NotCalibrated };
enum class TStartResult { Ok, CommandSendError, Refused, CountMismatch };

class TUnitProtocol {
 public:
  static constexpr const char* kIdentity = "Do-Z";

  // The line the protocol speaks on; null: no port driver.
  void SetLine(TSerialLine* line) { line_ = line; }
  TSerialLine* Line() const { return line_; }

  // The port is open: the line's own answer.
  bool fComOpen() const { return line_ && line_->LineOpen(); }
  // The unit has been found and checked, and no stop or release has ended it.
  bool fSession() const { return session_; }

  // A port that is already open is reused as it is.
  bool OpenCOM(const TLineAddress& address);
  void CloseCOM();

  bool SendCmdFixed(const char* command, std::string& reply, unsigned timeoutMs, int length);
  bool SendCmdShort(const char* command, std::string& reply, unsigned timeoutMs);
  bool SendCmdExpect(const char* command, const char* expected, unsigned timeoutMs);

  // "?", "U?" and "ME": is there a unit on the line.
  bool CheckUnit();
  // "U?", "V?", "SN?", "M?": fills version and serial on success, and
  // opens the session; any other answer ends it.
  TUnitCheck GetUnitInfo(std::string& version, std::string& serial);
  // MS0/MS1, then M0..M9 (band - 1) and the point-count check. On
  // CommandSendError the port is closed; on Refused and CountMismatch it
  // stays open. Every failure ends the session.
  TStartResult StartSweep(bool unitAverage, int band);
  // "ME" up to three times (300 ms each) and the port handling that follows.
  bool StopMeasure();
  // Ends a session without waiting for success.
  void ReleaseCOM();

 private:
  bool PurgeAndSend(const char* command);
  bool ReadReply(char* buffer, int length, unsigned timeoutMs);

  TSerialLine* line_ = nullptr;
  bool session_ = false;
};

}  // namespace doz
