// A bare pseudo-terminal peer for driver tests: the test writes and reads the
// master side by hand, the driver opens the slave path.
#pragma once

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace kavo::test {

class PtyPeer {
 public:
  PtyPeer() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) return;
    path_ = name;
    termios tio{};
    tcgetattr(master_, &tio);
    cfmakeraw(&tio);
    tcsetattr(master_, TCSANOW, &tio);
  }
  ~PtyPeer() { Close(); }
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  bool Ok() const { return master_ >= 0 && !path_.empty(); }
  const std::string& Path() const { return path_; }
  int Fd() const { return master_; }

  bool Write(const std::string& bytes) {
    return master_ >= 0 && ::write(master_, bytes.data(), bytes.size()) == ssize_t(bytes.size());
  }
  // Reads what arrives within ms (returns early once `want` bytes are in).
  std::string Read(size_t want, int ms) {
    std::string got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < want) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
      if (left <= 0) break;
      pollfd pfd{master_, POLLIN, 0};
      if (poll(&pfd, 1, int(left)) <= 0) break;
      char buf[4096];
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, size_t(n));
    }
    return got;
  }
  void Close() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string path_;
};

inline double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace kavo::test
