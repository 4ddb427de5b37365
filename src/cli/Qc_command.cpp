// kavo-tool qc: drivers checked against a reference under a .kqc file's
// tolerances (PASS/FAIL with every reason, a table, the set's statistics,
// a picture of the band); kavo-tool match: the drivers paired by likeness.
// Both read every file once; the rules and the reference are read once for
// the whole call.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>

#include "analysis/QcMatch.h"
#include "analysis/QcSetup.h"
#include "cli/CommandLine.h"
#include "cli/Curves.h"
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Qc_plot.h"
#include "cli/Texts.h"
#include "data/Stringutil.h"

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

std::string Number(double v) { return QByteArray::number(v, 'g', 6).toStdString(); }
// The curves' values are floats: JSON gets their seven digits, not a double's noise.
double JsonNumber(double v) { return QByteArray::number(v, 'g', 7).toDouble(); }

std::string CsvText(const QString& text) {
  QString t = text;
  t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return "\"" + t.toStdString() + "\"";
}

// One file's measurement, or null after the message (unreadable).
std::unique_ptr<QcMeasurement> Measure(const QString& file, const QcAnalysis& analysis, const char* command,
                                       std::ostream& err) {
  const std::unique_ptr<CurveSet> c = LoadCurve(file, 0, command, err);
  if (!c) return nullptr;
  return std::make_unique<QcMeasurement>(MeasureDriver(c->data, c->raw, analysis));
}

// "RULES:LINE: reason" (the line left out for 0) and exit 64.
int RulesError(const QString& rules, const QcRuleError& error, std::ostream& err) {
  const QString where = error.line > 0 ? QStringLiteral("%1:%2").arg(rules).arg(error.line) : rules;
  Say(err, "qc", QStringLiteral("%1: %2").arg(where, QcRuleErrorText(error)));
  return ExitUsage;
}

// The rules and their reference, once: exit 64 after the message when they
// cannot be used.
int ReadSetup(const QString& rulesFile, QcSetup& setup, std::ostream& err) {
  InputFile input;
  QString why;
  if (!input.Open(rulesFile, why)) {
    SayFile(err, "qc", rulesFile, why);
    return ExitUsage;
  }
  // A reference named relative to the rules file; to the working folder for standard input.
  const QString folder = rulesFile == QLatin1String("-") ? QDir::currentPath() : QFileInfo(rulesFile).path();
  QcRuleError error;
  if (!LoadQcSetup(input.Path(), folder, setup, error)) {
    if (error.problem == QcRuleProblem::Unreadable || error.problem == QcRuleProblem::TooLarge) error.text.clear();
    return RulesError(rulesFile, error, err);
  }
  return Proceed;
}

// The second outputs: never "-" (the report is on standard output), never
// one of the inputs, the reference the rules name included.
int CheckOutputs(const CommandLine& line, const QcSetup& setup, std::ostream& err) {
  QStringList inputs = line.operands;
  if (!setup.referencePath.isEmpty()) inputs << setup.referencePath;
  const struct {
    const char* option;
    std::initializer_list<const char*> suffixes;
  } outputs[] = {{"--csv", {"csv"}}, {"--plot", {"png", "pdf"}}};
  for (const auto& o : outputs) {
    if (!line.Has(o.option)) continue;
    const QString target = line.Value(o.option);
    if (target == QLatin1String("-"))
      return UsageError(QcCommand,
                        ToolText::tr("%1 - would mix its file with the report on standard output").arg(QLatin1String(o.option)),
                        err);
    if (const int s = CheckOutput(QcCommand, target, inputs, o.suffixes, err); s != Proceed) return s;
  }
  return Proceed;
}

// What qc reports beyond the lines: the CSV, the JSON files and the failing curves.
struct QcReport {
  std::vector<int> shown;  // the parameters any readable file has
  std::string csv;
  QJsonArray files;
  std::vector<QString> failing;
  std::vector<const QcMeasurement*> failingCurves;
};

std::vector<int> ShownParams(const std::vector<const QcMeasurement*>& readable) {
  std::vector<int> shown;
  for (int p = 0; p < QcParamCount(); ++p)
    if (std::any_of(readable.begin(), readable.end(), [p](const QcMeasurement* m) { return m->has[size_t(p)]; }))
      shown.push_back(p);
  return shown;
}

