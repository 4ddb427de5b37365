// The quality check of one driver against a reference under tolerance rules:
// every run of the reference's points where its curve leaves the band, and
// every parameter outside its limit, as records that the window and
// kavo-tool put into words; the mean reference, the band for pictures and
// the set's statistics.
#pragma once

#include <vector>

#include "analysis/QcParams.h"
#include "analysis/QcRules.h"

namespace kavo {

enum class QcChannel { R, Theta };

enum class QcReasonKind {
  OutsideBand,     // channel, f1..f2, measured: the worst deviation, allowed: ±, percent
  NotCovered,      // the curve leaves out points of the range f1..f2
  NoPointInRange,  // the curve has no point at all in the range f1..f2
  OutsideLimit,    // param, measured: its value, lo..hi; percent: refValue ± allowed %
  NotDetermined,   // param, missing (with the measurement's tsFailure / fitFailure)
  NoReferenceValue,  // param: the reference has no value for a percent limit
};

struct QcReason {
  QcReasonKind kind = QcReasonKind::OutsideBand;
  QcChannel channel = QcChannel::R;
  int param = -1;
  bool percent = false;
  double f1 = 0, f2 = 0;
  double measured = 0;
  double allowed = 0;
  double lo = 0, hi = 0;
  double refValue = 0;
  QcMissing missing = QcMissing::None;
  TsFailure tsFailure = TsFailure::None;
  FitFailure fitFailure = FitFailure::None;
  PartFailure partFailure = PartFailure::None;
};

struct QcVerdict {
  bool pass = true;
  std::vector<QcReason> reasons;
};

// The range the curves are compared over: the rules' or the reference's.
void QcRange(const QcRules& rules, const QcMeasurement& reference, double& fmin, double& fmax);
// The reference's points in the range: none means the check would compare nothing.
int QcReferencePoints(const QcRules& rules, const QcMeasurement& reference);

// `m` against `reference` under `rules`.
QcVerdict CheckDriver(const QcRules& rules, const QcMeasurement& reference, const QcMeasurement& m);

// The mean reference: R and θ averaged at the first curve's frequencies
// (those that every curve covers), each parameter over the drivers that have it.
QcMeasurement MeanMeasurement(const std::vector<const QcMeasurement*>& set);

// The band's edges at the reference's points in the range, for pictures: R
// always, θ where the rules limit it (empty otherwise).
struct QcBand {
  std::vector<double> f, lo, hi, ref;
  std::vector<double> thetaLo, thetaHi, thetaRef;
};
QcBand ToleranceBand(const QcRules& rules, const QcMeasurement& reference);

struct QcStats {
  int count = 0;
  double mean = 0, sigma = 0, min = 0, max = 0;  // σ: sample deviation (n − 1), 0 for one value
};
QcStats Statistics(const std::vector<double>& values);

// A channel of a curve at `f`, linear in log f between its points; false outside it.
bool CurveAt(const FitCurve& c, const std::vector<double>& y, double f, double& v);

}  // namespace kavo
