// See analysis/ModelFit.h for the model and what is reported.
#include "analysis/ModelFit.h"

#include <ceres/ceres.h>
#include <glog/logging.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdio>
#include <memory>
#include <sstream>

namespace kavo {
namespace {

// The fitted parameters, each its own block so that any may be held fixed.
enum Param { PRe, PMms, PRms, PCms, PBl, PLam, PLe, PL2, PR2, PK, PN, ParamCount };

constexpr double Pi = 3.14159265358979323846;
// Im log10(jω/ω_r) = (π/2)/ln 10.
constexpr double Kappa = Pi / 2 / 2.302585092994046;
constexpr int MinPoints = 10;
constexpr int MaxIterations = 200;

QString U(const char* text) { return QString::fromUtf8(text); }

// The model at ω for parameters x (SI), T a double or a Jet.
template <typename T>
void Evaluate(const T* x, CoilModel coil, bool creep, double wr, double w, double mass, double kbox, T& zr,
              T& zi) {
  T lr = T(0), li = T(0);
  switch (coil) {
    case CoilModel::Le:
      li = w * x[PLe];
      break;
    case CoilModel::LR2: {
      const T wl = w * x[PL2];
      const T d = x[PR2] * x[PR2] + wl * wl;
      lr = wl * wl * x[PR2] / d;
      li = w * x[PLe] + wl * x[PR2] * x[PR2] / d;
      break;
    }
    case CoilModel::Semi: {
      using std::cos;
      using std::exp;
      using std::sin;
      const T mag = x[PK] * exp(x[PN] * std::log(w));
      lr = mag * cos(x[PN] * (Pi / 2));
      li = mag * sin(x[PN] * (Pi / 2));
      break;
    }
  }
  // Stiffness 1/C(ω) = s1 + j·s2 with C = Cms·(a − jb).
  T s1, s2;
  if (creep) {
    const T a = T(1) - x[PLam] * std::log10(w / wr);
    const T b = x[PLam] * Kappa;
    const T d = x[PCms] * (a * a + b * b);
    s1 = a / d;
    s2 = b / d;
  } else {
    s1 = T(1) / x[PCms];
    s2 = T(0);
  }
  // Mechanical impedance jω(M + m) + Rms + (1/C + kbox)/(jω).
  const T mr = x[PRms] + s2 / w;
  const T mi = w * (x[PMms] + mass) - (s1 + kbox) / w;
  const T d = mr * mr + mi * mi;
  const T bl2 = x[PBl] * x[PBl];
  zr = x[PRe] + lr + bl2 * mr / d;
  zi = li - bl2 * mi / d;
}

struct Curve {
  std::vector<double> w, zr, zi, weight;
  double mass = 0, kbox = 0;
  double peakHz = 0, peakR = 0;
  int role = 0;  // 0 free, 1 with the mass, 2 in the box
};

struct Setup {
  CoilModel coil;
  bool creep;
  double wr;
  std::array<double, ParamCount> scale;
};

struct CurveCost {
  const Curve* curve;
  const Setup* setup;
  template <typename T>
  bool operator()(T const* const* p, T* residual) const {
    T x[ParamCount];
    for (int i = 0; i < ParamCount; ++i) x[i] = p[i][0] * setup->scale[size_t(i)];
    const Curve& c = *curve;
    for (size_t k = 0; k < c.w.size(); ++k) {
      T zr, zi;
      Evaluate(x, setup->coil, setup->creep, setup->wr, c.w[k], c.mass, c.kbox, zr, zi);
      residual[2 * k] = (zr - c.zr[k]) * c.weight[k];
      residual[2 * k + 1] = (zi - c.zi[k]) * c.weight[k];
    }
    return true;
  }
};

bool AllFinite(const FitCurve& c) {
  if (c.r.size() != c.f.size() || c.thetaDeg.size() != c.f.size()) return false;
  for (size_t k = 0; k < c.f.size(); ++k)
    if (!std::isfinite(c.f[k]) || !std::isfinite(c.r[k]) || !std::isfinite(c.thetaDeg[k])) return false;
  return true;
}

// The points of `in` within fmin..fmax as complex impedance.
Curve Select(const FitCurve& in, double fmin, double fmax) {
  Curve c;
  for (size_t k = 0; k < in.f.size(); ++k) {
    if (in.f[k] < fmin || in.f[k] > fmax || !(in.f[k] > 0)) continue;
    const double t = in.thetaDeg[k] * Pi / 180;
    const double zr = in.r[k] * std::cos(t), zi = in.r[k] * std::sin(t);
    const double mag = std::hypot(zr, zi);
    if (!(mag > 0)) continue;
    c.w.push_back(2 * Pi * in.f[k]);
    c.zr.push_back(zr);
    c.zi.push_back(zi);
    c.weight.push_back(1 / mag);
  }
  return c;
}

// Magnitude of point k.
double Mag(const Curve& c, size_t k) { return 1 / c.weight[k]; }

// The resonance: the most prominent local maximum of |Z| (its rise above
// the higher of the lowest points on either side before |Z| climbs above it
// again), refined by a parabola over ln f. False when none stands out by
// 10 % of the curve's lowest value.
bool FindResonance(Curve& c) {
  const size_t n = c.w.size();
  double low = std::numeric_limits<double>::max();
  for (size_t k = 0; k < n; ++k) low = std::min(low, Mag(c, k));
  double best = 0;
  size_t at = 0;
  for (size_t k = 1; k + 1 < n; ++k) {
    const double m = Mag(c, k);
    if (!(m > Mag(c, k - 1) && m >= Mag(c, k + 1))) continue;
    double left = m, right = m;
    for (size_t i = k; i-- > 0 && Mag(c, i) <= m;) left = std::min(left, Mag(c, i));
    for (size_t i = k + 1; i < n && Mag(c, i) <= m; ++i) right = std::min(right, Mag(c, i));
    const double prominence = m - std::max(left, right);
    if (prominence > best) {
      best = prominence;
      at = k;
    }
  }
  if (!(best > 0.1 * low)) return false;
  const double x0 = std::log(c.w[at - 1]), x1 = std::log(c.w[at]), x2 = std::log(c.w[at + 1]);
  const double y0 = Mag(c, at - 1), y1 = Mag(c, at), y2 = Mag(c, at + 1);
  const double denom = (x0 - x1) * (x0 - x2) * (x1 - x2);
  const double a = (x2 * (y1 - y0) + x1 * (y0 - y2) + x0 * (y2 - y1)) / denom;
  const double b = (x2 * x2 * (y0 - y1) + x1 * x1 * (y2 - y0) + x0 * x0 * (y1 - y2)) / denom;
  const double x = a < 0 ? std::clamp(-b / (2 * a), x0, x2) : x1;
  c.peakHz = std::exp(x) / (2 * Pi);
  c.peakR = y1;
  return true;
}

// The three-point estimates of Qms and Qes from the peak: f1, f2 where |Z|
// falls to √(Rmax·Re) (f1 mirrored about the peak when below the range).
void ThreePoint(const Curve& c, double re, double& qms, double& qes) {
  const double r0 = c.peakR / re, rx = std::sqrt(c.peakR * re);
  const double wp = 2 * Pi * c.peakHz;
  double w1 = 0, w2 = 0;
  size_t top = 0;
  for (size_t k = 0; k < c.w.size(); ++k)
    if (std::abs(c.w[k] - wp) < std::abs(c.w[top] - wp)) top = k;
  for (size_t k = top; k + 1 < c.w.size(); ++k)
    if (Mag(c, k + 1) <= rx) {
      const double t = (Mag(c, k) - rx) / (Mag(c, k) - Mag(c, k + 1));
      w2 = c.w[k] + t * (c.w[k + 1] - c.w[k]);
      break;
    }
  for (size_t k = top; k > 0; --k)
    if (Mag(c, k - 1) <= rx) {
      const double t = (Mag(c, k) - rx) / (Mag(c, k) - Mag(c, k - 1));
      w1 = c.w[k] + t * (c.w[k - 1] - c.w[k]);
      break;
    }
  if (w1 <= 0 && w2 > 0) w1 = wp * wp / w2;
  if (w2 <= 0 && w1 > 0) w2 = wp * wp / w1;
  qms = (w2 > w1 && w1 > 0) ? wp * std::sqrt(r0) / (w2 - w1) : 5.0;
  qms = std::clamp(qms, 0.5, 50.0);
  qes = std::clamp(qms / std::max(r0 - 1, 1e-3), 0.05, 50.0);
}

// k'(ω) and k''(ω), the suspension's complex stiffness.
void Stiffness(const double* x, bool creep, double wr, double w, double& k1, double& k2) {
  if (!creep) {
    k1 = 1 / x[PCms];
    k2 = 0;
    return;
  }
  const double a = 1 - x[PLam] * std::log10(w / wr), b = x[PLam] * Kappa;
  const double d = x[PCms] * (a * a + b * b);
  k1 = a / d;
  k2 = b / d;
}

// Where ω²(Mms + m) = k'(ω) + kbox; k' changes slowly with ω, so the fixed
// point iteration converges in a few steps.
double Resonance(const double* x, bool creep, double wr, double mass, double kbox) {
  double w = wr > 0 ? wr : 1 / std::sqrt(x[PMms] * x[PCms]);
  for (int i = 0; i < 60; ++i) {
    double k1, k2;
    Stiffness(x, creep, wr, w, k1, k2);
    const double next = std::sqrt(std::max(k1 + kbox, 0.0) / (x[PMms] + mass));
    if (!std::isfinite(next)) return std::numeric_limits<double>::quiet_NaN();
    if (std::abs(next - w) < 1e-13 * w) return next;
    w = next;
  }
  return w;
}

struct Context {
  CoilModel coil;
  bool creep;
  double wr;
  double sd, rhoc2;
};

// Every reported value from the parameters (SI).
std::array<double, FitValueCount> Derived(const double* x, const Context& c) {
  std::array<double, FitValueCount> v{};
  const double ws = Resonance(x, c.creep, c.wr, 0, 0);
  double k1, k2;
  Stiffness(x, c.creep, c.wr, ws, k1, k2);
  const double rms = x[PRms] + k2 / ws;
  v[FvRe] = x[PRe];
  v[FvFs] = ws / (2 * Pi);
  v[FvQms] = ws * x[PMms] / rms;
  v[FvQes] = ws * x[PMms] * x[PRe] / (x[PBl] * x[PBl]);
  v[FvQts] = v[FvQms] * v[FvQes] / (v[FvQms] + v[FvQes]);
  v[FvLe] = x[PLe];
  v[FvL2] = x[PL2];
  v[FvR2] = x[PR2];
  v[FvK] = x[PK];
  v[FvN] = x[PN];
  v[FvLambda] = c.creep ? x[PLam] / (1 - x[PLam] * std::log10(ws / c.wr)) : 0;
  v[FvMms] = x[PMms];
  v[FvCms] = 1 / k1;
  v[FvRms] = rms;
  v[FvBl] = x[PBl];
  v[FvVas] = c.rhoc2 * c.sd * c.sd / k1;
  v[FvEBP] = v[FvFs] / v[FvQes];
  return v;
}

struct Problem {
  std::vector<Curve> curves;
  Setup setup;
  std::array<double, ParamCount> p{};      // scaled: SI = p × scale
  std::array<bool, ParamCount> free{};
  std::array<double, ParamCount> lower{}, upper{};
};

struct Solved {
  FitFailure failure = FitFailure::None;
  double cost = 0;
  int iterations = 0;
  bool covariance = false;
  std::vector<double> cov;  // over all parameters, scaled; 0 for fixed ones
};

Solved Solve(Problem& pr) {
  ceres::Problem problem;
  std::vector<double*> blocks;
  for (int i = 0; i < ParamCount; ++i) blocks.push_back(&pr.p[size_t(i)]);
  for (const Curve& c : pr.curves) {
    auto* cost = new ceres::DynamicAutoDiffCostFunction<CurveCost, ParamCount + 1>(new CurveCost{&c, &pr.setup});
    for (int i = 0; i < ParamCount; ++i) cost->AddParameterBlock(1);
    cost->SetNumResiduals(int(2 * c.w.size()));
    problem.AddResidualBlock(cost, nullptr, blocks);
  }
  for (int i = 0; i < ParamCount; ++i) {
    if (!pr.free[size_t(i)]) {
      problem.SetParameterBlockConstant(blocks[size_t(i)]);
      continue;
    }
    problem.SetParameterLowerBound(blocks[size_t(i)], 0, pr.lower[size_t(i)]);
    problem.SetParameterUpperBound(blocks[size_t(i)], 0, pr.upper[size_t(i)]);
  }
  ceres::Solver::Options options;
  options.linear_solver_type = ceres::DENSE_QR;
  options.max_num_iterations = MaxIterations;
  options.max_solver_time_in_seconds = 5;
  options.function_tolerance = 1e-12;
  options.parameter_tolerance = 1e-12;
  options.gradient_tolerance = 1e-14;
  options.logging_type = ceres::SILENT;
  options.minimizer_progress_to_stdout = false;
  options.num_threads = 1;
  ceres::Solver::Summary summary;
  ceres::Solve(options, &problem, &summary);
  Solved s;
  s.cost = summary.final_cost;
  s.iterations = int(summary.iterations.size());
  if (summary.termination_type != ceres::CONVERGENCE || !std::isfinite(summary.final_cost)) {
    s.failure = FitFailure::NotConverged;
    return s;
  }
  for (double v : pr.p)
    if (!std::isfinite(v)) s.failure = FitFailure::NotConverged;
  if (s.failure != FitFailure::None) return s;

  std::vector<const double*> freeBlocks;
  std::vector<int> index;
  for (int i = 0; i < ParamCount; ++i)
    if (pr.free[size_t(i)]) {
      freeBlocks.push_back(blocks[size_t(i)]);
      index.push_back(i);
    }
  ceres::Covariance::Options co;
  co.algorithm_type = ceres::DENSE_SVD;
  co.num_threads = 1;
  ceres::Covariance covariance(co);
  s.cov.assign(ParamCount * ParamCount, 0.0);
  if (!freeBlocks.empty() && covariance.Compute(freeBlocks, &problem)) {
    const size_t n = freeBlocks.size();
    std::vector<double> m(n * n);
    if (covariance.GetCovarianceMatrix(freeBlocks, m.data())) {
      s.covariance = true;
      for (size_t a = 0; a < n; ++a)
        for (size_t b = 0; b < n; ++b) s.cov[size_t(index[a] * ParamCount + index[b])] = m[a * n + b];
    }
  }
  return s;
}

// Starting values from the peaks, the three-point method and the top of
// the range; the scales are these starting values, so the solver works on
// numbers near 1.
void Start(Problem& pr, const FitInput& in, double re) {
  const Curve& f = pr.curves.front();
  const double wp = 2 * Pi * f.peakHz;
  double qms, qes;
  ThreePoint(f, re, qms, qes);
  double mms = 0.01;  // free curve only: any mass gives the same curve
  for (const Curve& c : pr.curves) {
    if (c.mass > 0) {
      const double ratio = f.peakHz / c.peakHz;
      mms = c.mass / (ratio * ratio - 1);
      break;
    }
  }
  if (pr.curves.size() > 1 && !(in.addedMass > 0 && !in.loaded.Empty())) {
    const Curve& b = pr.curves.back();
    const double ratio = b.peakHz / f.peakHz;
    const double cms = (ratio * ratio - 1) / b.kbox;
    mms = 1 / (wp * wp * cms);
  }
  double x[ParamCount] = {};
  x[PRe] = re;
  x[PMms] = mms;
  x[PCms] = 1 / (wp * wp * mms);
  x[PRms] = wp * mms / qms;
  x[PBl] = std::sqrt(wp * mms * re / qes);
  x[PLam] = pr.setup.creep ? 0.03 : 0;
  // The coil from what is left at the top of the range.
  const size_t t = f.w.size() - 1;
  const double w = f.w[t];
  double mr, mi;
  {
    double y[ParamCount] = {};
    std::copy(x, x + ParamCount, y);
    y[PLam] = 0;
    Evaluate<double>(y, CoilModel::Le, false, pr.setup.wr, w, 0, 0, mr, mi);
  }
  const double lr = std::max(f.zr[t] - mr, 0.02 * re), li = std::max(f.zi[t] - mi, 0.02 * re);
  x[PLe] = li / w;
  x[PL2] = 0;
  x[PR2] = 0;
  x[PK] = 0;
  x[PN] = 0.5;
  if (in.coil == CoilModel::LR2) {
    x[PLe] = 0.5 * li / w;
    x[PL2] = li / w;
    x[PR2] = std::max(2 * lr, 0.2 * re);
  } else if (in.coil == CoilModel::Semi) {
    x[PLe] = 0;
    x[PN] = std::clamp(std::atan2(li, lr) / (Pi / 2), 0.3, 0.9);
    x[PK] = std::hypot(lr, li) / std::pow(w, x[PN]);
  }
  for (int i = 0; i < ParamCount; ++i) {
    double s = std::abs(x[i]);
    if (i == PLam) s = 0.1;
    if (i == PN) s = 1;
    if (!(s > 0)) s = 1;
    pr.setup.scale[size_t(i)] = s;
    pr.p[size_t(i)] = x[i] / s;
    pr.lower[size_t(i)] = 0;
    pr.upper[size_t(i)] = 1e6;
  }
  pr.lower[PN] = 0.01;
  pr.upper[PN] = 0.99;
  pr.upper[PLam] = 20;  // λ ≤ 2
  pr.free.fill(false);
  pr.free[PRe] = in.fitRe;
  pr.free[PMms] = pr.curves.size() > 1;
  pr.free[PRms] = pr.free[PCms] = pr.free[PBl] = true;
  pr.free[PLam] = pr.setup.creep;
  pr.free[PLe] = in.coil != CoilModel::Semi;
  pr.free[PL2] = pr.free[PR2] = in.coil == CoilModel::LR2;
  pr.free[PK] = pr.free[PN] = in.coil == CoilModel::Semi;
}

FitResult Fail(FitFailure failure, int curve = -1) {
  FitResult r;
  r.failure = failure;
  r.failedCurve = curve;
  return r;
}

// One fit of the free curve with whichever second curves are given.
FitResult FitOnce(const FitInput& in) {
  const FitCurve* given[] = {&in.free, &in.loaded, &in.boxed};
  for (int i = 0; i < 3; ++i)
    if (!AllFinite(*given[i])) return Fail(FitFailure::NonFinite, i);
  if (!std::isfinite(in.re) || !std::isfinite(in.fmin) || !std::isfinite(in.fmax) || !std::isfinite(in.sd) ||
      !std::isfinite(in.addedMass) || !std::isfinite(in.boxVolume))
    return Fail(FitFailure::NonFinite);
  const bool boxed = in.boxVolume > 0 && !in.boxed.Empty();
  if (boxed && !(in.sd > 0)) return Fail(FitFailure::NeedsSd);
  double fmin = in.fmin, fmax = in.fmax;
  if (!(fmin > 0) || !(fmax > 0)) {
    double dmin, dmax;
    DefaultRange(in.free, dmin, dmax);
    if (!(fmin > 0)) fmin = dmin;
    if (!(fmax > 0)) fmax = dmax;
  }
  const double rhoc2 = in.rho * in.c * in.c;
  Problem pr;
  pr.curves.push_back(Select(in.free, fmin, fmax));
  if (in.addedMass > 0 && !in.loaded.Empty()) {
    pr.curves.push_back(Select(in.loaded, fmin, fmax));
    pr.curves.back().mass = in.addedMass;
    pr.curves.back().role = 1;
  }
  if (boxed) {
    pr.curves.push_back(Select(in.boxed, fmin, fmax));
    pr.curves.back().kbox = rhoc2 * in.sd * in.sd / in.boxVolume;
    pr.curves.back().role = 2;
  }
  for (Curve& c : pr.curves) {
    if (int(c.w.size()) < MinPoints) return Fail(FitFailure::TooFewPoints, c.role);
    if (!FindResonance(c)) return Fail(FitFailure::NoResonance, c.role);
  }
  const Curve& f = pr.curves.front();
  for (size_t i = 1; i < pr.curves.size(); ++i) {
    const Curve& c = pr.curves[i];
    if (c.mass > 0 && !(c.peakHz < f.peakHz * 0.995)) return Fail(FitFailure::LoadedNotBelow, c.role);
    if (c.kbox > 0 && !(c.peakHz > f.peakHz * 1.005)) return Fail(FitFailure::BoxedNotAbove, c.role);
  }
  double re = in.re;
  if (in.fitRe) {
    re = f.peakR;
    for (size_t k = 0; k < f.w.size(); ++k) re = std::min(re, Mag(f, k));
    re *= 0.95;
  } else if (!(re > 0) || !(re < f.peakR)) {
    return Fail(FitFailure::BadRe);
  }
  pr.setup.coil = in.coil;
  pr.setup.creep = in.creep;
  pr.setup.wr = 2 * Pi * f.peakHz;
  Start(pr, in, re);
  const Solved s = Solve(pr);
  if (s.failure != FitFailure::None) return Fail(s.failure);

  FitResult r;
  r.fmin = fmin;
  r.fmax = fmax;
  r.iterations = s.iterations;
  for (const Curve& c : pr.curves) r.points += int(c.w.size());
  r.residual = std::sqrt(2 * s.cost / r.points);
  r.poor = r.residual > PoorFitResidual;

  const Context ctx{in.coil, in.creep, pr.setup.wr, in.sd, rhoc2};
  double x[ParamCount];
  for (int i = 0; i < ParamCount; ++i) x[i] = pr.p[size_t(i)] * pr.setup.scale[size_t(i)];
  r.value = Derived(x, ctx);
  FittedModel& m = r.model;
  m.coil = in.coil;
  m.creep = in.creep;
  m.wr = pr.setup.wr;
  m.re = x[PRe], m.mms = x[PMms], m.rms = x[PRms], m.cms = x[PCms], m.bl = x[PBl], m.lambda = x[PLam];
  m.le = x[PLe], m.l2 = x[PL2], m.r2 = x[PR2], m.k = x[PK], m.n = x[PN];

  // σ² of each value: J Σ Jᵀ, J by central differences over the scaled
  // parameters, Σ scaled by the residual variance per degree of freedom.
  int nfree = 0;
  for (bool b : pr.free) nfree += b;
  const int dof = 2 * r.points - nfree;
  const double s2 = dof > 0 ? 2 * s.cost / dof : 0;
  std::array<std::array<double, ParamCount>, FitValueCount> jac{};
  for (int i = 0; i < ParamCount; ++i) {
    if (!pr.free[size_t(i)]) continue;
    const double h = 1e-6 * std::max(std::abs(pr.p[size_t(i)]), 1e-3);
    double up[ParamCount], dn[ParamCount];
    std::copy(x, x + ParamCount, up);
    std::copy(x, x + ParamCount, dn);
    up[i] += h * pr.setup.scale[size_t(i)];
    dn[i] -= h * pr.setup.scale[size_t(i)];
    const auto a = Derived(up, ctx), b = Derived(dn, ctx);
    for (int v = 0; v < FitValueCount; ++v) jac[size_t(v)][size_t(i)] = (a[size_t(v)] - b[size_t(v)]) / (2 * h);
  }
  for (int v = 0; v < FitValueCount; ++v) {
    double var = 0;
    for (int i = 0; i < ParamCount; ++i)
      for (int j = 0; j < ParamCount; ++j)
        var += jac[size_t(v)][size_t(i)] * s.cov[size_t(i * ParamCount + j)] * jac[size_t(v)][size_t(j)];
    r.sigma[size_t(v)] = s.covariance ? std::sqrt(std::max(var * s2, 0.0)) : std::numeric_limits<double>::quiet_NaN();
  }
  if (!s.covariance) r.warnings.push_back({FitWarning::NoCovariance});

  // What the data determine.
  r.has = FitReportedValues(in);
  if (!in.fitRe) r.sigma[FvRe] = 0;
  for (int v = 0; v < FitValueCount; ++v)
    if (!r.has[size_t(v)]) r.value[size_t(v)] = r.sigma[size_t(v)] = 0;

  // The shift of the resonance by the second curves, from the fitted model.
  const double ws = 2 * Pi * r.value[FvFs];
  for (size_t i = 1; i < pr.curves.size(); ++i) {
    const Curve& c = pr.curves[i];
    const double w2 = Resonance(x, in.creep, pr.setup.wr, c.mass, c.kbox);
    const double shift = 100 * std::abs(w2 / ws - 1);
    if (shift < 15 || shift > 45) r.warnings.push_back({c.mass > 0 ? FitWarning::MassShift : FitWarning::BoxShift, shift});
  }
  if (r.poor) r.warnings.push_back({FitWarning::PoorFit, 100 * r.residual});
  return r;
}

void QuietSolverLog() {
  static const bool once = [] {
    // Ceres reports through glog; the fit reports its own failures.
    FLAGS_minloglevel = google::GLOG_FATAL;
    FLAGS_logtostderr = true;
    return true;
  }();
  (void)once;
}

}  // namespace

bool ParseCoilModel(const QString& name, CoilModel& model) {
  for (CoilModel m : {CoilModel::Le, CoilModel::LR2, CoilModel::Semi})
    if (name == QLatin1String(CoilModelName(m))) {
      model = m;
      return true;
    }
  return false;
}

const char* CoilModelName(CoilModel model) {
  switch (model) {
    case CoilModel::Le: return "le";
    case CoilModel::LR2: return "lr2";
    case CoilModel::Semi: return "semi";
  }
  return "";
}

const FitValueInfo& FitValueInfoOf(int value) {
  static const FitValueInfo info[FitValueCount] = {
      {"Re", "Re", "Ω", 1},          {"Fs", "Fs", "Hz", 1},
      {"Qms", "Qms", "", 1},         {"Qes", "Qes", "", 1},
      {"Qts", "Qts", "", 1},         {"Le_mH", "Le", "mH", 1e3},
      {"L2_mH", "L2", "mH", 1e3},    {"R2", "R2", "Ω", 1},
      {"K", "K", "Ω·s^n", 1},        {"n", "n", "", 1},
      {"lambda", "λ", "", 1},        {"Mms_g", "Mms", "g", 1e3},
      {"Cms_mm_per_N", "Cms", "mm/N", 1e3}, {"Rms", "Rms", "kg/s", 1},
      {"Bl", "Bl", "T·m", 1},        {"Vas_L", "Vas", "L", 1e3},
      {"EBP", "EBP", "Hz", 1},
  };
  return info[std::clamp(value, 0, FitValueCount - 1)];
}

QString FitFailureText(FitFailure failure, bool ja) {
  switch (failure) {
    case FitFailure::None: return {};
    case FitFailure::NonFinite:
      return ja ? U("測定値に数値でない値があります") : U("the data hold values that are not finite numbers");
    case FitFailure::TooFewPoints:
      return ja ? U("周波数範囲の測定点が少なすぎます（各曲線に10点以上必要です）")
                : U("too few points in the frequency range (10 or more per curve)");
    case FitFailure::NoResonance:
      return ja ? U("周波数範囲に共振のピークが見つかりません") : U("no resonance peak in the frequency range");
    case FitFailure::BadRe:
      return ja ? U("Reは0より大きく、ピークのRより小さな値にしてください")
                : U("Re must be above 0 and below the R of the resonance peak");
    case FitFailure::LoadedNotBelow:
      return ja ? U("付加質量での共振周波数がフリーの共振周波数より低くありません")
                : U("the resonance with the added mass is not below the free one");
    case FitFailure::BoxedNotAbove:
      return ja ? U("密閉箱での共振周波数がフリーの共振周波数より高くありません")
                : U("the resonance in the closed box is not above the free one");
    case FitFailure::NeedsSd:
      return ja ? U("密閉箱の測定にはSdが必要です") : U("the closed-box curve needs Sd");
    case FitFailure::NotConverged:
      return ja ? U("適合が収束しませんでした") : U("the fit did not converge");
  }
  return {};
}

QString FitWarningText(const FitNotice& n, bool ja) {
  switch (n.what) {
    case FitWarning::PoorFit:
      return ja ? U("適合不良: 残差 %1 % が %2 % を超えています（ボイスコイルのモデルか周波数範囲を変えてください）")
                      .arg(n.a, 0, 'f', 2).arg(PoorFitResidual * 100, 0, 'f', 0)
                : U("poor fit: the residual %1 % is above %2 % (try another voice-coil model or range)")
                      .arg(n.a, 0, 'f', 2).arg(PoorFitResidual * 100, 0, 'f', 0);
    case FitWarning::MassShift:
      return ja ? U("付加質量によるFsの変化が %1 % です（15～45 % でないと結果が不安定です）").arg(n.a, 0, 'f', 1)
                : U("the added mass shifts Fs by %1 % (outside 15–45 % the result is ill-conditioned)").arg(n.a, 0, 'f', 1);
    case FitWarning::BoxShift:
      return ja ? U("密閉箱によるFsの変化が %1 % です（15～45 % でないと結果が不安定です）").arg(n.a, 0, 'f', 1)
                : U("the closed box shifts Fs by %1 % (outside 15–45 % the result is ill-conditioned)").arg(n.a, 0, 'f', 1);
    case FitWarning::MassBoxDisagree:
      return ja ? U("付加質量と密閉箱の測定でMmsが不確かさを超えて異なります（%1 g と %2 g）")
                      .arg(n.a, 0, 'f', 2).arg(n.b, 0, 'f', 2)
                : U("the added-mass and closed-box measurements disagree on Mms beyond their uncertainties (%1 g and %2 g)")
                      .arg(n.a, 0, 'f', 2).arg(n.b, 0, 'f', 2);
    case FitWarning::NoCovariance:
      return ja ? U("不確かさを計算できませんでした（データでは決まらないパラメータがあります）")
                : U("the uncertainties could not be computed (the data do not determine every parameter)");
  }
  return {};
}

std::complex<double> ModelImpedance(const FittedModel& m, double f, double addedMass, double boxStiffness) {
  double x[ParamCount] = {};
  x[PRe] = m.re, x[PMms] = m.mms, x[PRms] = m.rms, x[PCms] = m.cms, x[PBl] = m.bl, x[PLam] = m.lambda;
  x[PLe] = m.le, x[PL2] = m.l2, x[PR2] = m.r2, x[PK] = m.k, x[PN] = m.n;
  double zr = 0, zi = 0;
  Evaluate<double>(x, m.coil, m.creep, m.wr, 2 * Pi * f, addedMass, boxStiffness, zr, zi);
  return {zr, zi};
}

void DefaultRange(const FitCurve& free, double& fmin, double& fmax) {
  fmin = free.f.empty() ? 0 : *std::min_element(free.f.begin(), free.f.end());
  fmax = free.f.empty() ? 0 : *std::max_element(free.f.begin(), free.f.end());
  if (!AllFinite(free)) return;
  Curve c = Select(free, fmin, fmax);
  if (c.w.size() >= 3 && FindResonance(c)) fmax = std::min(fmax, 6 * c.peakHz);
}

void FormatWithSigma(double value, double sigma, std::string& v, std::string& s) {
  char text[48];
  if (std::isfinite(sigma) && sigma > 0) {
    const int decimals = std::clamp(1 - int(std::floor(std::log10(sigma))), 0, 9);
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    v = text;
    std::snprintf(text, sizeof text, "%.*f", decimals, sigma);
    s = text;
  } else {
    std::snprintf(text, sizeof text, "%.6g", value);
    v = text;
    s = std::isfinite(sigma) ? "0" : "---";
  }
}

std::string FitTableText(const FitResult& r) {
  std::string out;
  for (int v = 0; v < FitValueCount; ++v) {
    if (!r.has[size_t(v)]) continue;
    const FitValueInfo& info = FitValueInfoOf(v);
    std::string value, sigma;
    FormatWithSigma(r.value[size_t(v)] * info.scale, r.sigma[size_t(v)] * info.scale, value, sigma);
    out += std::string(info.name) + '\t' + value + "\t±" + sigma + '\t' + info.unit + '\n';
  }
  char text[48];
  std::snprintf(text, sizeof text, "residual\t%.3f\t\t%%\n", r.residual * 100);
  return out + text;
}

std::string WdrText(const FitResult& r, const DriverFileInfo& info) {
  std::ostringstream t;
  auto key = [&](const char* name, double v) {
    char text[48];
    std::snprintf(text, sizeof text, "%.9g", v);
    if (std::isfinite(v)) t << name << '=' << text << '\n';
  };
  char comment[160];
  std::snprintf(comment, sizeof comment, "KAVO model fit (%s%s), %.0f-%.0f Hz, residual %.2f %%",
                CoilModelName(r.model.coil), r.model.creep ? ", creep" : "", r.fmin, r.fmax, r.residual * 100);
  t << "[Driver]\nBrand=" << info.brand << "\nModel=" << info.model << "\nComment=" << comment << '\n';
  key("Fs", r.value[FvFs]);
  key("Re", r.value[FvRe]);
  if (r.has[FvLe]) {
    key("Le", r.value[FvLe]);
  } else if (r.has[FvK]) {
    const double w = 2 * Pi * 1000.0;
    key("Le", r.value[FvK] * std::pow(w, r.value[FvN]) * std::sin(r.value[FvN] * Pi / 2) / w);
  }
  if (r.has[FvBl]) key("BL", r.value[FvBl]);
  if (r.has[FvCms]) key("Cms", r.value[FvCms]);
  key("Qms", r.value[FvQms]);
  key("Qes", r.value[FvQes]);
  key("Qts", r.value[FvQts]);
  if (r.has[FvMms]) key("Mms", r.value[FvMms]);
  if (info.sd > 0) key("Sd", info.sd);
  if (r.has[FvVas]) key("Vas", r.value[FvVas]);
  key("EBP", r.value[FvEBP]);
  return t.str();
}

FitCurve CurveFromSlots(const float* r, const float* thetaDeg, const float* f, int first, int last) {
  FitCurve c;
  for (int k = first; k <= last; ++k) {
    if (r[k] <= 0 || f[k] <= 0) continue;
    c.f.push_back(f[k]);
    c.r.push_back(r[k]);
    c.thetaDeg.push_back(thetaDeg[k]);
  }
  return c;
}

std::array<bool, FitValueCount> FitReportedValues(const FitInput& in) {
  std::array<bool, FitValueCount> has{};
  const bool mech = (in.addedMass > 0 && !in.loaded.Empty()) || (in.boxVolume > 0 && !in.boxed.Empty());
  for (int v : {FvRe, FvFs, FvQms, FvQes, FvQts, FvEBP}) has[size_t(v)] = true;
  has[FvLambda] = in.creep;
  has[FvLe] = in.coil != CoilModel::Semi;
  has[FvL2] = has[FvR2] = in.coil == CoilModel::LR2;
  has[FvK] = has[FvN] = in.coil == CoilModel::Semi;
  has[FvMms] = has[FvCms] = has[FvRms] = has[FvBl] = mech;
  has[FvVas] = mech && in.sd > 0;
  return has;
}

FitResult FitDriver(const FitInput& input) {
  QuietSolverLog();
  FitResult joint = FitOnce(input);
  const bool both = input.addedMass > 0 && !input.loaded.Empty() && input.boxVolume > 0 && !input.boxed.Empty();
  if (!joint.Ok() || !both) return joint;
  // Mass and box each with the free curve: do they agree on Mms?
  FitInput mass = input, box = input;
  mass.boxVolume = 0;
  mass.boxed = {};
  box.addedMass = 0;
  box.loaded = {};
  const FitResult a = FitOnce(mass), b = FitOnce(box);
  if (a.Ok() && b.Ok()) {
    const double d = std::abs(a.value[FvMms] - b.value[FvMms]);
    const double s = std::hypot(a.sigma[FvMms], b.sigma[FvMms]);
    if (!(d <= 2 * s))
      joint.warnings.push_back({FitWarning::MassBoxDisagree, a.value[FvMms] * 1e3, b.value[FvMms] * 1e3});
  }
  return joint;
}

}  // namespace kavo
