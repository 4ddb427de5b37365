// See analysis/Compensation.h.
#include "analysis/Compensation.h"

#include <QFileInfo>
#include <QList>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <cstdio>

#include "analysis/FitModel.h"
#include "analysis/FitReport.h"
#include "analysis/ModelFit.h"

namespace kavo {
namespace {

using Cx = std::complex<double>;

// Stage-two threshold: one stage that meets the aim over the band is kept
// (two more parts to buy and fit are not worth a flatter curve than that).
constexpr double OneStageEnough = 10.0;  // %
// Fits per design toward the smallest largest deviation.
constexpr int LawsonPasses = 6;
// What the design aims at: the band flat within 10 % of Re, the resonance
// below it (where the notch works) within 15 %. Deviations below the band
// count at 10/15 of theirs, so that the largest of the two, each against
// its own aim, is what the reweighting brings down.
constexpr double BelowBandShare = 10.0 / 15.0;

// The notch, fixed while the Zobel is fitted.
struct Notch {
  bool on = false;
  double rn = 0, ln = 0, cn = 0;
  Cx Z(double w) const { return {rn, w * ln - 1 / (w * cn)}; }
};

// The Zobel's stages (and, with them, the notch) fitted so that the measured
// curve in parallel with the networks comes to Re: the curve's points are the
// measured impedance, their targets Re (the model gives |Z| as its real
// part, so that only the magnitude is fitted). Parameters Rz Cz Rz2 Cz2 Rn Ln Cn.
class ZobelModel final : public FitModelOf<ZobelModel> {
 public:
  ZobelModel(std::vector<double> w, std::vector<Cx> z, Notch notch, bool twoStages, std::vector<double> start)
      : w_(std::move(w)), z_(std::move(z)), notch_(notch), two_(twoStages), start_(std::move(start)) {}

  std::span<const FitParameter> Parameters() const override {
    static const FitParameter p[] = {{"Rz", 0, 1e-3, 1e3}, {"Cz", 0, 1e-3, 1e3}, {"Rz2", 0, 1e-3, 1e3},
                                     {"Cz2", 0, 1e-3, 1e3}, {"Rn", 0, 1e-2, 1e2}, {"Ln", 0, 1e-2, 1e2},
                                     {"Cn", 0, 1e-2, 1e2}};
    return p;
  }
  std::span<const ReportedValue> Values() const override {
    static const ReportedValue v[] = {{"Rz", "Rz", "Ω", 1},        {"Cz_uF", "Cz", "µF", 1e6}, {"Rz2", "Rz2", "Ω", 1},
                                      {"Cz2_uF", "Cz2", "µF", 1e6}, {"Rn", "Rn", "Ω", 1},      {"Ln_mH", "Ln", "mH", 1e3},
                                      {"Cn_uF", "Cn", "µF", 1e6}};
    return v;
  }
  void Start(const std::vector<FitPoints>&, std::vector<double>& x, std::vector<bool>& free) const override {
    x = start_;
    free = {true, true, two_, two_, notch_.on, notch_.on, notch_.on};
  }
  std::vector<double> Derived(const double* x) const override { return std::vector<double>(x, x + 7); }
  std::vector<bool> Determined(const std::vector<FitPoints>&) const override {
    return {true, true, two_, two_, notch_.on, notch_.on, notch_.on};
  }
  const char* CurveName(int) const override { return "band"; }

  template <typename T>
  void Z(const T* x, const FitPoints&, double w, T& zr, T& zi) const {
    const size_t k = size_t(std::lower_bound(w_.begin(), w_.end(), w * (1 - 1e-12)) - w_.begin());
    const Cx zm = z_[std::min(k, z_.size() - 1)];
    const double md = std::norm(zm);
    // Admittances: the measured curve, each R–C stage, the notch.
    T yr = T(zm.real() / md), yi = T(-zm.imag() / md);
    auto add = [&](const T& r, const T& x) {  // 1/(r + jx)
      const T d = r * r + x * x;
      yr += r / d;
      yi -= x / d;
    };
    add(x[0], T(-1) / (w * x[1]));
    if (two_) add(x[2], T(-1) / (w * x[3]));
    if (notch_.on) add(x[4], w * x[5] - T(1) / (w * x[6]));
    // |Z| against Re: the magnitude is what is flattened, the phase left free.
    using std::sqrt;
    zr = T(1) / sqrt(yr * yr + yi * yi);
    zi = T(0);
  }

