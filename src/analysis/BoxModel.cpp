// See analysis/BoxModel.h for the model and what is reported.
#include "analysis/BoxModel.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/FitReport.h"
#include "data/Stringutil.h"

namespace kavo {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

using B = BoxModel;

// A complex number of doubles or Jets.
template <typename T>
struct Cx {
  T re, im;
};
template <typename T>
Cx<T> operator+(const Cx<T>& a, const Cx<T>& b) {
  return {a.re + b.re, a.im + b.im};
}
template <typename T>
Cx<T> Inverse(const Cx<T>& a) {
  const T d = a.re * a.re + a.im * a.im;
  return {a.re / d, -a.im / d};
}

double Hz(double w) { return w / (2 * Pi); }

// |Z| of the box curve at f [Hz].
double BoxMagnitude(const BoxModel& m, const double* x, double f) {
  FitPoints box;
  box.role = 1;
  double zr, zi;
  m.Z<double>(x, box, 2 * Pi * f, zr, zi);
  return std::hypot(zr, zi);
}

// The extreme of sign·|Z| over ln f within lo..hi, by golden sections.
double Golden(const BoxModel& m, const double* x, double lo, double hi, double sign) {
  const double g = 0.3819660112501051;
  double a = std::log(lo), b = std::log(hi);
  for (int i = 0; i < 60; ++i) {
    const double c = a + g * (b - a), d = b - g * (b - a);
    if (sign * BoxMagnitude(m, x, std::exp(c)) > sign * BoxMagnitude(m, x, std::exp(d))) b = d;
    else a = c;
  }
  return std::exp(0.5 * (a + b));
}

// The sum of squared residuals of x over `curves`.
double Cost(const BoxModel& m, const double* x, const std::vector<FitPoints>& curves) {
  double sum = 0;
  for (const FitPoints& c : curves)
    for (size_t k = 0; k < c.w.size(); ++k) {
      double zr, zi;
      m.Z<double>(x, c, c.w[k], zr, zi);
      sum += (std::pow(zr - c.zr[k], 2) + std::pow(zi - c.zi[k], 2)) * c.weight[k] * c.weight[k];
    }
  return std::isfinite(sum) ? sum : std::numeric_limits<double>::max();
}

}  // namespace

std::span<const FitParameter> BoxModel::Parameters() const {
  static const FitParameter params[ParamCount] = {
      {"Re", 0, 0, 1e6},     {"Le", 0, 0, 1e6},     {"K", 0, 0, 1e6},   {"n", 1, 0.01, 0.99},
      {"ws", 0, 0.1, 10},    {"gm", 0, 0, 1e3},     {"ge", 0, 0.01, 100}, {"alpha", 0, 0.01, 100},
      {"wb", 0, 0.2, 5},     {"gl", 0.1, 0, 100},   {"ga", 0.1, 0, 100}, {"gp", 0.1, 0, 100},
  };
  return params;
}

std::span<const ReportedValue> BoxModel::Values() const {
  static const ReportedValue values[BoxValueCount] = {
      {"Fb", "Fb", "Hz", 1},       {"Vab_L", "Vab", "L", 1e3}, {"alpha", "α", "", 1},  {"h", "h", "", 1},
      {"QL", "QL", "", 1},         {"QA", "QA", "", 1},        {"QP", "QP", "", 1},    {"QB", "QB", "", 1},
      {"fL", "fL", "Hz", 1},       {"fM", "fM", "Hz", 1},      {"fH", "fH", "Hz", 1},  {"Fc", "Fc", "Hz", 1},
      {"Qtc", "Qtc", "", 1},       {"Qec", "Qec", "", 1},      {"Qmc", "Qmc", "", 1},  {"Fs", "Fs", "Hz", 1},
      {"Qts", "Qts", "", 1},       {"Vas_L", "Vas", "L", 1e3}, {"Qms", "Qms", "", 1, nullptr, 0, false},
      {"Qes", "Qes", "", 1, nullptr, 0, false},
  };
  return values;
}

const ReportedValue& BoxValueInfoOf(int value) {
  static const BoxModel model({});
  return model.Values()[size_t(std::clamp(value, 0, BoxValueCount - 1))];
}

