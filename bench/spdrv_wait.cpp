// CPU time of a driver that waits in ReadData for a sweep arriving at
// 9600 bit/s from the simulated unit (in-process, on its own thread).
// Prints the reading thread's CPU time as a share of the wall time for each
// run, and the median. A spinning wait would show about 100 %.
#include "PtyUnit.h"
#include "link/Spdrv.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

namespace {

double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int band = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 4) : 3;
  std::vector<double> thread, process;
  for (int run = 0; run < runs; ++run) {
    kavsim::PtyUnit unit;  // paced: 960 bytes per second
    if (!unit.Start()) {
      std::fprintf(stderr, "no pty\n");
      return 1;
    }
    kavo::TSerialPortDriver driver;
    driver.SetPortName(QString::fromStdString(unit.SlavePath()));
    if (!driver.Connect()) {
      std::fprintf(stderr, "cannot open %s\n", unit.SlavePath().c_str());
      return 1;
    }
    const std::string command = "M" + std::to_string(band) + "\r";
    driver.SendZString(command.c_str());
    char buf[32];
    driver.ReadData_inTime(buf, 5, 100);

    const auto wall0 = std::chrono::steady_clock::now();
    const double thread0 = CpuSeconds(RUSAGE_THREAD), process0 = CpuSeconds(RUSAGE_SELF);
    uint32_t total = 0;
    for (;;) {  // as the acquisition does: 19 bytes per step, 100 ms deadline
      const uint32_t got = driver.ReadData(buf, 19);
      total += got;
      if (got == 0) break;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double t = (CpuSeconds(RUSAGE_THREAD) - thread0) / wall * 100.0;
    const double p = (CpuSeconds(RUSAGE_SELF) - process0) / wall * 100.0;
    thread.push_back(t);
    process.push_back(p);
    std::printf("run %d: %u bytes in %.2f s (%.0f B/s); reader thread CPU %.2f %%, whole process %.2f %%\n", run + 1,
                total, wall, total / wall, t, p);
  }
  std::sort(thread.begin(), thread.end());
  std::sort(process.begin(), process.end());
  std::printf("median: reader thread CPU %.2f %% of wall time (whole process with the simulator %.2f %%)\n",
              thread[thread.size() / 2], process[process.size() / 2]);
  return 0;
}
