// See analysis/BoxClassic.h.
#include "analysis/BoxClassic.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>

#include "analysis/Ts_analysis.h"

namespace kavo {
namespace {


double Hz(double w) { return w / (2 * Pi); }

// The vertex of |Z| (or of −|Z| for a minimum) at point k over ln ω, in Hz.
double Refined(const FitPoints& c, size_t k, double sign) {
  if (k == 0 || k + 1 >= c.w.size()) return Hz(c.w[k]);
  const double x = ParabolaVertex(std::log(c.w[k - 1]), std::log(c.w[k]), std::log(c.w[k + 1]), sign * c.Mag(k - 1),
                                  sign * c.Mag(k), sign * c.Mag(k + 1));
  return Hz(std::exp(x));
}

// σ of f(v) from the σ of its arguments, by central differences.
double Propagated(const std::function<double(const std::vector<double>&)>& f, std::vector<double> v,
                  const std::vector<double>& sigma) {
  double var = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    if (!(sigma[i] > 0)) continue;
    const double h = sigma[i], keep = v[i];
    v[i] = keep + h;
    const double up = f(v);
    v[i] = keep - h;
    const double dn = f(v);
    v[i] = keep;
    var += 0.25 * (up - dn) * (up - dn);
  }
  return std::sqrt(var);
}

Estimate Of(double value, double sigma) {
  Estimate e;
  e.has = std::isfinite(value) && std::isfinite(sigma);
  if (e.has) e.value = value, e.sigma = sigma;
  return e;
}

// Where |Z| falls to `level` walking from point k down (step −1) or up (+1), in Hz; 0 when it does not.
double Crossing(const FitPoints& c, size_t k, int step, double level) {
  for (size_t i = k; step > 0 ? i + 1 < c.w.size() : i > 0; i += size_t(step)) {
    const size_t j = i + size_t(step);
    if (c.Mag(j) <= level) {
      const double t = (c.Mag(i) - level) / (c.Mag(i) - c.Mag(j));
      return Hz(std::exp(std::log(c.w[i]) + t * (std::log(c.w[j]) - std::log(c.w[i]))));
    }
  }
  return 0;
}

size_t Nearest(const FitPoints& c, double hz) {
  size_t at = 0;
  for (size_t k = 0; k < c.w.size(); ++k)
    if (std::abs(Hz(c.w[k]) - hz) < std::abs(Hz(c.w[at]) - hz)) at = k;
  return at;
}

}  // namespace

BoxShape ShapeOf(const FitPoints& c) {
  BoxShape s;
  const size_t n = c.w.size();
  if (n < 3) return s;
  double low = std::numeric_limits<double>::max();
  for (size_t k = 0; k < n; ++k) low = std::min(low, c.Mag(k));
  struct Peak {
    size_t k;
    double prominence;
  };
  std::vector<Peak> found;
  for (size_t k = 1; k + 1 < n; ++k)
    if (const double prominence = PeakProminence(c, k); prominence > 0.1 * low) found.push_back({k, prominence});
  std::sort(found.begin(), found.end(), [](const Peak& a, const Peak& b) { return a.prominence > b.prominence; });
  if (found.size() > 2) found.resize(2);
  std::sort(found.begin(), found.end(), [](const Peak& a, const Peak& b) { return a.k < b.k; });
  for (const Peak& p : found) {
    s.peaks.push_back(Refined(c, p.k, 1));
    s.peakR.push_back(c.Mag(p.k));
  }
  if (found.empty()) return s;
  const size_t k0 = found.front().k;
  s.spacing = std::log(c.w[std::min(k0 + 1, n - 1)] / c.w[k0 - 1]) / 2;
  if (found.size() == 2) {
    const size_t k1 = found.back().k;
    size_t m = k0;
    for (size_t k = k0; k <= k1; ++k)
      if (c.Mag(k) < c.Mag(m)) m = k;
    s.fM = Refined(c, m, -1);
    s.rM = c.Mag(m);
    double best = 0;
    for (size_t k = k0; k < k1; ++k) {
      const double t0 = std::atan2(c.zi[k], c.zr[k]), t1 = std::atan2(c.zi[k + 1], c.zr[k + 1]);
      if ((t0 < 0) == (t1 < 0)) continue;
      const double t = t0 / (t0 - t1);
      const double f = Hz(std::exp(std::log(c.w[k]) + t * (std::log(c.w[k + 1]) - std::log(c.w[k]))));
      if (best == 0 || std::abs(std::log(f / s.fM)) < std::abs(std::log(best / s.fM))) best = f;
    }
    s.fTheta = best;
  } else {
    size_t m = 0;
    for (size_t k = 0; k < k0; ++k)
      if (c.Mag(k) < c.Mag(m)) m = k;
    s.dipBelow = m > 2 && c.Mag(0) - c.Mag(m) > 0.05 * c.Mag(m);
  }
  return s;
}

