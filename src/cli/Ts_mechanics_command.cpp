// kavo-tool ts: Mms, Cms, Rms, Bl, Vas and EBP by the added-mass or the
// closed-box method (formulas in analysis/Ts_mechanics and README.md).
#include "cli/Ts_mechanics_command.h"

#include <cmath>
#include <memory>
#include <ostream>

#include "analysis/Ts_mechanics.h"
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Stringutil.h"

namespace kavo::cli {
namespace {

int Refuse(std::ostream& err, const QString& what) {
  Say(err, "ts", what);
  return ExitFailed;
}

// A plain decimal number, as the Re window takes it; false for text.
bool Quantity(const QString& text, double& value) {
  float v = 0;
  if (!ParseDecimal(text, v)) return false;
  value = v;
  return true;
}

// A point whatever the locale.
std::string Text(double v, int decimals, bool raw) {
  if (raw) return QByteArray::number(v, 'g', 9).toStdString();
  if (!std::isfinite(v)) return "---";
  return QByteArray::number(v, 'f', decimals).toStdString();
}

}  // namespace

int LoadTsSession(const QString& file, TsSession& s, std::ostream& err) {
  InputFile input;
  QString why;
  if (!input.Open(file, why)) {
    SayFile(err, "ts", file, why);
    return ExitUnreadable;
  }
  if (const LoadFailure failure = OpenTsSession(input.Path(), s, why); failure != LoadFailure::None) {
    SayFile(err, "ts", file, LoadFailureText(failure, why));
    return ExitUnreadable;
  }
  return ExitOk;
}

MechanicsOptions TakeMechanicsOptions(const CommandLine& line) {
  struct Field {
    const char* name;
    QString MechanicsOptions::*value;
  };
  static const Field fields[] = {
      {"--sd", &MechanicsOptions::sd},         {"--added-mass", &MechanicsOptions::mass},
      {"--loaded", &MechanicsOptions::loaded}, {"--box-litres", &MechanicsOptions::box},
      {"--boxed", &MechanicsOptions::boxed},   {"--rho", &MechanicsOptions::rho},
      {"--c", &MechanicsOptions::c},
  };
  MechanicsOptions o;
  for (const Field& f : fields) {
    if (!line.Has(f.name)) continue;
    o.*f.value = line.Value(f.name);
    o.any = true;
  }
  return o;
}

int CheckMechanicsOptions(const MechanicsOptions& o, bool haveRe, std::ostream& err) {
  const bool massMethod = !o.mass.isEmpty() || !o.loaded.isEmpty();
  const bool boxMethod = !o.box.isEmpty() || !o.boxed.isEmpty();
  if (o.sd.isEmpty())
    return Refuse(err, ToolText::tr("the mechanical parameters need --sd CM2 (the cone area)"));
  if (!haveRe) return Refuse(err, ToolText::tr("the mechanical parameters need --re OHMS"));
  if (massMethod && boxMethod)
    return Refuse(err, ToolText::tr("give either --added-mass/--loaded or --box-litres/--boxed, not both"));
  if (!massMethod && !boxMethod)
    return Refuse(err, ToolText::tr("--sd needs --added-mass GRAMS --loaded FILE or --box-litres L --boxed FILE"));
  if (massMethod && (o.mass.isEmpty() || o.loaded.isEmpty()))
    return Refuse(err, ToolText::tr("the added-mass method needs both --added-mass GRAMS and --loaded FILE"));
  if (boxMethod && (o.box.isEmpty() || o.boxed.isEmpty()))
    return Refuse(err, ToolText::tr("the closed-box method needs both --box-litres L and --boxed FILE"));
  struct Value {
    const QString* text;
    const char* what;
  };
  for (const Value& v : {Value{&o.sd, "--sd (cm²)"}, Value{&o.mass, "--added-mass (g)"},
                         Value{&o.box, "--box-litres (L)"}, Value{&o.rho, "--rho (kg/m³)"},
                         Value{&o.c, "--c (m/s)"}}) {
    if (v.text->isEmpty()) continue;
    double x = 0;
    if (!Quantity(*v.text, x) || !(x > 0))
      return Refuse(err, ToolText::tr("%1 must be a number above 0, not '%2'").arg(QString::fromUtf8(v.what), *v.text));
  }
  return ExitOk;
}

int PrintMechanics(const MechanicsOptions& o, const TsAnalysis& free, const TSResult& table, bool raw,
                   std::ostream& out, std::ostream& err) {
  const bool boxMethod = !o.boxed.isEmpty();
  MechanicsInput in;
  in.method = boxMethod ? MassMethod::ClosedBox : MassMethod::AddedMass;
  double sdCm2 = 0, grams = 0, litres = 0;
  Quantity(o.sd, sdCm2);
  in.sd = sdCm2 * 1e-4;
  if (!o.rho.isEmpty()) Quantity(o.rho, in.rho);
  if (!o.c.isEmpty()) Quantity(o.c, in.c);
  if (boxMethod && Quantity(o.box, litres)) in.box = litres * 1e-3;
  if (!boxMethod && Quantity(o.mass, grams)) in.mass = grams * 1e-3;

  const QString& second = boxMethod ? o.boxed : o.loaded;
  auto s = std::make_unique<TsSession>();
  if (const int status = LoadTsSession(second, *s, err); status != ExitOk) return status;
  if (const TsFailure failure = MeasureMechanics(free, table, s->analysis, in); failure != TsFailure::None) {
    SayFile(err, "ts", second, TsFailureText(failure));
    return ExitFailed;
  }
  const double fs2 = boxMethod ? in.fsBox : in.fsLoaded;
  MechanicsResult r;
  if (const MechanicsFailure failure = CalcMechanics(in, r); failure.code != MechanicsFailure::None)
    return Refuse(err, MechanicsFailureText(failure));

  out << (boxMethod ? "Fc [ Hz ]" : "Fs' [ Hz ]") << '\t' << Text(fs2, 2, raw) << '\n'
      << "Mms [ g ]\t" << Text(r.Mms * 1e3, 2, raw) << '\n'
      << "Cms [ mm/N ]\t" << Text(r.Cms * 1e3, 3, raw) << '\n'
      << "Rms [ kg/s ]\t" << Text(r.Rms, 2, raw) << '\n'
      << "Bl [ T·m ]\t" << Text(r.Bl, 2, raw) << '\n'
      << "Vas [ L ]\t" << Text(r.Vas * 1e3, 2, raw) << '\n'
      << "EBP [ Hz ]\t" << Text(r.EBP, 2, raw) << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
