// kavo-tool fit: the driver's model fitted to one free-air curve, or jointly
// with the same driver loaded by a mass and/or in a closed box
// (analysis/ModelFit). Prints name, value, ±σ and unit per line, or one JSON
// object, and can write a WinISD-style driver file.
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <ostream>

#include "analysis/Curves.h"
#include "analysis/FitReport.h"
#include "analysis/ModelFit.h"
#include "cli/Curves.h"
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Kavo_setting.h"
#include "data/Stringutil.h"

namespace kavo::cli {
namespace {

const Option FitOptionTable[] = {
    {"--re", "OHMS", QT_TRANSLATE_NOOP("ToolText", "the voice coil's DC resistance, held fixed")},
    {"--re-sigma", "OHMS", QT_TRANSLATE_NOOP("ToolText", "the σ of the given Re (1 % of it unless given)")},
    {"--fit-re", nullptr, QT_TRANSLATE_NOOP("ToolText", "fit Re as well (instead of --re)")},
    {"--model", "le|lr2|semi", QT_TRANSLATE_NOOP("ToolText", "the voice coil: jωLe, an LR2 network or a semi-inductance (semi unless given)")},
    {"--creep", nullptr, QT_TRANSLATE_NOOP("ToolText", "model the suspension's creep (the default)")},
    {"--no-creep", nullptr, QT_TRANSLATE_NOOP("ToolText", "a plain compliance")},
    {"--fmin", "HZ", QT_TRANSLATE_NOOP("ToolText", "the range's lower end (the curve's start unless given)")},
    {"--fmax", "HZ", QT_TRANSLATE_NOOP("ToolText", "the range's upper end (6 times the R peak's frequency unless given)")},
    {"--sd", "CM2", QT_TRANSLATE_NOOP("ToolText", "the cone's area: adds Vas, needed with a box")},
    {"--added-mass", "G", QT_TRANSLATE_NOOP("ToolText", "the mass added for the second measurement, in grams")},
    {"--mass-sigma", "G", QT_TRANSLATE_NOOP("ToolText", "the σ of the added mass (0.5 % of it unless given)")},
    {"--loaded", "FILE", QT_TRANSLATE_NOOP("ToolText", "the measurement with the added mass")},
    {"--box-litres", "L", QT_TRANSLATE_NOOP("ToolText", "the closed box's volume, in litres")},
    {"--boxed", "FILE", QT_TRANSLATE_NOOP("ToolText", "the measurement in the closed box")},
    {"--json", nullptr, QT_TRANSLATE_NOOP("ToolText", "one JSON object instead of the table")},
    {"--wdr", "OUT.wdr", QT_TRANSLATE_NOOP("ToolText", "also write a WinISD-style driver file (SI units)")},
    {"--brand", "TEXT", QT_TRANSLATE_NOOP("ToolText", "the driver file's Brand")},
    {"--model-name", "TEXT", QT_TRANSLATE_NOOP("ToolText", "the driver file's Model")},
    {"--comment", "TEXT", QT_TRANSLATE_NOOP("ToolText", "the start of the driver file's Comment")},
};

struct FitOptions {
  QString error;  // empty when the command line is sound
  QString free, loaded, boxed, wdr, brand, modelName, comment;
  bool fitRe = false, json = false, creep = true;
  double re = 0, fmin = 0, fmax = 0, sdCm2 = 0, massG = 0, boxL = 0;
  std::optional<double> reSigma, massSigmaG;
  CoilModel coil = CoilModel::Semi;
};

// A finite number above 0, as the windows take it.
bool Positive(const QString& text, double& value) { return ParseDecimal(text, value) && value > 0; }

// The parsed command line as the fit's options, `error` naming what is wrong.
FitOptions TakeFitOptions(const CommandLine& line) {
  FitOptions o;
  auto fail = [&o](const QString& why) {
    if (o.error.isEmpty()) o.error = why;
  };
  o.free = line.operands.value(0);
  const struct {
    const char* name;
    double* value;
  } numbers[] = {{"--re", &o.re},     {"--fmin", &o.fmin},         {"--fmax", &o.fmax},
                 {"--sd", &o.sdCm2}, {"--added-mass", &o.massG}, {"--box-litres", &o.boxL}};
  for (const auto& n : numbers)
    if (line.Has(n.name) && !Positive(line.Value(n.name), *n.value))
      fail(ToolText::tr("%1 must be a number above 0, not '%2'").arg(QLatin1String(n.name), line.Value(n.name)));
  // σ of an input: a finite number, 0 or above.
  const struct {
    const char* name;
    std::optional<double>* value;
  } sigmas[] = {{"--re-sigma", &o.reSigma}, {"--mass-sigma", &o.massSigmaG}};
  for (const auto& n : sigmas) {
    if (!line.Has(n.name)) continue;
    bool ok = false;
    const double v = line.Value(n.name).trimmed().toDouble(&ok);
    if (ok && std::isfinite(v) && v >= 0) *n.value = v;
    else fail(ToolText::tr("%1 must be a number, 0 or above, not '%2'").arg(QLatin1String(n.name), line.Value(n.name)));
  }
  if (line.Has("--re-sigma") && !line.Has("--re")) fail(ToolText::tr("--re-sigma goes with --re"));
  if (line.Has("--mass-sigma") && !line.Has("--added-mass")) fail(ToolText::tr("--mass-sigma goes with --added-mass"));
  o.loaded = line.Value("--loaded");
  o.boxed = line.Value("--boxed");
  o.wdr = line.Value("--wdr");
  o.brand = line.Value("--brand");
  o.modelName = line.Value("--model-name");
  o.comment = line.Value("--comment");
  // One line each in the driver file: a line break would start a key of its own.
  for (const QString* text : {&o.brand, &o.modelName, &o.comment})
    if (std::any_of(text->begin(), text->end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
      fail(ToolText::tr("%1 must not hold line breaks or other control characters").arg(text == &o.brand ? "--brand" : text == &o.modelName ? "--model-name" : "--comment"));
  o.fitRe = line.Has("--fit-re");
  o.json = line.Has("--json");
  o.creep = !line.Has("--no-creep");
  if (line.Has("--model") && !ParseCoilModel(line.Value("--model"), o.coil))
    fail(ToolText::tr("--model takes le, lr2 or semi"));
  if (line.Has("--creep") && line.Has("--no-creep")) fail(ToolText::tr("give --creep or --no-creep, not both"));
  if (line.Has("--re") == o.fitRe) fail(ToolText::tr("give either --re OHMS or --fit-re"));
  if (line.Has("--added-mass") != line.Has("--loaded"))
    fail(ToolText::tr("--added-mass G and --loaded FILE go together"));
  if (line.Has("--box-litres") != line.Has("--boxed"))
    fail(ToolText::tr("--box-litres L and --boxed FILE go together"));
  if (line.Has("--boxed") && !line.Has("--sd")) fail(ToolText::tr("the closed box needs --sd CM2"));
  if (o.fmin > 0 && o.fmax > 0 && !(o.fmin < o.fmax)) fail(ToolText::tr("--fmin must be below --fmax"));
  if (!line.Has("--wdr") && (line.Has("--brand") || line.Has("--model-name") || line.Has("--comment")))
    fail(ToolText::tr("--brand, --model-name and --comment go with --wdr"));
  return o;
}

// A curve as the fit takes it: the band's slots of the converted data.
bool Load(const QString& file, FitCurve& curve, std::ostream& err) {
  const std::unique_ptr<CurveSet> c = LoadCurve(file, 0, "fit", err);
  if (!c) return false;
  curve = BandCurve(c->data, c->raw);
  return true;
}

}  // namespace

const Command FitCommand{
    "fit", "FREE.DTA",
    QT_TRANSLATE_NOOP("ToolText", "the driver's model fitted to the curve(s): every value with its ±1σ"),
    FitOptionTable, RunFit, 1, 1,
    QT_TRANSLATE_NOOP("ToolText", "Needs --re OHMS or --fit-re. Tables (.zma, .csv, .txt) are read wherever a .DTA is.\n"
                                  "Mms, Cms, Rms and Bl need a second curve (--added-mass with --loaded, or\n"
                                  "--box-litres with --boxed and --sd); Vas needs --sd as well.")};

int RunFit(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(FitCommand, args, line, out, err); status != Proceed) return status;
  const FitOptions o = TakeFitOptions(line);
  if (!o.error.isEmpty()) return UsageError(FitCommand, o.error, err);
  if (!o.wdr.isEmpty())
    if (const int status = CheckOutput(FitCommand, o.wdr, {o.free, o.loaded, o.boxed}, {"wdr"}, err); status != Proceed)
      return status;
  FitInput in;
  if (!Load(o.free, in.free, err)) return ExitUnreadable;
  if (!o.loaded.isEmpty() && !Load(o.loaded, in.loaded, err)) return ExitUnreadable;
  if (!o.boxed.isEmpty() && !Load(o.boxed, in.boxed, err)) return ExitUnreadable;
  in.coil = o.coil;
  in.creep = o.creep;
  in.fitRe = o.fitRe;
  in.re = o.re;
  in.fmin = o.fmin;
  in.fmax = o.fmax;
  in.sd = o.sdCm2 * 1e-4;
  in.addedMass = o.massG * 1e-3;
  in.boxVolume = o.boxL * 1e-3;
  in.reSigma = o.reSigma;
  if (o.massSigmaG) in.massSigma = *o.massSigmaG * 1e-3;
  const FitResult r = FitDriver(in);
  if (!r.Ok()) {
    const QString files[] = {o.free, o.loaded, o.boxed};
    if (r.failedCurve >= 0 && r.failedCurve < 3) SayFile(err, "fit", files[r.failedCurve], FitFailureText(r));
    else Say(err, "fit", FitFailureText(r));
    return ExitFailed;
  }
  QStringList warnings;
  for (const FitNotice& n : r.warnings) {
    warnings << FitWarningText(n);
    Say(err, "fit", ToolText::tr("warning: %1").arg(warnings.back()));
  }
  if (o.json) out << FitJson(r, QLatin1String(CoilModelName(o.coil)), warnings).toStdString() << '\n';
  else out << FitTableText(r).toStdString();
  if (!o.wdr.isEmpty()) {
    const QByteArray text = WdrText(r, ModelDescription(o.coil, o.creep), {o.brand, o.modelName, o.comment});
    if (!WriteOutput(o.wdr, text, out)) {
      SayFile(err, "fit", o.wdr, CannotBeWrittenText(), true);
      return ExitFailed;
    }
  }
  return ExitOk;
}

}  // namespace kavo::cli
