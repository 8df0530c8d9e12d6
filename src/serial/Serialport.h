// The serial port component: one terminal device, its line settings, and
// byte-level sends and reads with millisecond time-outs. Nothing is read in
// the background; every failure is a result (a flag or a byte count).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

#include "Serial_line.h"
#include "Serial_types.h"

namespace doz {

class TSerialPort : public TSerialLine {
 public:
  TSerialPort();
  ~TSerialPort() override;
  TSerialPort(const TSerialPort&) = delete;
  TSerialPort& operator=(const TSerialPort&) = delete;

  // Where "ports/comN" links are looked up (the application's directory);
  // empty: no lookup. Re-resolves PortName when a COM number is set.
  void SetPortsDirectory(const std::string& dir);
  const std::string& PortsDirectory() const { return portsDir_; }

  // 1..256 also sets PortName to that COM port's device; 0 keeps PortName;
  // other numbers are ignored. Ignored while open.
  void SetPort(int port);
  int Port() const { return port_; }
  // Any device path; sets Port to pnCustom. Ignored while open.
  void SetPortName(const std::string& name);
  const std::string& PortName() const { return portName_; }

  // Line settings take effect at once while open.
  void SetBaudRate(TBaudRate rate);
  TBaudRate BaudRate() const { return baudRate_; }
  void SetBaudRateValue(std::uint32_t bitsPerSecond);
  std::uint32_t BaudRateValue() const { return line_.BaudRate; }
  void SetDataBits(TDataBits bits);
  TDataBits DataBits() const { return line_.DataBits; }
  void SetStopBits(TStopBits bits);
  TStopBits StopBits() const { return line_.StopBits; }
  void SetParity(TParity parity);
  TParity Parity() const { return line_.Parity; }
  void SetHwFlow(THwFlowControl flow);
  THwFlowControl HwFlow() const { return line_.HwFlow; }
  void SetSwFlow(TSwFlowControl flow);
  TSwFlowControl SwFlow() const { return line_.SwFlow; }

  // Clamped to 128..8192; ignored while open. OutBufSize bounds the bytes
  // the driver lets wait in the kernel's transmit queue.
  void SetInBufSize(std::uint32_t size);
  std::uint32_t InBufSize() const { return inBufSize_; }
  void SetOutBufSize(std::uint32_t size);
  std::uint32_t OutBufSize() const { return outBufSize_; }

  // Stored only: nothing in this system sends packets or raises events.
  void SetPacketSize(std::int16_t size) { packetSize_ = size; }
  std::int16_t PacketSize() const { return packetSize_; }
  void SetPacketTimeout(std::int32_t ms) { packetTimeout_ = ms; }
  std::int32_t PacketTimeout() const { return packetTimeout_; }
  void SetPacketMode(TPacketMode mode) { packetMode_ = mode; }
  TPacketMode PacketMode() const { return packetMode_; }
  void SetOnReceiveData(TReceiveDataEvent event) { onReceiveData_ = std::move(event); }
  const TReceiveDataEvent& OnReceiveData() const { return onReceiveData_; }
  void SetOnReceivePacket(TReceivePacketEvent event) { onReceivePacket_ = std::move(event); }
  const TReceivePacketEvent& OnReceivePacket() const { return onReceivePacket_; }

  // The application paces its sweep itself; the polling period and the pause
  // counter are plain values. Periods below 5 ms become 5.
  void SetPollingDelay(std::uint16_t ms);
  std::uint16_t PollingDelay() const { return pollingDelay_; }
  void PausePolling() { ++pollingPause_; }
  void ContinuePolling() { --pollingPause_; }
  bool IsPolling() const { return pollingPause_ <= 0; }

  void SetEnableDTROnOpen(bool on) { enableDTROnOpen_ = on; }
  bool EnableDTROnOpen() const { return enableDTROnOpen_; }
  void SetOutputTimeout(std::uint16_t ms) { outputTimeout_ = ms; }
  std::uint16_t OutputTimeout() const { return outputTimeout_; }
  void SetInputTimeout(std::uint32_t ms) { inputTimeout_ = ms; }
  std::uint32_t InputTimeout() const { return inputTimeout_; }
  void SetCheckLineStatus(bool on) { checkLineStatus_ = on; }
  bool CheckLineStatus() const { return checkLineStatus_; }

