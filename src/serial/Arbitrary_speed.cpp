// Kept in its own file: <asm/termbits.h> defines a struct termios of its own
// and cannot share a translation unit with <termios.h>.
#include "Arbitrary_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace doz {

bool SetArbitrarySpeed(int fd, std::uint32_t rate) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  t.c_ispeed = rate;
  t.c_ospeed = rate;
  return ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace doz
