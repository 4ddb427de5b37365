#include "EventPump.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace kavo::test {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  QEventLoop loop;
  QTimer tick;
  tick.setInterval(2);
  // The loop blocks between ticks, so the program's idle handling runs as
  // it does in the real event loop.
  QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
    if (done() || deadline.hasExpired()) loop.quit();
  });
  tick.start();
  if (!done()) loop.exec();
  return done();
}

void PumpFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace kavo::test