template <typename T>
void BoxModel::Z(const T* x, const FitPoints& curve, double w, T& zr, T& zi) const {
  T lr = T(0), li = T(0);
  if (s_.coil == CoilModel::Semi) {
    SemiInductance(x[PK], x[PN], w, lr, li);
  } else {
    li = w * x[PLe];
  }
  const T ws = x[PWs];
  const T gm = s_.qtsOnly ? T(1 / s_.qts) - x[PGe] : x[PGm];
  // The stiffness relative to the suspension's: 1 + α·ζ in the box.
  Cx<T> k{T(1), T(0)};
  if (curve.role == 1) {
    Cx<T> zeta;
    if (s_.kind == BoxKind::Closed) {
      using std::sqrt;
      const T wc = ws * sqrt(T(1) + x[PAlpha]);
      zeta = {T(1), w / wc * x[PGa]};
    } else {
      const T v = w / x[PWb];
      zeta = Inverse(Inverse(Cx<T>{T(1), v * x[PGa]}) + Cx<T>{T(0), -x[PGl] / v} + Inverse(Cx<T>{-v * v, v * x[PGp]}));
    }
    k = {T(1) + x[PAlpha] * zeta.re, x[PAlpha] * zeta.im};
  }
  // jω + ωs/Qms + ωs²/(jω)·k
  const T mr = ws * gm + ws * ws * k.im / w;
  const T mi = w - ws * ws * k.re / w;
  const T num = ws * x[PRe] * x[PGe];
  const T d = mr * mr + mi * mi;
  zr = x[PRe] + lr + num * mr / d;
  zi = li - num * mi / d;
}
template void BoxModel::Z<double>(const double*, const FitPoints&, double, double&, double&) const;
template void BoxModel::Z<FitJet>(const FitJet*, const FitPoints&, double, FitJet&, FitJet&) const;

// fL, fH: the two highest maxima of the fitted box curve's |Z|; fM the
// minimum between them. NaN where there are not two.
void BoxModel::Peaks(const double* x, double& fl, double& fm, double& fh) const {
  fl = fm = fh = NaN;
  const double fs = Hz(x[PWs]), fb = Hz(x[PWb]);
  const double lo = 0.2 * std::min(fs, fb), hi = 5 * std::max(fs * std::sqrt(1 + x[PAlpha]), fb);
  if (!(lo > 0 && hi > lo)) return;
  constexpr int N = 240;
  std::vector<double> f(N), m(N);
  for (int i = 0; i < N; ++i) {
    f[size_t(i)] = lo * std::pow(hi / lo, double(i) / (N - 1));
    m[size_t(i)] = BoxMagnitude(*this, x, f[size_t(i)]);
  }
  std::vector<int> maxima;
  for (int i = 1; i + 1 < N; ++i)
    if (m[size_t(i)] > m[size_t(i - 1)] && m[size_t(i)] >= m[size_t(i + 1)]) maxima.push_back(i);
  if (maxima.size() < 2) return;
  std::sort(maxima.begin(), maxima.end(), [&](int a, int b) { return m[size_t(a)] > m[size_t(b)]; });
  const int a = std::min(maxima[0], maxima[1]), b = std::max(maxima[0], maxima[1]);
  int low = a;
  for (int i = a; i <= b; ++i)
    if (m[size_t(i)] < m[size_t(low)]) low = i;
  fl = Golden(*this, x, f[size_t(a - 1)], f[size_t(a + 1)], 1);
  fh = Golden(*this, x, f[size_t(b - 1)], f[size_t(b + 1)], 1);
  fm = Golden(*this, x, f[size_t(std::max(low - 1, a))], f[size_t(std::min(low + 1, b))], -1);
}

