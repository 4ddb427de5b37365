// kavo-tool ts: the result-analysis window's peak list and parameter table.
#include <QFileInfo>
#include <cstdio>
#include <memory>
#include <ostream>

#include "analysis/Kavo_calc_method.h"
#include "analysis/Re.h"
#include "cli/KavoTool.h"
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
  err << "kavo-tool ts: " << what << "\nusage: kavo-tool ts FILE.DTA [--re OHMS] [--raw]\n";
  return ExitUsage;
}

// The measurement, its values and the search, as the window holds them.
struct Session {
  MeasureData data;
  PointValues raw, ave, smooth;
  TsAnalysis analysis;
};

}  // namespace

int RunTs(const QStringList& args, std::ostream& out, std::ostream& err) {
  QString file, reText;
  bool haveRe = false, raw = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--re")) {
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

  // Read and convert exactly as "開く" does.
  auto s = std::make_unique<Session>();  // a few kilobytes: off the stack
  const KAVO_File files;
  if (!files.ReadDataFile(file, nullptr, nullptr, &s->data)) {
    err << "データファイルの内容が正しくありませんでした\n";
    return ExitUnreadable;
  }
  if (!files.ConvertData(&s->data, &s->raw, &s->ave)) {
    err << "データエラーで計算できませんでした\n";
    return ExitUnreadable;
  }
  s->data.valid = 1;
  MakeSmoothValues(s->raw, s->data.band, s->smooth);
  TsAnalysis& a = s->analysis;
  a.SetSource(&s->raw, &s->smooth, &s->data);
  a.FindPeaks();
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
    return ExitFailed;
  }
  for (int i = 0; i < TSFieldCount; ++i)
    out << TSFieldLabel(i).toStdString() << '\t' << value(TSField(result, i), FormatTSValue) << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
