// Value types of the serial port driver: port numbers, line settings and the
// modem-line set. The enumerators keep their order: settings code may store
// them as numbers.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>

namespace doz {

class TSerialPort;

// Value n is COM port n; pnCustom means "PortName was set directly". The
// driver accepts every COM number 1..256, not only the named ones.
enum TPortNumber : std::int32_t {
  pnCustom, pnCOM1, pnCOM2, pnCOM3, pnCOM4, pnCOM5, pnCOM6, pnCOM7, pnCOM8,
  pnCOM9, pnCOM10, pnCOM11, pnCOM12, pnCOM13, pnCOM14, pnCOM15, pnCOM16
};
constexpr int kMaxComNumber = 256;

enum TBaudRate {
  brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
  br19200, br38400, br56000, br57600, br115200, br128000, br256000
};

enum TDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
enum TStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
enum TParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum THwFlowControl { hfNONE, hfNONERTSON, hfRTSCTS };
enum TSwFlowControl { sfNONE, sfXONXOFF };
enum TPacketMode { pmDiscard, pmPass };

// What ApplyCOMSettings puts on the line; the defaults are the driver's.
struct TLineSettings {
  std::uint32_t BaudRate = 9600;
  TDataBits DataBits = db8BITS;
  TStopBits StopBits = sb1BITS;
  TParity Parity = ptNONE;
  THwFlowControl HwFlow = hfNONERTSON;
  TSwFlowControl SwFlow = sfNONE;
};

enum TLineStatus { lsCTS, lsDSR, lsRING, lsCD };
// Indexed by TLineStatus: set.test(lsCTS), set.none().
using TLineStatusSet = std::bitset<4>;

using TReceiveDataEvent = std::function<void(TSerialPort*, const void*, std::uint32_t)>;
using TReceivePacketEvent = std::function<void(TSerialPort*, const void*, std::uint32_t)>;

}  // namespace doz
