// kavo-tool as a script meets it: the built program with pipes, the
// locale's language, a full standard output, and outputs that would
// destroy an input or carry the wrong extension.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <csignal>
#include <unistd.h>

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
// nothing else naming a language), in `dir`; standard output to `outFile` if given.
Exec Execute(const QStringList& args, const QByteArray& input = {}, const char* lang = "C", const QString& dir = {},
            const QString& outFile = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* v : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) env.remove(QString::fromLatin1(v));
  env.insert(QStringLiteral("LANG"), QString::fromLatin1(lang));
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
// device or pipe (which has no extension) gets a PNG. The SVG is drawn as
// lines and text, not a picture wrapped in SVG.
TEST(Conventions, TheKindFollowsFormatThenTheNameAndSvgIsVectors) {
  TempDir dir;
  const QString file = WriteDriver(dir, QStringLiteral("w.DTA"), Woofer());
  const QString svgAsPng = dir.Path(QStringLiteral("p.png")), svg = dir.Path(QStringLiteral("p.svg"));
  ASSERT_EQ(Tool({"plot", file, "--format", "svg", "-o", svgAsPng}).status, 0);
  ASSERT_EQ(Tool({"plot", file, "-o", svg}).status, 0);
  const QByteArray vector = ReadAll(svg);
  EXPECT_EQ(ReadAll(svgAsPng), vector);
  EXPECT_TRUE(vector.startsWith("<?xml")) << vector.left(40).toStdString();
  EXPECT_GE(vector.count("<polyline"), 2) << "the R and θ curves";
  EXPECT_GE(vector.count("<rect"), 10) << "the grid lines";
  EXPECT_TRUE(vector.contains("<text")) << "the scale texts";
  EXPECT_FALSE(vector.contains("<image")) << "no embedded picture";
  const struct {
    QStringList args;
    QByteArray magic;
  } streams[] = {{{"plot", file, "-o", "/dev/stdout", "--format", "png"}, "\x89PNG\r\n"},
                 {{"plot", file, "-o", "/dev/stdout"}, "\x89PNG\r\n"},
                 {{"plot", file, "-o", "/dev/stdout", "--format", "svg"}, "<?xml"},
                 {{"print", file, "--dpi", "72", "-o", "/dev/stdout"}, "%PDF-"}};
  for (const auto& c : streams) {
    const Exec run = Execute(c.args, {}, "C", dir.Root());
    EXPECT_EQ(run.status, 0) << c.args.join(' ').toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(c.magic)) << c.args.join(' ').toStdString();
  }
}

// A reader that stops early ends every command the same way: quietly, by
// the signal of a closed pipe, with nothing said.
TEST(Conventions, AClosedPipeEndsEveryCommandQuietly) {
  TempDir dir;
  const QString file = WriteDriver(dir, QStringLiteral("w.DTA"), Woofer());
  for (const QStringList& args : {QStringList{"print", file, "-o", "-"}, QStringList{"plot", file, "-o", "-"},
                                  QStringList{"export", file, "--format", "csv", "-o", "-"}}) {
    SCOPED_TRACE(args.join(' ').toStdString());
    QProcess tool, head;
    tool.setStandardOutputProcess(&head);
    tool.setWorkingDirectory(dir.Root());
    head.start(QStringLiteral("head"), {"-c", "10"});
    tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kavo-tool"), args);
    ASSERT_TRUE(tool.waitForFinished(60000) && head.waitForFinished(60000));
    EXPECT_EQ(head.readAllStandardOutput().size(), 10);
    EXPECT_EQ(tool.readAllStandardError(), QByteArray());
    // Either all went into the pipe before it closed, or SIGPIPE ended it.
    EXPECT_TRUE((tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0) ||
                (tool.exitStatus() == QProcess::CrashExit && tool.exitCode() == SIGPIPE))
        << tool.exitStatus() << " " << tool.exitCode();
  }
}

}  // namespace
}  // namespace kavo::test