ClosedClassic ClosedEstimates(const FitPoints& c, const BoxShape& shape, double re, double fs, double fsSigma,
                              double qes, double qesSigma, double vb, double vas) {
  ClosedClassic e;
  if (shape.peaks.empty() || !(re > 0)) return e;
  const double fc = shape.peaks.front(), rmax = shape.peakR.front();
  const double rx = std::sqrt(rmax * re);
  const size_t top = Nearest(c, fc);
  double f1 = Crossing(c, top, -1, rx), f2 = Crossing(c, top, 1, rx);
  if (f1 <= 0 && f2 > 0) f1 = fc * fc / f2;
  if (f2 <= 0 && f1 > 0) f2 = fc * fc / f1;
  if (!(f2 > f1 && f1 > 0 && rmax > re)) return e;
  const double df = shape.spacing / 4;  // relative
  const std::vector<double> v{fc, f1, f2}, sv{df * fc, df * f1, df * f2};
  const double r0 = rmax / re;
  auto qmc = [r0](const std::vector<double>& a) { return a[0] * std::sqrt(r0) / (a[2] - a[1]); };
  auto qec = [&](const std::vector<double>& a) { return qmc(a) / (r0 - 1); };
  auto qtc = [&](const std::vector<double>& a) {
    const double m = qmc(a), q = qec(a);
    return m * q / (m + q);
  };
  e.fc = Of(fc, df * fc);
  e.qmc = Of(qmc(v), Propagated(qmc, v, sv));
  e.qec = Of(qec(v), Propagated(qec, v, sv));
  e.qtc = Of(qtc(v), Propagated(qtc, v, sv));
  if (fs > 0 && qes > 0) {
    auto alpha = [](const std::vector<double>& a) { return a[0] * a[1] / (a[2] * a[3]) - 1; };
    const std::vector<double> av{fc, e.qec.value, fs, qes}, as{e.fc.sigma, e.qec.sigma, fsSigma, qesSigma};
    e.alpha = Of(alpha(av), Propagated(alpha, av, as));
    if (vb > 0) e.vas = Of(e.alpha.value * vb, e.alpha.sigma * vb);
    if (vas > 0 && e.alpha.value > 0) e.vab = Of(vas / e.alpha.value, vas * e.alpha.sigma / (e.alpha.value * e.alpha.value));
  }
  return e;
}

VentedClassic VentedEstimates(const BoxShape& shape, double fs, double fsSigma, double vb, double vas) {
  VentedClassic e;
  if (shape.peaks.size() < 2) return e;
  const double df = shape.spacing / 4;
  const double fl = shape.peaks[0], fh = shape.peaks[1];
  e.fl = Of(fl, df * fl);
  e.fh = Of(fh, df * fh);
  e.fm = Of(shape.fM, df * shape.fM);
  if (shape.fTheta > 0) e.fTheta = Of(shape.fTheta, df * shape.fTheta);
  if (!(fs > 0)) return e;
  auto alpha = [](const std::vector<double>& a) {
    const double l2 = a[0] * a[0], h2 = a[1] * a[1], s2 = a[2] * a[2];
    return (l2 + h2 - l2 * h2 / s2) / s2 - 1;
  };
  const std::vector<double> v{fl, fh, fs}, sv{e.fl.sigma, e.fh.sigma, fsSigma};
  e.alpha = Of(alpha(v), Propagated(alpha, v, sv));
  e.h = Of(shape.fM / fs, shape.fM / fs * std::hypot(df, fsSigma / fs));
  if (vb > 0) e.vas = Of(e.alpha.value * vb, e.alpha.sigma * vb);
  if (vas > 0 && e.alpha.value > 0) e.vab = Of(vas / e.alpha.value, vas * e.alpha.sigma / (e.alpha.value * e.alpha.value));
  return e;
}

}  // namespace kavo
