// Every byte of a band's sweep on the line, both ways: finding the unit,
// checking it, the start commands, the stream, and the release. Its wire time
// is the least a sweep can take.
#pragma once

#include <cstddef>
#include <cstring>
#include <utility>

#include "Doz_setting.h"

namespace doz::bench {

constexpr double kBitsPerByte = 10.0;
constexpr double kLineRate = 9600.0;
// "U?" while the unit is checked asks six bytes of a five-byte reply, so it
// always waits its 100 ms out.
constexpr double kIdentityWait = 0.100;

inline std::size_t ProtocolBytes(int band) {
  const std::pair<const char*, const char*> exchanges[] = {
      {"?", "OK"},     {"U?", "Do-Z"}, {"ME", "OK"},  {"U?", "Do-Z"}, {"V?", "1.10"},
      {"SN?", "0001"}, {"M?", "0"},    {"MS0", "OK"}, {"M0", "022C"}, {"ME", "OK"},
  };
  std::size_t bytes = 0;
  for (const auto& [command, reply] : exchanges)
    bytes += std::strlen(command) + 1 + std::strlen(reply) + 1;
  return bytes + std::size_t(BandDataNum(band)) * (RECORD_LEN + 1) + 3;
}

inline double WireSeconds(std::size_t bytes) { return double(bytes) * kBitsPerByte / kLineRate; }

}  // namespace doz::bench
