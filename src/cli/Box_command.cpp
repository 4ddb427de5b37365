// kavo-tool box: a finished loudspeaker's closed or vented box from its
// impedance (analysis/BoxModel), with the driver from a free-air curve, a
// driver file or values given. Prints name, value, ±σ and unit per line and
// the classic estimates, or one JSON object; the table's names, as the
// fit's, are the same in every language.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <memory>
#include <ostream>

#include "analysis/BoxModel.h"
#include "analysis/Curves.h"
#include "analysis/FitReport.h"
#include "cli/Curves.h"
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Stringutil.h"

namespace kavo::cli {
namespace {

const Option BoxOptionTable[] = {
    {"--closed", nullptr, QT_TRANSLATE_NOOP("ToolText", "a closed box")},
    {"--vented", nullptr, QT_TRANSLATE_NOOP("ToolText", "a vented box (bass reflex)")},
    {"--vb", "L", QT_TRANSLATE_NOOP("ToolText", "the box's net volume in litres: gives Vas from α")},
    {"--vb-sigma", "L", QT_TRANSLATE_NOOP("ToolText", "its uncertainty (3 % unless given)")},
    {"--free", "FREE", QT_TRANSLATE_NOOP("ToolText", "the driver's free-air curve, fitted jointly with the box")},
    {"--driver", "FILE.wdr", QT_TRANSLATE_NOOP("ToolText", "the driver from a driver file (σ from its comment)")},
    {"--fs", "HZ", QT_TRANSLATE_NOOP("ToolText", "the driver's Fs, given")},
    {"--qts", "Q", QT_TRANSLATE_NOOP("ToolText", "the driver's Qts, given")},
    {"--qms", "Q", QT_TRANSLATE_NOOP("ToolText", "the driver's Qms, given")},
    {"--qes", "Q", QT_TRANSLATE_NOOP("ToolText", "the driver's Qes, given")},
    {"--vas", "L", QT_TRANSLATE_NOOP("ToolText", "the driver's Vas in litres, given: gives Vab")},
    {"--driver-sigma", "PCT", QT_TRANSLATE_NOOP("ToolText", "the given driver values' uncertainty in % (Fs 1, Q 3, Vas 10 unless given)")},
    {"--re", "OHMS", QT_TRANSLATE_NOOP("ToolText", "the voice coil's DC resistance (the driver file's, or fitted, unless given)")},
    {"--re-sigma", "OHMS", QT_TRANSLATE_NOOP("ToolText", "its uncertainty (1 % unless given)")},
    {"--sd", "CM2", QT_TRANSLATE_NOOP("ToolText", "the cone's area: Vas from a driver file's Cms")},
    {"--model", "le|semi", QT_TRANSLATE_NOOP("ToolText", "the voice coil: jωLe or a semi-inductance (semi unless given)")},
    {"--fmin", "HZ", QT_TRANSLATE_NOOP("ToolText", "the range's lower end (the curves' start unless given)")},
    {"--fmax", "HZ", QT_TRANSLATE_NOOP("ToolText", "the range's upper end (6 times the highest peak unless given)")},
    {"--json", nullptr, QT_TRANSLATE_NOOP("ToolText", "one JSON object instead of the table")},
};

struct BoxOptions {
  QString error;
  QString boxed, free, driver;
  BoxInput in;
  double driverSigma = 0, sdCm2 = 0;
  bool json = false;
};

bool Positive(const QString& text, double& value) { return ParseDecimal(text, value) && value > 0; }

BoxOptions TakeBoxOptions(const CommandLine& line) {
  BoxOptions o;
  auto fail = [&o](const QString& why) {
    if (o.error.isEmpty()) o.error = why;
  };
  o.boxed = line.operands.value(0);
  double vb = 0, vbSigma = -1, re = 0, reSigma = -1, vas = 0;
  BoxDriver& d = o.in.driver;
  const struct {
    const char* name;
    double* value;
  } numbers[] = {{"--vb", &vb},     {"--vb-sigma", &vbSigma}, {"--fs", &d.fs},     {"--qts", &d.qts},
                 {"--qms", &d.qms}, {"--qes", &d.qes},        {"--vas", &vas},     {"--driver-sigma", &o.driverSigma},
                 {"--re", &re},     {"--re-sigma", &reSigma}, {"--sd", &o.sdCm2},  {"--fmin", &o.in.fmin},
                 {"--fmax", &o.in.fmax}};
  for (const auto& n : numbers)
    if (line.Has(n.name) && !Positive(line.Value(n.name), *n.value))
      fail(ToolText::tr("%1 must be a number above 0, not '%2'").arg(QLatin1String(n.name), line.Value(n.name)));
  if (line.Has("--closed") == line.Has("--vented")) fail(ToolText::tr("give either --closed or --vented"));
  o.in.kind = line.Has("--vented") ? BoxKind::Vented : BoxKind::Closed;
  o.free = line.Value("--free");
  o.driver = line.Value("--driver");
  const bool typed = line.Has("--fs") || line.Has("--qts") || line.Has("--qms") || line.Has("--qes") || line.Has("--vas");
  if (int(line.Has("--free")) + int(line.Has("--driver")) + int(typed) != 1)
    fail(ToolText::tr("give the driver by one of --free FREE, --driver FILE.wdr or --fs HZ with its Q values"));
  if (typed && !(line.Has("--fs") && (line.Has("--qts") || (line.Has("--qms") && line.Has("--qes")))))
    fail(ToolText::tr("the driver's values need --fs HZ and --qts Q (or --qms and --qes)"));
  if (line.Has("--driver-sigma") && line.Has("--free"))
    fail(ToolText::tr("--driver-sigma goes with --driver or the driver's values"));
  if (line.Has("--vb-sigma") && !line.Has("--vb")) fail(ToolText::tr("--vb-sigma goes with --vb"));
  if (line.Has("--re-sigma") && !line.Has("--re")) fail(ToolText::tr("--re-sigma goes with --re"));
  if (line.Has("--sd") && !line.Has("--driver")) fail(ToolText::tr("--sd goes with --driver"));
  const QString model = line.Value("--model", QStringLiteral("semi"));
  if (model == QLatin1String("le")) o.in.coil = CoilModel::Le;
  else if (model != QLatin1String("semi")) fail(ToolText::tr("--model takes le or semi"));
  if (o.in.fmin > 0 && o.in.fmax > 0 && !(o.in.fmin < o.in.fmax)) fail(ToolText::tr("--fmin must be below --fmax"));
  o.in.source = line.Has("--free") ? DriverSource::Free : line.Has("--driver") ? DriverSource::File : DriverSource::Typed;
  o.in.vb = vb * 1e-3;
  o.in.vbSigma = vbSigma > 0 ? vbSigma * 1e-3 : -1;
  o.in.re = re;
  o.in.reSigma = reSigma;
  d.vas = vas * 1e-3;
  o.json = line.Has("--json");
  return o;
}

// The driver file, or the exit status after the message.
int ReadDriver(const QString& file, const BoxOptions& o, BoxDriver& d, std::ostream& err) {
  InputFile input;
  QString why;
  if (!input.Open(file, why)) {
    SayFile(err, "box", file, why);
    return ExitUnreadable;
  }
  const LoadFailure failure = ReadDriverFile(input.Path(), d, o.sdCm2 * 1e-4);
  if (failure != LoadFailure::None && failure != LoadFailure::NotData) {
    SayFile(err, "box", file, LoadFailureText(failure, QString()));
    return ExitUnreadable;
  }
  if (failure == LoadFailure::NotData) {
    SayFile(err, "box", file, ToolText::tr("not a driver file with Fs and two of Qms, Qes, Qts"));
    return ExitFailed;
  }
  if (o.driverSigma > 0) TypedDriverSigmas(d, o.driverSigma);
  return Proceed;
}

bool Load(const QString& file, FitCurve& curve, std::ostream& err) {
  const std::unique_ptr<CurveSet> c = LoadCurve(file, 0, "box", err);
  if (!c) return false;
  curve = BandCurve(c->data, c->raw);
  return true;
}

QJsonValue Number(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null); }

}  // namespace

