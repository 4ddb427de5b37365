// kavo-tool ts: the result-analysis window's peak list and parameter table.
#include <QFileInfo>
#include <memory>
#include <ostream>

#include "analysis/Ts_analysis.h"
#include "analysis/Ts_mechanics.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "cli/Ts_mechanics_command.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"

namespace kavo::cli {
namespace {

const char* const RowNames[MaxPeaks] = {"ピーク値１", "ピーク値２", "ピーク値３", "ピーク値４", "ピーク値５"};

// The float in full (nine significant digits), a point whatever the locale.
std::string Raw(float value) { return QByteArray::number(static_cast<double>(value), 'g', 9).toStdString(); }

const Option TsOptions[] = {
    {"--re", "OHMS", QT_TRANSLATE_NOOP("ToolText", "the voice coil's DC resistance: adds the Thiele-Small parameters")},
    {"--raw", nullptr, QT_TRANSLATE_NOOP("ToolText", "the numbers in full, not rounded as the window shows them")},
    {"--sd", "CM2", QT_TRANSLATE_NOOP("ToolText", "the cone's area: adds the mechanical parameters")},
    {"--added-mass", "G", QT_TRANSLATE_NOOP("ToolText", "the mass added for the second measurement, in grams")},
    {"--loaded", "FILE2", QT_TRANSLATE_NOOP("ToolText", "the measurement with the added mass")},
    {"--box-litres", "L", QT_TRANSLATE_NOOP("ToolText", "the closed box's volume, in litres")},
    {"--boxed", "FILE2", QT_TRANSLATE_NOOP("ToolText", "the measurement in the closed box")},
    {"--rho", "KG/M3", QT_TRANSLATE_NOOP("ToolText", "the air's density (1.18 unless given)")},
    {"--c", "M/S", QT_TRANSLATE_NOOP("ToolText", "the speed of sound (345 unless given)")},
};

}  // namespace

const Command TsCommand{
    "ts", "FILE.DTA",
    QT_TRANSLATE_NOOP("ToolText", "resonance peaks, with --re the Thiele-Small parameters, with --sd the mechanical ones"),
    TsOptions, RunTs, 1, 1,
    QT_TRANSLATE_NOOP("ToolText", "--sd needs --re and either --added-mass G with --loaded FILE2 (added-mass method)\n"
                                  "or --box-litres L with --boxed FILE2 (closed-box method).")};

int RunTs(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(TsCommand, args, line, out, err); status != Proceed) return status;
  const QString file = line.operands.front();
  const bool haveRe = line.Has("--re"), raw = line.Has("--raw");
  const QString reText = line.Value("--re");
  const MechanicsOptions mechanics = TakeMechanicsOptions(line);
  float re = 0;
  if (haveRe && !ParseDecimal(reText, re)) {
    Say(err, "ts", TsFailureText(TsFailure::BadRe));
    return ExitFailed;
  }
  if (mechanics.any)
    if (const int status = CheckMechanicsOptions(mechanics, haveRe, err); status != ExitOk) return status;

  // Read and convert exactly as "開く" does.
  auto s = std::make_unique<TsSession>();  // a few kilobytes: off the stack
  if (const int status = LoadTsSession(file, *s, err); status != ExitOk) return status;
  TsAnalysis& a = s->analysis;
  if (a.peakCount == 0) {
    SayFile(err, "ts", file, TsFailureText(TsFailure::NoPeak));
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
  // For the mechanical parameters an f1 below the band is mirrored from f2, and said so.
  bool mirrored = false;
  const TsFailure failure = mechanics.any ? FreeDriverTable(a, re, result, mirrored) : a.CalcTS(re, result);
  if (failure != TsFailure::None || mirrored) {
    SayFile(err, "ts", file, TsFailureText(failure != TsFailure::None ? failure : TsFailure::NoF1));
    if (!mirrored) return ExitFailed;
    Say(err, "ts", ToolText::tr("f1 lies below the band; taken as Fs²/f2 = %1 Hz").arg(QString::fromStdString(Raw(result.f1))));
  }
  for (int i = 0; i < TSFieldCount; ++i)
    out << TSFieldLabel(i).toStdString() << '\t' << value(TSField(result, i), FormatTSValue) << '\n';
  if (mechanics.any) return PrintMechanics(mechanics, a, result, raw, out, err);
  return ExitOk;
}

}  // namespace kavo::cli