namespace {

// Which parameters the curves fix. A closed box alone fixes the stiffness
// and the losses in sum only (Fc, Qmc): α and QA stay where they start. A
// vented box alone tells the leakage QL from one more loss, the absorption
// QA or the port's QP, not from both: one of them is fitted, the other held
// at none (Setup::portLoss; FitBox fits both ways and keeps the closer).
void FreeParameters(const BoxModel::Setup& s, std::vector<bool>& free) {
  const bool vented = s.kind == BoxKind::Vented;
  free.assign(B::ParamCount, false);
  free[B::PRe] = s.fitRe;
  free[B::PLe] = s.coil != CoilModel::Semi;
  free[B::PK] = free[B::PN] = s.coil == CoilModel::Semi;
  free[B::PWs] = s.fitDriver;
  free[B::PGm] = s.fitDriver && !s.qtsOnly;
  free[B::PGe] = s.fitDriver || s.qtsOnly;
  free[B::PAlpha] = !(s.boxOnly && !vented);
  free[B::PGa] = !s.boxOnly || (vented && !s.portLoss);
  free[B::PWb] = free[B::PGl] = vented;
  free[B::PGp] = vented && (!s.boxOnly || s.portLoss);
}

// The driver's start: given, or the free curve's three-point values. False
// when there is neither (a box curve alone, a free resonance below the band).
bool DriverStart(const BoxModel::Setup& s, const std::vector<FitPoints>& curves, double& fs, double& qms,
                 double& qes) {
  fs = 0, qms = 5, qes = 0.5;
  if (!s.fitDriver) {
    fs = Hz(s.ws);
    qes = s.qtsOnly ? 1.1 * s.qts : s.qes;
    qms = s.qtsOnly ? 11 * s.qts : s.qms;
    return true;
  }
  if (!(curves.front().peakHz > 0)) return false;
  const FitPoints& f = curves.front();
  const ClosedClassic e = ClosedEstimates(f, ShapeOf(f), s.re, 0, 0, 0, 0, 0, 0);
  fs = f.peakHz;
  if (e.qmc.has) qms = std::clamp(e.qmc.value, 0.5, 50.0), qes = std::clamp(e.qec.value, 0.05, 50.0);
  return true;
}

// α (and ωb) from the box curve's peaks; without the driver, its ωs too.
void BoxStart(const BoxModel::Setup& s, double fs, bool driverKnown, std::vector<double>& x) {
  const bool vented = s.kind == BoxKind::Vented;
  const BoxShape& shape = s.shape;
  const double fc = shape.peaks.back();
  if (!driverKnown) fs = vented && shape.fM > 0 ? shape.peaks.front() * fc / shape.fM : fc / std::sqrt(2.0);
  x[B::PWs] = 2 * Pi * fs;
  if (vented) {
    const double fl = shape.peaks.front(), fh = fc, fb = shape.fM > 0 ? shape.fM : fl * fh / fs;
    x[B::PWb] = 2 * Pi * fb;
    const double l2 = fl * fl, h2 = fh * fh, s2 = fs * fs;
    x[B::PAlpha] = std::clamp((l2 + h2 - l2 * h2 / s2) / s2 - 1, 0.05, 50.0);
  } else {
    x[B::PAlpha] = std::clamp(fc * fc / (fs * fs) - 1, 0.05, 50.0);
  }
}

// The coil from what is left at the top of the box curve.
void CoilStart(const BoxModel& m, const FitPoints& box, std::vector<double>& x) {
  const size_t t = box.w.size() - 1;
  const double w = box.w[t], re = m.setup().re;
  std::vector<double> y = x;
  y[B::PK] = y[B::PLe] = 0;
  double mr, mi;
  m.Z<double>(y.data(), box, w, mr, mi);
  const double lr = std::max(box.zr[t] - mr, 0.02 * re), li = std::max(box.zi[t] - mi, 0.02 * re);
  x[B::PLe] = li / w;
  x[B::PN] = std::clamp(std::atan2(li, lr) / (Pi / 2), 0.3, 0.9);
  x[B::PK] = std::hypot(lr, li) / std::pow(w, x[B::PN]);
}

// Without the free resonance, or with Qts alone: the driver that best
// explains the curves among a few, each matching the box's peak.
void BestDriverStart(const BoxModel& m, const std::vector<FitPoints>& curves, bool driverKnown, double qes,
                     std::vector<double>& x) {
  const BoxModel::Setup& s = m.setup();
  const bool vented = s.kind == BoxKind::Vented;
  const double fc = s.shape.peaks.back();
  const ClosedClassic e = ClosedEstimates(curves.back(), s.shape, s.re, 0, 0, 0, 0, 0, 0);
  const double qec = e.qec.has ? e.qec.value : 0.7, qmc = e.qmc.has ? e.qmc.value : 5;
  std::vector<double> best = x;
  double bestCost = std::numeric_limits<double>::max();
  for (double a : {0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0}) {
    std::vector<double> y = x;
    const double r = std::sqrt(1 + a);
    if (!vented) {
      if (!driverKnown) y[B::PWs] = 2 * Pi * fc / r;
      y[B::PAlpha] = a;
      y[B::PGe] = r / qec;
      y[B::PGm] = 2 * Pi * fc / (qmc * y[B::PWs]);
    } else {
      y[B::PGe] = 1 / (qes * a / 2);  // Qes from a tenth to eight times the guess
    }
    if (s.qtsOnly && !(1 / s.qts - y[B::PGe] > 0)) y[B::PGe] = 0.9 / s.qts;
    const double cost = Cost(m, y.data(), curves);
    if (cost < bestCost) bestCost = cost, best = y;
  }
  x = best;
}

}  // namespace

