#include "PtyPair.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "PtyUnit.h"

namespace kavo::test {

PtyPair::PtyPair(bool nonBlocking) {
  master_ = kavsim::OpenRawPty(path_);
  if (master_ >= 0 && nonBlocking) fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

bool PtyPair::Write(const std::string& bytes) {
  return master_ >= 0 && ::write(master_, bytes.data(), bytes.size()) == ssize_t(bytes.size());
}

std::string PtyPair::Read(size_t want, int ms) {
  std::string got;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (got.size() < want) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
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

void PtyPair::Close() {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

}  // namespace kavo::test
