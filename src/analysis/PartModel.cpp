// See analysis/PartModel.h.
#include "analysis/PartModel.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

#include "data/Kavo_setting.h"

namespace kavo {
namespace {

constexpr double KHz = 2 * Pi * 1000;

// Parameter order per kind.
enum { IL, IRdc, IRac, ICp };
enum { CC, CEsr, CEsl };
enum { RR, RLs };

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
  return v[v.size() / 2];
}

std::span<const ReportedValue> KindValues(PartKind kind) {
  static const ReportedValue inductor[] = {
      {"L_mH", "L", "mH", 1e3},       {"Rdc", "Rdc", "Ω", 1},
      {"Q_1k", "Q (1 kHz)", "", 1},   {"Rac_1k", "Rac (1 kHz)", "Ω", 1, nullptr, 0, false},
      {"Cp_nF", "Cp", "nF", 1e9, nullptr, 0, false}};
  static const ReportedValue capacitor[] = {
      {"C_uF", "C", "µF", 1e6}, {"ESR", "ESR", "Ω", 1}, {"ESL_uH", "ESL", "µH", 1e6}, {"D_1k", "D (1 kHz)", "", 1}};
  static const ReportedValue resistor[] = {{"R", "R", "Ω", 1}, {"Ls_uH", "Ls", "µH", 1e6}};
  switch (kind) {
    case PartKind::Capacitor: return capacitor;
    case PartKind::Resistor: return resistor;
    default: return inductor;
  }
}

// Which way θ points the part: a capacitor starts far below 0 and rises; an
// inductor rises above 45° (or starts clearly above 0); a resistor stays near 0.
PartKind Recognise(const FitPoints& c) {
  const size_t n = c.w.size(), tenth = std::max<size_t>(n / 10, 1);
  std::vector<double> low, high;
  for (size_t k = 0; k < n; ++k) {
    const double theta = std::atan2(c.zi[k], c.zr[k]) * 180 / Pi;
    if (k < tenth) low.push_back(theta);
    if (k + tenth >= n) high.push_back(theta);
  }
  const double thetaLow = Median(low), thetaHigh = Median(high);
  if (thetaLow < -10) return PartKind::Capacitor;
  if (thetaHigh > 45 || thetaLow > 5) return PartKind::Inductor;
  if (std::abs(thetaLow) <= 5 && thetaHigh > -10) return PartKind::Resistor;
  return PartKind::Auto;
}

// A driver: a resonance peak with |Z| falling well below it on both sides and
// the coil's rise (not a part's fall) above it.
bool LooksLikeDriver(FitPoints c) {
  if (c.w.size() < 5 || !FindResonance(c)) return false;
  const double wp = 2 * Pi * c.peakHz;
  double below = c.peakR, above = c.peakR;
  for (size_t k = 0; k < c.w.size(); ++k) (c.w[k] < wp ? below : above) = std::min(c.w[k] < wp ? below : above, c.Mag(k));
  const size_t top = c.w.size() - 1;
  const double thetaTop = std::atan2(c.zi[top], c.zr[top]) * 180 / Pi;
  return below < 0.5 * c.peakR && above < 0.5 * c.peakR && thetaTop > -45;
}

// Apparent inductance Im Z/ω climbing at the top of the curve: the winding's
// capacitance shows.
bool ShowsSelfResonance(const FitPoints& c) {
  const size_t n = c.w.size();
  if (n < 20) return false;
  std::vector<double> mid, top;
  for (size_t k = n / 4; k < n / 2; ++k) mid.push_back(c.zi[k] / c.w[k]);
  for (size_t k = n - n / 10; k < n; ++k) top.push_back(c.zi[k] / c.w[k]);
  const double lm = Median(mid), lt = Median(top);
  return lm > 0 && lt > 1.03 * lm;
}

// The band that resolves what the dropped points could not: higher
// frequencies for a capacitor above the ceiling or a small inductance near
// 0, lower ones for the reverse; none for a resistor out of range.
void SuggestBand(const FitCurve& in, PartResult& r) {
  int toHigher = 0, toLower = 0;
  double fLow = std::numeric_limits<double>::max(), fHigh = 0;
  for (size_t k = 0; k < in.f.size(); ++k) {
    fLow = std::min(fLow, in.f[k]);
    fHigh = std::max(fHigh, in.f[k]);
    const bool ceiling = in.r[k] >= UnitCeilingOhm, floor = in.r[k] < UnitFloorOhm;
    if (!ceiling && !floor) continue;
    const double t = in.thetaDeg[k];
    if ((ceiling && t < -20) || (floor && t > 20)) ++toHigher;
    if ((ceiling && t > 20) || (floor && t < -20)) ++toLower;
  }
  int band = 0;
  if (toHigher > toLower && fHigh < 0.75 * BandFreqMax(4)) band = 4;
  if (toLower > toHigher && fLow > 1.5 * BandFreqMin(2)) band = 2;
  r.suggestedBand = band;
  if (band) {
    r.suggestedLow = BandFreqMin(band);
    r.suggestedHigh = BandFreqMax(band);
  }
}

// The unit resolves R in 0.01 Ω and θ in 0.1° steps: the real part of one
// point is known to about √((0.01·cos θ)² + (|Z|·sin θ·0.1°)²)/√12 however
// many points agree, since the rounding is the same for neighbours. The best
// point's is the least a resistance (Rdc, ESR, R) can be uncertain by.
double ResolutionFloor(const FitPoints& c) {
  double best = std::numeric_limits<double>::max();
  for (size_t k = 0; k < c.w.size(); ++k) {
    const double mag = c.Mag(k), cosT = c.zr[k] / mag, sinT = c.zi[k] / mag;
    best = std::min(best, std::hypot(0.01 * cosT, mag * sinT * 0.1 * Pi / 180));
  }
  return best / std::sqrt(12.0);
}

// Widens the σ of the resistive values (and of Q or D through them) to the
// resolution floor.
void AddResolution(PartKind kind, double floor, FitResult& r) {
  if (!r.Ok() || !(floor > 0)) return;
  const size_t loss = kind == PartKind::Resistor ? 0 : 1;
  auto widen = [&r](size_t v, double by) {
    if (std::isfinite(r.sigma[v])) r.sigma[v] = std::hypot(r.sigma[v], by);
  };
  widen(loss, floor);
  const std::complex<double> z = r.Impedance(1000);
  if (kind == PartKind::Inductor) widen(2, r.value[2] * floor / z.real());
  if (kind == PartKind::Capacitor) widen(3, floor / std::abs(z.imag()));
}

}  // namespace

