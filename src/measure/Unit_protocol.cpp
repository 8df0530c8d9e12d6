#include "Unit_protocol.h"

#include <array>
#include <chrono>
#include <cstring>

#include "Doz_setting.h"

namespace doz {
namespace {

constexpr unsigned kReplyMs = 100;
constexpr unsigned kFindStopMs = 2000;
constexpr unsigned kStopMs = 300;
constexpr unsigned kSendMs = 500;
constexpr int kStopAttempts = 3;
constexpr int kShortReplyMax = 6;
constexpr int kReplyMax = 32;

}  // namespace

bool TUnitProtocol::OpenCOM(const TLineAddress& address) {
  if (!line_) return false;
  if (fComOpen()) return true;
  return line_->OpenLine(address);
}

void TUnitProtocol::CloseCOM() {
  if (fComOpen()) line_->CloseLine();
}

bool TUnitProtocol::PurgeAndSend(const char* command) {
  if (!line_) return false;
  line_->Purge();
  const std::string text = std::string(command) + "\r";
  return line_->Write(text.data(), static_cast<std::uint32_t>(text.size()),
                      std::chrono::milliseconds(kSendMs))
             .outcome == TLineOutcome::Done;
}

// Exactly length bytes within the time-out.
bool TUnitProtocol::ReadReply(char* buffer, int length, unsigned timeoutMs) {
  return length <= kReplyMax &&
         line_->Read(buffer, static_cast<std::uint32_t>(length), std::chrono::milliseconds(timeoutMs))
                 .outcome == TLineOutcome::Done;
}

bool TUnitProtocol::SendCmdFixed(const char* command, std::string& reply, unsigned timeoutMs,
                                 int length) {
  std::array<char, kReplyMax> buffer{};
  if (!PurgeAndSend(command) || !ReadReply(buffer.data(), length + 1, timeoutMs)) return false;
  reply.assign(buffer.data(), length);
  return true;
}

bool TUnitProtocol::SendCmdShort(const char* command, std::string& reply, unsigned timeoutMs) {
  if (!PurgeAndSend(command)) return false;
  std::array<char, kShortReplyMax> buffer{};
  const TLineTransfer got =
      line_->Read(buffer.data(), kShortReplyMax, std::chrono::milliseconds(timeoutMs));
  if (got.count < 1) return false;
  reply.assign(buffer.data(), got.count - 1);
  return true;
}

bool TUnitProtocol::SendCmdExpect(const char* command, const char* expected, unsigned timeoutMs) {
  std::array<char, kReplyMax> buffer{};
  const int length = static_cast<int>(std::strlen(expected));
  return PurgeAndSend(command) && ReadReply(buffer.data(), length + 1, timeoutMs) &&
         std::memcmp(buffer.data(), expected, length) == 0;
}

bool TUnitProtocol::CheckUnit() {
  std::string identity;
  return SendCmdExpect("?", "OK", kReplyMs) && SendCmdFixed("U?", identity, kReplyMs, 4) &&
         identity == kIdentity && SendCmdExpect("ME", "OK", kFindStopMs);
}

TUnitCheck TUnitProtocol::GetUnitInfo(std::string& version, std::string& serial) {
  if (!fComOpen()) return TUnitCheck::NotOpen;
  session_ = false;
  std::string reply;
  if (!SendCmdShort("U?", reply, kReplyMs)) return TUnitCheck::ResponseError;
  if (reply != kIdentity) return TUnitCheck::ModelNotFound;
  if (!SendCmdFixed("V?", reply, kReplyMs, 4)) return TUnitCheck::ResponseError;
  version = reply;
  if (!SendCmdFixed("SN?", reply, kReplyMs, 4)) return TUnitCheck::ResponseError;
  serial = reply;
  if (!SendCmdExpect("M?", "0", kReplyMs)) return TUnitCheck::NotCalibrated;
  session_ = true;
  return TUnitCheck::Ok;
}

TStartResult TUnitProtocol::StartSweep(bool unitAverage, int band) {
  auto unanswered = [this] {
    session_ = false;
    CloseCOM();
    return TStartResult::CommandSendError;
  };
  auto refused = [this](TStartResult result) {
    session_ = false;
    return result;
  };
  if (!line_) return unanswered();
  line_->Purge();
  std::string reply;
  if (!SendCmdFixed(unitAverage ? "MS1" : "MS0", reply, kReplyMs, 2)) return unanswered();
  if (reply[0] != 'O' || reply[1] != 'K') return refused(TStartResult::Refused);
  const std::string start = "M" + std::to_string(band - 1);
  if (!SendCmdFixed(start.c_str(), reply, kReplyMs, 4)) return unanswered();
  if (reply[0] == 'N' || reply[1] == 'G' || !IsHexChar(reply.c_str()))
    return refused(TStartResult::Refused);
  if (HexToInt(reply) != BandDataNum(band)) return refused(TStartResult::CountMismatch);
  return TStartResult::Ok;
}

bool TUnitProtocol::StopMeasure() {
  if (!line_) return false;
  bool stopped = false;
  for (int attempt = 0; attempt < kStopAttempts && !stopped; ++attempt)
    stopped = SendCmdExpect("ME", "OK", kStopMs);
  // Stopped or not, the port is closed; without the unit's answer the
  // session stays, so a later close request runs the stop again.
  CloseCOM();
  if (stopped) session_ = false;
  return stopped;
}

void TUnitProtocol::ReleaseCOM() {
  if (!line_ || !session_) return;
  if (fComOpen()) SendCmdExpect("ME", "OK", kStopMs);
  CloseCOM();
  session_ = false;
}

}  // namespace doz
