// kavo-tool qc: drivers checked against a reference under a .kqc file's
// tolerances (PASS/FAIL with every reason, a table, the set's statistics,
// a picture of the band); kavo-tool match: the drivers paired by likeness.
// Both read every file once; the rules and the reference are read once for
// the whole call.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <sstream>

#include "analysis/QualityCheck.h"
#include "cli/Curves.h"
#include "cli/Files.h"
#include "cli/Json.h"
#include "cli/KavoTool.h"
#include "cli/Qc_plot.h"
#include "cli/Texts.h"

namespace kavo::cli {
namespace {

const Option QcOptions[] = {
    {"--csv", "OUT.csv", QT_TRANSLATE_NOOP("ToolText", "also write every file's verdict and parameters as CSV")},
    {"--json", nullptr, QT_TRANSLATE_NOOP("ToolText", "one JSON object instead of the lines and the statistics")},
    {"--plot", "OUT.png|pdf", QT_TRANSLATE_NOOP("ToolText", "also draw the reference, its band and the failing curves")},
};

const Option MatchOptions[] = {
    {"--pairs", "N", QT_TRANSLATE_NOOP("ToolText", "at most N pairs (as many as there are unless given)")},
    {"--re", "OHMS", QT_TRANSLATE_NOOP("ToolText", "the voice coil's Re: adds the Qts difference to the distance")},
    {"--fmin", "HZ", QT_TRANSLATE_NOOP("ToolText", "the band's lower end (the lowest all curves cover unless given)")},
    {"--fmax", "HZ", QT_TRANSLATE_NOOP("ToolText", "the band's upper end (the highest all curves cover unless given)")},
};

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

std::string CsvText(const QString& text) {
  QString t = text;
  t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return "\"" + t.toStdString() + "\"";
}

// One file's measurement, or null after the message (unreadable).
std::unique_ptr<QcMeasurement> Measure(const QString& file, const QcAnalysis& analysis, const char* command,
                                       std::ostream& err) {
  const std::unique_ptr<Curve> c = LoadCurve(file, true, 0, command, err);
  if (!c) return nullptr;
  return std::make_unique<QcMeasurement>(MeasureDriver(c->data, c->raw, analysis));
}

// "RULES:LINE: reason" (the line left out for 0) and exit 64.
int RulesError(const QString& rules, int line, const QString& reason, std::ostream& err) {
  const QString where = line > 0 ? QStringLiteral("%1:%2").arg(rules).arg(line) : rules;
  Say(err, "qc", QStringLiteral("%1: %2").arg(where, reason));
  return ExitUsage;
}

}  // namespace

const Command QcCommand{
    "qc", "RULES.kqc FILE...",
    QT_TRANSLATE_NOOP("ToolText", "each file PASS or FAIL against a reference under the rules' tolerances"),
    QcOptions, RunQc, 2, 1 << 20,
    QT_TRANSLATE_NOOP("ToolText", "One line per file: PASS<TAB>FILE or FAIL<TAB>FILE<TAB>reason; reason; ...\n"
                                  "then the statistics per parameter (STAT, name, count, mean, σ, min, max).\n"
                                  "Exit status: 0 all pass, 1 any fails, 2 a file cannot be read (the others\n"
                                  "are checked), 64 a wrong command line or rules file."),
    /*needsWidgets=*/true};  // --plot draws

const Command MatchCommand{
    "match", "FILE...",
    QT_TRANSLATE_NOOP("ToolText", "the drivers paired by likeness of curve, Fs and Qts, best pairs first"),
    MatchOptions, RunMatch, 2, 1 << 20,
    QT_TRANSLATE_NOOP("ToolText", "One line per pair: FILE<TAB>FILE<TAB>distance in %. The distance is\n"
                                  "√(ΔR² + ΔFs² + ΔQts²): the RMS of R's relative difference on 200\n"
                                  "log-spaced frequencies of the band, and Fs's and Qts's relative differences.")};

int RunQc(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(QcCommand, args, line, out, err); status != Proceed) return status;
  const QString rulesFile = line.operands.front();
  const QStringList files = line.operands.mid(1);
  const bool json = line.Has("--json");
  const QString csv = line.Value("--csv"), plot = line.Value("--plot");
  const QStringList inputs = line.operands;
  if (line.Has("--csv"))
    if (const int s = CheckOutput(QcCommand, csv, inputs, {"csv"}, err); s != Proceed) return s;
  if (line.Has("--plot"))
    if (const int s = CheckOutput(QcCommand, plot, inputs, {"png", "pdf"}, err); s != Proceed) return s;
  const bool ja = IsJapanese(QLocale::system());

