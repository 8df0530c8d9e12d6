// The unit protocol as the window uses it: the exchanges themselves live in
// TUnitProtocol; here their results become status texts.
#include "Doz_main.h"
#include "Qo_status.h"
#include "Serialport.h"

namespace doz {

bool TFormMain::mOpenCOM(int comPort) { return Protocol.OpenCOM(comPort); }

void TFormMain::mCloseCOM() { Protocol.CloseCOM(); }

bool TFormMain::mSendCmdFixed(const char* command, std::string& reply, unsigned timeoutMs,
                              int length) {
  return Protocol.SendCmdFixed(command, reply, timeoutMs, length);
}

bool TFormMain::mSendCmdShort(const char* command, std::string& reply, unsigned timeoutMs) {
  return Protocol.SendCmdShort(command, reply, timeoutMs);
}

bool TFormMain::mSendCmdExpect(const char* command, const char* expected, unsigned timeoutMs) {
  return Protocol.SendCmdExpect(command, expected, timeoutMs);
}

bool TFormMain::mCheckUnit() { return Protocol.CheckUnit(); }

bool TFormMain::mGetUnitInfo() {
  switch (Protocol.GetUnitInfo(UnitVersion, UnitSerial)) {
    case TUnitCheck::Ok:
      return true;
    case TUnitCheck::NotOpen:
      return false;
    case TUnitCheck::ResponseError:
      QoStatus->ShowResponseError();
      return false;
    case TUnitCheck::ModelNotFound:
      QoStatus->ShowModelNotFound();
      return false;
    case TUnitCheck::NotCalibrated:
      QoStatus->ShowNotCalibrated();
      return false;
  }
  return false;
}

void TFormMain::mReleaseCOM() {
  if (!SerialPort) return;
  Protocol.ReleaseCOM();
}

}  // namespace doz