bool ParsePartKind(const QString& name, PartKind& kind) {
  for (PartKind k : {PartKind::Auto, PartKind::Inductor, PartKind::Capacitor, PartKind::Resistor})
    if (name == QLatin1String(PartKindName(k))) {
      kind = k;
      return true;
    }
  return false;
}

const char* PartKindName(PartKind kind) {
  switch (kind) {
    case PartKind::Auto: return "auto";
    case PartKind::Inductor: return "inductor";
    case PartKind::Capacitor: return "capacitor";
    case PartKind::Resistor: return "resistor";
  }
  return "";
}

const char* AtUnit(PartKind kind) {
  return kind == PartKind::Capacitor ? "µF" : kind == PartKind::Resistor ? "Ω" : "mH";
}

PartFitModel::PartFitModel(PartKind kind, bool selfResonance, std::vector<double> atHz)
    : kind_(kind), selfResonance_(selfResonance), atHz_(std::move(atHz)) {
  const auto own = KindValues(kind_);
  values_.assign(own.begin(), own.end());
  const char* name = kind_ == PartKind::Capacitor ? "C" : kind_ == PartKind::Resistor ? "R" : "L";
  const double scale = kind_ == PartKind::Capacitor ? 1e6 : kind_ == PartKind::Resistor ? 1 : 1e3;
  atKeys_.reserve(atHz_.size() * 2);  // no reallocation: the table points into them
  for (double f : atHz_) {
    atKeys_.push_back(std::string(name) + "@" + QByteArray::number(f, 'g', 6).toStdString());
    atKeys_.push_back(std::string(name) + " (" + QByteArray::number(f, 'g', 6).toStdString() + " Hz)");
  }
  for (size_t i = 0; i < atHz_.size(); ++i)
    values_.push_back({atKeys_[2 * i].c_str(), atKeys_[2 * i + 1].c_str(), AtUnit(kind_), scale, nullptr, 0, false});
}

