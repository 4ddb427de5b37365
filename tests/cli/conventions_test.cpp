// kavo-tool as a script meets it: the built program with pipes, the
// locale's language, a full standard output, and outputs that would
// destroy an input or carry the wrong extension.
#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <csignal>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include "FullDisk.h"
#include "ScopedEnv.h"
#include "cli_fixture.h"
#include "UnitModel.h"

namespace kavo::test {
namespace {

struct Exec {
  int status;
  QByteArray out, err;
  std::string FirstError() const { return err.left(err.indexOf('\n')).toStdString(); }
};

// The program with `input` on standard input, LANG set to `lang` (and
// nothing else naming a language), in `dir`; standard output to `outFile` if
// given; then the variables `set` ("NAME=VALUE", "NAME=" removes).
Exec Execute(const QStringList& args, const QByteArray& input = {}, const char* lang = "C", const QString& dir = {},
            const QString& outFile = {}, const QStringList& set = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* v : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) env.remove(QString::fromLatin1(v));
  env.insert(QStringLiteral("LANG"), QString::fromLatin1(lang));
  for (const QString& v : set)
    v.endsWith('=') ? env.remove(v.chopped(1)) : env.insert(v.section('=', 0, 0), v.section('=', 1));
  p.setProcessEnvironment(env);
  if (!dir.isEmpty()) p.setWorkingDirectory(dir);
  if (!outFile.isEmpty()) p.setStandardOutputFile(outFile);
  p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kavo-tool"), args);
  p.write(input);
  p.closeWriteChannel();
  EXPECT_TRUE(p.waitForFinished(60000)) << args.join(' ').toStdString();
  return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

kavsim::DriverModel Woofer() {
  kavsim::DriverModel model;
  EXPECT_TRUE(kavsim::FindPreset("woofer65", model));
  return model;
}

TEST(Conventions, DashIsStandardInputAndOutput) {
  TempDir dir;
  const QString file = WriteDriver(dir, QStringLiteral("w.DTA"), Woofer());
  const QByteArray dta = ReadAll(file);
  const Exec ts = Execute({"ts", file});
  ASSERT_EQ(ts.status, 0) << ts.err.toStdString();
  EXPECT_EQ(Execute({"ts", "-"}, dta).out, ts.out);
  // A measurement from a pipe is exported down the pipe; "-o -" the same.
  const Exec csv = Execute({"export", "-", "--format", "csv"}, dta);
  ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
  EXPECT_TRUE(csv.out.startsWith("frequency_hz,magnitude_ohm,phase_deg\n"));
  EXPECT_EQ(Execute({"export", file, "--format", "csv", "-o", "-"}).out, csv.out);
  // The window's text export, written to a file first, the same bytes.
  const Exec txt = Execute({"export", file, "--format", "txt", "-o", "-"});
  EXPECT_EQ(txt.status, 0);
  ASSERT_EQ(Execute({"export", file, "--format", "txt"}).status, 0);
  EXPECT_EQ(txt.out, ReadAll(dir.Path(QStringLiteral("w.txt"))));
  // A table from a pipe to a measurement on a pipe, read back by ts.
  const Exec zma = Execute({"export", file, "--raw", "-o", "-"});
  const Exec dtaOut = Execute({"import", "-", "-o", "-"}, zma.out);
  ASSERT_EQ(dtaOut.status, 0) << dtaOut.err.toStdString();
  EXPECT_TRUE(dtaOut.out.startsWith("DataFile:KA-V")) << dtaOut.out.left(40).toStdString();
  EXPECT_EQ(Execute({"ts", "-"}, dtaOut.out).out.left(ts.out.indexOf('\n')), ts.out.left(ts.out.indexOf('\n')));
  // Pictures and the page rendered into memory; no file called "-".
  const struct {
    QStringList args;
    QByteArray magic;
  } pictures[] = {{{"plot", file, "-o", "-"}, "\x89PNG\r\n"},
                  {{"plot", file, "-o", "-", "--format", "svg"}, "<?xml"},
                  {{"plot", file, "--format=pdf", "-o", "-"}, "%PDF-"},
                  {{"print", file, "--dpi", "100", "-o", "-"}, "%PDF-"}};
  for (const auto& c : pictures) {
    const Exec run = Execute(c.args, {}, "C", dir.Root());
    EXPECT_EQ(run.status, 0) << c.args.join(' ').toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(c.magic)) << c.args.join(' ').toStdString();
  }
  EXPECT_FALSE(QFile::exists(dir.Path(QStringLiteral("-"))));
  // Standard input is read once.
  const Exec twice = Execute({"ts", "-", "--re", "5.6", "--sd", "132", "--added-mass", "10", "--loaded", "-"}, dta);
  EXPECT_EQ(twice.status, 2);
  EXPECT_EQ(twice.FirstError(), "kavo-tool ts: standard input: already read for another file");
}

TEST(Conventions, MessagesInTheLocalesLanguageAndAFullOutputFails) {
  TempDir dir;
  const QString file = WriteDriver(dir, QStringLiteral("w.DTA"), Woofer());
  const QString bad = dir.Path(QStringLiteral("bad.DTA")), none = dir.Path(QStringLiteral("none.DTA"));
  const QString table = dir.Path(QStringLiteral("t.txt"));
  ASSERT_TRUE(WriteAll(bad, "not a measurement\r\n"));
  ASSERT_TRUE(WriteAll(table, "20 5 0\n30 5 0\n40 abc 0\n"));
  const QString dtaOut = dir.Path(QStringLiteral("t.DTA"));
  const struct {
    QStringList args;
    const char* lang;
    int status;
    QString err;  // first line
  } cases[] = {
      {{"ts", bad}, "C", 2, "kavo-tool ts: " + bad + ": the contents are not a measurement data file"},
      {{"ts", bad}, "ja_JP.UTF-8", 2, "kavo-tool ts: " + bad + ": データファイルの内容が正しくありませんでした"},
      {{"ts", none}, "C", 2, "kavo-tool ts: " + none + ": no such file"},
      {{"ts", none}, "ja_JP.UTF-8", 2, "kavo-tool ts: " + none + ": ファイルがありません"},
      {{"ts", file, "--re", "0"}, "C", 1, "kavo-tool ts: " + file + ": the value of Re is not valid"},
      {{"ts", file, "--zz"}, "C", 64, "kavo-tool ts: unknown option --zz"},
      {{"ts", file, "--zz"}, "ja_JP.UTF-8", 64, "kavo-tool ts: --zz は不明なオプションです"},
      {{"import", table, "-o", dtaOut}, "C", 2, "kavo-tool import: " + table + ": line 3: not a number (\"abc\")"},
      {{"import", table, "-o", dtaOut}, "ja_JP.UTF-8", 2, "kavo-tool import: " + table + ": 3行目: 数値として読めません (「abc」)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lang + (' ' + c.args.join(' ').toStdString()));
    const Exec run = Execute(c.args, {}, c.lang);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.FirstError(), c.err.toStdString());
  }
  // Help and version on standard output, status 0; the version is the project's.
  QFile cmake(qEnvironmentVariable("KAVO_TEST_SOURCE_DIR") + QStringLiteral("/CMakeLists.txt"));
  ASSERT_TRUE(cmake.open(QIODevice::ReadOnly));
  const QString version = QRegularExpression(QStringLiteral("project\\(KAVO VERSION ([0-9.]+)"))
                              .match(QString::fromUtf8(cmake.readAll())).captured(1);
  ASSERT_FALSE(version.isEmpty());
  EXPECT_EQ(Execute({"--version"}).out, ("kavo-tool " + version + "\n").toUtf8());
  for (const QStringList& args : {QStringList{"import", "--help"}, QStringList{"help", "import"}}) {
    const Exec run = Execute(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.startsWith("usage: kavo-tool import TABLE -o OUT.DTA [--band N]\n")) << run.out.toStdString();
  }
  // A write that fails behind standard output.
  const Exec full = Execute({"ts", file}, {}, "C", {}, QStringLiteral("/dev/full"));
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.FirstError(), "kavo-tool ts: standard output: cannot be written (No space left on device)");
}

