// The driver's single view of failing system calls: one retry on EINTR and
// one reading of errno. Plain C++, usable beside the kernel's own termios
// headers.
#pragma once

#include <cerrno>

namespace kavo {

// Calls `call` again while it fails with EINTR; returns its last result.
// Fits every call that reports failure as -1 (open, read, write, poll,
// ioctl, tcsetattr, ...). Never for close(): the descriptor is gone then.
template <typename Call>
auto RetryOnEintr(Call call) {
  for (;;) {
    const auto result = call();
    if (!(result == -1 && errno == EINTR)) return result;
  }
}

enum class SysError {
  Interrupted,   // EINTR: try again
  WouldBlock,    // nothing to read, no room to write yet
  NotSupported,  // the device has no such thing (a pty has no modem lines)
  Gone,          // the device went away: adapter pulled, line hung up
  Other,
};

inline SysError ClassifyErrno(int err) {
  switch (err) {
    case EINTR: return SysError::Interrupted;
    case EAGAIN: return SysError::WouldBlock;
    case ENOTTY:
    case EINVAL: return SysError::NotSupported;
    case EIO:
    case ENXIO:
    case ENODEV:
    case EBADF: return SysError::Gone;
    default: return SysError::Other;
  }
}

// Why a device could not be opened: what the user must change differs.
enum class OpenFailure {
  None,
  NoSuchDevice,      // nothing at the path (or no hardware behind it)
  PermissionDenied,  // it exists, but this user may not open it
  Busy,              // another program holds it
  NotSerial,         // it opens, but is no terminal
  Other,
};

inline OpenFailure ClassifyOpenErrno(int err) {
  switch (err) {
    case EACCES:
    case EPERM: return OpenFailure::PermissionDenied;
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV: return OpenFailure::NoSuchDevice;
    case EBUSY:
    case EWOULDBLOCK: return OpenFailure::Busy;
    case ENOTTY: return OpenFailure::NotSerial;
    default: return OpenFailure::Other;
  }
}

}  // namespace kavo
