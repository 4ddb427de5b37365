// kavo-tool compensate: a Zobel network and a notch designed from a driver's
// measured curve (analysis/Compensation), each component with ±σ and its
// nearest standard value, the flatness with exact and standard values, and
// the compensated curve as a ZMA for crossover programs.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <memory>
#include <ostream>

#include "analysis/Compensation.h"
#include "analysis/Curves.h"
#include "analysis/FitReport.h"
#include "cli/Curves.h"
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Stringutil.h"

namespace kavo::cli {
namespace {

const Option CompensateOptionTable[] = {
    {"--re", "OHMS", QT_TRANSLATE_NOOP("ToolText", "the voice coil's DC resistance: the driver's model is fitted with it")},
    {"--driver", "FILE.wdr", QT_TRANSLATE_NOOP("ToolText", "Re, Fs, Qms and Qes from a driver file instead of --re")},
    {"--zobel", nullptr, QT_TRANSLATE_NOOP("ToolText", "design the Zobel network (with --notch: both, the default)")},
    {"--notch", nullptr, QT_TRANSLATE_NOOP("ToolText", "design the notch across the resonance")},
    {"--band", "F1 F2", QT_TRANSLATE_NOOP("ToolText", "the band to flatten in Hz (unless given 3 times Fs to the curve's top; for a notch alone the curve's bottom to 3 times Fs)"), TwoValues},
    {"--series", "E12|E24|exact", QT_TRANSLATE_NOOP("ToolText", "the standard values (E12 for L and C, E24 for R unless given)")},
    {"--power", "W", QT_TRANSLATE_NOOP("ToolText", "the drive into the nominal impedance for the Zobel resistor's power (10 W)")},
    {"--json", nullptr, QT_TRANSLATE_NOOP("ToolText", "one JSON object instead of the table")},
    {"-o", "COMPENSATED.zma", QT_TRANSLATE_NOOP("ToolText", "also write the compensated curve (standard values) as a ZMA table")},
};

QJsonValue Number(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null); }

QByteArray Json(const CompensationResult& r) {
  QJsonObject values, sigma, standard, power;
  for (const CompComponent& c : r.parts) {
    values.insert(QLatin1String(c.key), Number(c.value * c.scale));
    sigma.insert(QLatin1String(c.key), Number(c.sigma * c.scale));
    // A standard value as it is printed on the part: 22, not 22.000000000000004.
    standard.insert(QLatin1String(c.key), Number(QByteArray::number(c.standard * c.scale, 'g', 6).toDouble()));
  }
  if (r.Part("Rz")) power.insert(QLatin1String("Rz"), Number(r.zobelPowerW));
  if (r.Part("Rz2")) power.insert(QLatin1String("Rz2"), Number(r.zobelPower2W));
  QJsonObject o;
  o.insert(QLatin1String("values"), values);
  o.insert(QLatin1String("sigma"), sigma);
  o.insert(QLatin1String("standard"), standard);
  o.insert(QLatin1String("flatness_pct"),
           QJsonObject{{QLatin1String("exact"), Number(r.flatnessExact)}, {QLatin1String("standard"), Number(r.flatnessStandard)}});
  o.insert(QLatin1String("band_hz"), QJsonArray{Number(r.bandLow), Number(r.bandHigh)});
  o.insert(QLatin1String("power_w"), power);
  o.insert(QLatin1String("driver"), QJsonObject{{QLatin1String("Re"), Number(r.driver.re)},
                                                {QLatin1String("Fs"), Number(r.driver.fs)},
                                                {QLatin1String("Qms"), Number(r.driver.qms)},
                                                {QLatin1String("Qes"), Number(r.driver.qes)}});
  return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

}  // namespace

const Command CompensateCommand{
    "compensate", "FILE",
    QT_TRANSLATE_NOOP("ToolText", "a Zobel network and a notch designed to flatten the driver's measured impedance"),
    CompensateOptionTable, RunCompensate, 1, 1,
    QT_TRANSLATE_NOOP("ToolText", "Needs --re OHMS or --driver FILE.wdr. Prints each component with ±σ and its standard\n"
                                  "value, the flatness (largest deviation from Re over the band, exact and standard)\n"
                                  "and the power the Zobel resistor takes at the top of the band.")};

int RunCompensate(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(CompensateCommand, args, line, out, err); status != Proceed) return status;
  auto usage = [&](const QString& why) { return UsageError(CompensateCommand, why, err); };
  CompensationInput in;
  const QString file = line.operands.value(0), driver = line.Value("--driver"), zma = line.Value("-o");
  if (line.Has("--re") == line.Has("--driver")) return usage(ToolText::tr("give either --re OHMS or --driver FILE.wdr"));
  if (line.Has("--re") && (!ParseDecimal(line.Value("--re"), in.re) || !(in.re > 0)))
    return usage(ToolText::tr("%1 must be a number above 0, not '%2'").arg("--re", line.Value("--re")));
  if (line.Has("--power") &&
      (!ParseDecimal(line.Value("--power"), in.powerW) || !(in.powerW > 0) || in.powerW > MaxPowerW))
    return usage(ToolText::tr("--power must be above 0 and at most %1 W").arg(MaxPowerW));
  if (line.Has("--band")) {
    const QStringList band = line.Value("--band").split(QLatin1Char(' '));
    if (!ParseDecimal(band.value(0), in.bandLow) || !ParseDecimal(band.value(1), in.bandHigh) || !(in.bandLow > 0) ||
        !(in.bandLow < in.bandHigh))
      return usage(ToolText::tr("--band takes two frequencies in Hz, the lower first"));
  }
  if (line.Has("--series") && !ParseESeries(line.Value("--series"), in.series))
    return usage(ToolText::tr("--series takes E12, E24 or exact"));
  if (line.Has("--zobel") || line.Has("--notch")) {
    in.zobel = line.Has("--zobel");
    in.notch = line.Has("--notch");
  }
  if (!zma.isEmpty())
    if (const int status = CheckOutput(CompensateCommand, zma, {file, driver}, {"zma"}, err); status != Proceed)
      return status;
  if (!driver.isEmpty()) {
    InputFile input;
    QString why;
    if (!input.Open(driver, why)) {
      SayFile(err, "compensate", driver, why);
      return ExitUnreadable;
    }
    const LoadFailure failure = ReadDriverFile(input.Path(), in.driver);
    if (failure != LoadFailure::None && failure != LoadFailure::NotData) {
      SayFile(err, "compensate", driver, LoadFailureText(failure, QString()));
      return ExitUnreadable;
    }
    if (failure == LoadFailure::NotData || !(in.driver.re > 0)) {
      SayFile(err, "compensate", driver, ToolText::tr("not a driver file with Re, Fs, Qms and Qes"));
      return ExitUnreadable;
    }
    in.haveDriver = true;
  }
  const std::unique_ptr<CurveSet> c = LoadCurve(file, 0, "compensate", err);
  if (!c) return ExitUnreadable;
  in.curve = BandCurve(c->data, c->raw);
  const CompensationResult r = DesignCompensation(in);
  if (!r.Ok()) {
    SayFile(err, "compensate", file, CompFailureText(r));
    return ExitFailed;
  }
  if (line.Has("--json")) out << Json(r).toStdString() << '\n';
  else out << CompensationText(r).toStdString();
  if (!zma.isEmpty() && !WriteOutput(zma, CompensatedZma(r, in.series == ESeries::Exact, file), out)) {
    SayFile(err, "compensate", zma, CannotBeWrittenText(), true);
    return ExitFailed;
  }
  return ExitOk;
}

}  // namespace kavo::cli
