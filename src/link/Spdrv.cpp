#include "link/Spdrv.h"

#include "link/Deadline.h"
#include "link/Spdrv_speed.h"
#include "link/SysCall.h"
#include "platform/ComPorts.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kavo {

namespace {

constexpr uint32_t MinBufSize = 128;
constexpr uint32_t MaxBufSize = 8192;
constexpr uint16_t MinPollingDelay = 5;
constexpr uint32_t RateTolerancePercent = 2;  // a UART may round a custom rate

void SleepUntil(const Deadline& until) {
  while (!until.Passed()) poll(nullptr, 0, until.PollMs());
}

void SleepMs(int64_t ms) { SleepUntil(Deadline(ms)); }

// Waits for `events` on fd until the deadline.
// Returns poll's revents, 0 on time-out, -1 on a hard error.
int WaitFor(int fd, short events, const Deadline& until) {
  pollfd pfd{fd, events, 0};
  const int r = RetryOnEintr([&] { return poll(&pfd, 1, until.PollMs()); });
  return r > 0 ? pfd.revents : r;
}

speed_t StandardSpeed(uint32_t rate) {
  switch (rate) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B0;
  }
}

constexpr tcflag_t CflagMask = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CREAD | CLOCAL;
constexpr tcflag_t IflagMask = IXON | IXOFF | IXANY | INPCK | ISTRIP | PARMRK | IGNPAR | ICRNL | INLCR | IGNCR | IGNBRK | BRKINT;
constexpr tcflag_t LflagMask = ICANON | ECHO | ECHONL | ISIG | IEXTEN;

bool SameSettings(const termios& want, const termios& got, bool swFlow) {
  if ((want.c_cflag & CflagMask) != (got.c_cflag & CflagMask)) return false;
  if ((want.c_iflag & IflagMask) != (got.c_iflag & IflagMask)) return false;
  if ((want.c_lflag & LflagMask) != (got.c_lflag & LflagMask)) return false;
  if ((want.c_oflag & OPOST) != (got.c_oflag & OPOST)) return false;
  if (want.c_cc[VMIN] != got.c_cc[VMIN] || want.c_cc[VTIME] != got.c_cc[VTIME]) return false;
  if (swFlow && (want.c_cc[VSTART] != got.c_cc[VSTART] || want.c_cc[VSTOP] != got.c_cc[VSTOP])) return false;
  return true;
}

bool RetryIoctl(int fd, unsigned long request, void* arg) {
  return RetryOnEintr([&] { return ioctl(fd, request, arg); }) == 0;
}

// ---- line settings, one per function, each editing a termios copy ----

// Raw bytes both ways, the receiver on, modem control ignored; reads and
// writes return at once, the driver's own deadlines rule.
void RawLine(termios& tio) {
  cfmakeraw(&tio);
  tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | ISTRIP);
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
}

void LineCharSize(termios& tio, TDataBits bits) {
  static constexpr tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
  tio.c_cflag |= sizes[std::clamp(int(bits), 0, 3)];
}

void LineParity(termios& tio, TParity parity) {
  switch (parity) {
    case ptODD: tio.c_cflag |= PARENB | PARODD; break;
    case ptEVEN: tio.c_cflag |= PARENB; break;
    case ptMARK: tio.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case ptSPACE: tio.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
}

// CSTOPB gives 1.5 stop bits with 5 data bits and 2 otherwise, as UARTs do.
void LineStopBits(termios& tio, TStopBits bits) {
  if (bits != sb1BITS) tio.c_cflag |= CSTOPB;
}

void LineFlowControl(termios& tio, THwFlowControl hw, TSwFlowControl sw) {
  if (hw == hfRTSCTS) tio.c_cflag |= CRTSCTS;
  if (sw == sfXONXOFF) {
    tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
  }
}

// A classic rate goes into the copy; any other is set after it (B0 returned).
speed_t LineSpeed(termios& tio, uint32_t rate) {
  const speed_t standard = StandardSpeed(rate);
  if (standard != B0) {
    cfsetispeed(&tio, standard);
    cfsetospeed(&tio, standard);
  }
  return standard;
}

// tcsetattr succeeds when any part applied: read back and compare.
bool ApplyAndVerify(int fd, const termios& tio, speed_t standard, uint32_t rate, bool swFlow) {
  if (RetryOnEintr([&] { return tcsetattr(fd, TCSANOW, &tio); }) != 0) return false;
  if (standard == B0 && !spdrv::SetCustomSpeed(fd, rate)) return false;
  termios got{};
  if (tcgetattr(fd, &got) != 0 || !SameSettings(tio, got, swFlow)) return false;
  if (standard != B0) return cfgetospeed(&got) == standard;
  uint32_t actual = 0;
  if (!spdrv::ReadSpeed(fd, actual)) return false;
  const uint64_t diff = actual > rate ? actual - rate : rate - actual;
  return diff * 100 <= uint64_t(rate) * RateTolerancePercent;
}

}  // namespace

