#include "link/Spdrv_speed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>

// <sys/ioctl.h> would drag glibc's termios types in beside the kernel's.
extern "C" int ioctl(int fd, unsigned long request, ...);

namespace kavo::spdrv {

static bool GetTermios2(int fd, termios2& tio) {
  for (;;) {
    if (ioctl(fd, TCGETS2, &tio) == 0) return true;
    if (errno != EINTR) return false;
  }
}

bool SetCustomSpeed(int fd, uint32_t rate) {
  if (rate == 0) return false;
  termios2 tio{};
  if (!GetTermios2(fd, tio)) return false;
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  tio.c_ispeed = rate;
  tio.c_ospeed = rate;
  for (;;) {
    if (ioctl(fd, TCSETS2, &tio) == 0) return true;
    if (errno != EINTR) return false;
  }
}

bool ReadSpeed(int fd, uint32_t& rate) {
  termios2 tio{};
  if (!GetTermios2(fd, tio)) return false;
  rate = tio.c_ospeed;
  return true;
}

}  // namespace kavo::spdrv
