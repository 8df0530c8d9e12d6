#include "Unit_protocol.h"

#include <array>
#include <cstring>

#include "Doz_setting.h"
#include "Serialport.h"

namespace doz {
namespace {

constexpr unsigned kReplyMs = 100;
constexpr unsigned kFindStopMs = 2000;
constexpr unsigned kStopMs = 300;
constexpr int kStopAttempts = 3;
constexpr int kShortReplyMax = 6;

}  // namespace

bool TUnitProtocol::OpenConfigured() {
  port_->SetBaudRate(br9600);
  if (!port_->Connect()) {
    port_->Disconnect();
    return false;
  }
  port_->FlushBuffers(true, true);
  fComOpen = true;
  return true;
}

bool TUnitProtocol::OpenCOM(int comPort) {
  if (!port_) return false;
  if (fComOpen) return true;
  port_->SetPort(comPort);
  return OpenConfigured();
}

bool TUnitProtocol::OpenDevice(const std::string& path) {
  if (!port_) return false;
  if (fComOpen) return true;
  port_->SetPortName(path);
  return OpenConfigured();
}

void TUnitProtocol::CloseCOM() {
  if (!fComOpen) return;
  port_->FlushBuffers(true, true);
  port_->Disconnect();
  fComOpen = false;
}

bool TUnitProtocol::PurgeAndSend(const char* command) {
  if (!port_) return false;
  port_->FlushBuffers(true, true);
  const std::string line = std::string(command) + "\r";
  return port_->SendZString(line.c_str());
}

bool TUnitProtocol::SendCmdFixed(const char* command, std::string& reply, unsigned timeoutMs,
                                 int length) {
  if (!PurgeAndSend(command)) return false;
  std::array<char, 32> buffer{};
  const int want = length + 1;
  if (static_cast<int>(port_->ReadData_inTime(buffer.data(), want, timeoutMs)) != want) return false;
  reply.assign(buffer.data(), length);
  return true;
}

bool TUnitProtocol::SendCmdShort(const char* command, std::string& reply, unsigned timeoutMs) {
  if (!PurgeAndSend(command)) return false;
  std::array<char, kShortReplyMax> buffer{};
  const auto got = static_cast<int>(port_->ReadData2(buffer.data(), kShortReplyMax, timeoutMs));
  if (got < 1) return false;
  reply.assign(buffer.data(), got - 1);
  return true;
}

bool TUnitProtocol::SendCmdExpect(const char* command, const char* expected, unsigned timeoutMs) {
  if (!PurgeAndSend(command)) return false;
  std::array<char, 32> buffer{};
  const int want = static_cast<int>(std::strlen(expected)) + 1;
  if (static_cast<int>(port_->ReadData_inTime(buffer.data(), want, timeoutMs)) != want) return false;
  return std::memcmp(buffer.data(), expected, want - 1) == 0;
}

bool TUnitProtocol::CheckUnit() {
  std::string identity;
  return SendCmdExpect("?", "OK", kReplyMs) && SendCmdFixed("U?", identity, kReplyMs, 4) &&
         identity == kIdentity && SendCmdExpect("ME", "OK", kFindStopMs);
}

TUnitCheck TUnitProtocol::GetUnitInfo(std::string& version, std::string& serial) {
  if (!fComOpen) return TUnitCheck::NotOpen;
  std::string reply;
  if (!SendCmdShort("U?", reply, kReplyMs)) return TUnitCheck::ResponseError;
  if (reply != kIdentity) return TUnitCheck::ModelNotFound;
  if (!SendCmdFixed("V?", reply, kReplyMs, 4)) return TUnitCheck::ResponseError;
  version = reply;
  if (!SendCmdFixed("SN?", reply, kReplyMs, 4)) return TUnitCheck::ResponseError;
  serial = reply;
  if (!SendCmdExpect("M?", "0", kReplyMs)) return TUnitCheck::NotCalibrated;
  return TUnitCheck::Ok;
}

TStartResult TUnitProtocol::StartSweep(bool unitAverage, int band) {
  auto unanswered = [this] {
    fSession = false;
    if (port_) port_->Disconnect();
    fComOpen = false;
    return TStartResult::CommandSendError;
  };
  if (!port_) return unanswered();
  port_->FlushBuffers(true, true);
  std::string reply;
  if (!SendCmdFixed(unitAverage ? "MS1" : "MS0", reply, kReplyMs, 2)) return unanswered();
  if (reply[0] != 'O' || reply[1] != 'K') {
    fSession = false;
    return TStartResult::Refused;
  }
  const std::string start = "M" + std::to_string(band - 1);
  if (!SendCmdFixed(start.c_str(), reply, kReplyMs, 4)) return unanswered();
  if (reply[0] == 'N' || reply[1] == 'G' || !IsHexChar(reply.c_str())) {
    fSession = false;
    return TStartResult::Refused;
  }
  if (HexToInt(reply) != BandDataNum(band)) {
    fSession = false;
    return TStartResult::CountMismatch;
  }
  return TStartResult::Ok;
}

bool TUnitProtocol::StopMeasure() {
  if (!port_) return false;
  bool stopped = false;
  for (int attempt = 0; attempt < kStopAttempts && !stopped; ++attempt)
    stopped = SendCmdExpect("ME", "OK", kStopMs);
  if (stopped) {
    if (fComOpen) port_->FlushBuffers(true, true);
    CloseCOM();
    fSession = false;
    return true;
  }
  // The session flag stays: a later close request runs the stop again.
  port_->FlushBuffers(true, true);
  port_->Disconnect();
  fComOpen = false;
  return false;
}

void TUnitProtocol::ReleaseCOM() {
  if (!port_ || !fSession) return;
  if (fComOpen) {
    SendCmdExpect("ME", "OK", kStopMs);
    port_->FlushBuffers(true, true);
  }
  CloseCOM();
  fSession = false;
}

}  // namespace doz
