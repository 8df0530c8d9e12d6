// The driver's line settings as a termios record, kept apart from the port so
// that the mapping can be checked without a device (a pseudo-terminal keeps
// neither word size nor parity).
#pragma once

#include <termios.h>

#include <cstdint>

#include "Serial_types.h"

namespace doz {

// The speed constant for a rate termios names, or B0 when it has none (such
// rates go through SetArbitrarySpeed).
speed_t StandardSpeed(std::uint32_t rate);

// Raw binary line with the given settings; the speed is set when the rate has
// a constant, else left at B38400 as a placeholder for the arbitrary rate.
void ToTermios(const TLineSettings& settings, termios& t);

}  // namespace doz
