// See analysis/LoudspeakerModel.h and analysis/ModelFit.h.
#include "analysis/LoudspeakerModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/Ts_analysis.h"

namespace kavo {
namespace {

// Im log10(jω/ω_r) = (π/2)/ln 10.
constexpr double Kappa = Pi / 2 / 2.302585092994046;

using P = LoudspeakerModel;

// The values beyond FitValueCount are for the driver file only: the coil's
// Le (a semi-inductance as the Le of its reactance at 1 kHz) and Sd.
enum { FvDriverLe = FitValueCount, FvSd, AllValues };

// The three-point estimates of Qms and Qes from the peak: f1, f2 where |Z|
// falls to √(Rmax·Re) (f1 mirrored about the peak when below the range).
void ThreePoint(const FitPoints& c, double re, double& qms, double& qes) {
  const double r0 = c.peakR / re, rx = std::sqrt(c.peakR * re);
  const double wp = 2 * Pi * c.peakHz;
  double w1 = 0, w2 = 0;
  size_t top = 0;
  for (size_t k = 0; k < c.w.size(); ++k)
    if (std::abs(c.w[k] - wp) < std::abs(c.w[top] - wp)) top = k;
  for (size_t k = top; k + 1 < c.w.size(); ++k)
    if (c.Mag(k + 1) <= rx) {
      const double t = (c.Mag(k) - rx) / (c.Mag(k) - c.Mag(k + 1));
      w2 = c.w[k] + t * (c.w[k + 1] - c.w[k]);
      break;
    }
  for (size_t k = top; k > 0; --k)
    if (c.Mag(k - 1) <= rx) {
      const double t = (c.Mag(k) - rx) / (c.Mag(k) - c.Mag(k - 1));
      w1 = c.w[k] + t * (c.w[k - 1] - c.w[k]);
      break;
    }
  if (w1 <= 0 && w2 > 0) w1 = wp * wp / w2;
  if (w2 <= 0 && w1 > 0) w2 = wp * wp / w1;
  qms = (w2 > w1 && w1 > 0) ? ThreePointQms(r0, wp, w1, w2) : 5.0;
  qms = std::clamp(qms, 0.5, 50.0);
  qes = std::clamp(qms / std::max(r0 - 1, 1e-3), 0.05, 50.0);
}

}  // namespace

std::span<const FitParameter> LoudspeakerModel::Parameters() const {
  static const FitParameter params[ParamCount] = {
      {"Re", 0, 0, 1e6},  {"Mms", 0, 0, 1e6},     {"Rms", 0, 0, 1e6}, {"Cms", 0, 0, 1e6},
      {"Bl", 0, 0, 1e6},  {"lambda", 0.1, 0, 20},  // λ ≤ 2
      {"Le", 0, 0, 1e6},  {"L2", 0, 0, 1e6},      {"R2", 0, 0, 1e6},  {"K", 0, 0, 1e6},
      {"n", 1, 0.01, 0.99},
  };
  return params;
}

std::span<const ReportedValue> LoudspeakerModel::Values() const {
  static const ReportedValue values[AllValues] = {
      {"Re", "Re", "Ω", 1, "Re", 1},
      {"Fs", "Fs", "Hz", 1, "Fs", 0},
      {"Qms", "Qms", "", 1, "Qms", 5},
      {"Qes", "Qes", "", 1, "Qes", 6},
      {"Qts", "Qts", "", 1, "Qts", 7},
      {"Le_mH", "Le", "mH", 1e3},
      {"L2_mH", "L2", "mH", 1e3},
      {"R2", "R2", "Ω", 1},
      {"K", "K", "Ω·s^n", 1},
      {"n", "n", "", 1},
      {"lambda", "λ", "", 1},
      {"Mms_g", "Mms", "g", 1e3, "Mms", 8},
      {"Cms_mm_per_N", "Cms", "mm/N", 1e3, "Cms", 4},
      {"Rms", "Rms", "kg/s", 1},
      {"Bl", "Bl", "T·m", 1, "BL", 3},
      {"Vas_L", "Vas", "L", 1e3, "Vas", 10},
      {"EBP", "EBP", "Hz", 1, "EBP", 11},
      {"Le_driver", "Le", "H", 1, "Le", 2, false},
      {"Sd", "Sd", "m²", 1, "Sd", 9, false},
  };
  return values;
}

template <typename T>
void LoudspeakerModel::Z(const T* x, const FitPoints& curve, double w, T& zr, T& zi) const {
  const double mass = curve.load[0], kbox = curve.load[1];
  T lr = T(0), li = T(0);
  switch (s_.coil) {
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
    case CoilModel::Semi:
      SemiInductance(x[PK], x[PN], w, lr, li);
      break;
  }
  // Stiffness 1/C(ω) = s1 + j·s2 with C = Cms·(a − jb).
  T s1, s2;
  if (s_.creep) {
    const T a = T(1) - x[PLam] * std::log10(w / s_.wr);
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
template void LoudspeakerModel::Z<double>(const double*, const FitPoints&, double, double&, double&) const;
template void LoudspeakerModel::Z<FitJet>(const FitJet*, const FitPoints&, double, FitJet&, FitJet&) const;

void LoudspeakerModel::Stiffness(const double* x, double w, double& k1, double& k2) const {
  if (!s_.creep) {
    k1 = 1 / x[PCms];
    k2 = 0;
    return;
  }
  const double a = 1 - x[PLam] * std::log10(w / s_.wr), b = x[PLam] * Kappa;
  const double d = x[PCms] * (a * a + b * b);
  k1 = a / d;
  k2 = b / d;
}

// k' changes slowly with ω, so the fixed point iteration converges in a few steps.
double LoudspeakerModel::Resonance(const double* x, double mass, double kbox) const {
  double w = s_.wr > 0 ? s_.wr : 1 / std::sqrt(x[PMms] * x[PCms]);
  for (int i = 0; i < 60; ++i) {
    double k1, k2;
    Stiffness(x, w, k1, k2);
    const double next = std::sqrt(std::max(k1 + kbox, 0.0) / (x[PMms] + mass));
    if (!std::isfinite(next)) return std::numeric_limits<double>::quiet_NaN();
    if (std::abs(next - w) < 1e-13 * w) return next;
    w = next;
  }
  return w;
}

// Starting values from the peaks, the three-point method and the top of
// the range.
namespace {

// The moving mass from the second curve's shift of the resonance: by an
// added mass, else by a box's stiffness; from the free curve alone any mass
// draws the same curve.
double StartMass(const std::vector<FitPoints>& curves) {
  const FitPoints& f = curves.front();
  for (const FitPoints& c : curves)
    if (c.load[0] > 0) {
      const double ratio = f.peakHz / c.peakHz;
      return c.load[0] / (ratio * ratio - 1);
    }
  if (curves.size() < 2) return 0.01;
  const FitPoints& b = curves.back();
  const double ratio = b.peakHz / f.peakHz, wp = 2 * Pi * f.peakHz;
  const double cms = (ratio * ratio - 1) / b.load[1];
  return 1 / (wp * wp * cms);
}

}  // namespace

void LoudspeakerModel::StartMechanics(const std::vector<FitPoints>& curves, std::vector<double>& x) const {
  const FitPoints& f = curves.front();
  const double re = s_.re, wp = 2 * Pi * f.peakHz;
  double qms, qes;
  ThreePoint(f, re, qms, qes);
  const double mms = StartMass(curves);
  x.assign(ParamCount, 0.0);
  x[PRe] = re;
  x[PMms] = mms;
  x[PCms] = 1 / (wp * wp * mms);
  x[PRms] = wp * mms / qms;
  x[PBl] = std::sqrt(wp * mms * re / qes);
  x[PLam] = s_.creep ? 0.03 : 0;
}

void LoudspeakerModel::StartCoil(const FitPoints& f, std::vector<double>& x) const {
  const double re = s_.re;
  // What is left at the top of the range beside the mechanics, as lr + j·li.
  const size_t t = f.w.size() - 1;
  const double w = f.w[t];
  double mr, mi;
  {
    std::vector<double> y = x;
    y[PLam] = 0;
    LoudspeakerModel plain({CoilModel::Le, false, s_.wr});
    plain.Z<double>(y.data(), FitPoints{}, w, mr, mi);
  }
  double lr = std::max(f.zr[t] - mr, 0.02 * re), li = std::max(f.zi[t] - mi, 0.02 * re);
  if (f.magnitudeOnly) {
    // |Z| alone: a coil term at 60° that makes up the magnitude, t² + Bt + C = 0.
    const double b = mr + std::sqrt(3.0) * mi, cc = mr * mr + mi * mi - f.zr[t] * f.zr[t];
    const double disc = b * b - 4 * cc;
    const double m = disc > 0 ? std::max((-b + std::sqrt(disc)) / 2, 0.04 * re) : 0.04 * re;
    lr = m / 2;
    li = m * std::sqrt(3.0) / 2;
  }
  x[PLe] = li / w;
  x[PN] = 0.5;
  if (s_.coil == CoilModel::LR2) {
    x[PLe] = 0.5 * li / w;
    x[PL2] = li / w;
    x[PR2] = std::max(2 * lr, 0.2 * re);
  } else if (s_.coil == CoilModel::Semi) {
    x[PLe] = 0;
    x[PN] = std::clamp(std::atan2(li, lr) / (Pi / 2), 0.3, 0.9);
    x[PK] = std::hypot(lr, li) / std::pow(w, x[PN]);
  }
}

void LoudspeakerModel::Start(const std::vector<FitPoints>& curves, std::vector<double>& x,
                             std::vector<bool>& free) const {
  StartMechanics(curves, x);
  StartCoil(curves.front(), x);
  free.assign(ParamCount, false);
  free[PRe] = s_.fitRe;
  free[PMms] = curves.size() > 1;  // a mass needs the second curve
  free[PRms] = free[PCms] = free[PBl] = true;
  free[PLam] = s_.creep;
  free[PLe] = s_.coil != CoilModel::Semi;
  free[PL2] = free[PR2] = s_.coil == CoilModel::LR2;
  free[PK] = free[PN] = s_.coil == CoilModel::Semi;
}

std::vector<double> LoudspeakerModel::Derived(const double* x) const {
  std::vector<double> v(AllValues, 0.0);
  const double ws = Resonance(x, 0, 0);
  double k1, k2;
  Stiffness(x, ws, k1, k2);
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
  v[FvLambda] = s_.creep ? x[PLam] / (1 - x[PLam] * std::log10(ws / s_.wr)) : 0;
  v[FvMms] = x[PMms];
  v[FvCms] = 1 / k1;
  v[FvRms] = rms;
  v[FvBl] = x[PBl];
  v[FvVas] = s_.rhoc2 * s_.sd * s_.sd / k1;
  v[FvEBP] = v[FvFs] / v[FvQes];
  if (s_.coil == CoilModel::Semi) {
    const double w = 2 * Pi * 1000.0;
    v[FvDriverLe] = x[PK] * std::pow(w, x[PN]) * std::sin(x[PN] * Pi / 2) / w;
  } else {
    v[FvDriverLe] = x[PLe];
  }
  v[FvSd] = s_.sd;
  return v;
}

std::vector<bool> LoudspeakerModel::Determined(const std::vector<FitPoints>& curves) const {
  std::vector<bool> has(AllValues, false);
  const bool mech = curves.size() > 1;
  for (int v : {int(FvRe), int(FvFs), int(FvQms), int(FvQes), int(FvQts), int(FvEBP), int(FvDriverLe)}) has[size_t(v)] = true;
  // |Z| alone fixes the resonance and its losses, not how the coil and the
  // creep split the impedance into R and X.
  const bool phase = std::any_of(curves.begin(), curves.end(), [](const FitPoints& c) { return !c.magnitudeOnly; });
  has[FvLambda] = s_.creep && phase;
  has[FvLe] = s_.coil != CoilModel::Semi && phase;
  has[FvL2] = has[FvR2] = s_.coil == CoilModel::LR2 && phase;
  has[FvK] = has[FvN] = s_.coil == CoilModel::Semi && phase;
  has[FvDriverLe] = phase;
  has[FvMms] = has[FvCms] = has[FvRms] = has[FvBl] = mech;
  has[FvVas] = mech && s_.sd > 0;
  has[FvSd] = s_.sd > 0;
  return has;
}

const char* LoudspeakerModel::CurveName(int role) const {
  return role == 1 ? "loaded" : role == 2 ? "boxed" : "free";
}

// The other coil model: lr2 for semi and le, semi for lr2.
std::vector<std::shared_ptr<const FitModel>> LoudspeakerModel::Variants() const {
  Setup other = s_;
  other.coil = s_.coil == CoilModel::Semi ? CoilModel::LR2 : CoilModel::Semi;
  return {std::make_shared<LoudspeakerModel>(other)};
}

namespace {
enum Input { InRe, InSd, InMass, InBox };
bool HasLoad(const std::vector<FitPoints>& curves, int load) {
  return std::any_of(curves.begin(), curves.end(), [&](const FitPoints& c) { return c.load[load] > 0; });
}
}  // namespace

// Re when fixed, Sd when Vas is reported, the added mass and the box volume
// with their curves: the σ of a load is relative to it (its input 1).
std::vector<FitInputSigma> LoudspeakerModel::Inputs(const std::vector<FitPoints>& curves) const {
  return {{"Re", s_.fitRe ? 0.0 : s_.reSigma},
          {"Sd", s_.sd > 0 ? s_.sdSigma : 0.0},
          {"added mass", HasLoad(curves, 0) ? s_.massSigmaRel : 0.0},
          {"box volume", HasLoad(curves, 1) ? s_.boxSigmaRel : 0.0}};
}

std::shared_ptr<const FitModel> LoudspeakerModel::MoveInput(size_t i, double delta, std::vector<FitPoints>& curves) const {
  Setup moved = s_;
  switch (Input(i)) {
    case InRe: moved.re += delta; break;
    case InSd:
      // The box stiffness ρc²Sd²/Vb moves with Sd.
      moved.sd += delta;
      for (FitPoints& c : curves) c.load[1] *= (moved.sd / s_.sd) * (moved.sd / s_.sd);
      break;
    case InMass:
      for (FitPoints& c : curves) c.load[0] *= 1 + delta;
      break;
    case InBox:
      for (FitPoints& c : curves) c.load[1] /= 1 + delta;
      break;
    default: return nullptr;
  }
  return std::make_shared<LoudspeakerModel>(moved);
}

// The shift of the resonance by the second curves, from the fitted model.
void LoudspeakerModel::Assess(const double* x, const std::vector<FitPoints>& curves, const std::vector<double>& values,
                              std::vector<FitNotice>& warnings) const {
  const double ws = 2 * Pi * values[FvFs];
  for (size_t i = 1; i < curves.size(); ++i) {
    const FitPoints& c = curves[i];
    const double w2 = Resonance(x, c.load[0], c.load[1]);
    const double shift = 100 * std::abs(w2 / ws - 1);
    if (shift < 15 || shift > 45)
      warnings.push_back({c.load[0] > 0 ? FitWarning::MassShift : FitWarning::BoxShift, shift});
  }
}

}  // namespace kavo