// One file's verdict: its line (unless JSON), its CSV row and JSON object;
// false when it fails.
bool ReportVerdict(const QString& file, const QcMeasurement& m, const QcSetup& setup, bool json, std::ostream& out,
                   QcReport& report) {
  const QcVerdict v = CheckDriver(setup.rules, setup.reference, m);
  if (!v.pass) {
    report.failing.push_back(file);
    report.failingCurves.push_back(&m);
  }
  QStringList reasons;
  for (const QcReason& r : v.reasons) reasons << QcReasonText(r);
  const QString reasonText = reasons.join(QStringLiteral("; "));
  if (!json) {
    out << (v.pass ? "PASS\t" : "FAIL\t") << Std(file);
    if (!v.pass) out << '\t' << Std(reasonText);
    out << '\n';
  }
  QJsonObject values;
  report.csv += CsvText(file) + (v.pass ? ",PASS" : ",FAIL");
  for (const int p : report.shown) {
    const bool has = m.has[size_t(p)];
    report.csv += "," + (has ? Number(m.value[size_t(p)]) : std::string());
    if (has) values.insert(QString::fromStdString(QcParamName(p)), JsonNumber(m.value[size_t(p)]));
  }
  report.csv += "," + CsvText(reasonText) + "\n";
  report.files.append(QJsonObject{
      {"file", file}, {"pass", v.pass}, {"reasons", QJsonArray::fromStringList(reasons)}, {"values", values}});
  return v.pass;
}

// The set's statistics per parameter: STAT lines (unless JSON) and the JSON object.
QJsonObject ReportStatistics(const std::vector<const QcMeasurement*>& readable, const std::vector<int>& shown, bool json,
                             std::ostream& out) {
  QJsonObject stats;
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
    stats.insert(QString::fromStdString(name), QJsonObject{{"count", s.count}, {"mean", JsonNumber(s.mean)},
                                                           {"sigma", JsonNumber(s.sigma)}, {"min", JsonNumber(s.min)},
                                                           {"max", JsonNumber(s.max)}});
  }
  return stats;
}

// --csv and --plot; false after the message when one cannot be written.
bool WriteSecondOutputs(const CommandLine& line, const QcSetup& setup, const QcReport& report, std::ostream& out,
                        std::ostream& err) {
  bool written = true;
  const QString csv = line.Value("--csv"), plot = line.Value("--plot");
  if (line.Has("--csv") && !WriteOutput(csv, QByteArray::fromStdString(report.csv), out)) {
    SayFile(err, "qc", csv, CannotBeWrittenText(), true);
    written = false;
  }
  if (line.Has("--plot")) {
    QString reason;
    if (!WriteQcPicture(plot, setup.rules, setup.reference, report.failingCurves, report.failing, out, reason)) {
      SayFile(err, "qc", plot, reason.isEmpty() ? CannotBeWrittenText() : reason, true);
      written = false;
    }
  }
  return written;
}

}  // namespace

const Command QcCommand{
    "qc", "RULES.kqc FILE...",
    QT_TRANSLATE_NOOP("ToolText", "each file PASS or FAIL against a reference under the rules' tolerances"),
    QcOptions, RunQc, 2, 1 << 20,
    QT_TRANSLATE_NOOP("ToolText", "One line per file: PASS<TAB>FILE or FAIL<TAB>FILE<TAB>reason; reason; ...\n"
                                  "then the statistics per parameter (STAT, name, count, mean, σ, min, max).\n"
                                  "Exit status: 0 all pass, 1 any fails, 2 a file cannot be read (the others\n"
                                  "are checked) or --csv/--plot cannot be written, 64 a wrong command line or\n"
                                  "rules file. The report is on standard output: --csv and --plot take no -."),
    /*needsWidgets=*/true};  // --plot draws

const Command MatchCommand{
    "match", "FILE...",
    QT_TRANSLATE_NOOP("ToolText", "the drivers paired by likeness of curve, Fs and Qts, best pairs first"),
    MatchOptions, RunMatch, 1, 1 << 20,
    QT_TRANSLATE_NOOP("ToolText", "One line per pair: FILE<TAB>FILE<TAB>distance in %. The distance is\n"
                                  "√(ΔR² + ΔFs² + ΔQts²): the RMS of R's relative difference on 200\n"
                                  "log-spaced frequencies of the band, and Fs's and Qts's relative differences.")};

