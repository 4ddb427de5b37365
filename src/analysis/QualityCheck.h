// Quality check and matching of drivers of one type, without any window:
// the tolerance rules (.kqc), each driver's curve compared with the
// reference's band and its parameters with their limits, the set's
// statistics, and the pairing of the drivers that are most alike.
// `kavo-tool qc`, `kavo-tool match` and the main window run it.
//
// A .kqc file: UTF-8 text, one `key = value` per line, `#` starts a comment,
// blank lines are ignored, keys are case-sensitive:
//   reference = PATH | mean    the reference curve (relative to the rules
//                              file) or the mean of the files checked
//   range = FMIN FMAX          Hz, the band of the curve comparison
//                              (default: the reference's band)
//   R = 10% | R = 0.5 ohm      allowed deviation of R at every point
//   theta = 8 deg              allowed deviation of θ (optional)
//   re = OHMS                  the voice coil's Re for the classical analysis
//   Fs = 5% | Qts = 0.35..0.45 a parameter's limit: ± percent of the
//                              reference's value, or an interval
// Parameters: Re Fs Qms Qes Qts (the classical three-point analysis) and,
// prefixed `fit.`, the model fit's values (fit.Fs, fit.Qts, fit.Le, ...).
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

#include "analysis/ModelFit.h"
#include "data/Kavo_setting.h"

namespace kavo {

// Parameter p: 0..4 the classical Re Fs Qms Qes Qts, then 5 + v the fit's value v.
enum QcClassical { QpRe, QpFs, QpQms, QpQes, QpQts, QcClassicalCount };
constexpr int QcParamCount = int(QcClassicalCount) + int(FitValueCount);
// "Fs", "fit.Fs", "fit.Le" (the fit's in display units: mH, g, L, ...).
std::string QcParamName(int p);
bool FindQcParam(const std::string& name, int& p);
inline bool IsFitParam(int p) { return p >= QcClassicalCount; }

// One driver: its curve over its band and its parameters.
struct QcMeasurement {
  FitCurve curve;  // ascending frequency
  std::array<double, QcParamCount> value{};
  std::array<bool, QcParamCount> has{};
  QString classicalFailure, fitFailure;  // why its parameters are missing
  FitFailure fitFailed = FitFailure::None;
};

// What the measurement needs: `re` > 0 gives the classical Re, Qms, Qes and
// Qts (Fs is the R peak's, with or without it); `fit` runs the model fit
// (Re held at `re`, fitted when `re` is 0).
struct QcAnalysis {
  double re = 0;
  bool fit = false;
  bool japanese = false;  // the language of the failure texts
  QString (*fitFailureText)(FitFailure) = nullptr;  // the caller's texts of fit failures
};
QcMeasurement MeasureDriver(const MeasureData& data, const PointValues& raw, const QcAnalysis& analysis);

enum class QcTolKind { None, Percent, Absolute };
struct QcTolerance {
  QcTolKind kind = QcTolKind::None;
  double value = 0;  // %, or Ω / deg
};

struct QcLimit {
  int param = 0;
  int line = 0;
  bool percent = false;
  double value = 0;      // ± percent
  double lo = 0, hi = 0;  // the interval
};

struct QcRules {
  QString reference;  // as written; empty with meanReference
  bool meanReference = false;
  int referenceLine = 0;
  double fmin = 0, fmax = 0;  // 0: the reference's band
  QcTolerance r, theta;
  double re = 0;
  std::vector<QcLimit> limits;
  bool NeedsFit() const;
};

struct QcRuleError {
  int line = 0;  // 1-based; 0 for the file as a whole
  QString reason;
};
// False with the first error; `rules` is then incomplete.
bool ParseQcRules(const QString& text, QcRules& rules, QcRuleError& error, bool japanese);

// The mean reference: R and θ averaged at the first curve's frequencies
// (those that every curve covers), each parameter over the drivers that have it.
QcMeasurement MeanMeasurement(const std::vector<const QcMeasurement*>& set);

// The window's rules: the .kqc file at `path` with its reference, the file it
// names (relative to the rules file) or, for `reference = mean`, the mean of
// the `count` reference sets `refs` with their raw values. False with the
// reason in Japanese, the line number first where a line is at fault.
bool LoadQcSetup(const QString& path, const MeasureData* refs, const PointValues* refRaw, int count, QcRules& rules,
                 QcMeasurement& reference, QString& why);

// The range the curves are compared over: the rules' or the reference's.
void QcRange(const QcRules& rules, const QcMeasurement& reference, double& fmin, double& fmax);

struct QcVerdict {
  bool pass = true;
  QStringList reasons;
};
// `m` against `reference` under `rules`: every run of reference points where
// the curve leaves the band (its frequencies and the worst deviation), and
// every parameter outside its limit (value and limit).
QcVerdict CheckDriver(const QcRules& rules, const QcMeasurement& reference, const QcMeasurement& m, bool japanese);

// The band's edges at the reference's points in the range, for pictures.
struct QcBand {
  std::vector<double> f, lo, hi, ref;
};
QcBand ToleranceBand(const QcRules& rules, const QcMeasurement& reference);

struct QcStats {
  int count = 0;
  double mean = 0, sigma = 0, min = 0, max = 0;  // σ: sample deviation (n − 1), 0 for one value
};
QcStats Statistics(const std::vector<double>& values);

// R at `f` on a curve, linear in log f between its points; false outside it.
bool CurveR(const FitCurve& c, double f, double& r);

// The matching distance of two drivers over fmin..fmax, in percent:
//   D = √(ΔR² + ΔFs² + ΔQts²)
//   ΔR   = RMS over 200 log-spaced frequencies of (Ra − Rb)/((Ra + Rb)/2) × 100
//   ΔFs  = |Fsa − Fsb| / ((Fsa + Fsb)/2) × 100  (the R peak's)
//   ΔQts = the same for the classical Qts, when both have one (needs re)
// Negative when the curves do not both cover the range.
double MatchDistance(const QcMeasurement& a, const QcMeasurement& b, double fmin, double fmax);
// The range that every curve covers; false when there is none.
bool CommonRange(const std::vector<const QcMeasurement*>& set, double& fmin, double& fmax);

struct MatchPair {
  int a = 0, b = 0;
  double distance = 0;
};
// Every pair's distance, then the closest pair first, the closest of the
// rest next, and so on (each driver in one pair at most); at most maxPairs
// (0: as many as there are).
std::vector<MatchPair> MatchPairs(const std::vector<const QcMeasurement*>& set, double fmin, double fmax,
                                  int maxPairs);

}  // namespace kavo
