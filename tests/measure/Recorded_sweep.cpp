#include "Recorded_sweep.h"

#include "Doz_setting.h"
#include "Serialport.h"
#include "Unitsim_process.h"

namespace doz::test {
namespace {

constexpr std::uint32_t kQuietMs = 300;

std::string ReadUntilQuiet(TSerialPort& port) {
  std::string bytes;
  char chunk[256];
  while (const std::uint32_t n = port.ReadData_inTime(chunk, sizeof chunk, kQuietMs))
    bytes.append(chunk, n);
  return bytes;
}

}  // namespace

TRecordedSweep RecordSimulatedSweep(std::vector<std::string> simArgs, int band, bool unitAverage) {
  simArgs.push_back("--fast");
  TUnitsimProcess sim(simArgs);
  TSerialPort port;
  port.SetPortName(sim.DevicePath());
  TRecordedSweep sweep;
  if (!sim.Started() || !port.Connect()) return sweep;
  port.SendString(unitAverage ? "MS1\r" : "MS0\r");
  char ok[3];
  port.ReadData_inTime(ok, sizeof ok, kQuietMs);
  port.SendString("M" + std::to_string(band - 1) + "\r");
  const std::string bytes = ReadUntilQuiet(port);
  sweep.count = bytes.substr(0, 4);
  std::size_t at = 5;
  for (int n = 0; n < BandDataNum(band) && at + 21 <= bytes.size(); ++n, at += 21)
    sweep.records.push_back(bytes.substr(at, RECORD_LEN));
  sweep.end = bytes.substr(std::min(at, bytes.size()));
  return sweep;
}

}  // namespace doz::test
