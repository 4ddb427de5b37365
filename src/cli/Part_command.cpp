// kavo-tool part: a crossover part's curve fitted to the part's model
// (analysis/PartModel): L, Rdc and Q, or C, ESR, ESL and D, or R and Ls, each
// with its ±σ, and the part's value at the frequencies asked for.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <memory>
#include <ostream>

#include "analysis/Curves.h"
#include "analysis/FitReport.h"
#include "analysis/PartModel.h"
#include "cli/Curves.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Stringutil.h"

namespace kavo::cli {
namespace {

const Option PartOptionTable[] = {
    {"--kind", "auto|inductor|capacitor|resistor",
     QT_TRANSLATE_NOOP("ToolText", "the part (auto unless given: recognised from θ)")},
    {"--at", "HZ", QT_TRANSLATE_NOOP("ToolText", "also the part's value at this frequency (may be repeated)"), Repeatable},
    {"--json", nullptr, QT_TRANSLATE_NOOP("ToolText", "one JSON object instead of the table")},
};

QJsonValue Number(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null); }

// The values at the frequencies asked for: "L (1000 Hz)<TAB>value<TAB>±σ<TAB>unit".
QByteArray AtLines(const PartResult& r) {
  QByteArray out;
  for (size_t i = 0; i < r.atHz.size(); ++i) {
    const size_t v = r.atFirst + i;
    const ReportedValue& info = r.fit.table[v];
    QString value, sigma;
    FormatWithSigma(r.fit.value[v] * info.scale, r.fit.sigma[v] * info.scale, value, sigma);
    out += QByteArray(info.name) + '\t' + value.toUtf8() + "\t±" + sigma.toUtf8() + '\t' + info.unit + '\n';
  }
  return out;
}

QByteArray PartJson(const PartResult& r, const QStringList& warnings) {
  QJsonObject o = QJsonDocument::fromJson(FitJson(r.fit, QLatin1String(PartKindName(r.kind)), warnings)).object();
  o.insert(QLatin1String("kind"), QLatin1String(PartKindName(r.kind)));
  o.insert(QLatin1String("recognised"), r.recognised);
  o.insert(QLatin1String("left_out"), r.leftOut);
  QJsonArray at;
  for (size_t i = 0; i < r.atHz.size(); ++i) {
    const size_t v = r.atFirst + i;
    const double scale = r.fit.table[v].scale;
    at.append(QJsonObject{{QLatin1String("f_hz"), r.atHz[i]},
                          {QLatin1String("value"), Number(r.fit.value[v] * scale)},
                          {QLatin1String("sigma"), Number(r.fit.sigma[v] * scale)},
                          {QLatin1String("unit"), QString::fromUtf8(r.fit.table[v].unit)}});
  }
  if (!at.isEmpty()) o.insert(QLatin1String("at"), at);
  return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace

const Command PartCommand{
    "part", "FILE",
    QT_TRANSLATE_NOOP("ToolText", "a crossover part's values fitted to its curve: inductor, capacitor or resistor"),
    PartOptionTable, RunPart, 1, 1,
    QT_TRANSLATE_NOOP("ToolText", "Reports L, Rdc and Q at 1 kHz; C, ESR, ESL and D at 1 kHz; or R and Ls. Points\n"
                                  "beyond what the unit resolves (|Z| below 0.05 Ω or at its 655.35 Ω ceiling) are\n"
                                  "left out; when too few remain, the message names the band to measure.")};

int RunPart(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(PartCommand, args, line, out, err); status != Proceed) return status;
  PartInput in;
  if (line.Has("--kind") && !ParsePartKind(line.Value("--kind"), in.kind))
    return UsageError(PartCommand, ToolText::tr("--kind takes auto, inductor, capacitor or resistor"), err);
  for (const QString& text : line.Values("--at")) {
    double f = 0;
    if (!ParseDecimal(text, f) || !(f > 0))
      return UsageError(PartCommand, ToolText::tr("%1 must be a number above 0, not '%2'").arg("--at", text), err);
    in.atHz.push_back(f);
  }
  const QString file = line.operands.value(0);
  const std::unique_ptr<CurveSet> c = LoadCurve(file, 0, "part", err);
  if (!c) return ExitUnreadable;
  in.curve = BandCurve(c->data, c->raw);
  const PartResult r = MeasurePart(in);
  if (!r.Ok()) {
    SayFile(err, "part", file, PartFailureText(r));
    return ExitFailed;
  }
  if (r.recognised) Say(err, "part", PartRecognisedText(r.kind));
  if (r.leftOut > 0) Say(err, "part", PartLeftOutText(r.leftOut, r.pointsGiven));
  QStringList warnings;
  for (const FitNotice& n : r.fit.warnings) {
    warnings << FitWarningText(n);
    Say(err, "part", ToolText::tr("warning: %1").arg(warnings.back()));
  }
  if (line.Has("--json")) {
    out << PartJson(r, warnings).toStdString() << '\n';
    return ExitOk;
  }
  QByteArray table = FitTableText(r.fit);
  const qsizetype residual = table.lastIndexOf("residual\t");
  table.insert(residual, AtLines(r));
  out << "kind\t" << PartKindName(r.kind) << '\n' << table.toStdString();
  return ExitOk;
}

}  // namespace kavo::cli
