// The programs' command lines: what a shell or a file manager starts.
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

#include "MainProbe.h"
#include "Records.h"
#include "TempDir.h"
#include "data/Kavo_file.h"
#include "ScriptedModal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"
#include "shell/Program.h"

namespace kavo::test {
namespace {

struct Outcome {
  int status = -1;
  QString out, err;
};

// The built program next to this test, with no display at all.
Outcome Start(const char* program, const QStringList& args, bool offscreen = false) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), offscreen ? QStringLiteral("offscreen") : QString());
  p.setProcessEnvironment(env);
  p.start(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QString::fromLatin1(program), args);
  if (!p.waitForFinished(20000)) return {};
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

TEST(CommandLine, InformationOptionsNeedNoDisplay) {
  const QString version = QStringLiteral(KAVO_VERSION);
  struct Case {
    const char* program;
    QStringList args;
    int status;
    QString outStart, errPart;
  };
  const Case cases[] = {
      {"KAVO", {"--version"}, 0, "KAVO " + version + "\n", {}},
      {"KAVO", {"--help"}, 0, "Usage: KAVO [options] [FILE.DTA]\n", {}},
      {"KAVO", {"-h", "x.DTA"}, 0, "Usage: KAVO", {}},
      {"KAVO", {"--bogus"}, 64, {}, "KAVO: unknown option --bogus"},
      {"KAVO", {"-style", "fusion", "--bogus=1"}, 64, {}, "KAVO: unknown option --bogus=1"},
      {"kavsim", {"--version"}, 0, "kavsim " + version + "\n", {}},
      {"kavsim", {"--help"}, 0, "Usage: kavsim", {}},
      {"kavsim", {"--bogus"}, 64, {}, "kavsim: unknown option --bogus"},
      {"kavsim", {"--fs"}, 64, {}, "kavsim: option --fs needs a value"},
      {"kavsim", {"--noise=-1"}, 64, {}, "kavsim: bad --noise"},
  };
  for (const Case& c : cases) {
    const Outcome run = Start(c.program, c.args);
    const std::string what = std::string(c.program) + " " + c.args.join(' ').toStdString();
    EXPECT_EQ(run.status, c.status) << what << "\n" << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(c.outStart)) << what << ": " << run.out.toStdString();
    EXPECT_EQ(run.out.isEmpty(), c.outStart.isEmpty()) << what;
    if (!c.errPart.isEmpty()) {
      EXPECT_TRUE(run.err.contains(c.errPart)) << what << ": " << run.err.toStdString();
    }
  }
}

TEST(CommandLine, KavoRefusesAnUnknownOption) {
  const Outcome run = Start("KAVO", {"--bogus"}, true);
  EXPECT_EQ(run.status, 64);
  EXPECT_TRUE(run.err.contains(QStringLiteral("KAVO: unknown option --bogus"))) << run.err.toStdString();
}

TEST(CommandLine, FileArgumentsAfterQtTookItsOwn) {
  QString file, error, note;
  const QString app = QStringLiteral("KAVO");
  EXPECT_TRUE(StartFileFrom({app}, file, error, note));
  EXPECT_TRUE(file.isEmpty());
  EXPECT_TRUE(StartFileFrom({app, "--", "-odd.DTA", "b.DTA"}, file, error, note));
  EXPECT_TRUE(file.endsWith(QStringLiteral("/-odd.DTA")) && QFileInfo(file).isAbsolute()) << file.toStdString();
  EXPECT_TRUE(note.contains(QStringLiteral("-odd.DTA")));
  EXPECT_FALSE(StartFileFrom({app, "-x"}, file, error, note));
  EXPECT_EQ(error, QStringLiteral("unknown option -x (see --help)"));
}

// The whole start-up with a file named on the command line, as a file
// manager starts it: what the window shows once the settings are read.
class StartFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
    qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
  }
  void TearDown() override { DestroyForms(); }
  // Runs the program on `path`; the title and validity after the first pass
  // (once the title holds `until`, when given).
  void RunOn(const QString& path, const QString& until = {}) {
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      TFormMain* main = Forms().main;
      if (!main || TFormMainProbe(main).idlePasses() == 0 || !main->windowTitle().contains(until)) return;
      title = main->windowTitle();
      valid = TFormMainProbe(main).mainData().valid;
      port = TFormMainProbe(main).settings().CommPortNum;
      iconSizes = main->windowIcon().availableSizes();
      main->close();
      QCoreApplication::quit();
    });
    watch.start(20);
    QTimer::singleShot(15000, [] { QCoreApplication::exit(9); });
    EXPECT_EQ(RunProgram(path), 0);
  }
  TempDir dir;
  SettingsRecord settings;
  ScopedScriptedModal modal;
  QString title;
  int valid = -1, port = 0;
  QList<QSize> iconSizes;
};

TEST_F(StartFileTest, AMeasurementOpensAsTheOpenCommandWould) {
  MeasureData data;
  data.dateTime = "2026/12/08 9:15:00";
  FillBand(data, 2, [](double f, double& r, double& t) { WooferModel(f, r, t); });
  SettingsRecord settings;
  settings.CommPortNum = 7;
  const QString path = dir.Path(QStringLiteral("woofer.DTA"));
  ASSERT_TRUE(KAVO_File().WriteDataFile(path, "4711", &settings, &data));
  RunOn(path);
  EXPECT_TRUE(modal->MessageTexts().isEmpty()) << modal->MessageTexts().join('\n').toStdString();
  EXPECT_EQ(valid, 1);
  EXPECT_TRUE(title.endsWith(QStringLiteral(" / ") + path)) << title.toStdString();
  EXPECT_EQ(port, 7);  // the file's port, not the settings' default
  EXPECT_EQ(iconSizes, (QList<QSize>{QSize(48, 48), QSize(128, 128)}));  // the desktop entry's icon
}

TEST_F(StartFileTest, ABadFileIsReportedLikeTheOpenCommand) {
  const QString path = dir.Path(QStringLiteral("bad.DTA"));
  ASSERT_TRUE(WriteAll(path, "DataFile:KA-V\r\nnonsense\r\n"));
  RunOn(path);
  EXPECT_EQ(modal->MessageTexts(), QStringList{QStringLiteral("データファイルの内容が正しくありませんでした")});
  EXPECT_EQ(valid, 0);
  EXPECT_FALSE(title.contains(path));
}

TEST_F(StartFileTest, ASecondStartWithAFileHandsItToTheRunningCopy) {
  const QString path = dir.Path(QStringLiteral("handed.DTA"));
  MeasureData data;
  FillBand(data, 2, [](double f, double& r, double& t) { WooferModel(f, r, t); });
  ASSERT_TRUE(KAVO_File().WriteDataFile(path, "4711", &settings, &data));
  // This process runs first; the program starts again with the file, as a
  // file manager does on a double click, once the first copy listens.
  QProcess second;
  QTimer::singleShot(0, [&] { second.start(QCoreApplication::applicationDirPath() + QStringLiteral("/KAVO"), {path}); });
  RunOn(QString(), path);
  // It may have ended while the first copy was still running.
  EXPECT_TRUE(second.state() == QProcess::NotRunning || second.waitForFinished(10000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
  EXPECT_TRUE(modal->MessageTexts().isEmpty()) << modal->MessageTexts().join('\n').toStdString();
  EXPECT_EQ(valid, 1);
  EXPECT_TRUE(title.endsWith(QStringLiteral(" / ") + path)) << title.toStdString();
}

}  // namespace
}  // namespace kavo::test