void BoxModel::Start(const std::vector<FitPoints>& curves, std::vector<double>& x, std::vector<bool>& free) const {
  const bool vented = s_.kind == BoxKind::Vented;
  FreeParameters(s_, free);
  x.assign(ParamCount, 0.0);
  x[PRe] = s_.re;
  x[PN] = 0.5;
  x[PGa] = free[PGa] ? (vented ? 0.01 : 0.02) : 0;
  x[PGl] = vented ? 1 / 7.0 : 0;
  x[PGp] = free[PGp] ? 0.01 : 0;
  double fs, qms, qes;
  const bool driverKnown = DriverStart(s_, curves, fs, qms, qes);
  x[PGm] = 1 / qms;
  x[PGe] = 1 / qes;
  BoxStart(s_, fs, driverKnown, x);
  CoilStart(*this, curves.back(), x);
  if (!driverKnown || s_.qtsOnly) BestDriverStart(*this, curves, driverKnown, qes, x);
}

std::vector<double> BoxModel::Derived(const double* x) const {
  std::vector<double> v(BoxValueCount, 0.0);
  const double ws = x[PWs], alpha = x[PAlpha];
  const double gm = s_.qtsOnly ? 1 / s_.qts - x[PGe] : x[PGm], ge = x[PGe];
  v[BvFs] = Hz(ws);
  v[BvQts] = 1 / (gm + ge);
  v[BvQms] = 1 / gm;
  v[BvQes] = 1 / ge;
  v[BvAlpha] = alpha;
  if (s_.vas > 0) v[BvVab] = s_.vas / alpha;
  else if (s_.vb > 0) v[BvVas] = alpha * s_.vb;
  if (s_.kind == BoxKind::Closed) {
    const double wc = ws * std::sqrt(1 + alpha);
    v[BvFc] = Hz(wc);
    v[BvQec] = std::sqrt(1 + alpha) / ge;
    v[BvQmc] = wc / (ws * gm + ws * ws * alpha * x[PGa] / wc);
    v[BvQtc] = 1 / (1 / v[BvQmc] + 1 / v[BvQec]);
    v[BvQB] = x[PGa] > 0 ? 1 / x[PGa] : 0;
  } else {
    v[BvFb] = Hz(x[PWb]);
    v[BvH] = x[PWb] / ws;
    v[BvQL] = 1 / x[PGl];
    v[BvQA] = x[PGa] > 0 ? 1 / x[PGa] : 0;
    v[BvQP] = x[PGp] > 0 ? 1 / x[PGp] : 0;
    v[BvQB] = x[PGa] + x[PGp] > 0 ? 1 / (x[PGa] + x[PGp]) : 0;
    Peaks(x, v[BvFL], v[BvFM], v[BvFH]);
  }
  return v;
}

std::vector<bool> BoxModel::Determined(const std::vector<FitPoints>&) const {
  std::vector<bool> has(BoxValueCount, false);
  const std::vector<int> closed{BvFc, BvQtc, BvQec, BvQmc, BvAlpha, BvQB};
  const std::vector<int> vented{BvFb, BvAlpha, BvH, BvQL, BvQA, BvQP, BvQB, BvFL, BvFM, BvFH};
  for (int v : s_.kind == BoxKind::Closed ? closed : vented) has[size_t(v)] = true;
  // A box alone: a closed one's α and QB stay at their start, a vented one
  // gives QL and QB (QA and QP not apart).
  if (s_.boxOnly) has[BvQA] = has[BvQP] = false;
  if (s_.boxOnly && s_.kind == BoxKind::Closed) has[BvQB] = false;
  if (s_.boxOnly && s_.kind == BoxKind::Closed) has[BvAlpha] = false;
  has[BvVab] = s_.vas > 0;
  has[BvVas] = !(s_.vas > 0) && s_.vb > 0;
  has[BvFs] = has[BvQts] = has[BvQms] = has[BvQes] = s_.fitDriver && !(s_.boxOnly && s_.kind == BoxKind::Closed);
  return has;
}