const Command BoxCommand{
    "box", "BOXED",
    QT_TRANSLATE_NOOP("ToolText", "a closed or vented box from the finished loudspeaker's curve: every value with its ±1σ"),
    BoxOptionTable, RunBox, 1, 1,
    QT_TRANSLATE_NOOP("ToolText", "Needs --closed or --vented and the driver: --free FREE (fitted jointly; its resonance\n"
                                  "may lie below the curve), --driver FILE.wdr, or --fs with --qts (or --qms and --qes).\n"
                                  "Vab needs the driver's Vas; Vas comes from α and --vb. Each curve format is read.")};

int RunBox(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(BoxCommand, args, line, out, err); status != Proceed) return status;
  BoxOptions o = TakeBoxOptions(line);
  if (!o.error.isEmpty()) return UsageError(BoxCommand, o.error, err);
  BoxInput& in = o.in;
  if (!Load(o.boxed, in.boxed, err)) return ExitUnreadable;
  if (in.source == DriverSource::Free && !Load(o.free, in.free, err)) return ExitUnreadable;
  if (in.source == DriverSource::File)
    if (const int status = ReadDriver(o.driver, o, in.driver, err); status != Proceed) return status;
  if (in.source == DriverSource::Typed) {
    BoxDriver& d = in.driver;
    if (d.qms > 0 && d.qes > 0 && !(d.qts > 0)) d.qts = d.qms * d.qes / (d.qms + d.qes);
    TypedDriverSigmas(d, o.driverSigma);
  }
  const BoxResult r = FitBox(in);
  if (!r.fit.Ok()) {
    const QString files[] = {o.free, o.boxed};
    if (r.fit.failedCurve == 0 || r.fit.failedCurve == 1)
      SayFile(err, "box", files[r.fit.failedCurve], FitFailureText(r.fit));
    else Say(err, "box", FitFailureText(r.fit));
    return ExitFailed;
  }
  Say(err, "box", ToolText::tr("note: %1").arg(DriverSourceText(r.source)));
  QStringList warnings, notes;
  for (BoxNote n : r.notes) {
    notes << BoxNoteText(n);
    Say(err, "box", ToolText::tr("note: %1").arg(notes.back()));
  }
  for (const FitNotice& n : r.fit.warnings) {
    warnings << FitWarningText(n);
    Say(err, "box", ToolText::tr("warning: %1").arg(warnings.back()));
  }
  const std::vector<Estimate> classic = r.Classic();
  const QString model = QLatin1String(in.kind == BoxKind::Closed ? "closed, " : "vented, ") +
                        QLatin1String(CoilModelName(in.coil));
  if (o.json) {
    QJsonObject json = QJsonDocument::fromJson(FitJson(r.fit, model, warnings)).object();
    QJsonObject values, sigmas;
    for (size_t v = 0; v < classic.size(); ++v) {
      if (!classic[v].has) continue;
      const ReportedValue& info = BoxValueInfoOf(int(v));
      values.insert(QLatin1String(info.key), Number(classic[v].value * info.scale));
      sigmas.insert(QLatin1String(info.key), Number(classic[v].sigma * info.scale));
    }
    if (r.vented.fTheta.has) {
      values.insert(QLatin1String("Fb_theta"), Number(r.vented.fTheta.value));
      sigmas.insert(QLatin1String("Fb_theta"), Number(r.vented.fTheta.sigma));
    }
    json.insert(QLatin1String("classic"), values);
    json.insert(QLatin1String("classic_sigma"), sigmas);
    json.insert(QLatin1String("driver"), QLatin1String(r.source == DriverSource::Free   ? "free"
                                                       : r.source == DriverSource::File ? "file"
                                                       : r.source == DriverSource::Typed ? "typed"
                                                                                         : "none"));
    json.insert(QLatin1String("notes"), QJsonArray::fromStringList(notes));
    out << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << '\n';
    return ExitOk;
  }
  out << BoxTableText(r).toStdString();
  return ExitOk;
}

}  // namespace kavo::cli
