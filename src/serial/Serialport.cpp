#include "Serialport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "Arbitrary_speed.h"
#include "Com_ports.h"
#include "Line_settings.h"

namespace doz {
namespace {

constexpr std::uint32_t kNotOpenCount = 65535;
constexpr std::uint32_t kMinBufSize = 128;
constexpr std::uint32_t kMaxBufSize = 8192;
constexpr std::uint16_t kMinPollingDelay = 5;

constexpr std::uint32_t kBaudRates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                        14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

// Errors after which the device is gone for good (hang-up, adapter pulled).
bool DeviceGone(int err) {
  return err == EIO || err == ENXIO || err == ENODEV || err == EBADF || err == EPIPE;
}

// Modem-line requests a device cannot serve: a pseudo-terminal has no lines.
bool NoModemLines(int err) { return err == ENOTTY || err == EINVAL; }

timespec Remaining(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::max(deadline - std::chrono::steady_clock::now(),
                             std::chrono::steady_clock::duration::zero());
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
  return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

}  // namespace

TSerialPort::TSerialPort() : portName_(ComPortDevice("", pnCOM1)) {}

TSerialPort::~TSerialPort() { Disconnect(); }

void TSerialPort::SetPortsDirectory(const std::string& dir) {
  portsDir_ = dir;
  if (!Connected() && port_ != pnCustom) portName_ = ComPortDevice(portsDir_, port_);
}

void TSerialPort::SetPort(int port) {
  if (Connected() || port < pnCustom || port > kMaxComNumber) return;
  port_ = port;
  if (port != pnCustom) portName_ = ComPortDevice(portsDir_, port);
}

void TSerialPort::SetPortName(const std::string& name) {
  if (Connected()) return;
  portName_ = name;
  port_ = pnCustom;
}

void TSerialPort::SetBaudRate(TBaudRate rate) {
  if (rate < brCustom || rate > br256000) return;
  baudRate_ = rate;
  if (rate != brCustom) line_.BaudRate = BaudRateOf(rate);
  ApplyIfOpen();
}

void TSerialPort::SetBaudRateValue(std::uint32_t bitsPerSecond) {
  baudRate_ = brCustom;
  SetLine(&TLineSettings::BaudRate, bitsPerSecond);
}

void TSerialPort::SetDataBits(TDataBits bits) { SetLine(&TLineSettings::DataBits, bits); }

void TSerialPort::SetStopBits(TStopBits bits) { SetLine(&TLineSettings::StopBits, bits); }

void TSerialPort::SetParity(TParity parity) { SetLine(&TLineSettings::Parity, parity); }

void TSerialPort::SetHwFlow(THwFlowControl flow) { SetLine(&TLineSettings::HwFlow, flow); }

void TSerialPort::SetSwFlow(TSwFlowControl flow) { SetLine(&TLineSettings::SwFlow, flow); }

void TSerialPort::SetInBufSize(std::uint32_t size) {
  if (!Connected()) inBufSize_ = std::clamp(size, kMinBufSize, kMaxBufSize);
}

void TSerialPort::SetOutBufSize(std::uint32_t size) {
  if (!Connected()) outBufSize_ = std::clamp(size, kMinBufSize, kMaxBufSize);
}

void TSerialPort::SetPollingDelay(std::uint16_t ms) {
  pollingDelay_ = std::max(ms, kMinPollingDelay);
}

void TSerialPort::ApplyIfOpen() {
  if (Connected()) ApplyCOMSettings();
}

bool TSerialPort::Connect() {
  if (Connected()) return true;
  if (portName_.empty()) return false;
  fd_ = ::open(portName_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return false;
  lineDown_ = false;
  streaming_ = false;
  if (!LockDevice() || !ApplyCOMSettings()) {
    Disconnect();
    return false;
  }
  return true;
}

// Not shared: TIOCEXCL turns away other openers, and the advisory lock also
// holds against privileged processes, which TIOCEXCL lets through.
bool TSerialPort::LockDevice() {
  if (flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return false;
  if (ioctl(fd_, TIOCEXCL) != 0) return false;
  exclusive_ = true;
  return true;
}

bool TSerialPort::Disconnect() { return Connected() && CloseDevice(); }

bool TSerialPort::CloseDevice() {
  // A pseudo-terminal keeps its exclusive flag while its other side stays
  // open; left set, it would turn away our own next open.
  if (exclusive_) ioctl(fd_, TIOCNXCL);
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  exclusive_ = false;
  return closed;
}

void TSerialPort::NoteFailure(int err) {
  if (Connected() && DeviceGone(err)) CloseDevice();
}

bool TSerialPort::ApplyCOMSettings() {
  if (!Connected() || line_.BaudRate == 0) return false;
  termios t{};
  if (tcgetattr(fd_, &t) != 0) {
    NoteFailure(errno);
    return false;
  }
  ToTermios(line_, t);
  if (tcsetattr(fd_, TCSANOW, &t) != 0) {
    NoteFailure(errno);
    return false;
  }
  if (StandardSpeed(line_.BaudRate) == B0 && !SetArbitrarySpeed(fd_, line_.BaudRate)) return false;
  // There is no counterpart of the driver-side buffer sizes: the kernel sizes
  // its own queues, and OutBufSize is honoured by OutFreeSpace.
  return ApplyModemLines() && FlushBuffers(true, true);
}

bool TSerialPort::ApplyModemLines() {
  const bool dtrOk = SetModemLine(TIOCM_DTR, enableDTROnOpen_) || NoModemLines(errno);
  // Under RTS/CTS handshake the kernel drives RTS itself.
  const bool rtsOk = line_.HwFlow == hfRTSCTS || SetModemLine(TIOCM_RTS, line_.HwFlow == hfNONERTSON) ||
                     NoModemLines(errno);
  return dtrOk && rtsOk && Connected();
}

bool TSerialPort::SetModemLine(int line, bool on) {
  if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return true;
  const int err = errno;
  NoteFailure(err);
  errno = err;
  return false;
}

bool TSerialPort::FlushBuffers(bool rx, bool tx) {
  if (!Connected()) return false;
  if (!rx && !tx) return true;
  if (tcflush(fd_, rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH) == 0) return true;
  NoteFailure(errno);
  return false;
}

std::uint32_t TSerialPort::CountRX() {
  if (!Connected()) return kNotOpenCount;
  int queued = 0;
  if (ioctl(fd_, FIONREAD, &queued) == 0) return static_cast<std::uint32_t>(std::max(queued, 0));
  NoteFailure(errno);
  return 0;
}

std::uint32_t TSerialPort::QueuedTx() {
  int queued = 0;
  if (ioctl(fd_, TIOCOUTQ, &queued) == 0) return static_cast<std::uint32_t>(std::max(queued, 0));
  NoteFailure(errno);
  return 0;
}

// The kernel's queue may hold more than OutBufSize: then there is no room.
std::uint32_t TSerialPort::FreeTx(std::uint32_t queued) const {
  return queued >= outBufSize_ ? 0 : outBufSize_ - queued;
}

std::uint16_t TSerialPort::OutFreeSpace() {
  if (!Connected()) return kNotOpenCount;
  return static_cast<std::uint16_t>(FreeTx(QueuedTx()));
}

// Waits in poll() until the device is ready for events (none: just sleeps)
// or the deadline has passed; notes a hang-up for the next transfer.
void TSerialPort::WaitFor(short events, TClock::time_point deadline) {
  pollfd p{fd_, events, 0};
  const timespec left = Remaining(deadline);
  if (ppoll(&p, 1, &left, nullptr) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
    lineDown_ = true;
}

// Bytes moved (> 0), 0 when the device has none for us now, -1 when the
// transfer must stop: the device is gone (end of file, or nothing after a
// hang-up was seen) or refuses the transfer.
std::int64_t TSerialPort::Transferred(ssize_t n) {
  if (n > 0) return n;
  const bool nothingNow = n == 0 || errno == EAGAIN;
  if (nothingNow && !lineDown_) return 0;
  if (nothingNow) CloseDevice();
  else NoteFailure(errno);
  // A device that is gone has been closed; one that is still open refused.
  stopped_ = Connected() ? TLineOutcome::IoError : TLineOutcome::HungUp;
  return -1;
}

std::int64_t TSerialPort::ReadSome(std::uint8_t* to, std::uint32_t count) {
  ssize_t n;
  do n = ::read(fd_, to, count);
  while (n < 0 && errno == EINTR);
  return Transferred(n);
}

std::int64_t TSerialPort::WriteSome(const std::uint8_t* from, std::uint32_t count) {
  ssize_t n;
  do n = ::write(fd_, from, count);
  while (n < 0 && errno == EINTR);
  return Transferred(n);
}

TSerialPort::TClock::duration TSerialPort::DrainTime(std::uint32_t queued) const {
  const std::int64_t excess = std::int64_t{queued} - outBufSize_ + 1;
  const std::int64_t bitsPerSecond = line_.BaudRate;
  return std::chrono::milliseconds(std::max<std::int64_t>(1, (excess * 10000 + bitsPerSecond - 1) / bitsPerSecond));
}

TLineTransfer TSerialPort::Write(const void* data, std::uint32_t count, TMs timeout) {
  if (!Connected()) return {TLineOutcome::HungUp, 0};
  const auto* from = static_cast<const std::uint8_t*>(data);
  std::uint32_t done = 0;
  TClock::time_point progress = TClock::now();
  while (done < count) {
    if (!Connected()) return {TLineOutcome::HungUp, done};
    const std::uint32_t queued = QueuedTx();
    const std::uint32_t free = FreeTx(queued);
    if (free > 0) {
      if (checkLineStatus_ && GetLineStatus().none()) break;
      const std::int64_t n = WriteSome(from + done, std::min(count - done, free));
      if (n < 0) return {stopped_, done};
      if (n > 0) {
        done += static_cast<std::uint32_t>(n);
        progress = TClock::now();
        continue;
      }
    }
    const TClock::time_point deadline = progress + timeout;
    const TClock::time_point now = TClock::now();
    if (now > deadline) break;
    // With our own bound reached the kernel would still take bytes, so poll()
    // would not wait: sleep for the time the excess takes on the line.
    WaitFor(free > 0 ? POLLOUT : 0, free > 0 ? deadline : std::min(deadline, now + DrainTime(queued)));
  }
  return {done == count ? TLineOutcome::Done : TLineOutcome::TimedOut, done};
}

std::uint32_t TSerialPort::SendDataEx(const void* data, std::uint32_t count, std::uint32_t timeoutMs) {
  return Write(data, count, TMs(timeoutMs)).count;
}

std::uint32_t TSerialPort::SendData(const void* data, std::uint32_t count) {
  return SendDataEx(data, count, outputTimeout_);
}

bool TSerialPort::SendByte(std::uint8_t value) { return SendData(&value, 1) == 1; }

bool TSerialPort::SendChar(char value) { return SendData(&value, 1) == 1; }

bool TSerialPort::SendString(const std::string& text) {
  return SendData(text.data(), static_cast<std::uint32_t>(text.size())) == text.size();
}

bool TSerialPort::SendZString(const char* text) {
  return text && SendString(std::string(text));
}

// Gives up only while nothing is waiting and the time-out has passed since
// the call began: bytes that keep arriving are read after that time. Once
// bytes flow, the rest is waited for in one sleep of its time on the line
// rather than one wake-up per byte. A read that was filled leaves the next
// one expecting the stream to go on (a sweep's records follow each other),
// so it starts with that sleep; one that brought nothing falls back to
// waiting in poll() for the next byte.
TLineTransfer TSerialPort::Read(void* buffer, std::uint32_t count, TMs timeout) {
  if (!Connected()) return {TLineOutcome::HungUp, 0};
  auto* to = static_cast<std::uint8_t*>(buffer);
  const TClock::time_point deadline = TClock::now() + timeout;
  std::uint32_t done = 0;
  bool flowing = streaming_;
  streaming_ = false;
  while (done < count) {
    const std::int64_t n = ReadSome(to + done, count - done);
    if (n < 0) return {stopped_, done};
    done += static_cast<std::uint32_t>(n);
    if (done == count) break;
    // A read that brought less than it asked for has emptied the device:
    // the rest is waited for without asking it again at once.
    if (n > 0) flowing = true;
    const TClock::time_point now = TClock::now();
    if (now > deadline) return {TLineOutcome::TimedOut, done};
    if (flowing) {
      flowing = false;
      WaitFor(0, std::min(deadline, now + WireTime(count - done)));
    } else {
      WaitFor(POLLIN, deadline);
    }
  }
  streaming_ = true;
  return {TLineOutcome::Done, done};
}

std::uint32_t TSerialPort::ReadData(void* buffer, std::uint32_t count) {
  return Read(buffer, count, TMs(inputTimeout_)).count;
}

// Never more than a few dozen bytes' time: the reader stays close behind the
// line, so bytes sent just before a hang-up are read before it discards them.
TSerialPort::TClock::duration TSerialPort::WireTime(std::uint32_t bytes) const {
  constexpr std::uint32_t kMostBehind = 64;
  bytes = std::min(bytes, kMostBehind);
  if (line_.BaudRate == 0) return TClock::duration::zero();
  return std::chrono::microseconds(std::int64_t{bytes} * 10'000'000 / line_.BaudRate);
}

std::uint32_t TSerialPort::ReadData_inTime(void* buffer, std::uint32_t count, std::uint32_t timeoutMs) {
  inputTimeout_ = timeoutMs;
  return ReadData(buffer, count);
}

std::uint32_t TSerialPort::ReadData2(void* buffer, std::uint32_t count, std::uint32_t timeoutMs) {
  if (Connected()) inputTimeout_ = timeoutMs;
  return ReadData(buffer, count);
}

std::uint32_t TSerialPort::ReadData_All(void* buffer, std::uint32_t capacity) {
  const std::uint32_t waiting = Connected() ? CountRX() : 0;
  if (waiting == 0 || capacity == 0 || !Connected()) return 0;
  const std::int64_t n = ReadSome(static_cast<std::uint8_t*>(buffer), std::min(waiting, capacity));
  return n > 0 ? static_cast<std::uint32_t>(n) : 0;
}

bool TSerialPort::ReadByte(std::uint8_t& value) { return ReadData(&value, 1) == 1; }

bool TSerialPort::ReadChar(char& value) { return ReadData(&value, 1) == 1; }

bool TSerialPort::ToggleDTR(bool on) { return Connected() && SetModemLine(TIOCM_DTR, on); }

bool TSerialPort::ToggleRTS(bool on) { return Connected() && SetModemLine(TIOCM_RTS, on); }

TLineStatusSet TSerialPort::GetLineStatus() {
  TLineStatusSet lines;
  int bits = 0;
  if (!Connected()) return lines;
  if (ioctl(fd_, TIOCMGET, &bits) != 0) {
    NoteFailure(errno);
    return lines;
  }
  lines.set(lsCTS, bits & TIOCM_CTS);
  lines.set(lsDSR, bits & TIOCM_DSR);
  lines.set(lsRING, bits & TIOCM_RI);
  lines.set(lsCD, bits & TIOCM_CD);
  return lines;
}

std::uint32_t TSerialPort::BaudRateOf(TBaudRate rate) {
  return rate >= brCustom && rate <= br256000 ? kBaudRates[rate] : 0;
}

std::uint32_t TSerialPort::DelayForRX(TBaudRate rate, std::uint32_t size) {
  const std::uint32_t bps = BaudRateOf(rate);
  if (bps == 0) return 0;
  return static_cast<std::uint32_t>(std::lround(size / (bps / 10.0) * 1000.0));
}

bool TSerialPort::OpenLine(const TLineAddress& address) {
  if (address.comNumber > 0) {
    SetPort(address.comNumber);
  } else {
    SetPortName(address.device);
  }
  SetBaudRate(br9600);
  if (!Connect()) {
    Disconnect();
    return false;
  }
  FlushBuffers(true, true);
  return true;
}

void TSerialPort::CloseLine() {
  if (!Connected()) return;
  FlushBuffers(true, true);
  Disconnect();
}

bool TSerialPort::LineOpen() const { return Connected(); }

bool TSerialPort::Purge() { return FlushBuffers(true, true); }

void TSerialPort::SetHandle(int fd) {
  if (fd == fd_) return;
  if (fd == -1) {
    Disconnect();
  } else if (fd == -2) {
    fd_ = -1;
    exclusive_ = false;
  } else if (fd >= 0) {
    Disconnect();
    fd_ = fd;
    lineDown_ = false;
    streaming_ = false;
    // The driver's loops wait in poll(), never in a read or write.
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
  }
}

}  // namespace doz