// An output that names an input is refused before anything is written, and
// a picture or page must carry its kind's extension.
TEST(Conventions, OutputsNeverReplaceInputs) {
  TempDir dir;
  const QString file = WriteDriver(dir, QStringLiteral("w.DTA"), Woofer());
  const QString ref = WriteDriver(dir, QStringLiteral("r.DTA"), Woofer());
  const QString link = dir.Path(QStringLiteral("w.png"));
  ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(link).constData()), 0);
  const QByteArray before = ReadAll(file), refBefore = ReadAll(ref);
  const QString png = dir.Path(QStringLiteral("p.png")), pdf = dir.Path(QStringLiteral("p.pdf"));
  const struct {
    QStringList args;
    const char* why;
  } cases[] = {
      {{"print", file, "-o", file}, "the output would replace the input"},
      {{"print", file, "--ref", ref, "-o", dir.Path(QStringLiteral("./r.DTA"))}, "the output would replace the input"},
      {{"plot", file, "-o", link}, "the output would replace the input"},
      {{"plot", file, "--ref", link, "-o", file}, "the output would replace the input"},
      {{"export", file, "-o", link}, "the output would replace the input"},
      {{"import", link, "-o", file}, "the output would replace the input"},
      {{"print", file, "-o", png}, "the output must end in .pdf"},
      {{"plot", file, "-o", dir.Path(QStringLiteral("p.bmp"))}, "the output must end in .png, .svg, .pdf"},
      {{"print", file, "-o", dir.Path(QStringLiteral("p"))}, "the output must end in .pdf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const ToolRun run = Tool(c.args);
    EXPECT_EQ(run.status, cli::ExitUsage);
    EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadAll(file), before);
  EXPECT_EQ(ReadAll(ref), refBefore);
  EXPECT_FALSE(QFile::exists(png));
  EXPECT_FALSE(QFile::exists(pdf));
}

