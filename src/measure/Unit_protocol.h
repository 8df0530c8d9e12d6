// The unit's command protocol over the serial driver: purge, send, the three
// ways of reading a reply, finding and checking the unit, the start commands
// with the point-count check, stopping and releasing. It holds the two
// protocol flags; it shows nothing: callers turn results into texts.
#pragma once

#include <string>

namespace doz {

class TSerialPort;

enum class TUnitCheck { Ok, NotOpen, ResponseError, ModelNotFound, NotCalibrated };
enum class TStartResult { Ok, CommandSendError, Refused, CountMismatch };

class TUnitProtocol {
 public:
  static constexpr const char* kIdentity = "Do-Z";

  void SetPort(TSerialPort* port) { port_ = port; }
  TSerialPort* Port() const { return port_; }

  // Opens COM n (a port that is already open is reused as it is).
  bool OpenCOM(int comPort);
  // Opens a device path directly (the command-line tool).
  bool OpenDevice(const std::string& path);
  void CloseCOM();

  bool SendCmdFixed(const char* command, std::string& reply, unsigned timeoutMs, int length);
  bool SendCmdShort(const char* command, std::string& reply, unsigned timeoutMs);
  bool SendCmdExpect(const char* command, const char* expected, unsigned timeoutMs);

  // "?", "U?" and "ME": is there a unit on the line.
  bool CheckUnit();
  // "U?", "V?", "SN?", "M?": fills version and serial on success.
  TUnitCheck GetUnitInfo(std::string& version, std::string& serial);
  // MS0/MS1, then M0..M9 (band - 1) and the point-count check. On
  // CommandSendError the port is closed; on Refused and CountMismatch it
  // stays open. Every failure clears the session flag.
  TStartResult StartSweep(bool unitAverage, int band);
  // "ME" up to three times (300 ms each) and the port handling that follows.
  bool StopMeasure();
  // Ends a session without waiting for success.
  void ReleaseCOM();

  bool fComOpen = false;
  bool fSession = false;

 private:
  bool PurgeAndSend(const char* command);
  bool OpenConfigured();

  TSerialPort* port_ = nullptr;
};

}  // namespace doz