 private:
  std::vector<double> w_;
  std::vector<Cx> z_;
  Notch notch_;
  bool two_;
  std::vector<double> start_;
};

Cx Parallel(Cx a, Cx b) { return a * b / (a + b); }

// The measured curve with the designed networks across it.
Cx Compensated(Cx zm, double w, const std::vector<double>& zobel, const Notch& notch) {
  Cx z = zm;
  for (size_t s = 0; s + 1 < 4; s += 2)
    if (zobel[s] > 0) z = Parallel(z, Cx(zobel[s], -1 / (w * zobel[s + 1])));
  if (notch.on) z = Parallel(z, notch.Z(w));
  return z;
}

double Flatness(const FitPoints& band, double re, const std::vector<double>& zobel, const Notch& notch) {
  double worst = 0;
  for (size_t k = 0; k < band.w.size(); ++k) {
    const Cx z = Compensated({band.zr[k], band.zi[k]}, band.w[k], zobel, notch);
    worst = std::max(worst, std::abs(std::abs(z) / re - 1));
  }
  return 100 * worst;
}

// The band's points, targets Re + j0 for the fitter; the measured Z kept aside.
FitPoints Targets(const FitPoints& band, double re) {
  FitPoints t = band;
  std::fill(t.zr.begin(), t.zr.end(), re);
  std::fill(t.zi.begin(), t.zi.end(), 0.0);
  std::fill(t.weight.begin(), t.weight.end(), 1 / re);
  return t;
}

// About 100 points (every second, third, ... and the last): the networks
// are smooth, 30 points a decade follow them, and the fit takes a quarter of
// the time of the curve's 400. The flatness is judged on every point.
constexpr size_t ZobelPoints = 100;
FitPoints Thinned(const FitPoints& c) {
  const size_t stride = (c.w.size() + ZobelPoints - 1) / ZobelPoints;
  if (stride < 2) return c;
  FitPoints t = c;
  for (auto* v : {&t.w, &t.zr, &t.zi, &t.weight}) {
    std::vector<double> kept;
    for (size_t k = 0; k < v->size(); k += stride) kept.push_back((*v)[k]);
    if ((v->size() - 1) % stride != 0) kept.push_back(v->back());
    *v = std::move(kept);
  }
  return t;
}

struct ZobelFit {
  bool ok = false;
  std::vector<double> x, sigma;  // Rz Cz Rz2 Cz2 Rn Ln Cn (0 for what is not designed)
  Notch notch;
  std::vector<double> weight;    // the points' weights of the last pass
};

// Fitted over `points`: the band alone for a Zobel, the whole curve when the
// notch is refined with it (its points below `bandLow` Hz at BelowBandShare).
// Least squares flatten on average; the flatness is the largest deviation.
// Lawson's reweighting (each point's weight times its deviation) moves the
// fit toward the smallest largest deviation in a few passes; `weight`, when
// given, are the first pass's (a refit of a finished design).
ZobelFit FitZobel(const FitPoints& points, double re, double bandLow, const Notch& notch, bool two,
                  const std::vector<double>& start, int passes = LawsonPasses,
                  const std::vector<double>* weight = nullptr) {
  const size_t n = points.w.size();
  std::vector<Cx> z;
  std::vector<double> share(n, 1.0);
  for (size_t k = 0; k < n; ++k) {
    z.emplace_back(points.zr[k], points.zi[k]);
    if (points.w[k] < 2 * Pi * bandLow * (1 - 1e-9)) share[k] = BelowBandShare;
  }
  ZobelFit best;
  double bestWorst = std::numeric_limits<double>::max();
  FitPoints targets = Targets(points, re);
  std::vector<double> lawson(n, 1.0);
  if (weight && weight->size() == n) targets.weight = *weight;
  else
    for (size_t k = 0; k < n; ++k) targets.weight[k] = share[k] / re;
  std::vector<double> x = start, deviation(n), firstSigma;
  for (int pass = 0; pass < passes; ++pass) {
    auto model = std::make_shared<ZobelModel>(points.w, z, notch, two, x);
    const FitResult r = RunFit(FitSetup{model, {targets}});
    if (!r.Ok()) break;
    if (pass == 0) firstSigma = r.sigma;
    ZobelFit fit{true, r.value, r.sigma, notch, targets.weight};
    for (size_t i = 0; i < 7; ++i)
      if (!r.has[i]) fit.x[i] = fit.sigma[i] = 0;
    if (notch.on) fit.notch = {true, fit.x[4], fit.x[5], fit.x[6]};
    x = r.params;
    double worst = 0;
    for (size_t k = 0; k < n; ++k) {
      deviation[k] = share[k] * std::abs(std::abs(Compensated(z[k], points.w[k], fit.x, fit.notch)) / re - 1);
      worst = std::max(worst, deviation[k]);
    }
    // The reweighting does not always come down at every pass: the best is kept.
    if (worst < bestWorst) {
      bestWorst = worst;
      best = std::move(fit);
    }
    double sum = 0;
    for (size_t k = 0; k < n; ++k) sum += lawson[k] *= (deviation[k] + 1e-4);
    for (size_t k = 0; k < n; ++k) targets.weight[k] = share[k] * std::sqrt(lawson[k] * double(n) / sum) / re;
  }
  // σ is the first pass's, of least squares over every point: the later
  // passes' weights gather on a few points, and their covariance, scaled by
  // the ripple left, tells how flat the flatness's minimum is rather than
  // how far another measurement would move the design.
  if (best.ok)
    for (size_t i = 0; i < best.sigma.size(); ++i)
      if (best.x[i] != 0) best.sigma[i] = firstSigma[i];
  return best;
}

// One or two stages: the second only when it flattens the band clearly more.
ZobelFit DesignZobel(const FitPoints& all, const FitPoints& band, double bandLow, double re, const Notch& notch,
                     double le) {
  const FitPoints points = Thinned(notch.on ? all : band);
  std::vector<double> start = {re, std::max(le, 1e-6) / (re * re), 1, 1e-6, notch.rn, notch.ln, notch.cn};
  if (!notch.on) start[4] = start[5] = start[6] = 1;
  ZobelFit best = FitZobel(points, re, bandLow, notch, false, start);
  if (!best.ok) return best;
  const double flat1 = Flatness(band, re, best.x, best.notch);
  if (flat1 <= OneStageEnough) return best;
  // The second stage starts beside the first, taking the top of the band:
  // 1.5 × its R, 0.3 × its C.
  std::vector<double> start2 = best.x;
  start2[2] = best.x[0] * 1.5;
  start2[3] = best.x[1] * 0.3;
  if (!notch.on) start2[4] = start2[5] = start2[6] = 1;
  const ZobelFit two = FitZobel(points, re, bandLow, notch, true, start2);
  const double flat2 = two.ok ? Flatness(band, re, two.x, two.notch) : flat1;
  if (two.ok && flat2 < 0.67 * flat1) return two;
  return best;
}

double Standard(double value, int perDecade, ESeries series) {
  if (series == ESeries::Exact) return value;
  if (series == ESeries::E12) perDecade = 12;
  if (series == ESeries::E24) perDecade = 24;
  return NearestStandard(value, perDecade);
}

// The driver's values from its model fitted with the given Re (σ of Re:
// the input's).
bool FitDriverValues(const CompensationInput& in, DriverValues& d, FitFailure& failure) {
  FitInput fit;
  fit.free = in.curve;
  fit.re = in.re;
  const FitResult r = FitDriver(fit);
  failure = r.failure;
  if (!r.Ok()) return false;
  d.re = in.re;
  d.reSigma = in.reSigma > 0 ? in.reSigma : 0.01 * in.re;
  d.fs = r.value[FvFs];
  d.qms = r.value[FvQms];
  d.qes = r.value[FvQes];
  d.fsSigma = r.sigma[FvFs];
  d.qmsSigma = r.sigma[FvQms];
  d.qesSigma = r.sigma[FvQes];
  // The coil's inductance at the top of the curve, for the Zobel's start.
  const double f = in.curve.f.back(), w = 2 * Pi * f;
  d.le = std::max(std::imag(r.Impedance(f)) / w, 1e-6);
  for (double s : {d.fsSigma, d.qmsSigma, d.qesSigma})
    if (!std::isfinite(s)) return false;
  return true;
}

}  // namespace

bool ParseESeries(const QString& name, ESeries& series) {
  if (name == QLatin1String("E12")) series = ESeries::E12;
  else if (name == QLatin1String("E24")) series = ESeries::E24;
  else if (name == QLatin1String("exact")) series = ESeries::Exact;
  else return false;
  return true;
}

QByteArray StandardValueText(double value) {
  const int digits = std::isfinite(value) && value != 0 ? int(std::floor(std::log10(std::abs(value)))) + 1 : 1;
  return QByteArray::number(value, 'g', std::max(4, digits));
}

double NearestStandard(double value, int perDecade) {
  static const double e12[] = {1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2, 10.0};
  static const double e24[] = {1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0, 3.3,
                               3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1, 10.0};
  if (!(value > 0) || !std::isfinite(value)) return value;
  const double decade = std::pow(10.0, std::floor(std::log10(value)));
  const double m = value / decade;
  double best = 1;
  const std::span<const double> table = perDecade == 24 ? std::span<const double>(e24) : std::span<const double>(e12);
  for (double e : table)
    if (std::abs(std::log(e / m)) < std::abs(std::log(best / m))) best = e;
  return best * decade;
}

const CompComponent* CompensationResult::Part(const char* key) const {
  for (const CompComponent& c : parts)
    if (qstrcmp(c.key, key) == 0) return &c;
  return nullptr;
}

namespace {

// What is put across the driver: the Zobel's stages (Rz Cz Rz2 Cz2, an R of
// 0 for a stage not designed) and the notch.
struct Networks {
  std::vector<double> zobel = {0, 1, 0, 1};
  Notch notch;
};

// The driver's values: the driver file's, or those of its model fitted to
// the curve with the Re given (below the curve's peak).
bool DriverForDesign(const CompensationInput& in, const FitPoints& all, CompensationResult& r) {
  DriverValues d = in.driver;
  if (in.haveDriver) {
    // A file of another driver (or of this one in a box) would give a notch
    // away from the resonance measured: a quarter off is more than days,
    // temperature or the unit make.
    if (!(std::abs(all.peakHz / d.fs - 1) <= 0.25)) {
      r.failure = CompFailure::OtherDriver;
      r.driver = d;
      r.peakHz = all.peakHz;
      return false;
    }
    // The Zobel starts from the coil's inductance at the curve's top, as
    // measured: a file may give no Le, and its Le belongs to its own coil
    // model (a Zobel started from 1 µH did not converge).
    const size_t top = all.w.size() - 1;
    d.le = std::max(all.zi[top] / all.w[top], 1e-6);
  } else {
    if (!(in.re > 0) || !(in.re < all.peakR)) {
      r.failure = CompFailure::BadRe;
      return false;
    }
    if (!FitDriverValues(in, d, r.fitFailure)) {
      r.failure = CompFailure::DriverFit;
      return false;
    }
  }
  r.driver = d;
  return true;
}

// The band as given, or 3·Fs to the curve's top; a notch alone flattens the
// resonance, so its band is the curve's bottom to 3·Fs, where the Zobel's
// would begin. Within the curve, with enough points.
bool ChooseBand(const CompensationInput& in, const FitPoints& all, CompensationResult& r, FitPoints& band) {
  const bool notchOnly = in.notch && !in.zobel;
  r.bandLow = in.bandLow > 0 ? in.bandLow : notchOnly ? all.fLow : 3 * r.driver.fs;
  r.bandHigh = in.bandHigh > 0 ? in.bandHigh : notchOnly ? 3 * r.driver.fs : all.fHigh;
  band = SelectPoints(in.curve, r.bandLow, r.bandHigh);
  if (!(r.bandLow < r.bandHigh) || r.bandLow < all.fLow * 0.999 || r.bandHigh > all.fHigh * 1.001 ||
      int(band.w.size()) < MinFitPoints) {
    r.failure = CompFailure::BandOutside;
    return false;
  }
  return true;
}

// The notch by the classic forms, its σ from Fs's, Qes's, Qms's and Re's.
Notch ClassicNotch(const DriverValues& d, std::vector<CompComponent>& parts) {
  const double re = d.re, ws = 2 * Pi * d.fs;
  const Notch notch{true, re * (1 + d.qes / d.qms), d.qes * re / ws, 1 / (ws * re * d.qes)};
  const double relFs = d.fsSigma / d.fs, relQes = d.qesSigma / d.qes, relRe = d.reSigma / re;
  const double rel = std::sqrt(relFs * relFs + relQes * relQes + relRe * relRe);
  const double sRn = std::sqrt(std::pow((1 + d.qes / d.qms) * d.reSigma, 2) + std::pow(re / d.qms * d.qesSigma, 2) +
                               std::pow(re * d.qes / (d.qms * d.qms) * d.qmsSigma, 2));
  parts.push_back({"Rn", "Rn", "Ω", 1, notch.rn, sRn});
  parts.push_back({"Ln_mH", "Ln", "mH", 1e3, notch.ln, notch.ln * rel});
  parts.push_back({"Cn_uF", "Cn", "µF", 1e6, notch.cn, notch.cn * rel});
  return notch;
}

// The Zobel fitted (the notch, when there is one, refined with it), its
// stages put first among the parts; each σ the fit's and Re's carried
// through, the notch's widened by its refinement's.
bool AddZobel(const FitPoints& all, const FitPoints& band, CompensationResult& r, Networks& net) {
  const DriverValues& d = r.driver;
  const ZobelFit z = DesignZobel(all, band, r.bandLow, d.re, net.notch, d.le);
  if (!z.ok) {
    r.failure = CompFailure::NotConverged;
    return false;
  }
  net.zobel.assign(z.x.begin(), z.x.begin() + 4);
  // Re's own σ: the design's best pass again, its weights and all, with Re
  // one σ higher.
  std::vector<double> shifted = z.x;
  const ZobelFit up = FitZobel(Thinned(net.notch.on ? all : band), d.re + d.reSigma, r.bandLow, net.notch, z.x[2] > 0,
                               z.x, 1, &z.weight);
  if (up.ok) shifted = up.x;
  const CompComponent zc[] = {{"Rz", "Rz", "Ω", 1}, {"Cz_uF", "Cz", "µF", 1e6}, {"Rz2", "Rz2", "Ω", 1},
                              {"Cz2_uF", "Cz2", "µF", 1e6}};
  std::vector<CompComponent> stages;
  for (size_t i = 0; i < 4; ++i) {
    if (!(z.x[i] > 0)) continue;
    CompComponent c = zc[i];
    c.value = z.x[i];
    c.sigma = std::hypot(z.sigma[i], shifted[i] - z.x[i]);
    stages.push_back(c);
  }
  r.parts.insert(r.parts.begin(), stages.begin(), stages.end());
  if (net.notch.on) {
    net.notch = z.notch;
    for (size_t i = 0; i < 3; ++i) {
      CompComponent& c = r.parts[stages.size() + i];
      c.value = z.x[4 + i];
      c.sigma = std::hypot(c.sigma, std::hypot(z.sigma[4 + i], shifted[4 + i] - z.x[4 + i]));
    }
  }
  return true;
}

// Each part's standard value, and the networks built of them.
Networks StandardNetworks(ESeries series, const Networks& exact, std::vector<CompComponent>& parts) {
  Networks net = exact;
  for (CompComponent& c : parts) {
    c.standard = Standard(c.value, c.name[0] == 'R' ? 24 : 12, series);
    const QByteArray key(c.key);
    if (key == "Rz") net.zobel[0] = c.standard;
    if (key == "Cz_uF") net.zobel[1] = c.standard;
    if (key == "Rz2") net.zobel[2] = c.standard;
    if (key == "Cz2_uF") net.zobel[3] = c.standard;
    if (key == "Rn") net.notch.rn = c.standard;
    if (key == "Ln_mH") net.notch.ln = c.standard;
    if (key == "Cn_uF") net.notch.cn = c.standard;
  }
  return net;
}

// What the design gives: the flatness over the band, the Zobel's resistors'
// power at the top of the band (where they take the most), the whole curve
// compensated.
void Judge(const CompensationInput& in, const FitPoints& all, const FitPoints& band, const Networks& exact,
           const Networks& standard, CompensationResult& r) {
  const double re = r.driver.re;
  r.flatnessExact = Flatness(band, re, exact.zobel, exact.notch);
  r.flatnessStandard = Flatness(band, re, standard.zobel, standard.notch);
  const double v2 = in.powerW * re, wTop = 2 * Pi * r.bandHigh;
  auto power = [&](double rz, double cz) { return rz > 0 ? v2 * rz / std::norm(Cx(rz, -1 / (wTop * cz))) : 0.0; };
  r.zobelPowerW = power(standard.zobel[0], standard.zobel[1]);
  r.zobelPower2W = power(standard.zobel[2], standard.zobel[3]);
  for (size_t k = 0; k < all.w.size(); ++k) {
    const Cx zm(all.zr[k], all.zi[k]);
    r.f.push_back(all.w[k] / (2 * Pi));
    r.measured.push_back(zm);
    r.exact.push_back(Compensated(zm, all.w[k], exact.zobel, exact.notch));
    r.standard.push_back(Compensated(zm, all.w[k], standard.zobel, standard.notch));
  }
}

}  // namespace

CompensationResult DesignCompensation(const CompensationInput& in) {
  CompensationResult r;
  if (!AllFinite(in.curve) || !std::isfinite(in.re) || !std::isfinite(in.bandLow) || !std::isfinite(in.bandHigh) ||
      !std::isfinite(in.powerW)) {
    r.failure = CompFailure::NonFinite;
    return r;
  }
  if (!(in.powerW > 0) || in.powerW > MaxPowerW) {
    r.failure = CompFailure::BadPower;
    return r;
  }
  FitPoints all = SelectPoints(in.curve, 0, std::numeric_limits<double>::max());
  if (int(all.w.size()) < MinFitPoints || !FindResonance(all)) {
    r.failure = CompFailure::NoResonance;
    return r;
  }
  FitPoints band;
  if (!DriverForDesign(in, all, r) || !ChooseBand(in, all, r, band)) return r;
  Networks exact;
  if (in.notch) exact.notch = ClassicNotch(r.driver, r.parts);
  if (in.zobel && !AddZobel(all, band, r, exact)) return r;
  const Networks standard = StandardNetworks(in.series, exact, r.parts);
  Judge(in, all, band, exact, standard, r);
  return r;
}

// "name<TAB>value<TAB>±σ<TAB>unit<TAB>standard" per component, then the
// flatness and the Zobel resistors' power.
QByteArray CompensationText(const CompensationResult& r) {
  QByteArray out;
  for (const CompComponent& c : r.parts) {
    QString value, sigma;
    FormatWithSigma(c.value * c.scale, c.sigma * c.scale, value, sigma);
    out += QByteArray(c.name) + '\t' + value.toUtf8() + "\t±" + sigma.toUtf8() + '\t' + c.unit + '\t' +
           StandardValueText(c.standard * c.scale) + '\n';
  }
  out += "flatness\t" + QByteArray::number(r.flatnessExact, 'f', 1) + '\t' +
         QByteArray::number(r.flatnessStandard, 'f', 1) + "\t%\t" + QByteArray::number(r.bandLow, 'f', 0) + '-' +
         QByteArray::number(r.bandHigh, 'f', 0) + " Hz\n";
  if (r.Part("Rz")) out += "P(Rz)\t" + QByteArray::number(r.zobelPowerW, 'f', 2) + "\t\tW\n";
  if (r.Part("Rz2")) out += "P(Rz2)\t" + QByteArray::number(r.zobelPower2W, 'f', 2) + "\t\tW\n";
  return out;
}

QByteArray CompensatedZma(const CompensationResult& r, bool exact, const QString& source) {
  QByteArray out = "* KAVO compensated impedance: the measurement in parallel with the networks\n";
  out += "* source: " + QFileInfo(source).fileName().toUtf8() + '\n';
  out += QByteArray("* values: ") + (exact ? "exact" : "standard") + '\n';
  // Plain ASCII: the programs that read these tables expect nothing else.
  for (const CompComponent& c : r.parts) {
    const QByteArray unit = c.unit[0] == 'm' ? "mH" : c.name[0] == 'C' ? "uF" : "ohm";
    out += "* " + QByteArray(c.name) + ' ' + QByteArray::number((exact ? c.value : c.standard) * c.scale, 'g', 6) +
           ' ' + unit + '\n';
  }
  out += "* frequency [Hz]  magnitude [ohm]  phase [deg]\n";
  const auto& z = exact ? r.exact : r.standard;
  for (size_t k = 0; k < r.f.size(); ++k)
    out += QByteArray::number(r.f[k], 'f', 4) + ' ' + QByteArray::number(std::abs(z[k]), 'f', 4) + ' ' +
           QByteArray::number(std::arg(z[k]) * 180 / Pi, 'f', 3) + '\n';
  return out;
}

}  // namespace kavo
