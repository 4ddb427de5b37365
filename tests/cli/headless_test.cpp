// kavo-tool where there is no desktop: cron, ssh, a container. Whatever
// platform the environment names, without a display, without a runtime
// folder, with a relative XDG path, each command does its work silently
// and leaves nothing behind that it does not need.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>

#include "FullDisk.h"
#include "UnitModel.h"
#include "cli_fixture.h"

namespace kavo::test {
namespace {

TEST(Headless, EveryEnvironmentRunsTheCommandsSilentlyAndLeavesNothing) {
  TempDir dir;
  kavsim::DriverModel woofer;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", woofer));
  const QString a = WriteDriver(dir, QStringLiteral("a.DTA"), woofer);
  const QString b = WriteDriver(dir, QStringLiteral("b.DTA"), woofer);
  const QString rules = dir.Path(QStringLiteral("rules.kqc"));
  ASSERT_TRUE(WriteAll(rules, "reference = a.DTA\nR = 15%\n"));

  struct Environment {
    const char* name;
    QStringList set;  // NAME=VALUE
  };
  const Environment environments[] = {
      {"xcb without a display", {"QT_QPA_PLATFORM=xcb"}},
      {"wayland without a display", {"QT_QPA_PLATFORM=wayland"}},
      {"no platform named", {"QT_QPA_PLATFORM="}},
      {"relative XDG folders", {"XDG_CONFIG_HOME=config", "XDG_RUNTIME_DIR=runtime", "XDG_CACHE_HOME=cache"}},
  };
  struct Command {
    QStringList args;
    int status;
    bool out;  // something on standard output
  };
  const Command commands[] = {
      {{"plot", a, "-o", "p.png"}, 0, true},
      {{"plot", a, "-o", "p.svg"}, 0, true},
      {{"print", a, "--dpi", "72", "-o", "p.pdf"}, 0, true},
      {{"qc", rules, a, b, "--plot", "q.png"}, 0, true},
      {{"qc", "--help"}, 0, true},
      {{"plot", a, "--bogus"}, 64, false},
      {{"--version"}, 0, true},
      {{"ts", a}, 0, true},
  };
  int row = 0;
  for (const Environment& e : environments) {
    for (const Command& c : commands) {
      SCOPED_TRACE(e.name + (": " + c.args.join(' ').toStdString()));
      // A home, a temporary folder and a working folder of its own, all empty.
      const QString root = dir.Path(QStringLiteral("run%1").arg(row++));
      for (const char* sub : {"home", "tmp", "work"}) ASSERT_TRUE(QDir().mkpath(root + '/' + sub));
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "KAVO_SETTINGS_DIR",
                               "KAVO_RUNTIME_DIR"})
        env.remove(QString::fromLatin1(name));
      env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
      env.insert(QStringLiteral("TMPDIR"), root + QStringLiteral("/tmp"));
      env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
      for (const QString& s : e.set) env.insert(s.section('=', 0, 0), s.section('=', 1));
      QProcess p;
      p.setProcessEnvironment(env);
      p.setWorkingDirectory(root + QStringLiteral("/work"));
      p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kavo-tool"), c.args);
      ASSERT_TRUE(p.waitForFinished(60000));
      EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
      EXPECT_EQ(p.exitCode(), c.status);
      EXPECT_EQ(p.readAllStandardOutput().isEmpty(), !c.out);
      const QString err = QString::fromUtf8(p.readAllStandardError());
      if (c.status == 0) EXPECT_EQ(err, QString()) << err.toStdString();
      // Only the output asked for; nothing in the home or temporary folder.
      const QStringList wanted = c.args.filter(QRegularExpression(QStringLiteral("^[pq]\\.(png|svg|pdf)$")));
      QStringList left{"home/", "tmp/", "work/"};
      if (!wanted.isEmpty()) left << QStringLiteral("work/") + wanted.front();
      EXPECT_EQ(Tree(root), left);
    }
  }
}

}  // namespace
}  // namespace kavo::test
