// Any bytes as the unit's side of a measurement: the first bytes answer the
// commands that find and check the unit and start the sweep, the rest are
// the stream. A session runs on a line in memory until its sweep ends: never
// a crash, never a step that lets the clock run past its time-out, the
// receive buffer within its bound, every point in the band's slots, and
// every sweep ending in one of its endings.
#include <cstdint>
#include <cstring>
#include <string>

#include "Fuzz_files.h"
#include "Measure_session.h"
#include "Memory_line.h"
#include "Unit_commands.h"

namespace {

using namespace doz;
using namespace std::chrono_literals;

// The longest a step may let the clock run: its read, or the release's stop.
constexpr auto kStepLimit = 100ms + 300ms;
// A minute of silence ends any sweep; far more steps than that is a hang.
constexpr int kStepCap = 20000;

class TReport : public TSessionReport {
 public:
  void Status(TStatusText) override {}
  void Message(TMessageText) override {}
  void MeasurementReset() override {}
  void PointAccepted(int slot, int n, bool) override {
    if (n != points) fuzz::Broken("points counted out of order");
    ++points;
    if (slot < first || slot > last) fuzz::Broken("a point outside the band's slots");
  }
  void SweepEnded(TSweepEnding) override { ++endings; }
  void MeasurementFinished() override {}

  int points = 0;
  int endings = 0;
  int first = 0;
  int last = 0;
};

// The input cut into replies: each command takes bytes up to and including
// the next carriage return; after the start command, everything left.
class TReplies {
 public:
  TReplies(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}
  std::string Answer(const std::string& command) {
    const bool start = test::IsSweepStart(command);
    const std::size_t cr = rest_.find('\r');
    const std::size_t take = start || cr == std::string::npos ? rest_.size() : cr + 1;
    std::string reply = rest_.substr(0, take);
    rest_.erase(0, take);
    return reply;
  }

 private:
  std::string rest_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int band = 1 + data[0] % BAND_COUNT;
  const TLineOutcome end = data[1] % 3 == 0   ? TLineOutcome::HungUp
                           : data[1] % 3 == 1 ? TLineOutcome::IoError
                                              : TLineOutcome::TimedOut;
  TReplies replies(data + 2, size - 2);
  test::TFakeClock clock;
  // Where the stream's bytes end, the line falls silent, hangs up or fails.
  test::TMemoryLine line(clock, [&](const std::string& c, int) {
    if (test::IsSweepStart(c)) line.atEnd = end;
    return replies.Answer(c);
  });
  TRawData raw;
  TCalcData calc, ave;
  TGraphRange range;
  std::string serial, version;
  std::uint8_t saved = 0;
  TReport report;
  report.first = BandFirstIndex(band);
  report.last = BandLastIndex(band);
  TMeasureSession session({raw, calc, ave, range, serial, version, saved}, report, clock);
  session.SetLine(&line);
  if (!session.StartMeasure({{1, {}}, band, (data[1] & 4) != 0})) {
    if (session.fReceiving() || report.endings != 0) fuzz::Broken("a refused start runs a sweep");
    return 0;
  }
  int steps = 0;
  while (session.fReceiving()) {
    if (++steps > kStepCap) fuzz::Broken("a sweep that never ends");
    const auto before = clock.Now();
    session.ReceiveData();
    if (clock.Now() - before > kStepLimit) fuzz::Broken("a step waited past its time-out");
    const TSweepReceiver& sweep = session.Sweep();
    if (sweep.RcvLen > TSweepReceiver::RCV_MAX || sweep.RcvPos > sweep.RcvLen)
      fuzz::Broken("the receive buffer's bound");
  }
  if (report.endings != 1) fuzz::Broken("a sweep must end exactly once");
  if (session.fFinishPending()) session.FinishMeasure();
  return 0;
}