const char* BoxModel::CurveName(int role) const { return role == 1 ? "boxed" : "free"; }

namespace {
enum Input { InRe, InVb, InVas, InWs, InQms, InQes, InQts };
}  // namespace

std::vector<FitInputSigma> BoxModel::Inputs(const std::vector<FitPoints>&) const {
  const bool given = !s_.fitDriver, both = given && !s_.qtsOnly;
  return {{"Re", s_.fitRe ? 0.0 : s_.reSigma},
          {"Vb", s_.vb > 0 ? s_.vbSigma : 0.0},
          {"Vas", s_.vas > 0 ? s_.vasSigma : 0.0},
          {"Fs", given ? s_.wsSigma : 0.0},
          {"Qms", both ? s_.qmsSigma : 0.0},
          {"Qes", both ? s_.qesSigma : 0.0},
          {"Qts", given && s_.qtsOnly ? s_.qtsSigma : 0.0}};
}

std::shared_ptr<const FitModel> BoxModel::MoveInput(size_t i, double delta, std::vector<FitPoints>&) const {
  Setup m = s_;
  switch (Input(i)) {
    case InRe: m.re += delta; break;
    case InVb: m.vb += delta; break;
    case InVas: m.vas += delta; break;
    case InWs: m.ws += delta; break;
    case InQms: m.qms += delta; break;
    case InQes: m.qes += delta; break;
    case InQts: m.qts += delta; break;
    default: return nullptr;
  }
  return std::make_shared<BoxModel>(m);
}

std::vector<Estimate> BoxResult::Classic() const {
  std::vector<Estimate> e(BoxValueCount);
  if (kind == BoxKind::Closed) {
    e[BvFc] = closed.fc, e[BvQmc] = closed.qmc, e[BvQec] = closed.qec, e[BvQtc] = closed.qtc;
    e[BvAlpha] = closed.alpha, e[BvVas] = closed.vas, e[BvVab] = closed.vab;
  } else {
    e[BvFL] = vented.fl, e[BvFM] = vented.fm, e[BvFH] = vented.fh, e[BvFb] = vented.fm;
    e[BvAlpha] = vented.alpha, e[BvH] = vented.h, e[BvVas] = vented.vas, e[BvVab] = vented.vab;
  }
  return e;
}

std::complex<double> BoxResult::SystemImpedance(double f) const {
  if (!fit.model) return {};
  FitPoints box;
  box.role = 1;
  double zr = 0, zi = 0;
  fit.model->Impedance(fit.params.data(), box, 2 * Pi * f, zr, zi);
  return {zr, zi};
}

QByteArray BoxTableText(const BoxResult& r) {
  QByteArray text = FitTableText(r.fit);
  auto row = [&text](const QByteArray& name, const Estimate& e, double scale, const char* unit) {
    QString value, sigma;
    FormatWithSigma(e.value * scale, e.sigma * scale, value, sigma);
    text += name + '\t' + value.toUtf8() + "\t±" + sigma.toUtf8() + '\t' + unit + '\n';
  };
  const std::vector<Estimate> classic = r.Classic();
  for (size_t v = 0; v < classic.size(); ++v) {
    if (!classic[v].has) continue;
    const ReportedValue& info = BoxValueInfoOf(int(v));
    row(QByteArray(info.name) + " (classic)", classic[v], info.scale, info.unit);
  }
  if (r.vented.fTheta.has) row("Fb θ=0 (classic)", r.vented.fTheta, 1, "Hz");
  return text;
}

void TypedDriverSigmas(BoxDriver& d, double percent) {
  const double q = percent > 0 ? percent / 100 : DefaultQSigma;
  d.fsSigma = (percent > 0 ? percent / 100 : DefaultFsSigma) * d.fs;
  d.qmsSigma = q * d.qms;
  d.qesSigma = q * d.qes;
  d.qtsSigma = q * d.qts;
  d.vasSigma = (percent > 0 ? percent / 100 : DefaultVasSigma) * d.vas;
}

