// kavo-tool ts: the result-analysis window's peak list and parameter table.
#include <QFileInfo>
#include <cstdio>
#include <memory>
#include <ostream>

#include "analysis/Ts_analysis.h"
#include "analysis/Re.h"
#include "analysis/Ts_mechanics.h"
#include "cli/KavoTool.h"
#include "cli/Ts_mechanics_command.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"

namespace kavo::cli {
namespace {

const char* const RowNames[MaxPeaks] = {"ピーク値１", "ピーク値２", "ピーク値３", "ピーク値４", "ピーク値５"};

std::string Raw(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

int UsageError(std::ostream& err, const std::string& what) {
  err << "kavo-tool ts: " << what << "\nusage: kavo-tool ts FILE.DTA [--re OHMS] [--raw] [--sd CM2 (--added-mass G --loaded FILE2 | --box-litres V --boxed FILE2) [--rho KG/M3] [--c M/S]]\n";
  return ExitUsage;
}

}  // namespace

int RunTs(const QStringList& args, std::ostream& out, std::ostream& err) {
  QString file, reText;
  bool haveRe = false, raw = false;
  MechanicsOptions mechanics;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    std::string optionError;
    if (TakeMechanicsOption(args, i, mechanics, optionError)) {
      if (!optionError.empty()) return UsageError(err, optionError);
    } else if (a == QLatin1String("--re")) {
      if (i + 1 >= args.size()) return UsageError(err, "--re needs a value");
      reText = args[++i];
      haveRe = true;
    } else if (a == QLatin1String("--raw")) {
      raw = true;
    } else if (a.startsWith(QLatin1String("--"))) {
      return UsageError(err, "unknown option " + a.toStdString());
    } else if (file.isEmpty()) {
      file = a;
    } else {
      return UsageError(err, "one file only");
    }
  }
  if (file.isEmpty()) return UsageError(err, "no file given");
  float re = 0;
  if (haveRe && !TForm_Re::ParseNumber(reText, re)) {
    err << TsFailureText(TsFailure::BadRe).toStdString() << '\n';
    return ExitFailed;
  }
  if (mechanics.any)
    if (const int status = CheckMechanicsOptions(mechanics, haveRe, err); status != ExitOk) return status;

  // Read and convert exactly as "開く" does.
  auto s = std::make_unique<TsSession>();  // a few kilobytes: off the stack
  if (const int status = LoadTsSession(file, *s, err); status != ExitOk) return status;
  TsAnalysis& a = s->analysis;
  if (a.peakCount == 0) {
    err << TsFailureText(TsFailure::NoPeak).toStdString() << '\n';
    return ExitFailed;
  }
  auto value = [raw](float v, QString (*format)(float)) { return raw ? Raw(v) : format(v).toStdString(); };
  for (int row = 0; row < a.peakCount; ++row) {
    const int slot = a.peakSlots[row];
    out << RowNames[row] << '\t' << slot << '\t' << value(a.F(slot), FormatPeakValue) << '\t'
        << value(a.R(slot), FormatPeakValue) << '\n';
  }
  if (!haveRe) return ExitOk;

  TSResult result;
  const TsFailure failure = a.CalcTS(re, result);
  if (failure != TsFailure::None) {
    err << TsFailureText(failure).toStdString() << '\n';
    // A large driver's f1 often lies below 20 Hz; for the mechanical
    // parameters it is mirrored from f2, and said so.
    if (!(mechanics.any && failure == TsFailure::NoF1 &&
          CompleteWithMirroredF1(a, InterpolatedResonance(a, a.peakSlots[0]), result)))
      return ExitFailed;
    err << "kavo-tool ts: f1 lies below the band; taken as Fs²/f2 = " << Raw(result.f1) << " Hz\n";
  }
  for (int i = 0; i < TSFieldCount; ++i)
    out << TSFieldLabel(i).toStdString() << '\t' << value(TSField(result, i), FormatTSValue) << '\n';
  if (mechanics.any) return PrintMechanics(mechanics, a, result, raw, out, err);
  return ExitOk;
}

}  // namespace kavo::cli