std::span<const FitParameter> PartFitModel::Parameters() const {
  static const FitParameter inductor[] = {
      {"L", 0, 0, 1e6}, {"Rdc", 0, 0, 1e6}, {"Rac", 0.01, 0, 1e6}, {"Cp", 1e-9, 0, 1e6}};
  static const FitParameter capacitor[] = {{"C", 0, 0, 1e6}, {"ESR", 0, 0, 1e6}, {"ESL", 1e-6, 0, 1e6}};
  static const FitParameter resistor[] = {{"R", 0, 0, 1e6}, {"Ls", 1e-6, 0, 1e6}};
  switch (kind_) {
    case PartKind::Capacitor: return capacitor;
    case PartKind::Resistor: return resistor;
    default: return inductor;
  }
}

std::span<const ReportedValue> PartFitModel::Values() const { return values_; }

template <typename T>
void PartFitModel::Z(const T* x, const FitPoints&, double w, T& zr, T& zi) const {
  switch (kind_) {
    case PartKind::Capacitor:
      zr = x[CEsr];
      zi = w * x[CEsl] - T(1) / (w * x[CC]);
      return;
    case PartKind::Resistor:
      zr = x[RR];
      zi = w * x[RLs];
      return;
    default: {
      const double f = w / KHz;
      const T sr = x[IRdc] + x[IRac] * (f * f), si = w * x[IL];
      if (!selfResonance_) {
        zr = sr;
        zi = si;
        return;
      }
      // Zs / (1 + jωCp·Zs)
      const T a = T(1) - w * x[ICp] * si, b = w * x[ICp] * sr;
      const T d = a * a + b * b;
      zr = (sr * a + si * b) / d;
      zi = (si * a - sr * b) / d;
    }
  }
}
template void PartFitModel::Z<double>(const double*, const FitPoints&, double, double&, double&) const;
template void PartFitModel::Z<FitJet>(const FitJet*, const FitPoints&, double, FitJet&, FitJet&) const;

void PartFitModel::Start(const std::vector<FitPoints>& curves, std::vector<double>& x, std::vector<bool>& free) const {
  const FitPoints& c = curves.front();
  const size_t n = c.w.size(), top = n - 1, few = std::max<size_t>(n / 10, 1);
  x.assign(Parameters().size(), 0.0);
  free.assign(x.size(), true);
  std::vector<double> v;
  switch (kind_) {
    case PartKind::Capacitor: {
      for (size_t k = 0; k < std::max<size_t>(n / 2, 1); ++k)
        if (c.zi[k] < 0) v.push_back(-1 / (c.w[k] * c.zi[k]));
      x[CC] = v.empty() ? 1e-6 : Median(v);
      v.clear();
      for (size_t k = n - few; k < n; ++k) v.push_back(c.zr[k]);
      x[CEsr] = std::max(Median(v), 1e-3);
      x[CEsl] = std::max((c.zi[top] + 1 / (c.w[top] * x[CC])) / c.w[top], 1e-9);
      return;
    }
    case PartKind::Resistor:
      x[RR] = std::max(Median(c.zr), 1e-3);
      x[RLs] = std::max(c.zi[top] / c.w[top], 1e-8);
      return;
    default: {
      for (size_t k = 0; k < std::max<size_t>(n * 7 / 10, 1); ++k) v.push_back(c.zi[k] / c.w[k]);
      x[IL] = std::max(Median(v), 1e-7);
      v.assign(c.zr.begin(), c.zr.begin() + std::ptrdiff_t(few));
      x[IRdc] = std::max(Median(v), 1e-3);
      const double f = c.w[top] / KHz;
      x[IRac] = std::max((c.zr[top] - x[IRdc]) / (f * f), 1e-5);
      if (selfResonance_) {
        const double w = c.w[top], lt = c.zi[top] / w;
        x[ICp] = std::max((1 - x[IL] / lt) / (w * w * x[IL]), 1e-12);
      } else {
        free[ICp] = false;
      }
    }
  }
}

