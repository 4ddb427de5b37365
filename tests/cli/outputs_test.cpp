// Every file kavo-tool writes is written whole or not at all: on a full disk
// the command fails and an existing output stays byte for byte; an output
// that is a device or a FIFO is written into or refused, never replaced.
#include <QDir>
#include <QFile>
#include <optional>
#include <sys/stat.h>

#include "FullDisk.h"
#include "ScopedEnv.h"
#include "UnitModel.h"
#include "cli_fixture.h"

namespace kavo::test {
namespace {

class ToolOutputs : public ::testing::Test {
 protected:
  void SetUp() override {
    settingsDir.emplace("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
    runtimeDir.emplace("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
    ASSERT_TRUE(kavsim::FindPreset("woofer65", woofer));
    measurement = WriteDriver(dir, QStringLiteral("m.DTA"), woofer);
    table = dir.Path(QStringLiteral("good.txt"));
    ASSERT_EQ(Tool({"export", measurement, "--format", "zma", "-o", table}).status, 0);
  }

  TempDir dir;
  std::optional<ScopedEnv> settingsDir, runtimeDir;
  kavsim::DriverModel woofer;
  QString measurement, table;
};

TEST_F(ToolOutputs, FullDiskFailsAndKeepsTheOldOutput) {
  struct Case {
    QStringList args;  // the output's name follows
    const char* output;
  };
  const Case cases[] = {
      {{"export", measurement, "--format", "csv", "-o"}, "out.csv"},
      {{"export", measurement, "--format", "zma", "-o"}, "out.zma"},
      {{"export", measurement, "--format", "txt", "-o"}, "out.txt"},
      {{"import", table, "-o"}, "out.DTA"},
      {{"plot", measurement, "-o"}, "out.pdf"},
      {{"plot", measurement, "-o"}, "out.png"},
      {{"plot", measurement, "-o"}, "out.svg"},
      {{"print", measurement, "--dpi", "72", "-o"}, "page.pdf"},
  };
  const QByteArray oldBytes = "the previous output\n";
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output);
    const QString folder = dir.Path(QStringLiteral("case%1").arg(row++));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString target = folder + QLatin1Char('/') + QLatin1String(c.output);
    ASSERT_TRUE(WriteAll(target, oldBytes));

    // Written whole with room to spare, the output is larger than the limit.
    const QString spare = dir.Path(QStringLiteral("spare-") + QLatin1String(c.output));
    ASSERT_EQ(Tool(QStringList(c.args) << spare).status, 0);
    ASSERT_GT(QFileInfo(spare).size(), 4096);

    ToolRun run{};
    {
      const ScopedFileSizeLimit full(4096);
      run = Tool(QStringList(c.args) << target);
    }
    EXPECT_EQ(run.status, cli::ExitFailed) << run.out;
    EXPECT_NE(run.err, "");
    EXPECT_EQ(ReadAll(target), oldBytes);
    EXPECT_EQ(Tree(folder), QStringList{QLatin1String(c.output)});
  }
}

TEST_F(ToolOutputs, DeviceOrFifoIsWrittenIntoOrRefusedNeverReplaced) {
  const QString fifo = dir.Path(QStringLiteral("pipe"));
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  struct Case {
    QString output;
    int status;
  };
  const Case cases[] = {
      {QStringLiteral("/dev/full"), cli::ExitFailed},  // every write fails: the disk is full
      {QStringLiteral("/dev/null"), cli::ExitOk},
      {fifo, cli::ExitFailed},  // nobody reads it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.output.toStdString());
    struct stat before {};
    if (stat(QFile::encodeName(c.output).constData(), &before) != 0) continue;  // no such device here
    EXPECT_EQ(Tool({"import", table, "-o", c.output}).status, c.status);
    EXPECT_EQ(Tool({"export", measurement, "--format", "csv", "-o", c.output}).status, c.status);
    struct stat after {};
    ASSERT_EQ(stat(QFile::encodeName(c.output).constData(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_EQ(after.st_ino, before.st_ino);
  }
  EXPECT_EQ(Tree(dir.Path(QString())), (QStringList{"good.txt", "m.DTA", "pipe"}));
}

}  // namespace
}  // namespace kavo::test
