#include "PtyUnit.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace kavsim {

namespace {

using Clock = std::chrono::steady_clock;



}  // namespace

int OpenRawPty(std::string& slavePath) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) return -1;
  char name[128];
  if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
    close(master);
    return -1;
  }
  // On a pty master, termios requests reach the slave: a new pty starts
  // cooked with echo, which would bounce the unit's replies back to it.
  termios tio{};
  if (tcgetattr(master, &tio) == 0) {
    cfmakeraw(&tio);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    tcsetattr(master, TCSANOW, &tio);
  }
  slavePath = name;
  return master;
}

PtyUnit::PtyUnit(UnitConfig config) : config_(std::move(config)) {}

PtyUnit::~PtyUnit() { Stop(); }

double PtyUnit::ThreadCpuSeconds() const {
  if (!thread_.joinable()) return 0;
  clockid_t clock;
  timespec ts{};
  if (pthread_getcpuclockid(const_cast<std::thread&>(thread_).native_handle(), &clock) != 0) return 0;
  if (clock_gettime(clock, &ts) != 0) return 0;
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

bool PtyUnit::Start() {
  if (running_.load() || master_ >= 0 || hungUp_.load()) return false;
  std::string name;
  const int master = OpenRawPty(name);
  if (master < 0) return false;
  const int keep = open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  const int wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (keep < 0 || wake < 0) {
    if (keep >= 0) close(keep);
    if (wake >= 0) close(wake);
    close(master);
    return false;
  }
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  master_ = master;
  slaveKeep_ = keep;
  wake_ = wake;
  slavePath_ = name;
  stop_ = false;
  running_ = true;
  thread_ = std::thread(&PtyUnit::Run, this);
  return true;
}

void PtyUnit::Wake() {
  if (wake_ < 0) return;
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof one);
}

void PtyUnit::Stop() {
  stop_ = true;
  Wake();
  if (thread_.joinable()) thread_.join();
  running_ = false;
  CloseLine();
  if (wake_ >= 0) {
    close(wake_);
    wake_ = -1;
  }
}

void PtyUnit::HangUp() {
  hangUpRequest_ = true;
  Wake();
  if (thread_.joinable()) thread_.join();
  running_ = false;
  if (master_ >= 0) {
    CloseLine();
    hungUp_ = true;
  }
}

void PtyUnit::CloseLine() {
  if (master_ >= 0) {
    close(master_);
    master_ = -1;
  }
  if (slaveKeep_ >= 0) {
    close(slaveKeep_);
    slaveKeep_ = -1;
  }
}

std::vector<std::string> PtyUnit::Commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
}

void PtyUnit::ClearCommands() {
  std::lock_guard<std::mutex> lock(mutex_);
  commands_.clear();
}

bool PtyUnit::WaitForCommands(size_t n, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return commands_.size() >= n; });
}

bool PtyUnit::WaitForBytesSent(uint64_t n, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return bytesSent_.load() >= n; });
}

void PtyUnit::Run() {
  UnitProtocol unit(config_);
  const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / std::max<uint32_t>(config_.baud, 1));
  std::string out;     // bytes not yet on the line
  size_t outPos = 0;
  bool hangUpWhenSent = false;
  Clock::time_point nextDue = Clock::now();  // paced: when the next byte is due

  auto queue = [&](Output&& o) {
    if (o.abortStream) {
      out.clear();
      outPos = 0;
      hangUpWhenSent = false;
    }
    if (out.size() == outPos) {
      out.clear();
      outPos = 0;
      // An idle line: the first byte arrives one character time from now.
      nextDue = std::max(nextDue, Clock::now() + byteTime);
    }
    out += o.bytes;
    hangUpWhenSent = hangUpWhenSent || o.hangUpAfter;
  };

  while (!stop_.load() && !hangUpRequest_.load()) {
    const bool pending = outPos < out.size();
    int timeoutMs = -1;
    bool wantWrite = false;
    if (pending) {
      if (!config_.paced) {
        wantWrite = true;
      } else {
        const auto wait = nextDue - Clock::now();
        if (wait <= Clock::duration::zero()) wantWrite = true;
        else timeoutMs = int(std::chrono::ceil<std::chrono::milliseconds>(wait).count());
      }
    }
    pollfd fds[2] = {{master_, short(POLLIN | (wantWrite ? POLLOUT : 0)), 0}, {wake_, POLLIN, 0}};
    const int r = poll(fds, 2, wantWrite ? -1 : timeoutMs);
    if (r < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents & POLLIN) {
      uint64_t value;
      [[maybe_unused]] ssize_t n = read(wake_, &value, sizeof value);
      continue;
    }
    if (fds[0].revents & POLLIN) {
      char buf[256];
      const ssize_t n = read(master_, buf, sizeof buf);
      for (ssize_t i = 0; i < n; ++i) {
        std::string command;
        if (!unit.Feed(buf[i], command)) continue;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          commands_.push_back(command);
        }
        changed_.notify_all();
        queue(unit.Answer(command));
      }
    }
    if (outPos < out.size() && (fds[0].revents & POLLOUT)) {
      size_t chunk = out.size() - outPos;
      const auto now = Clock::now();
      if (config_.paced) chunk = std::min<size_t>(chunk, size_t(1 + (now - nextDue) / byteTime));
      const ssize_t n = write(master_, out.data() + outPos, chunk);
      if (n > 0) {
        outPos += size_t(n);
        if (config_.paced) nextDue += byteTime * n;
        bytesSent_ += uint64_t(n);
        // An empty critical section, on purpose: a waiter in WaitForBytesSent
        // tests the counter under the mutex, so passing through it here
        // means the waiter is either before its test or already asleep, and
        // the notification cannot fall between the two and be lost.
        {
          std::lock_guard<std::mutex> lock(mutex_);
        }
        changed_.notify_all();
      }
    } else if ((fds[0].revents & (POLLHUP | POLLERR)) && !(fds[0].revents & POLLIN)) {
      // Cannot happen while the slave is held open; never spin on it.
      poll(nullptr, 0, 20);
    }
    if (hangUpWhenSent && outPos == out.size()) {
      hangUpRequest_ = true;
    }
  }
  if (hangUpRequest_.load()) {
    CloseLine();
    hungUp_ = true;
  }
  running_ = false;
  changed_.notify_all();
}

}  // namespace kavsim