// --format says the kind whatever the name; without it the name does, and a
// device or pipe gets a PNG. The SVG is lines and text, not a wrapped picture.
// A reader that stops early ends every command quietly (by SIGPIPE).
TEST(Conventions, TheKindFollowsFormatThenTheNameSvgIsVectorsAClosedPipeIsQuiet) {
  TempDir dir;
  const QString file = WriteDriver(dir, QStringLiteral("w.DTA"), Woofer());
  ASSERT_EQ(Tool({"plot", file, "--format", "svg", "-o", dir.Path(QStringLiteral("p.png"))}).status, 0);
  const QByteArray svg = ReadAll(dir.Path(QStringLiteral("p.png")));
  EXPECT_TRUE(svg.startsWith("<?xml") && svg.count("<polyline") >= 2 && svg.count("<rect") >= 10 &&
              svg.contains("<text") && !svg.contains("<image"));  // curves, grid lines, scale texts; no picture
  for (const QStringList& args : {QStringList{"plot", file, "-o", "/dev/stdout", "--format", "svg"},
                                  QStringList{"plot", file, "-o", "/dev/stdout"},
                                  QStringList{"print", file, "--dpi", "72", "-o", "/dev/stdout"}}) {
    const Exec run = Execute(args, {}, "C", dir.Root());
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(args.contains("svg") ? "<?xml" : args[0] == "plot" ? "\x89PNG" : "%PDF-"));
  }
  for (const QStringList& args : {QStringList{"print", file, "-o", "-"}, QStringList{"plot", file, "-o", "-"}}) {
    QProcess tool, head;
    tool.setStandardOutputProcess(&head);
    tool.setWorkingDirectory(dir.Root());
    head.start(QStringLiteral("head"), {"-c", "10"});
    tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kavo-tool"), args);
    ASSERT_TRUE(tool.waitForFinished(60000) && head.waitForFinished(60000));
    EXPECT_EQ(tool.readAllStandardError(), QByteArray()) << args[0].toStdString();
    EXPECT_TRUE(tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() == 0 : tool.exitCode() == SIGPIPE);
  }
}

