// What the tests need to know of the unit's commands.
#pragma once

#include <string>

namespace doz::test {

// The start of a sweep: "M" and the band's digit (M0 to M9).
inline bool IsSweepStart(const std::string& command) {
  return command.size() == 2 && command[0] == 'M' && command[1] >= '0' && command[1] <= '9';
}

}  // namespace doz::test
