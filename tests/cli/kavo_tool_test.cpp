// kavo-tool ts against the result-analysis window on the same files, its
// failure messages and exit statuses, and the built executable itself.
#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>
#include <gtest/gtest.h>

#include <sstream>

#include "TempDir.h"
#include "UnitProtocol.h"
#include "analysis/windows/Kavo_calc.h"
#include "analysis/windows/Re.h"
#include "analysis/windows/Ts.h"
#include "cli/KavoTool.h"
#include "cli_fixture.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "ScriptedModal.h"

namespace kavo::test {
namespace {

// A .DTA file of what the simulated unit sends for `model` on the full band.
QString WriteModelFile(const TempDir& dir, const char* name, const kavsim::DriverModel& model,
                       int zeroDivisorAt = -1) {
  kavsim::UnitConfig config;
  config.model = model;
  kavsim::UnitProtocol unit(config);
  bool hangUp = false;
  const std::string stream = unit.SweepStream(1, hangUp);
  MeasureData data;
  data.band = 1;
  data.dateTime = "2026/12/08 9:30:00";
  for (int k = 0; k < 400; ++k) {
    for (int i = 0; i < RecordLength; ++i) data.points[k].c[i] = stream[size_t(k) * 19 + size_t(i)];
    if (k == zeroDivisorAt)
      for (int i = 14; i < 18; ++i) data.points[k].c[i] = '0';
  }
  SettingsRecord settings;
  const QString path = dir.Path(QString::fromUtf8(name));
  EXPECT_TRUE(KAVO_File().WriteDataFile(path, "0815", &settings, &data));
  return path;
}

QStringList Lines(const std::string& text) {
  return QString::fromStdString(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

const kavsim::DriverModel Woofer{5.6, 0.45e-3, 42.0, 4.2, 0.42};

TEST(KavoTool, TsPrintsWhatTheWindowShows) {
  TempDir dir;
  const QString file = WriteModelFile(dir, "woofer.DTA", Woofer);
  const ToolRun run = Tool({"ts", file, "--re", "5.6"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");

  // The window on the same file, read and converted as "開く" does.
  MeasureData data;
  PointValues raw, ave, smooth;
  ASSERT_TRUE(KAVO_File().ReadDataFile(file, nullptr, nullptr, &data));
  ASSERT_TRUE(KAVO_File().ConvertData(&data, &raw, &ave));
  data.valid = 1;
  MakeSmoothValues(raw, data.band, smooth);
  TSResult result;
  TFormCalc calc;
  TForm_Re re;
  TFormTS ts;
  calc.SetDialogs(&re, &ts);
  calc.SetSource(&raw, &smooth, &result, &data);
  ScopedScriptedModal modal;
  QStringList table;
  modal->dialogHandler = [&](QDialog& d) {
    if (&d == &re) {
      re.Edit1->setText("5.6");
      re.Button1Click();
    } else {
      for (QLineEdit* e : ts.Edits) table << e->text();
    }
    return d.result();
  };
  calc.FormActivate();
  calc.ButtonTSClick();
  ASSERT_EQ(modal->MessageTexts(), QStringList());

  QStringList expected;
  const char* const rows[] = {"ピーク値１", "ピーク値２", "ピーク値３", "ピーク値４", "ピーク値５"};
  for (int row = 0; row < calc.Analysis().peakCount; ++row)
    expected << QStringLiteral("%1\t%2\t%3\t%4")
                    .arg(QString::fromUtf8(rows[row]))
                    .arg(calc.Analysis().peakSlots[row])
                    .arg(calc.Edits[size_t(2 * row)]->text(), calc.Edits[size_t(2 * row + 1)]->text());
  ASSERT_EQ(table.size(), TSFieldCount);
  for (int i = 0; i < TSFieldCount; ++i) expected << TSFieldLabel(i) + QLatin1Char('\t') + table[i];
  EXPECT_EQ(Lines(run.out), expected);
  EXPECT_EQ(Lines(run.out).first(), QStringLiteral("ピーク値１\t42\t42.00\t61.60"));

  // --raw: the same numbers in full.
  const ToolRun rawRun = Tool({"ts", "--raw", file, "--re", "5.6"});
  ASSERT_EQ(rawRun.status, 0);
  const QStringList rawLines = Lines(rawRun.out);
  ASSERT_EQ(rawLines.size(), 1 + TSFieldCount);
  for (int i = 0; i < TSFieldCount; ++i)
    EXPECT_EQ(rawLines[1 + i].section('\t', 1).toFloat(), TSField(result, i)) << i;
}

TEST(KavoTool, FailuresAndExitStatuses) {
  TempDir dir;
  const QString woofer = WriteModelFile(dir, "woofer.DTA", Woofer);
  const QString sub = WriteModelFile(dir, "sub.DTA", {3.4, 1.6e-3, 24.0, 6.0, 0.38});
  const QString broken = WriteModelFile(dir, "broken.DTA", Woofer, 200);
  const QString resistor = WriteModelFile(dir, "resistor.DTA", {8.0, 0.0, 1000.0, 1.0, 1e9});
  const QString none = dir.Path("none.DTA");
  auto about = [](const QString& file, const char* why) {
    return QStringLiteral("kavo-tool ts: %1: %2").arg(file, QString::fromUtf8(why));
  };
  struct Case {
    QStringList args;
    int status;
    QString err;  // first line of standard error
    bool peaksPrinted;
  };
  const Case cases[] = {
      // A missing file is told apart from one whose contents are wrong.
      {{"ts", none}, 2, about(none, "no such file"), false},
      {{"ts", dir.Root()}, 2, about(dir.Root(), "is a folder"), false},
      {{"ts", ""}, 2, "kavo-tool ts: the file name is empty", false},
      {{"ts", broken}, 2, about(broken, "データエラーで計算できませんでした"), false},
      {{"ts", resistor, "--re", "8"}, 1, about(resistor, "no peak was found"), false},
      {{"ts", woofer, "--re", "0"}, 1, about(woofer, "the value of Re is not valid"), true},
      // 61.605 ohm is the peak R as decoded: Re equal to it is refused.
      {{"ts", woofer, "--re", "61.605"}, 1, about(woofer, "the value of Re is not valid"), true},
      {{"ts", woofer, "--re", "2,31"}, 1, "kavo-tool ts: the value of Re is not valid", false},
      {{"ts", sub, "--re", "3.4"}, 1, about(sub, "f1 cannot be found"), true},
      {{"ts", woofer}, 0, "", true},
      {{"ts", "--re=5.6", "--", woofer}, 0, "", true},
      {{}, 64, "usage: kavo-tool COMMAND [ARGUMENTS...]", false},
      {{"nosuch", woofer}, 64, "kavo-tool: unknown command 'nosuch'", false},
      {{"help", "nosuch"}, 64, "kavo-tool: unknown command 'nosuch'", false},
      {{"ts"}, 64, "kavo-tool ts: no file given", false},
      {{"ts", woofer, woofer}, 64, "kavo-tool ts: one file only", false},
      {{"ts", woofer, "--re"}, 64, "kavo-tool ts: --re needs a value", false},
      {{"ts", woofer, "--re", "5", "--re", "6"}, 64, "kavo-tool ts: --re is given more than once", false},
      {{"ts", woofer, "--raw=yes"}, 64, "kavo-tool ts: --raw takes no value", false},
      {{"ts", woofer, "--rew", "5"}, 64, "kavo-tool ts: unknown option --rew", false},
      {{"ts", "--", "--re"}, 2, about("--re", "no such file"), false},
      {{"import", woofer}, 64, "kavo-tool import: -o OUT.DTA is required", false},
      {{"export", woofer, "--format", "xls"}, 64, "kavo-tool export: unknown format xls", false},
      {{"plot", woofer, "-o", "x.bmp"}, 64, "kavo-tool plot: x.bmp: the output must end in .png, .svg, .pdf", false},
  };
  for (const Case& c : cases) {
    const ToolRun run = Tool(c.args);
    const QString what = c.args.join(' ');
    EXPECT_EQ(run.status, c.status) << what.toStdString();
    EXPECT_EQ(Lines(run.err).value(0).toStdString(), c.err.toStdString()) << what.toStdString();
    EXPECT_EQ(QString::fromStdString(run.out).startsWith(QStringLiteral("ピーク値１\t")), c.peaksPrinted)
        << what.toStdString();
  }
}

TEST(KavoTool, TheExecutable) {
  TempDir dir;
  const QString woofer = WriteModelFile(dir, "woofer.DTA", Woofer);
  const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/kavo-tool");
  struct Case {
    QStringList args;
    int status;
    bool out, err;
  };
  for (const Case& c : {Case{{"ts", woofer, "--re", "5.6"}, 0, true, false},
                        Case{{"ts", dir.Path("none.DTA")}, 2, false, true},
                        Case{{"ts", woofer, "--re", "0"}, 1, true, true}}) {
    QProcess p;
    p.start(program, c.args);
    ASSERT_TRUE(p.waitForFinished(10000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), c.status);
    EXPECT_EQ(!p.readAllStandardOutput().isEmpty(), c.out);
    EXPECT_EQ(!p.readAllStandardError().isEmpty(), c.err);
  }
}

}  // namespace
}  // namespace kavo::test
