// The unit protocol as the window names its steps; the exchanges themselves
// are TUnitProtocol's, the statuses of a failed check the session's.
#include "Doz_main.h"

namespace doz {

bool TFormMain::mOpenCOM(int comPort) { return Session.Protocol().OpenCOM({comPort, {}}); }

void TFormMain::mCloseCOM() { Session.Protocol().CloseCOM(); }

bool TFormMain::mSendCmdFixed(const char* command, std::string& reply, unsigned timeoutMs,
                              int length) {
  return Session.Protocol().SendCmdFixed(command, reply, timeoutMs, length);
}

bool TFormMain::mSendCmdShort(const char* command, std::string& reply, unsigned timeoutMs) {
  return Session.Protocol().SendCmdShort(command, reply, timeoutMs);
}

bool TFormMain::mSendCmdExpect(const char* command, const char* expected, unsigned timeoutMs) {
  return Session.Protocol().SendCmdExpect(command, expected, timeoutMs);
}

bool TFormMain::mCheckUnit() { return Session.Protocol().CheckUnit(); }

bool TFormMain::mGetUnitInfo() { return Session.GetUnitInfo(); }

void TFormMain::mReleaseCOM() { Session.ReleaseCOM(); }

}  // namespace doz
