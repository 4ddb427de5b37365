// Line speeds the classic B-constants cannot express, through the Linux
// termios2 interface. Kept in a unit of its own: <asm/termbits.h> clashes
// with glibc's <termios.h>.
#pragma once

#include <cstdint>

namespace kavo::spdrv {

// Programs `rate` bit/s in both directions on an open tty; false when the
// system refuses it.
bool SetCustomSpeed(int fd, uint32_t rate);
// The output speed in bit/s the tty reports now; false when it cannot be read.
bool ReadSpeed(int fd, uint32_t& rate);

}  // namespace kavo::spdrv
