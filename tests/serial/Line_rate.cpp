// Alone in its file: <asm/termbits.h> clashes with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "Pty_pair.h"

namespace doz::test {

unsigned LineRate(int fd) {
  struct termios2 t {};
  return ioctl(fd, TCGETS2, &t) == 0 ? t.c_ospeed : 0;
}

}  // namespace doz::test
