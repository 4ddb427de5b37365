// The quality check: see analysis/QcCheck.h.
#include "analysis/QcCheck.h"

#include <algorithm>
#include <cmath>

namespace kavo {
namespace {

bool InRange(double f, double lo, double hi) { return f >= lo * (1 - 1e-9) && f <= hi * (1 + 1e-9); }

// Every run of the reference's points in lo..hi where `m` leaves the band
// of one channel; a point `m` does not cover ends a run and marks the check.
void CheckChannel(QcChannel channel, const QcTolerance& tol, const FitCurve& ref, const FitCurve& m, double lo,
                  double hi, QcVerdict& verdict, bool& uncovered) {
  if (tol.kind == QcTolKind::None) return;
  const std::vector<double> FitCurve::*y = channel == QcChannel::R ? &FitCurve::r : &FitCurve::thetaDeg;
  const bool percent = tol.kind == QcTolKind::Percent;
  QcReason run;
  run.kind = QcReasonKind::OutsideBand;
  run.channel = channel;
  run.percent = percent;
  run.allowed = tol.value;
  bool open = false;
  auto close = [&] {
    if (open) verdict.reasons.push_back(run);
    open = false;
  };
  const std::vector<double>& refY = ref.*y;
  for (size_t i = 0; i < ref.f.size(); ++i) {
    const double f = ref.f[i];
    if (!InRange(f, lo, hi)) continue;
    double v = 0;
    if (!CurveAt(m, m.*y, f, v)) {
      uncovered = true;
      close();
      continue;
    }
    const double dev = percent ? (refY[i] != 0 ? 100 * (v - refY[i]) / std::abs(refY[i]) : HUGE_VAL) : v - refY[i];
    // The curves' values are floats: a deviation on the limit itself is inside.
    if (std::abs(dev) > tol.value * (1 + 1e-6) + 1e-9) {
      if (!open) open = true, run.f1 = f, run.measured = dev;
      run.f2 = f;
      if (std::abs(dev) > std::abs(run.measured)) run.measured = dev;
    } else {
      close();
    }
  }
  close();
}

void CheckLimit(const QcLimit& l, const QcMeasurement& ref, const QcMeasurement& m, QcVerdict& verdict) {
  const size_t p = size_t(l.param);
  QcReason reason;
  reason.param = l.param;
  if (!m.has[p]) {
    reason.kind = QcReasonKind::NotDetermined;
    reason.missing = m.Missing(l.param);
    reason.tsFailure = m.tsFailure;
    reason.fitFailure = m.fitFailure;
    reason.partFailure = m.partFailure;
    verdict.reasons.push_back(reason);
    return;
  }
  reason.lo = l.lo;
  reason.hi = l.hi;
  if (l.percent) {
    if (!ref.has[p]) {
      reason.kind = QcReasonKind::NoReferenceValue;
      verdict.reasons.push_back(reason);
      return;
    }
    reason.percent = true;
    reason.refValue = ref.value[p];
    reason.allowed = l.value;
    const double d = std::abs(reason.refValue) * l.value / 100;
    reason.lo = reason.refValue - d;
    reason.hi = reason.refValue + d;
  }
  reason.kind = QcReasonKind::OutsideLimit;
  reason.measured = m.value[p];
  const double v = reason.measured, a = reason.lo, b = reason.hi;
  if (!(v >= a - 1e-6 * std::abs(a) && v <= b + 1e-6 * std::abs(b))) verdict.reasons.push_back(reason);
}

}  // namespace

bool CurveAt(const FitCurve& c, const std::vector<double>& y, double f, double& v) {
  const auto& x = c.f;
  if (x.empty() || !InRange(f, x.front(), x.back())) return false;
  const auto it = std::lower_bound(x.begin(), x.end(), f);
  size_t i = size_t(it - x.begin());
  if (i >= x.size()) i = x.size() - 1;
  if (i == 0 || x[i] == f) {
    v = y[i];
    return true;
  }
  const double t = std::log(f / x[i - 1]) / std::log(x[i] / x[i - 1]);
  v = y[i - 1] + t * (y[i] - y[i - 1]);
  return true;
}

void QcRange(const QcRules& rules, const QcMeasurement& reference, double& fmin, double& fmax) {
  fmin = rules.fmin;
  fmax = rules.fmax;
  if (fmin > 0 || reference.curve.Empty()) return;
  fmin = reference.curve.f.front();
  fmax = reference.curve.f.back();
}

int QcReferencePoints(const QcRules& rules, const QcMeasurement& reference) {
  double lo = 0, hi = 0;
  QcRange(rules, reference, lo, hi);
  return int(std::count_if(reference.curve.f.begin(), reference.curve.f.end(),
                           [&](double f) { return InRange(f, lo, hi); }));
}

QcVerdict CheckDriver(const QcRules& rules, const QcMeasurement& ref, const QcMeasurement& m) {
  QcVerdict verdict;
  double lo = 0, hi = 0;
  QcRange(rules, ref, lo, hi);
  const bool curveChecked = rules.r.kind != QcTolKind::None || rules.theta.kind != QcTolKind::None;
  const bool anyPoint = std::any_of(m.curve.f.begin(), m.curve.f.end(), [&](double f) { return InRange(f, lo, hi); });
  QcReason range;
  range.f1 = lo;
  range.f2 = hi;
  if (curveChecked && !anyPoint) {
    range.kind = QcReasonKind::NoPointInRange;
    verdict.reasons.push_back(range);
  } else {
    bool uncovered = false;
    CheckChannel(QcChannel::R, rules.r, ref.curve, m.curve, lo, hi, verdict, uncovered);
    CheckChannel(QcChannel::Theta, rules.theta, ref.curve, m.curve, lo, hi, verdict, uncovered);
    range.kind = QcReasonKind::NotCovered;
    if (uncovered) verdict.reasons.push_back(range);
  }
  for (const QcLimit& l : rules.limits) CheckLimit(l, ref, m, verdict);
  verdict.pass = verdict.reasons.empty();
  return verdict;
}

QcMeasurement MeanMeasurement(const std::vector<const QcMeasurement*>& set) {
  QcMeasurement mean;
  mean.value.assign(size_t(QcParamCount()), 0);
  mean.has.assign(size_t(QcParamCount()), false);
  mean.missing.assign(QcFamilies().size(), QcMissing::None);
  if (set.empty()) return mean;
  for (const double f : set.front()->curve.f) {
    double r = 0, theta = 0, v = 0;
    bool all = true;
    for (const QcMeasurement* m : set) {
      if (!CurveAt(m->curve, m->curve.r, f, v)) {
        all = false;
        break;
      }
      r += v;
      CurveAt(m->curve, m->curve.thetaDeg, f, v);
      theta += v;
    }
    if (!all) continue;
    mean.curve.f.push_back(f);
    mean.curve.r.push_back(r / double(set.size()));
    mean.curve.thetaDeg.push_back(theta / double(set.size()));
  }
  for (int p = 0; p < QcParamCount(); ++p) {
    std::vector<double> values;
    for (const QcMeasurement* m : set)
      if (m->has[size_t(p)]) values.push_back(m->value[size_t(p)]);
    if (values.empty()) continue;
    mean.value[size_t(p)] = Statistics(values).mean;
    mean.has[size_t(p)] = true;
  }
  return mean;
}

QcBand ToleranceBand(const QcRules& rules, const QcMeasurement& ref) {
  QcBand band;
  double lo = 0, hi = 0;
  QcRange(rules, ref, lo, hi);
  const bool theta = rules.theta.kind != QcTolKind::None;
  for (size_t i = 0; i < ref.curve.f.size(); ++i) {
    const double f = ref.curve.f[i], r = ref.curve.r[i];
    if (!InRange(f, lo, hi)) continue;
    const double d = rules.r.kind == QcTolKind::Percent ? std::abs(r) * rules.r.value / 100
                     : rules.r.kind == QcTolKind::Absolute ? rules.r.value
                                                           : 0;
    band.f.push_back(f);
    band.ref.push_back(r);
    band.lo.push_back(r - d);
    band.hi.push_back(r + d);
    if (!theta) continue;
    const double t = ref.curve.thetaDeg[i];
    band.thetaRef.push_back(t);
    band.thetaLo.push_back(t - rules.theta.value);
    band.thetaHi.push_back(t + rules.theta.value);
  }
  return band;
}

QcStats Statistics(const std::vector<double>& values) {
  QcStats s;
  s.count = int(values.size());
  if (values.empty()) return s;
  s.min = *std::min_element(values.begin(), values.end());
  s.max = *std::max_element(values.begin(), values.end());
  double sum = 0;
  for (const double v : values) sum += v;
  s.mean = sum / s.count;
  if (s.count > 1) {
    double sq = 0;
    for (const double v : values) sq += (v - s.mean) * (v - s.mean);
    s.sigma = std::sqrt(sq / (s.count - 1));
  }
  return s;
}

}  // namespace kavo
