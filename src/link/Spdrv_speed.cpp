#include "link/Spdrv_speed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

#include "link/SysCall.h"

// <sys/ioctl.h> would drag glibc's termios types in beside the kernel's.
extern "C" int ioctl(int fd, unsigned long request, ...);

namespace kavo::spdrv {

static bool Termios2(int fd, unsigned long request, termios2& tio) {
  return RetryOnEintr([&] { return ioctl(fd, request, &tio); }) == 0;
}

bool SetCustomSpeed(int fd, uint32_t rate) {
  if (rate == 0) return false;
  termios2 tio{};
  if (!Termios2(fd, TCGETS2, tio)) return false;
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  tio.c_ispeed = rate;
  tio.c_ospeed = rate;
  return Termios2(fd, TCSETS2, tio);
}

bool ReadSpeed(int fd, uint32_t& rate) {
  termios2 tio{};
  if (!Termios2(fd, TCGETS2, tio)) return false;
  rate = tio.c_ospeed;
  return true;
}

}  // namespace kavo::spdrv
