// A point in time a wait must not outlast, on the monotonic millisecond
// clock every driver deadline is measured with. Plain C++.
#pragma once

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>

namespace kavo {

inline int64_t MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class Deadline {
 public:
  // `ms` from now; 0 or less has passed already.
  explicit Deadline(int64_t ms) { Restart(ms); }
  void Restart(int64_t ms) { until_ = MonotonicMs() + ms; }
  // Milliseconds left, never below 0.
  int64_t Left() const { return std::max<int64_t>(until_ - MonotonicMs(), 0); }
  bool Passed() const { return Left() == 0; }
  // Left() as a poll() time-out.
  int PollMs() const { return static_cast<int>(std::min<int64_t>(Left(), INT_MAX)); }

 private:
  int64_t until_ = 0;
};

}  // namespace kavo