  // The rules, once.
  InputFile input;
  QString why;
  if (!input.Open(rulesFile, why)) return RulesError(rulesFile, 0, why, err);
  QFile f(input.Path());
  if (!f.open(QIODevice::ReadOnly) || f.size() > MaxInputBytes)
    return RulesError(rulesFile, 0, ToolText::tr("cannot be read"), err);
  QcRules rules;
  QcRuleError error;
  if (!ParseQcRules(QString::fromUtf8(f.readAll()), rules, error, ja))
    return RulesError(rulesFile, error.line, error.reason, err);
  QcAnalysis analysis{rules.re, rules.NeedsFit(), ja};

  // The reference file, once, relative to the rules file.
  std::unique_ptr<QcMeasurement> reference;
  if (!rules.meanReference) {
    QString path = rules.reference;
    if (QFileInfo(path).isRelative() && rulesFile != QLatin1String("-"))
      path = QFileInfo(rulesFile).dir().filePath(path);
    std::ostringstream said;
    reference = Measure(path, analysis, "qc", said);
    if (!reference) {
      err << said.str();
      return RulesError(rulesFile, rules.referenceLine, ToolText::tr("the reference %1 cannot be read").arg(path), err);
    }
  }

  // Every file, once.
  int status = ExitOk;
  std::vector<std::unique_ptr<QcMeasurement>> measured;
  for (const QString& file : files) {
    measured.push_back(Measure(file, analysis, "qc", err));
    if (!measured.back()) status = ExitUnreadable;
  }
  std::vector<const QcMeasurement*> readable;
  for (const auto& m : measured)
    if (m) readable.push_back(m.get());
  if (rules.meanReference) {
    if (readable.empty()) {
      Say(err, "qc", ToolText::tr("no readable file for the mean reference"));
      return ExitUnreadable;
    }
    reference = std::make_unique<QcMeasurement>(MeanMeasurement(readable));
  }

  // The parameters the table and the statistics show: those any file has.
  std::vector<int> shown;
  for (int p = 0; p < QcParamCount; ++p)
    for (const QcMeasurement* m : readable)
      if (m->has[size_t(p)]) {
        shown.push_back(p);
        break;
      }

  std::string jsonFiles, csvText = "file,result";
  for (const int p : shown) csvText += "," + QcParamName(p);
  csvText += ",reasons\n";
  std::vector<QString> failing;
  std::vector<const QcMeasurement*> failingCurves;
  for (qsizetype i = 0; i < files.size(); ++i) {
    const QcMeasurement* m = measured[size_t(i)].get();
    if (!m) continue;
    const QcVerdict v = CheckDriver(rules, *reference, *m, ja);
    if (!v.pass) {
      if (status == ExitOk) status = ExitFailed;
      failing.push_back(files[i]);
      failingCurves.push_back(m);
    }
    const QString reasons = v.reasons.join(QStringLiteral("; "));
    if (!json) {
      out << (v.pass ? "PASS\t" : "FAIL\t") << Std(files[i]);
      if (!v.pass) out << '\t' << Std(reasons);
      out << '\n';
    }
    std::string values;
    csvText += CsvText(files[i]) + (v.pass ? ",PASS" : ",FAIL");
    for (const int p : shown) {
      const bool has = m->has[size_t(p)];
      csvText += "," + (has ? Number(m->value[size_t(p)]) : std::string());
      if (has) values += std::string(values.empty() ? "" : ", ") + "\"" + QcParamName(p) + "\": " + Number(m->value[size_t(p)]);
    }
    csvText += "," + CsvText(reasons) + "\n";
    std::string reasonList;
    for (const QString& r : v.reasons) reasonList += (reasonList.empty() ? "" : ", ") + JsonString(r);
    jsonFiles += std::string(jsonFiles.empty() ? "" : ",\n  ") + "{\"file\": " + JsonString(files[i]) +
                 ", \"pass\": " + (v.pass ? "true" : "false") + ", \"reasons\": [" + reasonList +
                 "], \"values\": {" + values + "}}";
  }

