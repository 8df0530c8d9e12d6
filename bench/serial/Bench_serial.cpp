// doz-bench-serial: a band-1 sweep read straight from the paced simulated
// unit through the driver, as the acquisition reads it (21 bytes a step, the
// 100 ms time-out of the start commands). Reports how close the sweep comes
// to its wire time and what the reading costs in CPU.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "Doz_setting.h"
#include "Serialport.h"
#include "Unitsim_process.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr double kRatioTarget = 1.01;
constexpr double kCpuShareTarget = 0.02;
constexpr std::uint32_t kStepTimeoutMs = 100;
constexpr int kBand = 1;

double CpuSeconds() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) * 1e-6;
}

// Reads until `bytes` have come or the line stays silent for a whole step.
std::size_t ReadAll(doz::TSerialPort& port, std::string& into, std::size_t bytes) {
  into.assign(bytes, '\0');
  std::size_t got = 0;
  while (got < bytes) {
    const std::uint32_t want = std::uint32_t(std::min<std::size_t>(21, bytes - got));
    const std::uint32_t n = port.ReadData_inTime(into.data() + got, want, kStepTimeoutMs);
    if (n == 0) break;
    got += n;
  }
  return got;
}

}  // namespace

int main() {
  doz::test::TUnitsimProcess unit;
  doz::TSerialPort port;
  port.SetPortName(unit.DevicePath());
  port.SetBaudRate(doz::br9600);
  if (!unit.Started() || !port.Connect()) {
    std::fprintf(stderr, "doz-bench-serial: the simulated unit could not be opened\n");
    return 1;
  }
  const int points = doz::BandDataNum(kBand);
  const std::size_t total = 5 + std::size_t(points) * (doz::RECORD_LEN + 1) + 3;
  std::string bytes;
  port.FlushBuffers(true, true);
  const double cpuStart = CpuSeconds();
  const TClock::time_point start = TClock::now();
  const bool sent = port.SendString("M" + std::to_string(kBand - 1) + "\r");
  const std::size_t got = sent ? ReadAll(port, bytes, total) : 0;
  const double wall = std::chrono::duration<double>(TClock::now() - start).count();
  const double cpu = CpuSeconds() - cpuStart;
  if (got != total || bytes.compare(total - 3, 3, "OK\r") != 0) {
    std::fprintf(stderr, "doz-bench-serial: incomplete sweep, %zu of %zu bytes\n", got, total);
    return 1;
  }
  const double wire = double(total) * 10.0 / 9600.0;
  std::printf("band-%d sweep, %zu bytes at 9600 baud: wall %.4f s / wire %.4f s = ratio %.4f (target at most %.2f)\n",
              kBand, total, wall, wire, wall / wire, kRatioTarget);
  std::printf("reading process CPU: %.4f s = %.3f %% of wall time (target under %.0f %%)\n", cpu,
              100.0 * cpu / wall, 100.0 * kCpuShareTarget);
  return 0;
}
