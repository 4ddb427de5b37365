// What kavo-tool writes for other programs keeps the decimal point under a
// locale whose numbers use a comma: every output is parsed as a program
// reads it (JSON by QJsonDocument, tables by their columns, driver files by
// their keys).
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <clocale>
#include <langinfo.h>
#include <locale.h>

#include "ScopedEnv.h"
#include "UnitModel.h"
#include "cli_fixture.h"

namespace kavo::test {
namespace {

// A German locale made into `dir` (the machine may have none installed).
bool MakeDecimalCommaLocale(const QString& dir) {
  QProcess make;
  make.start(QStringLiteral("localedef"), {"-i", "de_DE", "-f", "UTF-8", dir + QStringLiteral("/de_DE.UTF-8")});
  if (!make.waitForFinished(120000) || make.exitStatus() != QProcess::NormalExit) return false;
  // localedef warns (status 1) about some sources and still writes the locale.
  const ScopedEnv path("LOCPATH", QFile::encodeName(dir));
  const locale_t german = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", locale_t(0));
  if (german == locale_t(0)) return false;
  const bool comma = QByteArray(nl_langinfo_l(RADIXCHAR, german)) == ",";
  freelocale(german);
  return comma;
}

struct Output {
  int status;
  QString out;
};

// kavo-tool under LC_ALL=`locale` (German unless said), with the made locales.
Output RunGerman(const QString& locales, const QStringList& args, const char* locale = "de_DE.UTF-8") {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("LANGUAGE"));
  env.insert(QStringLiteral("LOCPATH"), locales);
  env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
  p.setProcessEnvironment(env);
  p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kavo-tool"), args);
  EXPECT_TRUE(p.waitForFinished(120000)) << args.join(' ').toStdString();
  const QString err = QString::fromUtf8(p.readAllStandardError());
  EXPECT_TRUE(err.isEmpty() || p.exitCode() == 1) << args.join(' ').toStdString() << ": " << err.toStdString();
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput())};
}

// The numbers carry points, not commas. A CSV table is split at the commas
// outside quotes, every row as wide as its header (a decimal comma would add
// a column); other text has no decimal comma at all. Either holds numbers
// with a decimal point (fields split at blanks, tabs and '=').
void ExpectPlainNumbers(const QString& text, const QString& what, bool csv = false) {
  SCOPED_TRACE(what.toStdString());
  if (!csv) EXPECT_FALSE(QRegularExpression(QStringLiteral("\\d,\\d")).match(text).hasMatch()) << text.toStdString();
  static const QRegularExpression number(QStringLiteral("^[-+]?[0-9]+\\.[0-9]+([eE][-+]?[0-9]+)?$"));
  static const QRegularExpression csvField(QStringLiteral("(\"[^\"]*\"|[^,]*)(,|$)"));
  int numbers = 0;
  qsizetype width = -1;
  for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    QStringList fields;
    if (csv) {
      for (auto m = csvField.globalMatch(line); m.hasNext();) {
        const QRegularExpressionMatch f = m.next();
        fields << f.captured(1);
        if (f.captured(2).isEmpty()) break;
      }
      if (width < 0) width = fields.size();
      EXPECT_EQ(fields.size(), width) << line.toStdString();
    } else {
      fields = line.split(QRegularExpression(QStringLiteral("[\\s=]+")));
    }
    for (const QString& field : fields) numbers += number.match(field).hasMatch();
  }
  EXPECT_GT(numbers, 0) << "no number with a decimal point: " << text.toStdString();
}

TEST(Locale, NumbersForProgramsKeepThePointUnderADecimalCommaLocale) {
  TempDir dir;
  const QString locales = dir.Path(QStringLiteral("locales"));
  ASSERT_TRUE(QDir().mkpath(locales));
  if (!MakeDecimalCommaLocale(locales)) GTEST_SKIP() << "no de_DE locale source (Debian package locales)";

  kavsim::DriverModel woofer, other;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", woofer));
  other = woofer;
  other.Fs *= 1.05;
  const QString a = WriteDriver(dir, QStringLiteral("a.DTA"), woofer);
  const QString b = WriteDriver(dir, QStringLiteral("b.DTA"), other);
  kavsim::DriverModel loaded = woofer;
  loaded.addedMass = 10.5e-3;
  const QString c = WriteDriver(dir, QStringLiteral("c.DTA"), loaded);
  const QString rules = dir.Path(QStringLiteral("rules.kqc"));
  ASSERT_TRUE(WriteAll(rules, "reference = a.DTA\nre = 5.6\nR = 15%\nFs = 2.5%\nQts = 5%\n"));
  const QString wdr = dir.Path(QStringLiteral("a.wdr")), csv = dir.Path(QStringLiteral("qc.csv"));

  // The tables and lines.
  for (const QStringList& args :
       {QStringList{"ts", a, "--re", "5.6", "--raw"}, QStringList{"ts", a, "--re", "5.6"},
        QStringList{"ts", a, "--re", "5.6", "--sd", "132.5", "--added-mass", "10.5", "--loaded", c},
        QStringList{"match", a, b, c, "--re", "5.6"}, QStringList{"export", a, "--format", "zma", "-o", "-"},
        QStringList{"fit", a, "--re", "5.6"}}) {
    const Output run = RunGerman(locales, args);
    EXPECT_EQ(run.status, 0) << args.join(' ').toStdString();
    ExpectPlainNumbers(run.out, args.join(' '));
  }
  const Output table = RunGerman(locales, {"export", a, "--format", "csv", "-o", "-"});
  EXPECT_EQ(table.status, 0);
  ExpectPlainNumbers(table.out, QStringLiteral("export --format csv"), true);
  // qc: one failing driver; its STAT lines, its CSV.
  const Output qc = RunGerman(locales, {"qc", rules, a, b, c, "--csv", csv});
  EXPECT_EQ(qc.status, 1);
  ExpectPlainNumbers(qc.out.split(QLatin1Char('\n')).filter(QStringLiteral("STAT")).join('\n'), QStringLiteral("STAT"));
  ExpectPlainNumbers(QString::fromUtf8(ReadAll(csv)), QStringLiteral("qc --csv"), true);

  // JSON, read back as JSON; the same bytes as under the C locale.
  for (const QStringList& args : {QStringList{"fit", a, "--re", "5.6", "--json"}, QStringList{"qc", rules, a, b, "--json"}}) {
    SCOPED_TRACE(args.join(' ').toStdString());
    const Output run = RunGerman(locales, args);
    QJsonParseError error{};
    const QJsonDocument json = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << run.out.toStdString();
    EXPECT_TRUE(json.isObject());
    EXPECT_EQ(run.out, RunGerman(locales, args, "C").out);
  }
  // The driver file: every key's number with a point.
  ASSERT_EQ(RunGerman(locales, {"fit", a, "--re", "5.6", "--wdr", wdr}).status, 0);
  ExpectPlainNumbers(QString::fromUtf8(ReadAll(wdr)), QStringLiteral(".wdr"));
}

}  // namespace
}  // namespace kavo::test
