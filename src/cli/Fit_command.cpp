// kavo-tool fit: the driver's model fitted to one free-air curve, or jointly
// with the same driver loaded by a mass and/or in a closed box
// (analysis/ModelFit). Prints name, value, ±σ and unit per line, or one JSON
// object, and can write a WinISD-style driver file.
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <sstream>

#include "analysis/ModelFit.h"
#include "cli/Curves.h"
#include "cli/KavoTool.h"
#include "data/Kavo_setting.h"

namespace kavo::cli {
namespace {

const char* const FitUsage =
    "usage: kavo-tool fit FREE.DTA [--re OHMS | --fit-re] [--model le|lr2|semi] [--creep|--no-creep]\n"
    "         [--fmin HZ] [--fmax HZ] [--sd CM2] [--added-mass G --loaded FILE] [--box-litres L --boxed FILE]\n"
    "         [--json] [--wdr OUT.wdr [--brand TEXT] [--model-name TEXT]]\n";

struct FitOptions {
  QString free, loaded, boxed, wdr, brand, modelName;
  bool haveRe = false, fitRe = false, json = false, creep = true;
  double re = 0, fmin = 0, fmax = 0, sdCm2 = 0, massG = 0, boxL = 0;
  CoilModel coil = CoilModel::Semi;
};

// A finite number above 0 ("." as decimal point, whatever the locale).
bool Positive(const QString& text, double& value) {
  bool ok = false;
  value = text.trimmed().toDouble(&ok);
  return ok && std::isfinite(value) && value > 0;
}

// The command line as options; false with `error` for anything wrong.
bool ParseFitArgs(const QStringList& args, FitOptions& o, std::string& error) {
  struct Number {
    const char* name;
    double FitOptions::*value;
  };
  static const Number numbers[] = {
      {"--re", &FitOptions::re},         {"--fmin", &FitOptions::fmin},
      {"--fmax", &FitOptions::fmax},     {"--sd", &FitOptions::sdCm2},
      {"--added-mass", &FitOptions::massG}, {"--box-litres", &FitOptions::boxL},
  };
  struct Text {
    const char* name;
    QString FitOptions::*value;
  };
  static const Text texts[] = {
      {"--loaded", &FitOptions::loaded}, {"--boxed", &FitOptions::boxed}, {"--wdr", &FitOptions::wdr},
      {"--brand", &FitOptions::brand},   {"--model-name", &FitOptions::modelName},
  };
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    bool taken = false;
    for (const Number& n : numbers) {
      if (a != QLatin1String(n.name)) continue;
      if (!hasValue) return error = std::string(n.name) + " needs a value", false;
      if (!Positive(args[++i], o.*n.value))
        return error = std::string(n.name) + " must be a number above 0, not '" + args[i].toStdString() + "'", false;
      if (n.value == &FitOptions::re) o.haveRe = true;
      taken = true;
    }
    for (const Text& t : texts) {
      if (a != QLatin1String(t.name)) continue;
      if (!hasValue) return error = std::string(t.name) + " needs a value", false;
      o.*t.value = args[++i];
      taken = true;
    }
    if (taken) continue;
    if (a == QLatin1String("--model")) {
      if (!hasValue || !ParseCoilModel(args[++i], o.coil)) return error = "--model takes le, lr2 or semi", false;
    } else if (a == QLatin1String("--fit-re")) {
      o.fitRe = true;
    } else if (a == QLatin1String("--creep")) {
      o.creep = true;
    } else if (a == QLatin1String("--no-creep")) {
      o.creep = false;
    } else if (a == QLatin1String("--json")) {
      o.json = true;
    } else if (a.startsWith(QLatin1String("--"))) {
      return error = "unknown option " + a.toStdString(), false;
    } else if (o.free.isEmpty()) {
      o.free = a;
    } else {
      return error = "one free-air file only (the others go with --loaded and --boxed)", false;
    }
  }
  if (o.free.isEmpty()) return error = "no file given", false;
  if (o.haveRe == o.fitRe) return error = "give either --re OHMS or --fit-re", false;
  if ((o.massG > 0) != !o.loaded.isEmpty()) return error = "--added-mass G and --loaded FILE go together", false;
  if ((o.boxL > 0) != !o.boxed.isEmpty()) return error = "--box-litres L and --boxed FILE go together", false;
  if (o.boxL > 0 && !(o.sdCm2 > 0)) return error = "the closed box needs --sd CM2", false;
  if (o.fmin > 0 && o.fmax > 0 && !(o.fmin < o.fmax)) return error = "--fmin must be below --fmax", false;
  if (o.wdr.isEmpty() && (!o.brand.isEmpty() || !o.modelName.isEmpty()))
    return error = "--brand and --model-name go with --wdr", false;
  return true;
}

// A curve as the fit takes it: the band's slots of the converted data.
bool Load(const QString& file, FitCurve& curve, std::ostream& err) {
  const std::unique_ptr<Curve> c = LoadCurve(file, true, 0, "fit", err);
  if (!c) return false;
  const int32_t band = c->data.band;
  curve = CurveFromSlots(c->raw.R, c->raw.Theta, c->raw.Freq, BandFirstSlot(band), BandLastSlot(band));
  return true;
}

std::string Format(const char* format, double v) {
  char text[48];
  std::snprintf(text, sizeof text, format, v);
  return text;
}

// Value and σ with as many decimals as two significant digits of σ need.
void ValueAndSigma(double value, double sigma, std::string& v, std::string& s) {
  if (std::isfinite(sigma) && sigma > 0) {
    const int decimals = std::clamp(1 - int(std::floor(std::log10(sigma))), 0, 9);
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    v = text;
    std::snprintf(text, sizeof text, "%.*f", decimals, sigma);
    s = text;
  } else {
    v = Format("%.6g", value);
    s = std::isfinite(sigma) ? "0" : "---";
  }
}

std::string JsonString(const QString& text) {
  std::string out = "\"";
  for (const char ch : text.toStdString()) {
    if (ch == '"' || ch == '\\') out += '\\', out += ch;
    else if (static_cast<unsigned char>(ch) < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04x", unsigned(ch));
      out += code;
    }
    else out += ch;
  }
  return out + "\"";
}

std::string JsonNumber(double v) { return std::isfinite(v) ? Format("%.9g", v) : "null"; }

void PrintJson(const FitResult& r, CoilModel coil, std::ostream& out) {
  std::string values, sigmas;
  for (int v = 0; v < FitValueCount; ++v) {
    if (!r.has[size_t(v)]) continue;
    const FitValueInfo& info = FitValueInfoOf(v);
    const std::string sep = values.empty() ? "" : ", ";
    values += sep + "\"" + info.key + "\": " + JsonNumber(r.value[size_t(v)] * info.scale);
    sigmas += sep + "\"" + info.key + "\": " + JsonNumber(r.sigma[size_t(v)] * info.scale);
  }
  std::string warnings;
  for (const FitNotice& n : r.warnings)
    warnings += (warnings.empty() ? "" : ", ") + JsonString(FitWarningText(n, false));
  out << "{\"values\": {" << values << "}, \"sigma\": {" << sigmas << "}, \"residual_rms\": " << JsonNumber(r.residual)
      << ", \"model\": \"" << CoilModelName(coil) << "\", \"range_hz\": [" << JsonNumber(r.fmin) << ", "
      << JsonNumber(r.fmax) << "], \"warnings\": [" << warnings << "]}\n";
}

void PrintTable(const FitResult& r, std::ostream& out) {
  for (int v = 0; v < FitValueCount; ++v) {
    if (!r.has[size_t(v)]) continue;
    const FitValueInfo& info = FitValueInfoOf(v);
    std::string value, sigma;
    ValueAndSigma(r.value[size_t(v)] * info.scale, r.sigma[size_t(v)] * info.scale, value, sigma);
    out << info.name << '\t' << value << "\t±" << sigma << '\t' << info.unit << '\n';
  }
  out << "residual\t" << Format("%.3f", r.residual * 100) << "\t\t%\n";
}

// The WinISD-style driver file: SI units (H, m/N, kg, m², m³); only what the
// fit determined. A semi-inductance is given as the Le of its reactance at
// 1 kHz.
std::string WdrText(const FitResult& r, const FitOptions& o) {
  std::ostringstream t;
  auto key = [&](const char* name, double v) {
    if (std::isfinite(v)) t << name << '=' << Format("%.9g", v) << '\n';
  };
  t << "[Driver]\n"
    << "Brand=" << o.brand.toStdString() << '\n'
    << "Model=" << o.modelName.toStdString() << '\n'
    << "Comment=KAVO model fit (" << CoilModelName(o.coil) << (o.creep ? ", creep" : "") << "), "
    << Format("%.0f", r.fmin) << "-" << Format("%.0f", r.fmax) << " Hz, residual "
    << Format("%.2f", r.residual * 100) << " %\n";
  key("Fs", r.value[FvFs]);
  key("Re", r.value[FvRe]);
  if (r.has[FvLe]) key("Le", r.value[FvLe]);
  else if (r.has[FvK]) {
    const double w = 2 * M_PI * 1000.0;
    key("Le", r.value[FvK] * std::pow(w, r.value[FvN]) * std::sin(r.value[FvN] * M_PI / 2) / w);
  }
  if (r.has[FvBl]) key("BL", r.value[FvBl]);
  if (r.has[FvCms]) key("Cms", r.value[FvCms]);
  key("Qms", r.value[FvQms]);
  key("Qes", r.value[FvQes]);
  key("Qts", r.value[FvQts]);
  if (r.has[FvMms]) key("Mms", r.value[FvMms]);
  if (o.sdCm2 > 0) key("Sd", o.sdCm2 * 1e-4);
  if (r.has[FvVas]) key("Vas", r.value[FvVas]);
  key("EBP", r.value[FvEBP]);
  return t.str();
}

}  // namespace

int RunFit(const QStringList& args, std::ostream& out, std::ostream& err) {
  FitOptions o;
  std::string error;
  if (!ParseFitArgs(args, o, error)) {
    err << "kavo-tool fit: " << error << '\n' << FitUsage;
    return ExitUsage;
  }
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
  const FitResult r = FitDriver(in);
  if (!r.Ok()) {
    err << "kavo-tool fit: " << FitFailureText(r.failure, false).toStdString() << '\n';
    return ExitFailed;
  }
  for (const FitNotice& n : r.warnings) err << "kavo-tool fit: warning: " << FitWarningText(n, false).toStdString() << '\n';
  if (o.json) PrintJson(r, o.coil, out);
  else PrintTable(r, out);
  if (!o.wdr.isEmpty() && !SaveText(o.wdr, WdrText(r, o))) {
    err << "kavo-tool fit: cannot write " << o.wdr.toStdString() << '\n';
    return ExitFailed;
  }
  return ExitOk;
}

}  // namespace kavo::cli
