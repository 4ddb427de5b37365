// Every benchmark in one table: medians over several runs of the work a user
// waits for. Start-up and the printed page run in child processes of this
// program (so their memory is their own); the paced sweep runs
// bench_measure_sweep from the same folder.
//
// Usage: bench_all [runs]          (default 5; offscreen unless QT_QPA_PLATFORM says otherwise)
//   bench_all --startup            child: start the window, print ms to the first idle pass and RSS
//   bench_all --page DIR           child: print one page at 600 dpi to DIR/page.pdf, print ms
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "EventPump.h"
#include "MainProbe.h"
#include "Records.h"
#include "TempDir.h"
#include "UnitModel.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data/Kavo_setting.h"
#include "graph/Graph_rtf.h"
#include "graph/dialogs/Kavo_printinfo.h"
#include "graph/PaintBox.h"
#include "link/SweepReceiver.h"
#include "ScriptedModal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"
#include "MainProbe.h"
#include "Records.h"

namespace {

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Mean(const std::vector<double>& v) {
  double s = 0;
  for (double x : v) s += x;
  return v.empty() ? 0 : s / double(v.size());
}

// Milliseconds of one call, the median of `runs`.
double TimeMs(int runs, const std::function<void()>& work) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer clock;
    clock.start();
    work();
    t.push_back(double(clock.nsecsElapsed()) / 1e6);
  }
  return Median(t);
}

long ResidentKb() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long kb = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::atol(line + 6);
  std::fclose(f);
  return kb;
}

// The main set and five references of different drivers, converted and drawn.
void LoadSixCurves(kavo::TFormMain* main) {
  const char* presets[6] = {"woofer65", "sub10", "fullrange", "woofer65", "sub10", "fullrange"};
  kavsim::DriverModel models[6];
  for (int k = 0; k < 6; ++k) {
    kavsim::FindPreset(presets[k], models[k]);
    models[k].Fs *= 1.0 + 0.15 * k;
  }
  kavo::TFormMainProbe p(main);
  kavo::test::FillFromUnit(p.mainData(), models[0]);
  p.mainData().valid = 1;
  p.fileHandler()->ConvertData(&p.mainData(), &p.rawValues(), &p.aveValues());
  p.dataSaved() = 1;
  for (int k = 0; k < kavo::MaxRefs; ++k) {
    kavo::test::FillFromUnit(p.refData()[k], models[k + 1]);
    p.refData()[k].valid = 1;
    p.fileHandler()->ConvertData(&p.refData()[k], &p.refRawValues()[k], &p.refAveValues()[k]);
    p.refCount() = k + 1;
  }
}

kavo::TFormMain* OpenWindow() {
  kavo::TFormMain* main = kavo::CreateForms();
  main->show();
  kavo::test::PumpUntil([&] { return kavo::TFormMainProbe(main).idlePasses() > 0 && !kavo::TFormMainProbe(main).settingsPending(); });
  kavo::test::PumpFor(50);
  return main;
}

// ---- children ----

int StartupChild() {
  // The clock runs from process start, loading and linking included.
  kavo::TFormMain* main = kavo::CreateForms();
  main->show();
  kavo::test::PumpUntil([&] { return kavo::TFormMainProbe(main).idlePasses() > 0 && !kavo::TFormMainProbe(main).settingsPending(); }, 10000);
  std::printf("startup-ready %ld\n", ResidentKb());
  std::fflush(stdout);
  kavo::DestroyForms();
  return 0;
}

int PageChild(const QString& out) {
  kavo::TFormMain* main = OpenWindow();
  LoadSixCurves(main);
  kavo::TFormMainProbe(main).refCount() = 2;  // the page of the print tool: main set and two references
  main->mRedrawGraph();
  kavo::test::PumpFor(50);
  QPrinter& printer = main->mPrinter();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(600);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFileName(out + QStringLiteral("/page.pdf"));
  kavo::ScopedScriptedModal modal;
  modal->dialogHandler = [](QDialog& dialog) {
    auto& info = dynamic_cast<kavo::TFormPrnInfo&>(dialog);
    info.Edit1->setText(QStringLiteral("測定者: 山田 太郎"));
    info.Button1->click();
    return info.result();
  };
  modal->printAnswers = {true};
  QElapsedTimer clock;
  clock.start();
  main->MenuFile_PrintClick();
  const double ms = double(clock.nsecsElapsed()) / 1e6;
  const bool ok = modal->MessageTexts().isEmpty() && QFileInfo(out + QStringLiteral("/page.pdf")).size() > 0;
  std::printf("page-ms %.1f %d\n", ms, ok ? 1 : 0);
  std::fflush(stdout);
  kavo::DestroyForms();
  return 0;
}

// Runs this program with `args`; its standard output, and its peak resident
// memory in kB through wait4.
struct ChildResult {
  QByteArray out;
  long peakKb = 0;
  double wallMs = 0;
  double readyMs = -1;  // when "startup-ready" appeared
};

