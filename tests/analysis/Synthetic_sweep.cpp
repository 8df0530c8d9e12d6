#include "Synthetic_sweep.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>

#include "Doz_file.h"
#include "Point_record.h"

namespace doz::test {

analysis::TCircuit Circuit(const std::string& text) {
  std::string error;
  auto circuit = analysis::TCircuit::Parse(text, error);
  if (!circuit) {
    std::fprintf(stderr, "%s: %s\n", text.c_str(), error.c_str());
    std::abort();
  }
  return *circuit;
}

TCalcData SyntheticSweep(const analysis::TCircuit& circuit, int band, const TNoise& noise) {
  TCalcData data;
  ClearCalcData(data);
  std::mt19937_64 g(noise.Seed);
  std::normal_distribution<double> gauss;
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
    const double hertz = unitsim::GridFrequency(i);
    const std::complex<double> z = circuit.Impedance(hertz);
    data.Freq[i] = hertz;
    data.R[i] = std::abs(z) * (1.0 + noise.Relative * gauss(g));
    data.Theta[i] = std::arg(z) * 180.0 / std::numbers::pi + noise.Degrees * gauss(g);
  }
  data.Valid = 1;
  return data;
}

TCalcData WholeOhms(TCalcData data) {
  for (int i = 0; i < DATA_MAX; ++i) {
    if (data.R[i] < 0) continue;
    data.R[i] = std::round(data.R[i]);
    data.Theta[i] = std::round(data.Theta[i] * 100.0) / 100.0;
  }
  return data;
}

bool WriteSyntheticFile(const std::string& path, const analysis::TCircuit& circuit, int band,
                        const TNoise& noise) {
  const TCalcData data = SyntheticSweep(circuit, band, noise);
  TRawData raw;
  ClearRawData(raw);
  raw.Present = 1;
  raw.Band = band;
  raw.DateTime = "2024/05/06 07:08:09";
  for (int i = BandFirstIndex(band); i <= BandLastIndex(band); ++i) {
    const std::string record = unitsim::EncodeRecord(data.R[i], data.Theta[i], data.Freq[i]);
    std::copy(record.begin(), record.end(), raw.Data[i].begin());
  }
  const TSettingData setting;
  return TDoZ_File().WriteDataFile(path, "SIM1", &setting, &raw);
}

}  // namespace doz::test