namespace {

// The box curve's points and shape, checked against the kind given.
FitFailure PrepareBox(const BoxInput& in, FitPoints& box, BoxShape& shape) {
  const double top = in.fmax > 0 ? in.fmax : std::numeric_limits<double>::max();
  // The peaks are looked for below 1 kHz: above lie the cone's own.
  shape = ShapeOf(SelectPoints(in.boxed, in.fmin, std::min(top, 1000.0)));
  if (shape.peaks.empty()) return FitFailure::NoResonance;
  if (in.kind == BoxKind::Closed && shape.peaks.size() > 1) return FitFailure::VentedGivenClosed;
  if (in.kind == BoxKind::Vented && shape.peaks.size() < 2)
    return shape.dipBelow ? FitFailure::SecondPeakMissing : FitFailure::ClosedGivenVented;
  box = SelectPoints(in.boxed, in.fmin, std::min(top, 6 * shape.peaks.back()));
  box.role = 1;
  if (int(box.w.size()) < MinFitPoints) return FitFailure::TooFewPoints;
  return FitFailure::None;
}

// A free curve whose largest |Z| lies within this many of its first points
// has its resonance at or below its start.
constexpr size_t BelowRangePoints = 5;

// The free curve within its range: its resonance found, or below its first
// point (its |Z| still falling there), when `below`.
FitFailure PrepareFree(const BoxInput& in, const BoxShape& shape, FitPoints& free, bool& below) {
  double lo, hi;
  DefaultRange(in.free, lo, hi);
  if (in.fmin > 0) lo = in.fmin;
  free = SelectPoints(in.free, lo, in.fmax > 0 ? in.fmax : hi);
  below = int(free.w.size()) >= 3 && !FindResonance(free);
  if (below) {
    // Up to the box's range, the largest |Z| at the curve's first few
    // points, well above its lowest: the upper skirt of a resonance at or
    // below the curve's start (above lies the coil's rise).
    free = SelectPoints(in.free, lo, in.fmax > 0 ? in.fmax : 6 * shape.peaks.back());
    if (free.w.empty()) return FitFailure::TooFewPoints;
    size_t top = 0;
    double lowest = free.Mag(0);
    for (size_t k = 0; k < free.w.size(); ++k) {
      lowest = std::min(lowest, free.Mag(k));
      if (free.Mag(k) > free.Mag(top)) top = k;
    }
    if (!(top < BelowRangePoints && free.Mag(top) > 1.2 * lowest)) return FitFailure::NoResonance;
  }
  if (int(free.w.size()) < MinFitPoints) return FitFailure::TooFewPoints;
  if (!below && in.kind == BoxKind::Closed && !(shape.peaks.front() > free.peakHz * 1.005))
    return FitFailure::BoxedNotAbove;
  return FitFailure::None;
}

bool FiniteInput(const BoxInput& in) {
  const BoxDriver& d = in.driver;
  for (double v : {in.vb, in.vbSigma, in.re, in.reSigma, in.fmin, in.fmax, d.fs, d.qms, d.qes, d.qts, d.vas, d.re,
                   d.fsSigma, d.qmsSigma, d.qesSigma, d.qtsSigma, d.vasSigma, d.reSigma})
    if (!std::isfinite(v)) return false;
  return AllFinite(in.boxed) && (in.source != DriverSource::Free || AllFinite(in.free));
}

// The driver from its source: the free curve (prepared, into `curves`), or
// the values given (held, into the setup).
FitFailure DriverSetup(const BoxInput& in, BoxModel::Setup& s, std::vector<FitPoints>& curves, BoxResult& out) {
  const BoxDriver& d = in.driver;
  if (in.source == DriverSource::Free) {
    FitPoints free;
    bool below = false;
    if (const FitFailure f = PrepareFree(in, out.shape, free, below); f != FitFailure::None) return f;
    curves.push_back(std::move(free));
    if (below) out.notes.push_back(BoxNote::FreeBelowRange);
  } else if (in.source == DriverSource::BoxOnly) {
    s.boxOnly = true;
  } else {
    if (!(d.fs > 0) || !(d.qts > 0 || (d.qms > 0 && d.qes > 0))) return FitFailure::BadDriver;
    s.fitDriver = false;
    s.ws = 2 * Pi * d.fs;
    s.qtsOnly = !(d.qms > 0 && d.qes > 0);
    s.qms = d.qms, s.qes = d.qes;
    s.qts = d.qts > 0 ? d.qts : d.qms * d.qes / (d.qms + d.qes);
    s.vas = d.vas;
  }
  return FitFailure::None;
}

// Re: given, the driver file's, or fitted below the smallest resistance; its
// σ. Re above the smallest resistance by more than a point's scatter
// (SmallestResistance), 1 % more for an Re measured apart, and the unit's
// 0.01 Ω cannot be.
FitFailure ReSetup(const BoxInput& in, const std::vector<FitPoints>& curves, BoxModel::Setup& s,
                   std::vector<BoxNote>& notes, double& lowest) {
  lowest = std::numeric_limits<double>::max();
  double top = lowest;
  for (const FitPoints& c : curves) {
    const LeastResistance least = SmallestResistance(c);
    if (least.top < top) top = least.top, lowest = least.value;
  }
  const BoxDriver& d = in.driver;
  if (in.re > 0) {
    s.re = in.re;
    s.reSigma = in.reSigma >= 0 ? in.reSigma : DefaultReSigma * in.re;
  } else if (in.source != DriverSource::Free && d.re > 0) {
    s.re = d.re;
    s.reSigma = d.reSigma > 0 ? d.reSigma : DefaultReSigma * d.re;
  } else {
    s.fitRe = true;
    s.re = 0.95 * lowest;
    s.reSigma = 0;
    notes.push_back(BoxNote::ReFitted);
  }
  if (!(s.re > 0)) return FitFailure::BadRe;
  return s.re > 1.01 * top + 0.01 ? FitFailure::ReAboveMinimum : FitFailure::None;
}

// The σ of what was given beside Re: Vb, and a driver given by its values.
void GivenSigmas(const BoxInput& in, BoxModel::Setup& s) {
  const BoxDriver& d = in.driver;
  s.vbSigma = in.vbSigma >= 0 ? in.vbSigma : DefaultVbSigma * in.vb;
  if (s.fitDriver) return;
  s.wsSigma = 2 * Pi * d.fsSigma;
  s.qmsSigma = d.qmsSigma, s.qesSigma = d.qesSigma, s.qtsSigma = d.qtsSigma;
  s.vasSigma = d.vasSigma > 0 ? d.vasSigma : DefaultVasSigma * s.vas;
}

// σ's model part: the box curve up to 2/3 and 3/2 of its upper end.
FitSigmaPlan RangeVariants(const BoxInput& in, const FitPoints& box, const std::vector<FitPoints>& curves) {
  FitSigmaPlan plan;
  const double highest = in.boxed.f.empty() ? 0 : *std::max_element(in.boxed.f.begin(), in.boxed.f.end());
  for (double factor : {2.0 / 3, 1.5}) {
    const double top = std::min(box.fHigh * factor, highest);
    if (!(top > box.fLow) || top == box.fHigh) continue;
    std::vector<FitPoints> other = curves;
    other.back() = SelectPoints(in.boxed, in.fmin, top);
    other.back().role = 1;
    if (int(other.back().w.size()) >= MinFitPoints) plan.variants.push_back({nullptr, std::move(other)});
  }
  return plan;
}

// A vented box's QA and QP apart only where each is known within half its
// value, else QB; no value without a finite value and σ.
void ReportedLosses(const BoxInput& in, FitResult& r, BoxResult& out) {
  if (in.kind == BoxKind::Vented && in.source == DriverSource::BoxOnly) {
    // One loss beside the leakage, absorption or port (QB); none where the
    // curve shows none within half its value.
    out.notes.push_back(BoxNote::LossesInQL);
    if (!(r.sigma[BvQB] < 0.5 * r.value[BvQB])) r.has[BvQB] = false;
  } else if (in.kind == BoxKind::Vented) {
    auto known = [&r](int v) { return r.sigma[size_t(v)] < 0.5 * r.value[size_t(v)]; };
    if (known(BvQA) && known(BvQP)) {
      r.has[BvQB] = false;
    } else {
      r.has[BvQA] = r.has[BvQP] = false;
      out.notes.push_back(BoxNote::LossesCombined);
    }
  }
  for (size_t v = 0; v < r.value.size(); ++v)
    if (!std::isfinite(r.value[v]) || !std::isfinite(r.sigma[v])) r.has[v] = false;
}

// The classic estimates beside the fit, with the driver as fitted or given;
// a warning where fit and classic differ by more than twice their σ.
void ClassicBeside(const BoxInput& in, const BoxModel::Setup& s, const FitPoints& box, FitResult& r,
                   BoxResult& out) {
  const BoxDriver& d = in.driver;
  const double fs = s.fitDriver ? r.value[BvFs] : d.fs;
  const double fsSigma = s.fitDriver ? r.sigma[BvFs] : d.fsSigma;
  if (in.kind == BoxKind::Closed) {
    const double qes = s.fitDriver ? r.value[BvQes] : s.qtsOnly ? 0 : d.qes;
    const double qesSigma = s.fitDriver ? r.sigma[BvQes] : d.qesSigma;
    out.closed = ClosedEstimates(box, out.shape, r.params[BoxModel::PRe], fs, fsSigma, qes, qesSigma, s.vb, s.vas);
  } else {
    out.vented = VentedEstimates(out.shape, fs, fsSigma, s.vb, s.vas);
  }
  const std::vector<Estimate> classic = out.Classic();
  for (size_t v = 0; v < classic.size(); ++v)
    if (classic[v].has && r.has[v] &&
        std::abs(classic[v].value - r.value[v]) > 2 * std::hypot(classic[v].sigma, r.sigma[v]))
      r.warnings.push_back({FitWarning::ClassicDisagree, double(v), classic[v].value * r.table[v].scale});
}

}  // namespace

