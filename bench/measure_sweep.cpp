// A whole measurement through the real main window against the simulated
// unit on a pseudo-terminal, paced at 9600 bit/s and unpaced.
//
// Paced runs report: the time from the start command to "測定終了しました"
// against the line time of everything the unit sent (10 bits per byte), the
// largest receive backlog in the kernel's queue, the CPU time of the main
// thread and of the whole process (every thread, Qt's own included, less the
// simulated unit's thread) as a share of the wall time, and the longest gap between two ticks of a
// 10 ms timer (how long the window could not react). The finish is seen by
// that tick, so times are late by up to 10 ms. Unpaced runs report
// the time to receive, draw and finish a full-band sweep.
//
// Usage: bench_measure_sweep [paced runs] [unpaced runs]
// Under a real X server, as a user would run it:
//   QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" bench_measure_sweep 7 0
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

#include "EventPump.h"
#include "MainProbe.h"
#include "PtyUnit.h"
#include "TempDir.h"
#include "link/Spdrv.h"
#include "messages/StatusPanels.h"
#include "ScriptedModal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace {

double ThreadCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_THREAD, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

struct Result {
  double wallMs = 0;
  double lineMs = 0;
  double cpuShare = 0;
  double processCpuShare = 0;
  double maxGapMs = 0;
  uint32_t maxBacklog = 0;
  bool done = false;
};

Result RunOnce(bool paced) {
  Result result;
  kavsim::PtyUnit unit;
  unit.Config().paced = paced;
  unit.Config().noise = 0.002;
  if (!unit.Start()) return result;
  qputenv("KAVO_COM1", QByteArray::fromStdString(unit.SlavePath()));

  kavo::TFormMain* main = kavo::CreateForms();
  main->show();
  kavo::test::PumpFor(100);

  // Watch the loop: a 10 ms tick measures how long it could not react; the
  // same tick samples the kernel's receive queue.
  QElapsedTimer clock;
  qint64 lastTick = -1;
  qint64 finishedAt = -1;  // first tick that saw the finished measurement
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  tick.setInterval(qEnvironmentVariableIntValue("TICK") ? qEnvironmentVariableIntValue("TICK") : 10);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    if (lastTick >= 0) result.maxGapMs = std::max(result.maxGapMs, double(now - lastTick));
    lastTick = now;
    kavo::TSerialPortDriver* driver = kavo::TFormMainProbe(main).Driver();
    if (driver && driver->Connected()) result.maxBacklog = std::max(result.maxBacklog, driver->CountRX());
    if (finishedAt < 0 && kavo::TFormMainProbe(main).mainData().valid) finishedAt = now;
  });

  QEventLoop loop;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (kavo::TFormMainProbe(main).SweepOver() && kavo::TFormMainProbe(main).StatusBar1()->PanelText(1) == QStringLiteral("測定終了しました"))
      loop.quit();
  });
  QTimer::singleShot(30000, &loop, &QEventLoop::quit);

  clock.start();
  const double cpu0 = ThreadCpuSeconds();
  const double process0 = ProcessCpuSeconds() - unit.ThreadCpuSeconds();
  tick.start();
  poll.start();
  main->MStartBtnClick();
  loop.exec();
  result.wallMs = double(finishedAt >= 0 ? finishedAt : clock.elapsed());
  result.cpuShare = 100.0 * (ThreadCpuSeconds() - cpu0) / (result.wallMs / 1000.0);
  const double process1 = ProcessCpuSeconds() - unit.ThreadCpuSeconds();
  result.processCpuShare = 100.0 * (process1 - process0) / (result.wallMs / 1000.0);
  result.done = kavo::TFormMainProbe(main).mainData().valid == 1;
  result.lineMs = double(unit.BytesSent()) * 10.0 / 9600.0 * 1000.0;
  tick.stop();
  poll.stop();
  kavo::DestroyForms();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  const int pacedRuns = argc > 1 ? std::atoi(argv[1]) : 3;
  const int unpacedRuns = argc > 2 ? std::atoi(argv[2]) : 5;
  kavo::test::TempDir dir;
  qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
  qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
  kavo::ScopedScriptedModal modal;

  std::vector<double> over, cpu, processCpu, gap, backlog;
  for (int i = 0; i < pacedRuns; ++i) {
    const Result r = RunOnce(true);
    const double overPct = 100.0 * (r.wallMs - r.lineMs) / r.lineMs;
    std::printf("paced   run %d: %s, %.0f ms for %.0f ms of line time (%+.2f %%), "
                "CPU main thread %.2f %%, process %.2f %%, longest gap %.0f ms, largest backlog %u bytes\n",
                i + 1, r.done ? "finished" : "NOT FINISHED", r.wallMs, r.lineMs, overPct, r.cpuShare,
                r.processCpuShare, r.maxGapMs, r.maxBacklog);
    over.push_back(overPct);
    cpu.push_back(r.cpuShare);
    processCpu.push_back(r.processCpuShare);
    gap.push_back(r.maxGapMs);
    backlog.push_back(r.maxBacklog);
  }
  std::vector<double> unpaced;
  for (int i = 0; i < unpacedRuns; ++i) {
    const Result r = RunOnce(false);
    std::printf("unpaced run %d: %s in %.0f ms\n", i + 1, r.done ? "finished" : "NOT FINISHED", r.wallMs);
    unpaced.push_back(r.wallMs);
  }
  if (pacedRuns > 0)
    std::printf("median paced: %+.2f %% over line time, CPU main thread %.2f %%, process %.2f %%, "
                "longest gap %.0f ms, backlog %.0f bytes\n",
                Median(over), Median(cpu), Median(processCpu), Median(gap), Median(backlog));
  if (unpacedRuns > 0) std::printf("median unpaced: %.0f ms\n", Median(unpaced));
  return 0;
}
