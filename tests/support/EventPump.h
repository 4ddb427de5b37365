// Runs the real event loop (so idle passes happen) until a condition holds.
#pragma once

#include <functional>

namespace kavo::test {

// True when `done` became true within `timeoutMs`.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Lets the event loop run for `ms` milliseconds.
void PumpFor(int ms);

}  // namespace kavo::test