bool LooksVented(const FitCurve& boxed) { return ShapeOf(SelectPoints(boxed, 0, 1000)).peaks.size() > 1; }

BoxResult FitBox(const BoxInput& in) {
  BoxResult out;
  out.source = in.source;
  out.kind = in.kind;
  auto failed = [&out](FitFailure f, int curve) {
    out.fit = FailedFit(f, curve);
    return out;
  };
  if (!FiniteInput(in)) return failed(FitFailure::NonFinite, -1);
  if (in.vb < 0 || in.vb > MaxBoxVolume) return failed(FitFailure::BadVolume, -1);
  if (in.coil == CoilModel::LR2) return failed(FitFailure::NotConverged, -1);
  FitPoints box;
  if (const FitFailure f = PrepareBox(in, box, out.shape); f != FitFailure::None) return failed(f, 1);
  BoxModel::Setup s;
  s.kind = in.kind;
  s.coil = in.coil;
  s.shape = out.shape;
  s.vb = in.vb;
  std::vector<FitPoints> curves;
  if (const FitFailure f = DriverSetup(in, s, curves, out); f != FitFailure::None)
    return failed(f, f == FitFailure::BadDriver ? -1 : 0);
  curves.push_back(box);
  double lowest = 0;
  if (const FitFailure f = ReSetup(in, curves, s, out.notes, lowest); f != FitFailure::None) {
    failed(f, -1);
    if (f == FitFailure::ReAboveMinimum) out.fit.failureNumbers[0] = s.re, out.fit.failureNumbers[1] = lowest;
    return out;
  }
  GivenSigmas(in, s);
  const FitSigmaPlan plan = in.fullSigma ? RangeVariants(in, box, curves) : FitSigmaPlan{{}, false, false};
  FitResult r = RunFit({std::make_shared<BoxModel>(s), curves}, plan);
  if (s.boxOnly && s.kind == BoxKind::Vented) {
    // Absorption and port loss shape the curve differently: the loss model
    // that leaves the smaller residual is the one the curve shows.
    s.portLoss = true;
    FitResult port = RunFit({std::make_shared<BoxModel>(s), curves}, plan);
    if (port.Ok() && (!r.Ok() || port.residual < r.residual)) r = std::move(port);
  }
  if (r.Ok()) {
    ReportedLosses(in, r, out);
    ClassicBeside(in, s, box, r, out);
  }
  out.fit = std::move(r);
  return out;
}

}  // namespace kavo