// Under a decimal-comma locale every number written for a program keeps its
// point; without a display, runtime folder or valid XDG paths, whatever
// platform is named, each command works silently and leaves nothing behind.
TEST(Conventions, NumbersForProgramsKeepThePointUnderADecimalCommaLocale) {
  TempDir dir;
  kavsim::DriverModel model = Woofer();
  const QString a = WriteDriver(dir, QStringLiteral("a.DTA"), model);
  model.Fs *= 1.05;
  const QString b = WriteDriver(dir, QStringLiteral("b.DTA"), model);
  model.addedMass = 10.5e-3;
  const QString c = WriteDriver(dir, QStringLiteral("c.DTA"), model), rules = dir.Path(QStringLiteral("rules.kqc"));
  ASSERT_TRUE(WriteAll(rules, "reference = a.DTA\nre = 5.6\nR = 15%\nFs = 2.5%\nQts = 5%\n"));
  // A German locale made here: the machine may have none installed.
  const QString locales = dir.Path(QStringLiteral("locales"));
  QProcess make;
  ASSERT_TRUE(QDir().mkpath(locales));
  make.start(QStringLiteral("localedef"), {"-i", "de_DE", "-f", "UTF-8", locales + QStringLiteral("/de_DE.UTF-8")});
  ASSERT_TRUE(make.waitForFinished(120000));
  const ScopedEnv path("LOCPATH", QFile::encodeName(locales));
  const locale_t german = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", locale_t(0));
  if (german == locale_t(0)) GTEST_SKIP() << "no de_DE locale source (Debian package locales)";
  ASSERT_EQ(QByteArray(nl_langinfo_l(RADIXCHAR, german)), ",");
  freelocale(german);
  // Each output, files included, as under the C locale: numbers with a
  // point, no column or key split by a decimal comma; JSON reads back.
  const QStringList de{"LOCPATH=" + locales, "LC_ALL=de_DE.UTF-8", "LANGUAGE="};
  const auto outputs = [&](const QStringList& args, const QStringList& env) {
    const QString file = dir.Path(QStringLiteral("out.") + args.value(args.size() - 2).mid(2));  // --wdr, --csv
    QFile::remove(file);
    const Exec run = Execute(args, {}, "C", {}, {}, env);
    return run.out + ReadAll(file) + QByteArray::number(run.status);
  };
  for (const QStringList& args :
       {QStringList{"ts", a, "--re", "5.6", "--raw"}, QStringList{"ts", a, "--re", "5.6"},
        QStringList{"ts", a, "--re", "5.6", "--sd", "132.5", "--added-mass", "10.5", "--loaded", c},
        QStringList{"match", a, b, c, "--re", "5.6"}, QStringList{"export", a, "--format", "zma", "-o", "-"},
        QStringList{"export", a, "--format", "csv", "-o", "-"}, QStringList{"fit", a, "--re", "5.6", "--json"},
        QStringList{"fit", a, "--re", "5.6", "--wdr", dir.Path(QStringLiteral("out.wdr"))},
        QStringList{"qc", rules, a, b, c, "--csv", dir.Path(QStringLiteral("out.csv"))}, QStringList{"qc", rules, a, b, "--json"}}) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const QByteArray german = outputs(args, de);
    EXPECT_EQ(german, outputs(args, {"LC_ALL=C"}));
    EXPECT_TRUE(QString::fromUtf8(german).contains(QRegularExpression(QStringLiteral("\\d\\.\\d"))));
    if (args.contains(QStringLiteral("--json"))) {  // less the status after it
      EXPECT_TRUE(QJsonDocument::fromJson(german.chopped(1)).isObject()) << german.toStdString();
    }
  }
}

TEST(Conventions, WithoutADesktopEachCommandRunsSilentlyAndLeavesNothing) {
  TempDir dir;
  const QString a = WriteDriver(dir, QStringLiteral("a.DTA"), Woofer()), rules = dir.Path(QStringLiteral("rules.kqc"));
  ASSERT_TRUE(WriteAll(rules, "reference = a.DTA\nR = 15%\n"));
  const QStringList environments[] = {{"QT_QPA_PLATFORM=xcb"}, {"QT_QPA_PLATFORM=wayland"}, {"QT_QPA_PLATFORM="},
                                      {"XDG_CONFIG_HOME=config", "XDG_RUNTIME_DIR=runtime", "XDG_CACHE_HOME=cache"}};
  const struct {
    QStringList args;
    int status;
    const char* made;  // the output asked for, in the working folder
  } commands[] = {{{"plot", a, "-o", "p.svg"}, 0, "p.svg"},  {{"print", a, "--dpi", "72", "-o", "p.pdf"}, 0, "p.pdf"},
                  {{"qc", rules, a, "--plot", "q.png"}, 0, "q.png"}, {{"qc", "--help"}, 0, nullptr},
                  {{"plot", a, "--bogus"}, 64, nullptr},       {{"ts", a}, 0, nullptr}};
  int row = 0;
  for (const QStringList& e : environments)
    for (const auto& c : commands) {
      SCOPED_TRACE(e.join(' ').toStdString() + ": " + c.args.join(' ').toStdString());
      const QString root = dir.Path(QStringLiteral("run%1").arg(row++));
      for (const char* sub : {"/home", "/tmp", "/work"}) ASSERT_TRUE(QDir().mkpath(root + sub));
      const Exec run = Execute(c.args, {}, "C", root + "/work", {},
                               QStringList{"DISPLAY=", "WAYLAND_DISPLAY=", "XDG_RUNTIME_DIR=", "XDG_CONFIG_HOME=",
                                           "KAVO_SETTINGS_DIR=", "HOME=" + root + "/home", "TMPDIR=" + root + "/tmp"} + e);
      EXPECT_EQ(run.status, c.status);
      if (c.status == 0) {
        EXPECT_EQ(run.err, QByteArray());
      }
      EXPECT_EQ(Tree(root), QStringList({"home/", "tmp/", "work/"}) + (c.made ? QStringList{"work/" + QString(c.made)} : QStringList()));
    }
}

}  // namespace
}  // namespace kavo::test
