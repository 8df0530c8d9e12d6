// Line rates that have no termios constant (14400, 56000, 128000, 256000 and
// custom values), set through the kernel's arbitrary-rate interface.
#pragma once

#include <cstdint>

namespace doz {

// Sets input and output rate of the open terminal fd; false when the device
// refuses it.
bool SetArbitrarySpeed(int fd, std::uint32_t rate);

}  // namespace doz
