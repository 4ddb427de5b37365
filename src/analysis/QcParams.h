// The values a quality check can put limits on, in families: `ts.` the
// classical three-point analysis (its keys also without the prefix: Fs,
// Qts), `fit.` the model fit's reported values, `part.` a crossover part's
// (part.L in mH, part.Rdc, part.C in µF, ...). A family is one entry of the
// table in QcParams.cpp; a value the family's analysis reports becomes a
// .kqc key by itself. Parameter p counts through the families in order.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "analysis/ModelFit.h"
#include "analysis/PartModel.h"
#include "analysis/Ts_analysis.h"
#include "data/Kavo_setting.h"

namespace kavo {

// Why a driver has no value of a parameter.
enum class QcMissing { None, Analysis, NoRe, Fit, NotReported, Part };

// One driver: its curve over its band and its parameters (display units:
// mH, g, L, ...), with the reason of each family that failed.
struct QcMeasurement {
  FitCurve curve;  // ascending frequency
  std::vector<double> value;
  std::vector<bool> has;
  TsFailure tsFailure = TsFailure::None;  // with QcMissing::Analysis
  FitFailure fitFailure = FitFailure::None;  // with QcMissing::Fit
  PartFailure partFailure = PartFailure::None;  // with QcMissing::Part
  // Why parameter p is missing (None when it is there).
  QcMissing Missing(int p) const;
  std::vector<QcMissing> missing;  // per family
};

// What the measurement needs: `re` > 0 gives the classical Re, Qms, Qes and
// Qts (Fs is the R peak's, with or without it) and holds the fit's Re (fitted
// when 0); `families[i]` runs family i's analysis (the classical one always runs).
struct QcAnalysis {
  double re = 0;
  std::vector<bool> families;
};

struct QcFamily {
  const char* prefix;  // "ts.", "fit."
  bool bare;           // its keys are taken without the prefix too
  int count;
  std::string (*name)(int k);        // value k's name in keys ("Fs", "Le")
  bool (*determined)(int k);         // can the check's analysis give value k at all
  void (*measure)(const MeasureData& data, const PointValues& raw, const QcAnalysis& analysis, QcMeasurement& m,
                  int first);
};
const std::vector<QcFamily>& QcFamilies();
enum { QcTsFamily, QcFitFamily, QcPartFamily };

int QcParamCount();
// The family of parameter p and its index in it.
int QcFamilyOf(int p, int* index = nullptr);
// "Fs", "fit.Fs", "fit.Le" (the classical ones without their prefix).
std::string QcParamName(int p);
// Any spelling the rules take ("ts.Fs" as well as "Fs", "fit.lambda" for λ).
bool FindQcParam(const std::string& name, int& p);

// The unit a limit's numbers may carry ("mH" for part.L), "" for none.
const char* QcParamUnit(int p);

// The classical parameters by name, for matching.
int QcTsParam(const char* name);

QcMeasurement MeasureDriver(const MeasureData& data, const PointValues& raw, const QcAnalysis& analysis);

// Four significant digits, whole numbers from 1000 up (never an exponent):
// the numbers of the texts that explain a verdict.
QString QcNumber(double v);
// A limit's interval: "2.09..2.31", "..0.5" and "2.." for an open end.
QString QcInterval(double lo, double hi);

}  // namespace kavo