ChildResult RunChild(const QStringList& args) {
  ChildResult r;
  int pipefd[2];
  if (pipe(pipefd) != 0) return r;
  QElapsedTimer clock;
  clock.start();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipefd[1], 1);
    close(pipefd[0]);
    close(pipefd[1]);
    std::vector<QByteArray> bytes{QCoreApplication::applicationFilePath().toLocal8Bit()};
    for (const QString& a : args) bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipefd[1]);
  char buf[512];
  ssize_t n;
  while ((n = read(pipefd[0], buf, sizeof buf)) > 0) {
    r.out.append(buf, n);
    if (r.readyMs < 0 && r.out.contains("startup-ready")) r.readyMs = double(clock.nsecsElapsed()) / 1e6;
  }
  close(pipefd[0]);
  int status = 0;
  rusage use{};
  wait4(pid, &status, 0, &use);
  r.wallMs = double(clock.nsecsElapsed()) / 1e6;
  r.peakKb = use.ru_maxrss;
  return r;
}

void Row(const char* what, const QString& figure, const char* target) {
  std::printf("| %-58s | %-20s | %-16s |\n", what, figure.toUtf8().constData(), target);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  kavo::test::TempDir dir;
  if (qEnvironmentVariableIsEmpty("KAVO_SETTINGS_DIR")) {
    qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
    qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
  }
  QApplication app(argc, argv);
  const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  if (mode == QStringLiteral("--startup")) return StartupChild();
  if (mode == QStringLiteral("--page")) return PageChild(argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.Root());
  const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 5, 1);
  kavo::ScopedScriptedModal modal;

  std::printf("KAVO benchmarks, medians of %d runs (QT_QPA_PLATFORM=%s)\n\n", runs, qgetenv("QT_QPA_PLATFORM").constData());
  std::printf("| %-58s | %-20s | %-16s |\n", "benchmark", "median", "target");
  std::printf("|%s|%s|%s|\n", std::string(60, '-').c_str(), std::string(22, '-').c_str(), std::string(18, '-').c_str());

  kavo::TFormMain* main = OpenWindow();
  LoadSixCurves(main);

  // Per-point acquisition work: a record taken from the receive buffer,
  // converted, its segment drawn and the read-out shown, as an idle pass does
  // it; points 20 ms apart as at 9600 bit/s, so the read-out and the shown
  // segment follow their own pace. The wait for the bytes is not counted.
  {
    std::vector<double> perPoint;
    const kavo::MeasureData full = kavo::TFormMainProbe(main).mainData();
    constexpr int PointsPerRun = 100;
    for (int run = 0; run < runs; ++run) {
      main->mRedrawGraph();  // the scale of the whole curve: no regrowth on the way
      kavo::TFormMainProbe(main).graphPlotter()->Clear();
      kavo::ClearData(kavo::TFormMainProbe(main).mainData());
      kavo::TFormMainProbe(main).mainData().band = 1;
      kavo::TFormMainProbe(main).mainData().valid = 0;
      kavo::MeasureSession& session = kavo::TFormMainProbe(main).Session();
      session.Replay(1);
      for (int k = 0; k < PointsPerRun; ++k) {
        session.Feed(full.points[k].c, kavo::RecordLength);
        session.Feed("\r", 1);
        QElapsedTimer clock;
        clock.start();
        main->mAcquireStep();
        perPoint.push_back(double(clock.nsecsElapsed()) / 1e6);
        kavo::test::PumpFor(20);
      }
      session.EndReplay();
    }
    Row("per point: convert, draw segment, read-out (median/mean)",
        QString::asprintf("%.3f / %.3f ms", Median(perPoint), Mean(perPoint)), "< 0.3 ms");
    kavo::TFormMainProbe(main).mainData() = full;
    kavo::TFormMainProbe(main).fileHandler()->ConvertData(&kavo::TFormMainProbe(main).mainData(), &kavo::TFormMainProbe(main).rawValues(), &kavo::TFormMainProbe(main).aveValues());
  }

  // A full redraw at 1280 x 1024: main set and five references into the
  // bitmap, the scales and labels, and the area painted.
  {
    auto* area = kavo::TFormMainProbe(main).PaintBox1();
    area->resize(1282, 1026);
    kavo::TFormMainProbe(main).graphPlotter()->Resize();
    main->mRedrawGraph();
    if (!qEnvironmentVariableIsEmpty("BENCH_SHOT")) area->grab().save(qEnvironmentVariable("BENCH_SHOT"));
    const double ms = TimeMs(std::max(runs, 5) * 4, [&] {
      main->mRedrawGraph();
      area->repaint();
    });
    Row("full redraw 1280x1024, main set + 5 references", QString::asprintf("%.2f ms", ms), "< 4 ms");
  }

  {
    kavo::PointValues raw, ave;
    bool ok = true;
    const double ms = TimeMs(std::max(runs, 5) * 20, [&] {
      ok = kavo::TFormMainProbe(main).fileHandler()->ConvertData(&kavo::TFormMainProbe(main).mainData(), &raw, &ave) && ok;
    });
    Row(ok ? "ConvertData, full band (400 points)" : "ConvertData, full band (FAILED)",
        QString::asprintf("%.3f ms", ms), "");
  }

  {
    const QString path = dir.Path(QStringLiteral("bench.DTA"));
    const double writeMs = TimeMs(std::max(runs, 5) * 4, [&] {
      kavo::TFormMainProbe(main).fileHandler()->WriteDataFile(path, "0815", &kavo::TFormMainProbe(main).settings(), &kavo::TFormMainProbe(main).mainData());
    });
    kavo::MeasureData back;
    const double readMs = TimeMs(std::max(runs, 5) * 4, [&] {
      kavo::TFormMainProbe(main).fileHandler()->ReadDataFile(path, nullptr, nullptr, &back);
    });
    Row(".DTA file: write / read", QString::asprintf("%.2f / %.2f ms", writeMs, readMs), "");
  }
  kavo::DestroyForms();

  {
    std::vector<double> ms, peak;
    bool ok = true;
    for (int run = 0; run < runs; ++run) {
      const ChildResult r = RunChild({QStringLiteral("--page"), dir.Root()});
      const QList<QByteArray> f = r.out.mid(r.out.indexOf("page-ms")).trimmed().split(' ');
      if (f.size() < 3 || f[2] != "1") ok = false;
      if (f.size() >= 2) ms.push_back(f[1].toDouble());
      peak.push_back(double(r.peakKb) / 1024.0);
    }
    Row(ok ? "printed page, 600 dpi: time / peak memory of the process"
           : "printed page, 600 dpi: time / peak memory (PRINT FAILED)",
        QString::asprintf("%.0f ms / %.0f MB", Median(ms), Median(peak)), "< 1.5 s, 250 MB");
  }

  {
    std::vector<double> ms, rss;
    for (int run = 0; run < runs; ++run) {
      const ChildResult r = RunChild({QStringLiteral("--startup")});
      const QList<QByteArray> f = r.out.mid(r.out.indexOf("startup-ready")).trimmed().split(' ');
      if (r.readyMs >= 0) ms.push_back(r.readyMs);
      if (f.size() >= 2) rss.push_back(f[1].toDouble() / 1024.0);
    }
    Row("start-up to the end of the first idle pass / RSS then",
        QString::asprintf("%.0f ms / %.0f MB", Median(ms), Median(rss)), "< 0.5 s, 80 MB");
  }

  // The model fit: bench_fit next to this program.
  {
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_fit"), {QString::number(std::max(runs, 5))});
    p.waitForFinished(120000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpression ms(QStringLiteral("points: +([0-9.]+) ms"));
    auto it = ms.globalMatch(out);
    const QString single = it.hasNext() ? it.next().captured(1) : QStringLiteral("failed");
    const QString joint = it.hasNext() ? it.next().captured(1) : QStringLiteral("failed");
    Row("model fit, one 400-point curve", single + QStringLiteral(" ms"), "< 20 ms");
    Row("model fit, free + loaded 400-point curves jointly", joint + QStringLiteral(" ms"), "< 60 ms");
  }

  // kavo-tool qc over 500 files: bench_qc next to this program.
  {
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_qc"), {QString::number(std::min(runs, 3))});
    p.waitForFinished(600000);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral(": ([0-9.]+) s, ([0-9.]+) ms per file"))
                                          .match(QString::fromUtf8(p.readAllStandardOutput()));
    Row("kavo-tool qc, 500 files (analysis + model fit each): wall / per file",
        m.hasMatch() ? m.captured(1) + QStringLiteral(" s / ") + m.captured(2) + QStringLiteral(" ms") : QStringLiteral("failed"),
        "< 20 s");
  }

  // The paced sweep: the sweep benchmark next to this program.
  {
    const QString sweep = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_measure_sweep");
    QProcess p;
    p.start(sweep, {QString::number(std::min(runs, 3)), QStringLiteral("0")});
    p.waitForFinished(300000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QRegularExpression median(QStringLiteral(
        "median paced: ([-+0-9.]+) % over line time, CPU main thread ([0-9.]+) %, process ([0-9.]+) %, "
        "longest gap ([0-9]+) ms"));
    const QRegularExpressionMatch m = median.match(out);
    if (m.hasMatch()) {
      // The excess over line time is the way from the last byte to "測定終了しました".
      Row("paced sweep: total time over the line time", m.captured(1) + QStringLiteral(" %"), "< 1 %");
      Row("paced sweep: CPU, whole process", m.captured(3) + QStringLiteral(" % of a core"), "< 2 %");
      Row("paced sweep: longest gap of a 10 ms timer", m.captured(4) + QStringLiteral(" ms"), "< 120 ms");
    } else {
      Row("paced sweep", QStringLiteral("bench_measure_sweep failed"), "");
    }
  }
  return 0;
}
