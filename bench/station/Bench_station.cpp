// doz-bench-station: the station's cost per part beyond the sweep itself.
// First its parts alone on a measured coil: the judgement against a golden,
// two limits and a resonance (the fit of the model included), the part's
// file, and its row through the queue into each store; the median and the
// slowest of several parts. Then the whole part as doz-cli inspect does it
// against the simulated unit, less doz-cli measure of the same unit and band.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "Cli_part_check.h"
#include "Cli_measure.h"
#include "Criteria_parser.h"
#include "Doz_file.h"
#include "Part_record.h"
#include "Postgres_server.h"
#include "Store_case.h"
#include "Synthetic_sweep.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace {

using namespace doz;
using TClock = std::chrono::steady_clock;

constexpr int kParts = 15;
constexpr double kTargetMs = 200.0;
constexpr const char* kCoil = "coil:R=6800,L=2.5,C=400p";

double Ms(TClock::time_point since) {
  return std::chrono::duration<double, std::milli>(TClock::now() - since).count();
}

struct TSpread {
  double median = 0;
  double slowest = 0;
};

TSpread SpreadOf(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return {ms[ms.size() / 2], ms.back()};
}

struct TMeasured {
  TRawData raw;
  TCalcData calc;
};

TMeasured Measured(const test::TTempDir& dir, int band) {
  TMeasured m;
  ClearRawData(m.raw);
  const std::string path = dir.File("part" + std::to_string(band) + ".DTA");
  test::WriteSyntheticFile(path, test::Circuit(kCoil), band, {0.003, 0.2, 5});
  std::string serial;
  std::int32_t port = 1;
  TCalcData ave;
  TDoZ_File().ReadDataFile(path, serial, port, &m.raw);
  MakeCalcData(&m.raw, &m.calc, &ave);
  return m;
}

// Judgement, file and row of kParts parts of `band` into the store.
void PartsAlone(const std::string& store, const char* kind, int band, const test::TTempDir& dir) {
  test::WriteSyntheticFile(dir.File("golden.DTA"), test::Circuit(kCoil), band, {0.003, 0.2, 9});
  const auto parsed = station::ParseCriteria(
      "name: coil-A\ngolden: golden.DTA\nmodel: coil\nlimit: L=2.4..2.6\nlimit: C=350p..450p\n"
      "resonance: peak 4.5k..5.5k\n",
      dir.Path());
  const station::TCriteria& criteria = std::get<station::TCriteria>(parsed);
  const TMeasured m = Measured(dir, band);
  results::TResultsStore results(store, test::TestOptions(dir));
  results.Open();
  std::vector<double> judge, file, row, total;
  for (int i = 0; i < kParts; ++i) {
    const station::TPartFacts facts{"B-" + std::to_string(i), "bench", criteria.Name,
                                    results::UtcNow()};
    const auto start = TClock::now();
    const station::TJudgement j = station::Judge(criteria, m.calc, band);
    judge.push_back(Ms(start));
    const auto saving = TClock::now();
    const station::TPartSave save =
        station::SavePart(dir.File("batch"), facts.Serial, facts.MeasuredAt, "0001", 1, m.raw);
    file.push_back(Ms(saving));
    const auto recording = TClock::now();
    const station::TRecordResult r =
        station::RecordRow(results, station::JudgedRow(facts, j, save));
    row.push_back(Ms(recording));
    total.push_back(Ms(start));
    if (r.Fate != station::TRowFate::Stored || j.Verdict != results::TVerdict::Pass) {
      std::printf("station, %s: a part did not pass or its row was not stored\n", kind);
      return;
    }
  }
  const TSpread t = SpreadOf(total);
  std::printf(
      "station per part, band %d (%d points), %s: judgement %.1f ms, file %.1f ms, row %.1f ms; "
      "together %.1f ms median, %.1f ms slowest (target <= %.0f ms)\n",
      band, BandDataNum(band), kind, SpreadOf(judge).median, SpreadOf(file).median,
      SpreadOf(row).median, t.median, t.slowest, kTargetMs);
}

// Whole parts through doz-cli inspect, less doz-cli measure of the same unit.
void WholeParts(const test::TTempDir& dir) {
  test::TUnitsimProcess unit({"--fast", "--circuit", kCoil});
  if (!unit.Started()) return void(std::printf("station, whole parts: no simulated unit\n"));
  test::WriteBytes(
      dir.File("coil.dozcheck"),
      "name: coil-A\nmodel: coil\nlimit: L=2.4..2.6\nresonance: peak 4.5k..5.5k\nband: 7\n");
  cli::TMeasureEnv env;
  env.appDir = dir.Path();
  std::vector<double> inspect, measure;
  for (int i = 0; i < kParts; ++i) {
    std::ostringstream out, err;
    auto start = TClock::now();
    cli::RunMeasureWith({"--port", unit.DevicePath(), "--band", "7", "-o",
                         dir.File("m" + std::to_string(i) + ".DTA")},
                        out, err, env);
    measure.push_back(Ms(start));
    start = TClock::now();
    cli::RunInspectWith({"--port", unit.DevicePath(), "--criteria", dir.File("coil.dozcheck"),
                         "--serial", "W-" + std::to_string(i), "--save-dir", dir.File("whole")},
                        out, err, env);
    inspect.push_back(Ms(start));
  }
  const double m = SpreadOf(measure).median, s = SpreadOf(inspect).median;
  std::printf(
      "doz-cli inspect, band 7 against the unpaced unit, SQLite: %.1f ms a part, measure %.1f ms: "
      "%.1f ms beyond the sweep (target <= %.0f ms)\n",
      s, m, s - m, kTargetMs);
}

}  // namespace

int main() {
  {
    const test::TTempDir dir;
    for (const int band : {7, 1})
      PartsAlone(dir.File("results" + std::to_string(band) + ".sqlite"), "SQLite (WAL, full sync)",
                 band, dir);
  }
  test::TPostgresServer& server = test::SharedPostgres();
  if (server.Running()) {
    const test::TTempDir dir;
    PartsAlone(server.NewDatabase(), "PostgreSQL (test server, fsync off)", 1, dir);
  } else {
    std::printf("station, PostgreSQL: skipped (%s)\n", server.Why().c_str());
  }
  const test::TTempDir dir;
  WholeParts(dir);
  return 0;
}
