// Measurement files for the window tests, the screenshot and the benchmark:
// loudspeaker-like sweeps as the simulated unit measures them, written
// through the file service.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Doz_setting.h"

namespace doz::test {

// The raw set of one sweep over `band` of the simulated circuit of that seed
// (noise included, reproducible): present, dated, every slot of the band set.
TRawData SpeakerSweep(int band, std::uint64_t seed);

// Writes SpeakerSweep(band, seed) as a .DTA file; false when the file service
// refuses. `written` receives the set as it went into the file.
bool WriteSpeakerFile(const std::string& path, int band, std::uint64_t seed,
                      const std::string& serial = "0001", int commPort = 1,
                      TRawData* written = nullptr);

// One file per seed, folder/<stem><seed>.DTA; their paths in the seeds'
// order, or none when a file could not be written.
std::vector<std::string> WriteSpeakerFiles(const std::string& folder, const std::string& stem,
                                           int band, const std::vector<std::uint64_t>& seeds);

}  // namespace doz::test