uint32_t BaudRateOf(TBaudRate rate) {
  static constexpr uint32_t rates[] = {0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400,
                                       19200, 38400, 56000, 57600, 115200, 128000, 256000};
  const int i = int(rate);
  return (i >= 0 && i < int(std::size(rates))) ? rates[i] : 0;
}

uint32_t DelayForRX(TBaudRate rate, uint32_t size) {
  const uint32_t bps = BaudRateOf(rate);
  if (bps == 0) return 0;
  const double bytesPerSecond = bps / 10.0;
  return uint32_t(size / bytesPerSecond * 1000.0 + 0.5);
}

uint32_t GetTickCount() { return uint32_t(MonotonicMs()); }

TSerialPortDriver::TSerialPortDriver(QObject* owner) : QObject(owner), pollTimer_(this) {
  portName_ = ComPortPath(1);
  inBuf_.assign(inBufSize_, 0);
  // The tick only keeps the owner's event loop awake; it reads nothing.
  connect(&pollTimer_, &QTimer::timeout, this, [] {});
}

TSerialPortDriver::~TSerialPortDriver() { Disconnect(); }

// ---- connection ----

bool TSerialPortDriver::Connect() {
  if (Connected()) return true;
  openFailure_ = OpenFailure::NoSuchDevice;
  const QByteArray path = QFile::encodeName(portName_);
  if (path.isEmpty()) return false;
  const int fd = RetryOnEintr([&] { return ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
  if (fd < 0) {
    openFailure_ = ClassifyOpenErrno(errno);
    return false;
  }
  // Unshared access: TIOCEXCL keeps other users out, flock also root.
  termios probe{};
  if (tcgetattr(fd, &probe) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
    openFailure_ = ClassifyOpenErrno(errno);
    ::close(fd);
    return false;
  }
  handle_ = fd;
  locked_ = true;
  if (!ApplyCOMSettings()) {
    openFailure_ = OpenFailure::Other;
    Disconnect();
    return false;
  }
  StartPolling();
  openFailure_ = OpenFailure::None;
  return true;
}

void TSerialPortDriver::ReleaseHandle() {
  if (locked_) {
    ioctl(handle_, TIOCNXCL);
    flock(handle_, LOCK_UN);
    locked_ = false;
  }
}

bool TSerialPortDriver::Disconnect() {
  if (!Connected()) return false;
  StopPolling();
  ReleaseHandle();
  const int fd = handle_;
  handle_ = -1;
  // close() must not be retried on EINTR: the descriptor is gone either way.
  return ::close(fd) == 0 || ClassifyErrno(errno) == SysError::Interrupted;
}

void TSerialPortDriver::SetHandle(int handle) {
  if (handle == handle_) return;
  if (handle == -2) {
    StopPolling();
    if (Connected()) ReleaseHandle();
    handle_ = -1;
    return;
  }
  Disconnect();
  if (handle != -1 && handle >= 0) {
    handle_ = handle;
    StartPolling();
  }
}

bool TSerialPortDriver::ApplyCOMSettings() {
  if (!Connected() || baudRateValue_ == 0) return false;
  termios tio{};
  if (tcgetattr(handle_, &tio) != 0) return false;
  RawLine(tio);
  LineCharSize(tio, dataBits_);
  LineParity(tio, parity_);
  LineStopBits(tio, stopBits_);
  LineFlowControl(tio, hwFlow_, swFlow_);
  const speed_t standard = LineSpeed(tio, baudRateValue_);
  if (!ApplyAndVerify(handle_, tio, standard, baudRateValue_, swFlow_ == sfXONXOFF)) return false;

  // Modem lines. A pseudo-terminal has none; that is no failure.
  auto line = [this](bool on, int bit) {
    return ModemBits(on ? TIOCMBIS : TIOCMBIC, bit) || ClassifyErrno(errno) == SysError::NotSupported;
  };
  if (!line(enableDTROnOpen_, TIOCM_DTR)) return false;
  if (!line(hwFlow_ != hfNONE, TIOCM_RTS)) return false;

  // The system sizes its queues itself; InBufSize and OutBufSize stay the
  // driver's own limits (OutFreeSpace, ReadData_All).
  return FlushBuffers(true, true);
}

// ---- property setters ----

void TSerialPortDriver::SetPort(TPortNumber port) {
  if (Connected()) return;
  port_ = port;
  if (port != pnCustom) portName_ = ComPortPath(int(port));
}

void TSerialPortDriver::SetPortName(const QString& name) {
  if (Connected()) return;
  portName_ = name;
  port_ = pnCustom;
}

void TSerialPortDriver::SetBaudRate(TBaudRate rate) {
  baudRate_ = rate;
  if (rate != brCustom) baudRateValue_ = BaudRateOf(rate);
  if (Connected()) ApplyCOMSettings();
}

void TSerialPortDriver::SetBaudRateValue(uint32_t value) {
  baudRate_ = brCustom;
  baudRateValue_ = value;
  if (Connected()) ApplyCOMSettings();
}

void TSerialPortDriver::SetDataBits(TDataBits bits) {
  dataBits_ = bits;
  if (Connected()) ApplyCOMSettings();
}

void TSerialPortDriver::SetStopBits(TStopBits bits) {
  stopBits_ = bits;
  if (Connected()) ApplyCOMSettings();
}

void TSerialPortDriver::SetParity(TParity parity) {
  parity_ = parity;
  if (Connected()) ApplyCOMSettings();
}

void TSerialPortDriver::SetHwFlowControl(THwFlowControl flow) {
  hwFlow_ = flow;
  if (Connected()) ApplyCOMSettings();
}

void TSerialPortDriver::SetSwFlowControl(TSwFlowControl flow) {
  swFlow_ = flow;
  if (Connected()) ApplyCOMSettings();
}

void TSerialPortDriver::SetInBufSize(uint32_t size) {
  if (Connected()) return;
  inBufSize_ = std::clamp(size, MinBufSize, MaxBufSize);
  inBuf_.assign(inBufSize_, 0);
  // A packet never outgrows the buffer that would hold it.
  if (packetSize_ > 0 && uint32_t(packetSize_) > inBufSize_) packetSize_ = int16_t(inBufSize_);
}

void TSerialPortDriver::SetOutBufSize(uint32_t size) {
  if (Connected()) return;
  outBufSize_ = std::clamp(size, MinBufSize, MaxBufSize);
}

void TSerialPortDriver::SetPacketSize(int16_t size) {
  if (size <= 0) {
    packetSize_ = -1;
    return;
  }
  if (uint32_t(size) > inBufSize_) SetInBufSize(uint32_t(size));
  packetSize_ = int16_t(std::min<uint32_t>(uint32_t(size), inBufSize_));
}

void TSerialPortDriver::SetPacketTimeout(int32_t timeout) {
  if (timeout < 1) {
    packetTimeout_ = -1;
    return;
  }
  // A packet cannot time out faster than the timer that would notice it.
  if (timeout < pollingDelay_) timeout = pollingDelay_ + pollingDelay_ * 40 / 100;
  packetTimeout_ = timeout;
}

void TSerialPortDriver::SetPollingDelay(uint16_t delay) {
  if (delay < MinPollingDelay) delay = MinPollingDelay;
  if (delay == pollingDelay_) return;
  const bool running = Connected();
  if (running) StopPolling();
  pollingDelay_ = delay;
  if (running) StartPolling();
  if (packetTimeout_ > 0) SetPacketTimeout(packetTimeout_);
}

void TSerialPortDriver::StartPolling() { pollTimer_.start(pollingDelay_); }

void TSerialPortDriver::StopPolling() { pollTimer_.stop(); }

// ---- transfer ----

bool TSerialPortDriver::FlushBuffers(bool inBuf, bool outBuf) {
  if (!Connected()) return false;
  bool ok = true;
  if (inBuf || outBuf) {
    const int which = inBuf && outBuf ? TCIOFLUSH : (inBuf ? TCIFLUSH : TCOFLUSH);
    ok = tcflush(handle_, which) == 0;
  }
  if (ok) packetStart_ = -1;
  return ok;
}

uint32_t TSerialPortDriver::CountRX() {
  if (!Connected()) return 65535;
  int queued = 0;
  if (!RetryIoctl(handle_, FIONREAD, &queued) || queued < 0) return 0;
  return uint32_t(queued);
}

uint16_t TSerialPortDriver::OutFreeSpace() {
  if (!Connected()) return 65535;
  int queued = 0;
  if (!RetryIoctl(handle_, TIOCOUTQ, &queued) || queued < 0) return 0;
  return uint16_t(uint32_t(queued) >= outBufSize_ ? 0 : outBufSize_ - uint32_t(queued));
}

bool TSerialPortDriver::DeviceGone() {
  termios tio{};
  return tcgetattr(handle_, &tio) != 0 && ClassifyErrno(errno) == SysError::Gone;
}

uint32_t TSerialPortDriver::SendDataEx(const void* data, uint32_t count, uint32_t timeout) {
  if (!Connected() || data == nullptr) return 0;
  const auto* p = static_cast<const uint8_t*>(data);
  uint32_t total = 0;
  Deadline stuck(int64_t(timeout) + 1);  // restarted by every byte that goes out
  while (total < count) {
    int queued = 0;
    if (!RetryIoctl(handle_, TIOCOUTQ, &queued)) break;  // the device is gone
    const uint32_t space = uint32_t(std::max(queued, 0)) >= outBufSize_ ? 0 : outBufSize_ - uint32_t(std::max(queued, 0));
    bool blocked = true;  // the system took nothing: wait for room
    if (space > 0) {
      if (checkLineStatus_ && GetLineStatus() == 0) break;
      const uint32_t chunk = std::min<uint32_t>(count - total, space);
      const ssize_t n = RetryOnEintr([&] { return ::write(handle_, p + total, chunk); });
      if (n > 0) {
        total += uint32_t(n);
        stuck.Restart(int64_t(timeout) + 1);
        continue;
      }
      if (n < 0 && ClassifyErrno(errno) != SysError::WouldBlock) break;  // the device is gone
    } else {
      blocked = false;  // our own queue limit, not the system's
    }
    if (stuck.Passed()) break;
    if (blocked) {
      const int revents = WaitFor(handle_, POLLOUT, stuck);
      if (revents < 0 || (revents & (POLLERR | POLLHUP | POLLNVAL))) break;
    } else {
      // The queue drains at the line rate; look again after a few bytes' time.
      SleepMs(std::min<int64_t>(stuck.Left(), 5));
    }
  }
  return total;
}

uint32_t TSerialPortDriver::SendData(const void* data, uint32_t count) {
  return SendDataEx(data, count, outputTimeout_);
}

bool TSerialPortDriver::SendByte(uint8_t value) { return SendData(&value, 1) == 1; }

bool TSerialPortDriver::SendChar(char value) { return SendData(&value, 1) == 1; }

bool TSerialPortDriver::SendString(const QByteArray& text) {
  return SendData(text.constData(), uint32_t(text.size())) == uint32_t(text.size());
}

bool TSerialPortDriver::SendZString(const char* text) {
  const uint32_t length = text ? uint32_t(std::strlen(text)) : 0;
  if (length == 0) return true;
  return SendData(text, length) == length;
}

uint32_t TSerialPortDriver::ReadData(void* buffer, uint32_t count) {
  if (!Connected() || buffer == nullptr) return 0;
  auto* p = static_cast<uint8_t*>(buffer);
  uint32_t got = 0;
  const Deadline until(int64_t(inputTimeout_) + 1);
  bool saidReadable = false;
  bool hangUpSeen = false;
  while (got < count) {
    const ssize_t n = RetryOnEintr([&] { return ::read(handle_, p + got, count - got); });
    if (n > 0) {
      got += uint32_t(n);
      saidReadable = false;
      // Part of the count is in: the rest cannot arrive faster than the line
      // carries it. Waiting that long at once, instead of waking for every
      // byte, keeps a reader at 9600 bit/s nearly free of CPU.
      if (got < count && baudRateValue_ > 0) {
        // Rounded up: waking a moment before the last byte costs another
        // empty read, a poll and a wake-up.
        const int64_t lineTime = (int64_t(count - got) * 10000 + baudRateValue_ - 1) / baudRateValue_;
        if (lineTime > 1) SleepMs(std::min(lineTime, until.Left() - 1));
      }
      continue;
    }
    // Nothing queued. An empty read after poll said "readable" or a hard
    // error means the device has gone (hang-up, adapter pulled).
    bool gone = (n < 0 && ClassifyErrno(errno) != SysError::WouldBlock) ||
                (saidReadable && (hangUpSeen || DeviceGone()));
    if (until.Passed()) break;
    if (!gone) {
      const int revents = WaitFor(handle_, POLLIN, until);
      if (revents < 0 || (revents & POLLNVAL)) {
        gone = true;
      } else if (revents & (POLLIN | POLLHUP | POLLERR)) {
        saidReadable = true;
        hangUpSeen = (revents & (POLLHUP | POLLERR)) != 0;
        continue;
      } else {
        continue;  // time-out: the loop head notices it
      }
    }
    // A vanished device answers nothing: sit out the deadline quietly, as a
    // silent line would, instead of returning early into a busy caller loop.
    SleepUntil(until);
    break;
  }
  return got;
}

uint32_t TSerialPortDriver::ReadData_inTime(void* buffer, uint32_t count, uint32_t timeout) {
  inputTimeout_ = timeout;
  return ReadData(buffer, count);
}

uint32_t TSerialPortDriver::ReadData2(void* buffer, uint32_t count, uint32_t timeout) {
  if (Connected()) inputTimeout_ = timeout;
  return ReadData(buffer, count);
}

uint32_t TSerialPortDriver::ReadData_All(void* buffer) { return ReadData_All(buffer, inBufSize_); }

uint32_t TSerialPortDriver::ReadData_All(void* buffer, uint32_t capacity) {
  if (!Connected() || buffer == nullptr) return 0;
  const uint32_t queued = std::min(CountRX(), capacity);
  if (queued == 0) return 0;
  return ReadData(buffer, queued);
}

bool TSerialPortDriver::ReadByte(uint8_t& value) { return ReadData(&value, 1) == 1; }

bool TSerialPortDriver::ReadChar(char& value) { return ReadData(&value, 1) == 1; }

// ---- modem lines ----

bool TSerialPortDriver::ModemBits(unsigned long request, int bits) {
  return Connected() && RetryIoctl(handle_, request, &bits);
}

TLineStatusSet TSerialPortDriver::GetLineStatus() {
  if (!Connected()) return 0;
  int bits = 0;
  if (!RetryIoctl(handle_, TIOCMGET, &bits)) return 0;
  TLineStatusSet set = 0;
  if (bits & TIOCM_CTS) set |= LineBit(lsCTS);
  if (bits & TIOCM_DSR) set |= LineBit(lsDSR);
  if (bits & TIOCM_RNG) set |= LineBit(lsRING);
  if (bits & TIOCM_CAR) set |= LineBit(lsCD);
  return set;
}

bool TSerialPortDriver::ToggleDTR(bool on) { return ModemBits(on ? TIOCMBIS : TIOCMBIC, TIOCM_DTR); }

bool TSerialPortDriver::ToggleRTS(bool on) { return ModemBits(on ? TIOCMBIS : TIOCMBIC, TIOCM_RTS); }

}  // namespace kavo