int RunQc(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(QcCommand, args, line, out, err); status != Proceed) return status;
  const QString rulesFile = line.operands.front();
  const QStringList files = line.operands.mid(1);
  const bool json = line.Has("--json");
  QcSetup setup;
  if (const int s = ReadSetup(rulesFile, setup, err); s != Proceed) return s;
  if (const int s = CheckOutputs(line, setup, err); s != Proceed) return s;

  // Every file, once.
  int status = ExitOk;
  const QcAnalysis analysis = setup.Analysis();
  std::vector<std::unique_ptr<QcMeasurement>> measured;
  for (const QString& file : files) {
    measured.push_back(Measure(file, analysis, "qc", err));
    if (!measured.back()) status = ExitUnreadable;
  }
  std::vector<const QcMeasurement*> readable;
  for (const auto& m : measured)
    if (m) readable.push_back(m.get());
  if (setup.rules.meanReference) {
    QcRuleError error;
    if (!UseMeanReference(readable, setup, error)) {
      if (error.problem != QcRuleProblem::NoMeanReference) return RulesError(rulesFile, error, err);
      Say(err, "qc", QcRuleErrorText(error));
      return ExitUnreadable;
    }
  }

  QcReport report;
  report.shown = ShownParams(readable);
  report.csv = "file,result";
  for (const int p : report.shown) report.csv += "," + QcParamName(p);
  report.csv += ",reasons\n";
  for (qsizetype i = 0; i < files.size(); ++i)
    if (const QcMeasurement* m = measured[size_t(i)].get())
      if (!ReportVerdict(files[i], *m, setup, json, out, report) && status == ExitOk) status = ExitFailed;
  const QJsonObject statistics = ReportStatistics(readable, report.shown, json, out);
  if (json)
    out << QJsonDocument(QJsonObject{{"files", report.files}, {"statistics", statistics}}).toJson().toStdString();
  // A second output that cannot be written: status 2, whatever the verdicts.
  return WriteSecondOutputs(line, setup, report, out, err) ? status : ExitUnreadable;
}

int RunMatch(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(MatchCommand, args, line, out, err); status != Proceed) return status;
  if (line.operands.size() < 2) return UsageError(MatchCommand, ToolText::tr("two files at least"), err);
  for (qsizetype i = 0; i < line.operands.size(); ++i)
    for (qsizetype j = i + 1; j < line.operands.size(); ++j)
      if (SameFile(line.operands[i], line.operands[j]) || (line.operands[i] == QLatin1String("-") && line.operands[j] == QLatin1String("-")))
        return UsageError(MatchCommand,
                          ToolText::tr("%1 and %2 are one file").arg(line.operands[i], line.operands[j]), err);
  bool ok = true;
  const int pairs = line.Value("--pairs", QStringLiteral("0")).toInt(&ok);
  if (!ok || pairs < 0 || (line.Has("--pairs") && pairs == 0))
    return UsageError(MatchCommand, ToolText::tr("--pairs takes a whole number from 1"), err);
  QcAnalysis analysis;
  double fmin = 0, fmax = 0;
  const struct {
    const char* name;
    double* value;
  } numbers[] = {{"--re", &analysis.re}, {"--fmin", &fmin}, {"--fmax", &fmax}};
  for (const auto& n : numbers) {
    if (!line.Has(n.name)) continue;
    if (!ParseDecimal(line.Value(n.name), *n.value) || *n.value <= 0)
      return UsageError(MatchCommand,
                        ToolText::tr("%1 must be a number above 0, not '%2'").arg(QLatin1String(n.name), line.Value(n.name)),
                        err);
  }
  if (fmin > 0 && fmax > 0 && !(fmin < fmax))
    return UsageError(MatchCommand, ToolText::tr("--fmin must be below --fmax"), err);

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
  const MatchOutcome match = MatchDrivers(set, fmin, fmax, analysis.re > 0, pairs);
  // A driver left out is named with the reason; the others are still paired.
  for (const int i : match.excluded) {
    const QcMeasurement& m = *set[size_t(i)];
    QcReason why;
    why.kind = QcReasonKind::NotDetermined;
    why.param = QcTsParam(m.has[size_t(QcTsParam("Fs"))] ? "Qts" : "Fs");
    why.missing = m.Missing(why.param);
    why.tsFailure = m.tsFailure;
    SayFile(err, "match", names[i], ToolText::tr("not paired: %1").arg(QcReasonText(why)));
    if (status == ExitOk) status = ExitFailed;
  }
  const auto range = [](double a, double b) { return QStringLiteral("%1–%2 Hz").arg(QcNumber(a), QcNumber(b)); };
  switch (match.problem) {
    case MatchProblem::None: break;
    case MatchProblem::TooFew:
      Say(err, "match", ToolText::tr("fewer than two drivers to pair"));
      return status == ExitOk ? ExitFailed : status;
    case MatchProblem::NoCommonBand:
      Say(err, "match", ToolText::tr("the curves have no band in common"));
      return status == ExitOk ? ExitFailed : status;
    case MatchProblem::RangeOutside:
      return UsageError(MatchCommand,
                        ToolText::tr("the range %1 is not inside the band every curve covers, %2")
                            .arg(range(match.fmin, match.fmax), range(match.bandLo, match.bandHi)),
                        err);
  }
  for (const MatchPair& p : match.pairs)
    out << Std(names[p.a]) << '\t' << Std(names[p.b]) << '\t' << QByteArray::number(p.distance, 'f', 3).toStdString()
        << '\n';
  return status;
}

}  // namespace kavo::cli
