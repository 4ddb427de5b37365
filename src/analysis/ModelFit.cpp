// See analysis/ModelFit.h for the model and what is reported.
#include "analysis/ModelFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/LoudspeakerModel.h"

namespace kavo {
namespace {

constexpr double ReRounding = 0.01;  // Ω, the unit's resolution of R

// Every point of `c`, fitted by |Z| alone when it has no phase.
FitPoints AllPoints(const FitCurve& c) {
  FitPoints all = SelectPoints(c, 0, std::numeric_limits<double>::infinity());
  all.magnitudeOnly = !HasPhase(c);
  return all;
}

// A second curve's range: the fit's own, widened (never narrowed) by the
// ratio of the curve's resonance to the free curve's, so that its resonance
// lies as deep inside its range as the free curve's does: a mass lowers the
// lower end with the resonance, a box raises the upper end. Its resonance is
// first looked for over the whole curve.
bool SecondRange(const FitCurve& curve, const FitPoints& free, double& fmin, double& fmax) {
  FitPoints all = SelectPoints(curve, 0, std::numeric_limits<double>::max());
  if (int(all.w.size()) < MinFitPoints || !FindResonance(all)) return false;
  const double ratio = all.peakHz / free.peakHz;
  fmin *= std::min(ratio, 1.0);
  fmax *= std::max(ratio, 1.0);
  return true;
}

// The curves given, each within its range, with their loads and
// resonances: the free curve first. A failed result when they cannot be
// fitted.
FitResult Prepare(const FitInput& in, double fmin, double fmax, std::vector<FitPoints>& curves) {
  const bool boxed = in.boxVolume > 0 && !in.boxed.Empty();
  curves.push_back(SelectPoints(in.free, fmin, fmax));
  FitPoints& f = curves.front();
  f.magnitudeOnly = !HasPhase(in.free);
  if (int(f.w.size()) < MinFitPoints) return FailedFit(FitFailure::TooFewPoints, 0);
  if (!FindResonance(f)) return FailedFit(FitFailure::NoResonance, 0);
  const struct {
    bool given;
    const FitCurve& curve;
    int role;
  } seconds[] = {{in.addedMass > 0 && !in.loaded.Empty(), in.loaded, 1}, {boxed, in.boxed, 2}};
  for (const auto& s : seconds) {
    if (!s.given) continue;
    double lo = fmin, hi = fmax;
    if (!SecondRange(s.curve, curves.front(), lo, hi)) return FailedFit(FitFailure::NoResonance, s.role);
    FitPoints c = SelectPoints(s.curve, lo, hi);
    c.role = s.role;
    c.magnitudeOnly = !HasPhase(s.curve);
    if (s.role == 1) c.load[0] = in.addedMass;
    else c.load[1] = in.rho * in.c * in.c * in.sd * in.sd / in.boxVolume;
    if (int(c.w.size()) < MinFitPoints) return FailedFit(FitFailure::TooFewPoints, s.role);
    if (!FindResonance(c)) return FailedFit(FitFailure::NoResonance, s.role);
    curves.push_back(std::move(c));
  }
  const FitPoints& free = curves.front();
  for (size_t i = 1; i < curves.size(); ++i) {
    const FitPoints& c = curves[i];
    if (c.load[0] > 0 && !(c.peakHz < free.peakHz * 0.995))
      return FailedFit(FitFailure::LoadedNotBelow, c.role);
    if (c.load[1] > 0 && !(c.peakHz > free.peakHz * 1.005))
      return FailedFit(FitFailure::BoxedNotAbove, c.role);
  }
  return {};
}

// The fit of the free curve with whichever second curves are given, ready
// to run; a failed result when there is none.
FitResult SetUp(const FitInput& in, FitSetup& fit) {
  const FitCurve* given[] = {&in.free, &in.loaded, &in.boxed};
  for (int i = 0; i < 3; ++i)
    if (!AllFinite(*given[i])) return FailedFit(FitFailure::NonFinite, i);
  if (!std::isfinite(in.re) || !std::isfinite(in.fmin) || !std::isfinite(in.fmax) || !std::isfinite(in.sd) ||
      !std::isfinite(in.addedMass) || !std::isfinite(in.boxVolume))
    return FailedFit(FitFailure::NonFinite);
  if (in.boxVolume > 0 && !in.boxed.Empty() && !(in.sd > 0)) return FailedFit(FitFailure::NeedsSd);
  double fmin = in.fmin, fmax = in.fmax;
  if (!(fmin > 0) || !(fmax > 0)) {
    double dmin, dmax;
    DefaultRange(in.free, dmin, dmax);
    if (!(fmin > 0)) fmin = dmin;
    if (!(fmax > 0)) fmax = dmax;
  }
  std::vector<FitPoints> curves;
  if (FitResult failed = Prepare(in, fmin, fmax, curves); !failed.Ok()) return failed;
  const FitPoints& f = curves.front();
  LoudspeakerModel::Setup setup{in.coil, in.creep, 2 * Pi * f.peakHz, in.re, in.fitRe, in.sd, in.rho * in.c * in.c};
  setup.reSigma = in.reSigma.value_or(DefaultReSigma * in.re);
  setup.sdSigma = in.sdSigma.value_or(DefaultSdSigma * in.sd);
  setup.massSigmaRel = in.massSigma && in.addedMass > 0 ? *in.massSigma / in.addedMass : DefaultMassSigma;
  setup.boxSigmaRel = in.boxSigma && in.boxVolume > 0 ? *in.boxSigma / in.boxVolume : DefaultBoxSigma;
  if (in.fitRe) {
    double re = f.peakR;
    for (size_t k = 0; k < f.w.size(); ++k) re = std::min(re, f.Mag(k));
    setup.re = re * 0.95;
  } else if (!(in.re > 0) || !(in.re < f.peakR)) {
    return FailedFit(FitFailure::BadRe);
  }
  if (!in.fitRe) {
    // The real part of Z is Re plus terms that are never negative: Re above
    // a curve's smallest real part, beyond a point's scatter and the unit's
    // 0.01 Ω rounding, cannot be (SmallestResistance).
    for (int i = 0; i < 3; ++i) {
      if (given[i]->Empty() || (i == 1 && !(in.addedMass > 0)) || (i == 2 && !(in.boxVolume > 0))) continue;
      const LeastResistance least = SmallestResistance(AllPoints(*given[i]));
      if (in.re > least.top + ReRounding) {
        FitResult failed = FailedFit(FitFailure::ReAboveMinimum, i);
        failed.failureNumbers[0] = in.re;
        failed.failureNumbers[1] = least.value;
        return failed;
      }
    }
  }
  fit = {std::make_shared<LoudspeakerModel>(setup), std::move(curves)};
  return {};
}

// The fit without its model and input parts of σ.
FitResult FitOnce(const FitInput& in) {
  FitSetup fit;
  if (FitResult failed = SetUp(in, fit); !failed.Ok()) return failed;
  return RunFit(std::move(fit), {{}, false, false});
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

QString ModelDescription(CoilModel coil, bool creep) {
  return QLatin1String(CoilModelName(coil)) + (creep ? QLatin1String(", creep") : QLatin1String(""));
}

const ReportedValue& FitValueInfoOf(int value) {
  static const LoudspeakerModel model({});
  return model.Values()[size_t(std::clamp(value, 0, FitValueCount - 1))];
}

void DefaultRange(const FitCurve& free, double& fmin, double& fmax) {
  fmin = free.f.empty() ? 0 : *std::min_element(free.f.begin(), free.f.end());
  fmax = free.f.empty() ? 0 : *std::max_element(free.f.begin(), free.f.end());
  if (!AllFinite(free)) return;
  FitPoints c = SelectPoints(free, fmin, fmax);
  if (c.w.size() >= 3 && FindResonance(c)) fmax = std::min(fmax, 6 * c.peakHz);
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
  const LoudspeakerModel model({in.coil, in.creep, 0, in.re, in.fitRe, in.sd});
  std::vector<FitPoints> curves(1);
  if (in.addedMass > 0 && !in.loaded.Empty()) curves.emplace_back();
  if (in.boxVolume > 0 && !in.boxed.Empty()) curves.emplace_back();
  const std::vector<bool> determined = model.Determined(curves);
  std::array<bool, FitValueCount> has{};
  for (int v = 0; v < FitValueCount; ++v) has[size_t(v)] = determined[size_t(v)];
  return has;
}

namespace {

// The range's other upper ends for σ's model part: 4·Fs and 9·Fs beside
// the default 6·Fs (within the curve), or 2/3 and 3/2 of one given.
std::vector<double> OtherUpperEnds(const FitInput& in) {
  double fmin = 0, top = 0;
  DefaultRange(in.free, fmin, top);
  const double highest = in.free.f.empty() ? 0 : *std::max_element(in.free.f.begin(), in.free.f.end());
  const double fmax = std::min(in.fmax > 0 ? in.fmax : top, highest);
  std::vector<double> ends;
  for (double factor : {2.0 / 3, 1.5}) {
    const double end = std::min(fmax * factor, highest);
    if (end != fmax) ends.push_back(end);
  }
  return ends;
}

// Mass and box each with the free curve: do they agree on Mms?
void CheckMassAgainstBox(const FitInput& input, FitResult& joint) {
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
}

}  // namespace

FitResult FitDriver(const FitInput& input) {
  FitSetup fit;
  if (FitResult failed = SetUp(input, fit); !failed.Ok()) return failed;
  const bool noPhase = std::any_of(fit.curves.begin(), fit.curves.end(), [](const FitPoints& c) { return c.magnitudeOnly; });
  FitSigmaPlan plan;
  plan.model = plan.input = input.fullSigma;
  for (double end : input.fullSigma ? OtherUpperEnds(input) : std::vector<double>{}) {
    FitInput other = input;
    other.fmax = end;
    FitSetup variant;
    if (SetUp(other, variant).Ok()) plan.variants.push_back(std::move(variant));
  }
  FitResult r = RunFit(std::move(fit), plan);
  if (!r.Ok()) return r;
  if (noPhase) r.warnings.insert(r.warnings.begin(), {FitWarning::NoPhase});
  if (input.addedMass > 0 && !input.loaded.Empty() && input.boxVolume > 0 && !input.boxed.Empty())
    CheckMassAgainstBox(input, r);
  if (input.fitRe) {
    // A fitted Re above the curve's smallest real part cannot be; the coil models
    // apart on it (beyond its stat σ and the 1 % a typed Re carries) means a
    // coil model took over the fit.
    const LeastResistance least = SmallestResistance(AllPoints(input.free));
    if (r.value[FvRe] > least.top + ReRounding + 2 * r.sigma[FvRe])
      r.warnings.push_back({FitWarning::ReAboveSmallestR, r.value[FvRe], least.value});
    const std::vector<double>& coil = r.variantValues.empty() ? std::vector<double>{} : r.variantValues.front();
    const double apart = coil.empty() ? 0 : std::abs(coil[FvRe] - r.value[FvRe]);
    if (apart > 2 * r.sigmaStat[FvRe] && apart > DefaultReSigma * r.value[FvRe])
      r.warnings.push_back({FitWarning::CoilModelsDisagreeOnRe, r.value[FvRe], coil[FvRe]});
  }
  return r;
}

}  // namespace kavo
