// See analysis/Fitter.h.
#include "analysis/Fitter.h"

#include <ceres/ceres.h>
#include <glog/logging.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/FitModel.h"
#include "analysis/Ts_analysis.h"

namespace kavo {
namespace {

constexpr int MaxIterations = 200;
constexpr int MaxParameters = 24;

// The solver's view: every parameter scaled to near 1, each its own block so
// that any may be held fixed.
struct Problem {
  std::shared_ptr<const FitModel> model;
  std::vector<FitPoints> curves;
  std::vector<double> p, scale, lower, upper;  // p scaled: SI = p × scale
  std::vector<bool> free;
  int Count() const { return int(p.size()); }
};

struct CurveCost {
  const FitPoints* curve;
  const Problem* pr;
  template <typename T>
  bool operator()(T const* const* p, T* residual) const {
    T x[MaxParameters];
    for (int i = 0; i < pr->Count(); ++i) x[i] = p[i][0] * pr->scale[size_t(i)];
    const FitPoints& c = *curve;
    for (size_t k = 0; k < c.w.size(); ++k) {
      T zr, zi;
      pr->model->Impedance(x, c, c.w[k], zr, zi);
      if (c.magnitudeOnly) {
        using std::sqrt;
        residual[k] = sqrt(zr * zr + zi * zi) * c.weight[k] - 1.0;
      } else {
        residual[2 * k] = (zr - c.zr[k]) * c.weight[k];
        residual[2 * k + 1] = (zi - c.zi[k]) * c.weight[k];
      }
    }
    return true;
  }
};

// The model's start, scaled, with its bounds. With `warm` (a fitted
// problem's parameters, SI, and which were free) the free parameters start
// there when the same ones are free: a refit after a small change.
Problem Build(FitSetup fit, const std::vector<double>* warm = nullptr, const std::vector<bool>* warmFree = nullptr) {
  Problem pr;
  pr.model = std::move(fit.model);
  pr.curves = std::move(fit.curves);
  const auto params = pr.model->Parameters();
  std::vector<double> x(params.size(), 0.0);
  pr.free.assign(params.size(), false);
  pr.model->Start(pr.curves, x, pr.free);
  if (warm && warmFree && *warmFree == pr.free && warm->size() == x.size())
    for (size_t i = 0; i < x.size(); ++i)
      if (pr.free[i]) x[i] = (*warm)[i];
  for (size_t i = 0; i < params.size(); ++i) {
    double s = params[i].scale > 0 ? params[i].scale : std::abs(x[i]);
    if (!(s > 0)) s = 1;
    pr.scale.push_back(s);
    pr.p.push_back(x[i] / s);
    pr.lower.push_back(params[i].lower);
    pr.upper.push_back(params[i].upper);
  }
  return pr;
}

struct Solved {
  FitFailure failure = FitFailure::None;
  double cost = 0;
  int iterations = 0;
  bool covariance = false;
  std::vector<double> cov;  // over all parameters, scaled; 0 for fixed ones
};

// The covariance of the free parameters (scaled), into s.cov.
void Covariance(Problem& pr, ceres::Problem& problem, Solved& s) {
  const int n = pr.Count();
  std::vector<const double*> freeBlocks;
  std::vector<int> index;
  for (int i = 0; i < n; ++i)
    if (pr.free[size_t(i)]) {
      freeBlocks.push_back(&pr.p[size_t(i)]);
      index.push_back(i);
    }
  ceres::Covariance::Options co;
  co.algorithm_type = ceres::DENSE_SVD;
  co.num_threads = 1;
  ceres::Covariance covariance(co);
  s.cov.assign(size_t(n * n), 0.0);
  if (freeBlocks.empty() || !covariance.Compute(freeBlocks, &problem)) return;
  const size_t m = freeBlocks.size();
  std::vector<double> c(m * m);
  if (!covariance.GetCovarianceMatrix(freeBlocks, c.data())) return;
  s.covariance = true;
  for (size_t a = 0; a < m; ++a)
    for (size_t b = 0; b < m; ++b) s.cov[size_t(index[a] * n + index[b])] = c[a * m + b];
}

Solved Solve(Problem& pr, bool covariance = true) {
  ceres::Problem problem;
  const int n = pr.Count();
  std::vector<double*> blocks;
  for (int i = 0; i < n; ++i) blocks.push_back(&pr.p[size_t(i)]);
  for (const FitPoints& c : pr.curves) {
    auto* cost = new ceres::DynamicAutoDiffCostFunction<CurveCost, FitJetStride>(new CurveCost{&c, &pr});
    for (int i = 0; i < n; ++i) cost->AddParameterBlock(1);
    cost->SetNumResiduals(int(c.Residuals()));
    problem.AddResidualBlock(cost, nullptr, blocks);
  }
  for (int i = 0; i < n; ++i) {
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
  bool finite = std::isfinite(summary.final_cost);
  for (double v : pr.p) finite = finite && std::isfinite(v);
  if (summary.termination_type != ceres::CONVERGENCE || !finite) {
    s.failure = FitFailure::NotConverged;
    return s;
  }
  if (covariance) Covariance(pr, problem, s);
  return s;
}

// Each point's residual, real and imaginary part (|Z|'s alone for a curve
// without phase), curve by curve.
std::vector<std::vector<std::complex<double>>> PointResiduals(const Problem& pr, const std::vector<double>& x) {
  std::vector<std::vector<std::complex<double>>> e;
  for (const FitPoints& c : pr.curves) {
    e.emplace_back();
    for (size_t k = 0; k < c.w.size(); ++k) {
      double zr, zi;
      pr.model->Impedance(x.data(), c, c.w[k], zr, zi);
      if (c.magnitudeOnly) e.back().push_back({std::hypot(zr, zi) * c.weight[k] - 1, 0});
      else e.back().push_back({(zr - c.zr[k]) * c.weight[k], (zi - c.zi[k]) * c.weight[k]});
    }
  }
  return e;
}

// The residuals' autocorrelation ρ(l) along frequency over every curve, real
// and imaginary parts alike, about their zero, not their mean (a misfit that
// runs along the curve counts); the lag-one value into `rho1`. Their
// integrated autocorrelation τ = 1 + 2·Σρ(l), summed over the lags before ρ
// first reaches 0 (beyond, the estimates are noise about 0; at most half the
// longest curve): residuals correlated along frequency hold n/τ independent
// points, not n. 1 for white noise; (1 + ρ)/(1 − ρ) for an AR(1) series.
double IntegratedCorrelation(const Problem& pr, const std::vector<double>& x, double& rho1) {
  const auto e = PointResiduals(pr, x);
  auto lagged = [&e](size_t l) {
    double sum = 0;
    for (const auto& c : e)
      for (size_t k = 0; k + l < c.size(); ++k) sum += c[k].real() * c[k + l].real() + c[k].imag() * c[k + l].imag();
    return sum;
  };
  size_t longest = 0;
  for (const auto& c : e) longest = std::max(longest, c.size());
  const double zero = lagged(0);
  double tau = 1;
  rho1 = 0;
  for (size_t l = 1; zero > 0 && l <= longest / 2; ++l) {
    const double rho = lagged(l) / zero;
    if (l == 1) rho1 = rho;
    if (!(rho > 0)) break;
    tau += 2 * rho;
  }
  return tau;
}

// σ of each value: J Σ Jᵀ, J by central differences over the scaled
// parameters, Σ scaled by the residual variance per degree of freedom and by
// `tau`. A value that no free parameter moves has σ 0.
std::vector<double> Propagate(const Problem& pr, const Solved& s, const std::vector<double>& x, double tau) {
  const int n = pr.Count();
  int nfree = 0;
  for (bool b : pr.free) nfree += b;
  int dof = -nfree;
  for (const FitPoints& c : pr.curves) dof += int(c.Residuals());
  const double s2 = (dof > 0 ? 2 * s.cost / dof : 0) * tau;
  const size_t values = pr.model->Values().size();
  if (!s.covariance) return std::vector<double>(values, std::numeric_limits<double>::quiet_NaN());
  std::vector<std::vector<double>> jac(values, std::vector<double>(size_t(n), 0.0));
  for (int i = 0; i < n; ++i) {
    if (!pr.free[size_t(i)]) continue;
    const double h = 1e-6 * std::max(std::abs(pr.p[size_t(i)]), 1e-3);
    std::vector<double> up = x, dn = x;
    up[size_t(i)] += h * pr.scale[size_t(i)];
    dn[size_t(i)] -= h * pr.scale[size_t(i)];
    const auto a = pr.model->Derived(up.data()), b = pr.model->Derived(dn.data());
    for (size_t v = 0; v < values; ++v) jac[v][size_t(i)] = (a[v] - b[v]) / (2 * h);
  }
  std::vector<double> sigma(values, 0.0);
  for (size_t v = 0; v < values; ++v) {
    double var = 0;
    bool moved = false;
    for (int i = 0; i < n; ++i) {
      moved = moved || jac[v][size_t(i)] != 0;
      for (int j = 0; j < n; ++j) var += jac[v][size_t(i)] * s.cov[size_t(i * n + j)] * jac[v][size_t(j)];
    }
    sigma[v] = moved ? std::sqrt(std::max(var * s2, 0.0)) : 0.0;
  }
  return sigma;
}

// Values and σ, what the curves determine (the rest 0), the ranges fitted.
FitResult Report(const Problem& pr, const Solved& s) {
  FitResult r;
  r.iterations = s.iterations;
  for (const FitPoints& c : pr.curves) {
    r.points += int(c.w.size());
    r.ranges.push_back({c.role, c.fLow, c.fHigh, int(c.w.size())});
  }
  r.fmin = r.ranges.front().fmin;
  r.fmax = r.ranges.front().fmax;
  r.residual = std::sqrt(2 * s.cost / r.points);
  r.poor = r.residual > PoorFitResidual;
  r.params.resize(pr.p.size());
  for (size_t i = 0; i < pr.p.size(); ++i) r.params[i] = pr.p[i] * pr.scale[i];
  r.table = pr.model->Values();
  r.value = pr.model->Derived(r.params.data());
  if (s.covariance) r.correlationTime = IntegratedCorrelation(pr, r.params, r.correlation);
  r.sigma = Propagate(pr, s, r.params, r.correlationTime);
  r.has = pr.model->Determined(pr.curves);
  for (size_t v = 0; v < r.value.size(); ++v)
    if (!r.has[v]) r.value[v] = r.sigma[v] = 0;
  r.sigmaStat = r.sigma;
  return r;
}

}  // namespace

bool AllFinite(const FitCurve& c) {
  if (c.r.size() != c.f.size() || c.thetaDeg.size() != c.f.size()) return false;
  for (size_t k = 0; k < c.f.size(); ++k)
    if (!std::isfinite(c.f[k]) || !std::isfinite(c.r[k]) || !std::isfinite(c.thetaDeg[k])) return false;
  return true;
}

bool HasPhase(const FitCurve& c) {
  return std::any_of(c.thetaDeg.begin(), c.thetaDeg.end(), [](double t) { return std::abs(t) > 0.1; });
}

FitPoints SelectPoints(const FitCurve& in, double fmin, double fmax) {
  FitPoints c;
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
    c.fLow = c.w.size() == 1 ? in.f[k] : std::min(c.fLow, in.f[k]);
    c.fHigh = std::max(c.fHigh, in.f[k]);
  }
  return c;
}

LeastResistance SmallestResistance(const FitPoints& c) {
  constexpr double halfStep = 0.05 * Pi / 180, scatter = 0.01;
  LeastResistance least{0, std::numeric_limits<double>::infinity()};
  for (size_t k = 0; k < c.w.size(); ++k) {
    const double mag = c.Mag(k), r = c.magnitudeOnly ? mag : c.zr[k];
    const double top = c.magnitudeOnly ? mag : std::min(r + std::abs(c.zi[k]) * halfStep + scatter * mag, mag);
    if (top < least.top) least = {r, top};
  }
  return least;
}

double PeakProminence(const FitPoints& c, size_t k) {
  const size_t n = c.w.size();
  if (k == 0 || k + 1 >= n) return 0;
  const double m = c.Mag(k);
  if (!(m > c.Mag(k - 1) && m >= c.Mag(k + 1))) return 0;
  double left = m, right = m;
  for (size_t i = k; i-- > 0 && c.Mag(i) <= m;) left = std::min(left, c.Mag(i));
  for (size_t i = k + 1; i < n && c.Mag(i) <= m; ++i) right = std::min(right, c.Mag(i));
  return m - std::max(left, right);
}

bool FindResonance(FitPoints& c) {
  const size_t n = c.w.size();
  double low = std::numeric_limits<double>::max();
  for (size_t k = 0; k < n; ++k) low = std::min(low, c.Mag(k));
  double best = 0;
  size_t at = 0;
  for (size_t k = 1; k + 1 < n; ++k) {
    const double prominence = PeakProminence(c, k);
    if (prominence > best) {
      best = prominence;
      at = k;
    }
  }
  if (!(best > 0.1 * low)) return false;
  // Inside the range: enough points on either side to fix its width.
  if (at < size_t(MinSidePoints) || n - 1 - at < size_t(MinSidePoints)) return false;
  const double x0 = std::log(c.w[at - 1]), x1 = std::log(c.w[at]), x2 = std::log(c.w[at + 1]);
  const double y0 = c.Mag(at - 1), y1 = c.Mag(at), y2 = c.Mag(at + 1);
  c.peakHz = std::exp(ParabolaVertex(x0, x1, x2, y0, y1, y2)) / (2 * Pi);
  c.peakR = y1;
  return true;
}

FitResult FailedFit(FitFailure failure, int curve) {
  FitResult r;
  r.failure = failure;
  r.failedCurve = curve;
  return r;
}

void QuietSolverLog() {
  FLAGS_minloglevel = google::GLOG_FATAL;
  FLAGS_logtostderr = true;
}

namespace {

// One fit with its stat σ; the problem it solved in `pr`. A variant
// (`warm` given: its start) needs its values only.
FitResult FitOne(FitSetup fit, Problem& pr, const std::vector<double>* warm = nullptr,
                 const std::vector<bool>* warmFree = nullptr) {
  if (fit.model->Parameters().size() > size_t(MaxParameters)) return FailedFit(FitFailure::NotConverged);
  pr = Build(std::move(fit), warm, warmFree);
  const Solved s = Solve(pr, !warm);
  if (s.failure != FitFailure::None) return FailedFit(s.failure);
  if (!warm && !s.covariance) return FailedFit(FitFailure::NoUncertainty);
  FitResult r = Report(pr, s);
  r.model = pr.model;
  return r;
}

// The sum of squared residuals at `p` (scaled).
double SquaredResiduals(const Problem& pr, const std::vector<double>& p) {
  std::vector<double> x(p.size());
  for (size_t i = 0; i < p.size(); ++i) x[i] = p[i] * pr.scale[i];
  double sum = 0;
  for (const FitPoints& c : pr.curves)
    for (size_t k = 0; k < c.w.size(); ++k) {
      double zr, zi;
      pr.model->Impedance(x.data(), c, c.w[k], zr, zi);
      if (c.magnitudeOnly) sum += std::pow(std::hypot(zr, zi) * c.weight[k] - 1, 2);
      else sum += (std::pow(zr - c.zr[k], 2) + std::pow(zi - c.zi[k], 2)) * c.weight[k] * c.weight[k];
    }
  return sum;
}

// +1 at the upper bound, -1 at the lower, 0 inside.
int AtBound(const Problem& pr, size_t i) {
  const double eps = 1e-12;
  if (pr.p[i] >= pr.upper[i] - eps * std::max(1.0, std::abs(pr.upper[i]))) return 1;
  if (pr.p[i] <= pr.lower[i] + eps * std::max(1.0, std::abs(pr.lower[i]))) return -1;
  return 0;
}

// A refit from the fit's own parameters (a variant, an input moved), for
// its values. A parameter the fit left at a bound is held there: along a
// bound the bounded solver creeps in tens of short steps where the rest,
// solved free of it, converge in a few. The hold is released, and the rest
// solved again, where the cost falls on leaving the bound, so that the
// refit ends where a bounded solve would.
FitResult Refit(FitSetup fit, const Problem& from, const std::vector<double>& params) {
  if (fit.model->Parameters().size() > size_t(MaxParameters)) return FailedFit(FitFailure::NotConverged);
  Problem pr = Build(std::move(fit), &params, &from.free);
  const std::vector<bool> free = pr.free;
  std::vector<size_t> held;
  if (free == from.free)
    for (size_t i = 0; i < free.size(); ++i)
      if (free[i] && AtBound(pr, i) != 0) {
        pr.free[i] = false;
        held.push_back(i);
      }
  Solved s = Solve(pr, false);
  while (s.failure == FitFailure::None && !held.empty()) {
    bool released = false;
    const double cost = SquaredResiduals(pr, pr.p);
    for (size_t i : held) {
      if (pr.free[i]) continue;
      std::vector<double> inward = pr.p;
      inward[i] -= AtBound(pr, i) * 1e-7 * std::max(std::abs(pr.p[i]), 1.0);
      if (SquaredResiduals(pr, inward) < cost) pr.free[i] = released = true;
    }
    if (!released) break;
    s = Solve(pr, false);
    held.erase(std::remove_if(held.begin(), held.end(), [&pr](size_t i) { return bool(pr.free[i]); }), held.end());
  }
  pr.free = free;
  if (s.failure != FitFailure::None) return FailedFit(s.failure);
  FitResult r = Report(pr, s);
  r.model = pr.model;
  return r;
}

// The variant's values, empty when it failed or gave a value that is not
// finite where the fit has one; NaN for a value the variant does not have
// (the other coil model's terms).
std::vector<double> VariantValues(const FitResult& fit, const FitResult& v) {
  if (!v.Ok() || v.value.size() != fit.value.size()) return {};
  std::vector<double> values = v.value;
  for (size_t k = 0; k < v.value.size(); ++k) {
    if (fit.has[k] && v.has[k] && !std::isfinite(v.value[k])) return {};
    if (!v.has[k]) values[k] = std::numeric_limits<double>::quiet_NaN();
  }
  return values;
}

}  // namespace

FitResult RunFit(FitSetup fit, const FitSigmaPlan& plan) {
  const std::vector<FitPoints> curves = fit.curves;
  Problem pr;
  FitResult r = FitOne(std::move(fit), pr);
  if (!r.Ok()) return r;
  // No number where there is none.
  for (size_t v = 0; v < r.value.size(); ++v)
    if (r.has[v] && !std::isfinite(r.value[v])) return FailedFit(FitFailure::NoValue);
  const size_t n = r.value.size();
  r.sigmaModel.assign(n, 0.0);
  r.sigmaInput.assign(n, 0.0);
  // Model part: the largest deviation over the variants.
  if (plan.model) {
    std::vector<FitSetup> variants;
    for (auto& m : r.model->Variants()) variants.push_back({m, curves});
    variants.insert(variants.end(), plan.variants.begin(), plan.variants.end());
    for (FitSetup& setup : variants) {
      const bool same = setup.model == nullptr;
      if (same) setup.model = r.model;
      r.variantValues.push_back(VariantValues(r, Refit(std::move(setup), pr, r.params)));
      const std::vector<double>& values = r.variantValues.back();
      if (values.empty()) continue;
      for (size_t v = 0; v < n; ++v)
        if (r.has[v] && std::isfinite(values[v]))
          r.sigmaModel[v] = std::max(r.sigmaModel[v], std::abs(values[v] - r.value[v]));
    }
  }
  // Input part: each input moved by its σ, in quadrature.
  if (plan.input) {
    const std::vector<FitInputSigma> inputs = r.model->Inputs(curves);
    for (size_t i = 0; i < inputs.size(); ++i) {
      if (!(inputs[i].sigma > 0)) continue;
      FitSetup moved{nullptr, curves};
      moved.model = r.model->MoveInput(i, inputs[i].sigma, moved.curves);
      if (!moved.model) continue;
      const FitResult m = Refit(std::move(moved), pr, r.params);
      if (!m.Ok()) return FailedFit(FitFailure::NoUncertainty);
      for (size_t v = 0; v < n; ++v)
        if (r.has[v]) r.sigmaInput[v] = std::hypot(r.sigmaInput[v], m.value[v] - r.value[v]);
    }
  }
  for (size_t v = 0; v < n; ++v) {
    if (!r.has[v]) continue;
    r.sigma[v] = std::sqrt(r.sigmaStat[v] * r.sigmaStat[v] + r.sigmaModel[v] * r.sigmaModel[v] +
                           r.sigmaInput[v] * r.sigmaInput[v]);
    if (!std::isfinite(r.sigma[v])) return FailedFit(FitFailure::NoUncertainty);
  }
  pr.model->Assess(r.params.data(), pr.curves, r.value, r.warnings);
  if (r.poor) r.warnings.push_back({FitWarning::PoorFit, 100 * r.residual});
  return r;
}

std::complex<double> FitResult::Impedance(double f) const {
  if (!model) return {};
  double zr = 0, zi = 0;
  model->Impedance(params.data(), FitPoints{}, 2 * Pi * f, zr, zi);
  return {zr, zi};
}

}  // namespace kavo