  // Opens PortName exclusively, raw, with the settings; true if already open.
  bool Connect();
  // Result of the close; false when not open.
  bool Disconnect();
  // False once the device has gone away (hang-up, I/O error).
  bool Connected() const { return fd_ >= 0; }
  bool ApplyCOMSettings();
  bool FlushBuffers(bool rx, bool tx);

  std::uint32_t CountRX();        // 65535 when not open
  std::uint16_t OutFreeSpace();   // 65535 when not open

  std::uint32_t SendDataEx(const void* data, std::uint32_t count, std::uint32_t timeoutMs);
  std::uint32_t SendData(const void* data, std::uint32_t count);
  bool SendByte(std::uint8_t value);
  bool SendChar(char value);
  bool SendString(const std::string& text);
  bool SendZString(const char* text);

  std::uint32_t ReadData(void* buffer, std::uint32_t count);
  std::uint32_t ReadData_inTime(void* buffer, std::uint32_t count, std::uint32_t timeoutMs);
  std::uint32_t ReadData2(void* buffer, std::uint32_t count, std::uint32_t timeoutMs);
  // Everything waiting now, at most capacity bytes; 0 when none or not open.
  std::uint32_t ReadData_All(void* buffer, std::uint32_t capacity);
  bool ReadByte(std::uint8_t& value);
  bool ReadChar(char& value);

  bool ToggleDTR(bool on);
  bool ToggleRTS(bool on);
  TLineStatusSet GetLineStatus();

  static std::uint32_t BaudRateOf(TBaudRate rate);
  // Milliseconds size bytes take on the line at 10 bits a byte; 0 for brCustom.
  static std::uint32_t DelayForRX(TBaudRate rate, std::uint32_t size);

  // The line of the unit's protocol: a COM number or a device, at 9600 baud.
  bool OpenLine(const TLineAddress& address) override;
  void CloseLine() override;
  bool LineOpen() const override;
  bool Purge() override;
  TLineTransfer Write(const void* data, std::uint32_t count, TMs timeout) override;
  TLineTransfer Read(void* buffer, std::uint32_t count, TMs timeout) override;

  // The open file descriptor, -1 when closed.
  int Handle() const { return fd_; }
  // -1 closes the port, -2 forgets the descriptor without closing it, any
  // other descriptor replaces the open one.
  void SetHandle(int fd);

 private:
  using TClock = std::chrono::steady_clock;

  void ApplyIfOpen();
  // Line settings take effect at once while the port is open.
  template <class T>
  void SetLine(T TLineSettings::*field, T value) {
    line_.*field = value;
    ApplyIfOpen();
  }
  bool SetModemLine(int line, bool on);
  bool ApplyModemLines();
  bool LockDevice();
  bool CloseDevice();
  void NoteFailure(int err);
  std::uint32_t QueuedTx();
  std::uint32_t FreeTx(std::uint32_t queued) const;
  TClock::duration DrainTime(std::uint32_t queued) const;
  // Time the bytes take on the line at 10 bits a byte.
  TClock::duration WireTime(std::uint32_t bytes) const;
  void WaitFor(short events, TClock::time_point deadline);
  std::int64_t Transferred(ssize_t n);
  std::int64_t ReadSome(std::uint8_t* to, std::uint32_t count);
  std::int64_t WriteSome(const std::uint8_t* from, std::uint32_t count);

  int fd_ = -1;
  bool exclusive_ = false;  // TIOCEXCL set by this driver, cleared on close
  bool lineDown_ = false;   // the last wait saw a hang-up or error
  bool streaming_ = false;  // the last read was filled
  TLineOutcome stopped_ = TLineOutcome::HungUp;  // why the last transfer stopped short
  std::string portsDir_;
  int port_ = pnCOM1;
  std::string portName_;
  TBaudRate baudRate_ = br9600;
  TLineSettings line_;  // 9600 baud, 8-N-1, RTS on, no handshake
  std::uint32_t inBufSize_ = 2048;
  std::uint32_t outBufSize_ = 2048;
  std::int16_t packetSize_ = -1;
  std::int32_t packetTimeout_ = -1;
  TPacketMode packetMode_ = pmDiscard;
  TReceiveDataEvent onReceiveData_;
  TReceivePacketEvent onReceivePacket_;
  std::uint16_t pollingDelay_ = 100;
  int pollingPause_ = 1;
  bool enableDTROnOpen_ = true;
  std::uint16_t outputTimeout_ = 500;
  std::uint32_t inputTimeout_ = 100;
  bool checkLineStatus_ = false;
};

}  // namespace doz
