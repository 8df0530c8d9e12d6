#include "Sample_files.h"

#include <random>

#include "Doz_file.h"
#include "Impedance_model.h"
#include "Point_record.h"

namespace doz::test {

TRawData SpeakerSweep(int band, std::uint64_t seed) {
  const unitsim::TImpedanceModel circuit(seed);
  std::mt19937_64 noise(seed ^ 0x5eed);
  TRawData set;
  ClearRawData(set);
  set.Present = 1;
  set.Band = band;
  set.DateTime = "2024/05/06 7:08:" + std::to_string(10 + seed % 50);
  for (int slot = BandFirstIndex(band); slot <= BandLastIndex(band); ++slot) {
    const double hertz = unitsim::GridFrequency(slot);
    const unitsim::TMeasuredPoint p = circuit.Measure(hertz, true, noise);
    const std::string record = unitsim::EncodeRecord(p.Ohms, p.Degrees, hertz);
    record.copy(set.Data[slot].data(), RECORD_LEN);
  }
  return set;
}

bool WriteSpeakerFile(const std::string& path, int band, std::uint64_t seed,
                      const std::string& serial, int commPort, TRawData* written) {
  const TRawData set = SpeakerSweep(band, seed);
  TSettingData setting;
  setting.CommPortNum = commPort;
  if (written) *written = set;
  return TDoZ_File().WriteDataFile(path, serial, &setting, &set);
}

std::vector<std::string> WriteSpeakerFiles(const std::string& folder, const std::string& stem,
                                           int band, const std::vector<std::uint64_t>& seeds) {
  std::vector<std::string> paths;
  for (const std::uint64_t seed : seeds) {
    paths.push_back(folder + "/" + stem + std::to_string(seed) + ".DTA");
    if (!WriteSpeakerFile(paths.back(), band, seed)) return {};
  }
  return paths;
}

}  // namespace doz::test
