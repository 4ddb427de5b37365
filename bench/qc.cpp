// kavo-tool qc over 500 simulated drivers of one type (Fs, Qes and Le
// spread, noise 0.3 %): the classical analysis and a single-curve model fit
// of every file against the mean reference, in one call of the built
// kavo-tool. Wall time of the whole call and per file; medians of several runs.
//
// Usage: bench_qc [runs] [DIR]   (default 3; the files and the rules are
//                                 left in DIR when given)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "Records.h"
#include "TempDir.h"
#include "UnitModel.h"
#include "data/Kavo_file.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 3, 1);
  constexpr int Files = 500;
  QTemporaryDir temp;
  const QString dir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path();
  QDir().mkpath(dir);

  std::mt19937 rng(21);
  std::normal_distribution<double> spread(0, 1);
  QStringList args{QStringLiteral("qc"), QDir(dir).filePath(QStringLiteral("woofer.kqc"))};
  kavo::SettingsRecord settings;
  for (int i = 0; i < Files; ++i) {
    kavsim::DriverModel m;
    m.Fs *= 1 + 0.015 * spread(rng);
    m.Qes *= 1 + 0.05 * spread(rng);
    m.Le *= 1 + 0.05 * spread(rng);
    kavo::MeasureData data;
    if (!kavo::test::FillFromUnit(data, m, 0.003, uint32_t(i + 1))) return 1;
    const QString path = QDir(dir).filePath(QStringLiteral("drv%1.DTA").arg(i, 3, 10, QLatin1Char('0')));
    if (!kavo::KAVO_File().WriteDataFile(path, "0815", &settings, &data)) return 1;
    args << path;
  }
  const QByteArray rules =
      "# 500 woofers against their mean\nreference = mean\nre = 5.6\nrange = 20 2000\nR = 12%\n"
      "theta = 10 deg\nFs = 3%\nQts = 0.35..0.41\nfit.Fs = 3%\nfit.Qts = 4%\n";
  if (!kavo::test::WriteAll(args[1], rules)) return 1;

  const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/kavo-tool");
  std::vector<double> seconds;
  int failing = 0, status = -1;
  for (int run = 0; run < runs; ++run) {
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(tool, args);
    if (!p.waitForFinished(600000)) return 1;
    seconds.push_back(double(clock.nsecsElapsed()) / 1e9);
    status = p.exitCode();
    failing = int(QString::fromUtf8(p.readAllStandardOutput()).count(QStringLiteral("FAIL\t")));
  }
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  std::printf("qc over %d files (classical analysis + model fit each): %.2f s, %.1f ms per file "
              "(median of %d; exit status %d, %d failing)\n",
              Files, median, 1000 * median / Files, runs, status, failing);
  return 0;
}
