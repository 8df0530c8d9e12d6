#include "Line_settings.h"

namespace doz {
namespace {

struct TSpeed {
  std::uint32_t rate;
  speed_t code;
};

constexpr TSpeed kSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000},
};

tcflag_t WordSize(TDataBits bits) {
  switch (bits) {
    case db5BITS: return CS5;
    case db6BITS: return CS6;
    case db7BITS: return CS7;
    case db8BITS: break;
  }
  return CS8;
}

tcflag_t ParityFlags(TParity parity) {
  switch (parity) {
    case ptODD: return PARENB | PARODD;
    case ptEVEN: return PARENB;
    // Sticky parity: CMSPAR with PARODD sends a constant 1, without it a 0.
    case ptMARK: return PARENB | CMSPAR | PARODD;
    case ptSPACE: return PARENB | CMSPAR;
    case ptNONE: break;
  }
  return 0;
}

}  // namespace

speed_t StandardSpeed(std::uint32_t rate) {
  for (const TSpeed& s : kSpeeds)
    if (s.rate == rate) return s.code;
  return B0;
}

void ToTermios(const TLineSettings& settings, termios& t) {
  cfmakeraw(&t);
  // No parity checking, no break or error marking: bytes pass as they come.
  t.c_iflag &= ~(INPCK | PARMRK | ISTRIP | IGNPAR | IGNBRK | BRKINT | IXON | IXOFF | IXANY);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= CREAD | CLOCAL | WordSize(settings.DataBits) | ParityFlags(settings.Parity);
  // Linux has no one-and-a-half stop bits; two is what the hardware sends for
  // it with 5-bit words anyway.
  if (settings.StopBits != sb1BITS) t.c_cflag |= CSTOPB;
  if (settings.HwFlow == hfRTSCTS) t.c_cflag |= CRTSCTS;
  // The kernel keeps its own XON/XOFF thresholds; only the characters are ours.
  if (settings.SwFlow == sfXONXOFF) t.c_iflag |= IXON | IXOFF;
  t.c_cc[VSTART] = 17;
  t.c_cc[VSTOP] = 19;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  const speed_t speed = StandardSpeed(settings.BaudRate);
  cfsetispeed(&t, speed == B0 ? B38400 : speed);
  cfsetospeed(&t, speed == B0 ? B38400 : speed);
}

}  // namespace doz