std::vector<double> PartFitModel::Derived(const double* x) const {
  std::vector<double> v;
  auto z = [&](double f) {
    double zr, zi;
    Z<double>(x, FitPoints{}, 2 * Pi * f, zr, zi);
    return std::complex<double>(zr, zi);
  };
  const std::complex<double> at1k = z(1000);
  switch (kind_) {
    case PartKind::Capacitor:
      v = {x[CC], x[CEsr], x[CEsl], at1k.real() / std::abs(at1k.imag())};
      break;
    case PartKind::Resistor:
      v = {x[RR], x[RLs]};
      break;
    default:
      v = {x[IL], x[IRdc], at1k.imag() / at1k.real(), x[IRac], selfResonance_ ? x[ICp] : 0.0};
  }
  for (double f : atHz_) {
    const std::complex<double> zf = z(f);
    const double w = 2 * Pi * f;
    v.push_back(kind_ == PartKind::Capacitor ? -1 / (w * zf.imag())
                : kind_ == PartKind::Resistor ? zf.real()
                                              : zf.imag() / w);
  }
  return v;
}

std::vector<bool> PartFitModel::Determined(const std::vector<FitPoints>&) const {
  std::vector<bool> has(values_.size(), true);
  if (kind_ == PartKind::Inductor && !selfResonance_) has[4] = false;
  return has;
}

PartResult MeasurePart(const PartInput& in) {
  PartResult r;
  r.atHz = in.atHz;
  r.pointsGiven = int(in.curve.f.size());
  if (!AllFinite(in.curve)) {
    r.failure = PartFailure::NonFinite;
    return r;
  }
  for (double f : in.atHz)
    if (!(f > 0) || !std::isfinite(f)) {
      r.failure = PartFailure::NonFinite;
      return r;
    }
  // What the unit resolves.
  FitCurve kept;
  for (size_t k = 0; k < in.curve.f.size(); ++k) {
    if (in.curve.r[k] >= UnitCeilingOhm || in.curve.r[k] < UnitFloorOhm) {
      ++r.leftOut;
      continue;
    }
    kept.f.push_back(in.curve.f[k]);
    kept.r.push_back(in.curve.r[k]);
    kept.thetaDeg.push_back(in.curve.thetaDeg[k]);
  }
  FitPoints points = SelectPoints(kept, 0, std::numeric_limits<double>::max());
  if (int(points.w.size()) < MinFitPoints) {
    r.failure = PartFailure::TooFewResolvable;
    SuggestBand(in.curve, r);
    return r;
  }
  if (LooksLikeDriver(points)) {
    r.failure = PartFailure::LooksLikeDriver;
    return r;
  }
  // A value is measured where the curve was: beyond it the model's value is
  // a guess (and at 1e308 Hz not even a number).
  for (double f : in.atHz)
    if (f < points.fLow * 0.999 || f > points.fHigh * 1.001) {
      r.failure = PartFailure::AtOutside;
      r.fittedLow = points.fLow;
      r.fittedHigh = points.fHigh;
      return r;
    }
  r.kind = in.kind;
  if (r.kind == PartKind::Auto) {
    r.kind = Recognise(points);
    r.recognised = true;
    if (r.kind == PartKind::Auto) {
      r.failure = PartFailure::NotRecognised;
      return r;
    }
  }
  const bool selfResonance = r.kind == PartKind::Inductor && ShowsSelfResonance(points);
  auto model = std::make_shared<PartFitModel>(r.kind, selfResonance, in.atHz);
  r.atFirst = model->Values().size() - in.atHz.size();
  const double floor = ResolutionFloor(points);
  r.fit = RunFit(FitSetup{model, {std::move(points)}});
  if (!r.fit.Ok()) r.failure = PartFailure::NotConverged;
  AddResolution(r.kind, floor, r.fit);
  return r;
}

}  // namespace kavo