  std::string jsonStats;
  if (!json && !shown.empty()) out << "#\tparameter\tcount\tmean\tsigma\tmin\tmax\n";
  for (const int p : shown) {
    std::vector<double> values;
    for (const QcMeasurement* m : readable)
      if (m->has[size_t(p)]) values.push_back(m->value[size_t(p)]);
    const QcStats s = Statistics(values);
    const std::string name = QcParamName(p);
    if (!json)
      out << "STAT\t" << name << '\t' << s.count << '\t' << Number(s.mean) << '\t' << Number(s.sigma) << '\t'
          << Number(s.min) << '\t' << Number(s.max) << '\n';
    jsonStats += std::string(jsonStats.empty() ? "" : ",\n  ") + "\"" + name + "\": {\"count\": " +
                 std::to_string(s.count) + ", \"mean\": " + Number(s.mean) + ", \"sigma\": " + Number(s.sigma) +
                 ", \"min\": " + Number(s.min) + ", \"max\": " + Number(s.max) + "}";
  }
  if (json) out << "{\"files\": [\n  " << jsonFiles << "],\n \"statistics\": {\n  " << jsonStats << "}}\n";

  if (line.Has("--csv") && !WriteOutput(csv, QByteArray::fromStdString(csvText), out)) {
    SayFile(err, "qc", csv, CannotBeWrittenText(), true);
    return ExitFailed;
  }
  if (line.Has("--plot")) {
    QString reason;
    if (!WriteQcPicture(plot, rules, *reference, failingCurves, failing, out, reason)) {
      SayFile(err, "qc", plot, reason.isEmpty() ? CannotBeWrittenText() : reason, true);
      return ExitFailed;
    }
  }
  return status;
}

int RunMatch(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(MatchCommand, args, line, out, err); status != Proceed) return status;
  bool ok = true;
  const int pairs = line.Value("--pairs", QStringLiteral("0")).toInt(&ok);
  if (!ok || pairs < 0) return UsageError(MatchCommand, ToolText::tr("--pairs takes a whole number from 1"), err);
  QcAnalysis analysis;
  analysis.japanese = IsJapanese(QLocale::system());
  double fmin = 0, fmax = 0;
  const struct {
    const char* name;
    double* value;
  } numbers[] = {{"--re", &analysis.re}, {"--fmin", &fmin}, {"--fmax", &fmax}};
  for (const auto& n : numbers) {
    if (!line.Has(n.name)) continue;
    *n.value = line.Value(n.name).toDouble(&ok);
    if (!ok || !std::isfinite(*n.value) || *n.value <= 0)
      return UsageError(MatchCommand,
                        ToolText::tr("%1 must be a number above 0, not '%2'").arg(QLatin1String(n.name), line.Value(n.name)),
                        err);
  }

  int status = ExitOk;
  std::vector<std::unique_ptr<QcMeasurement>> measured;
  QStringList names;
  for (const QString& file : line.operands) {
    auto m = Measure(file, analysis, "match", err);
    if (!m) {
      status = ExitUnreadable;
      continue;
    }
    measured.push_back(std::move(m));
    names << file;
  }
  std::vector<const QcMeasurement*> set;
  for (const auto& m : measured) set.push_back(m.get());
  double lo = 0, hi = 0;
  if (!CommonRange(set, lo, hi)) {
    Say(err, "match", ToolText::tr("the curves have no band in common"));
    return status == ExitOk ? ExitFailed : status;
  }
  if (fmin > 0) lo = fmin;
  if (fmax > 0) hi = fmax;
  if (!(lo < hi)) return UsageError(MatchCommand, ToolText::tr("--fmin must be below --fmax"), err);
  for (const MatchPair& p : MatchPairs(set, lo, hi, pairs)) {
    char d[32];
    std::snprintf(d, sizeof d, "%.3f", p.distance);
    out << Std(names[p.a]) << '\t' << Std(names[p.b]) << '\t' << d << '\n';
  }
  return status;
}

}  // namespace kavo::cli
