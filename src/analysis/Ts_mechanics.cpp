#include "analysis/Ts_mechanics.h"

#include <algorithm>
#include <cmath>

#include "analysis/Ts_analysis.h"

namespace kavo {
namespace {

bool Positive(double v) { return v > 0 && std::isfinite(v); }

using F = MechanicsFailure;
}  // namespace

MechanicsFailure CalcMechanics(const MechanicsInput& in, MechanicsResult& r) {
  r = MechanicsResult{};
  if (!Positive(in.re)) return {F::NoRe};
  if (!Positive(in.sd)) return {F::NoSd};
  if (!Positive(in.rho) || !Positive(in.c)) return {F::NoAir};
  if (!Positive(in.fs) || !Positive(in.qms) || !Positive(in.qes))
    return {F::NoFreeDriver};
  const double ws = 2 * M_PI * in.fs;
  const double airStiffness = in.rho * in.c * in.c * in.sd * in.sd;  // ρc²Sd², N·m
  if (in.method == MassMethod::AddedMass) {
    if (!Positive(in.mass)) return {F::NoMass};
    if (!Positive(in.fsLoaded) || !(in.fsLoaded < in.fs))
      return {F::LoadedNotBelow, in.fsLoaded, in.fs};
    const double ratio = in.fs / in.fsLoaded;
    r.Mms = in.mass / (ratio * ratio - 1);
    r.Cms = 1 / (ws * ws * r.Mms);
    r.Vas = airStiffness * r.Cms;
  } else {
    if (!Positive(in.box)) return {F::NoBox};
    if (!Positive(in.fsBox) || !(in.fsBox > in.fs))
      return {F::BoxedNotAbove, in.fsBox, in.fs};
    if (!Positive(in.qesBox)) return {F::NoBoxQes};
    const double gain = in.fsBox * in.qesBox / (in.fs * in.qes);
    if (!(gain > 1))
      return {F::BoxGainTooSmall, in.fsBox * in.qesBox, in.fs * in.qes};
    r.Vas = in.box * (gain - 1);
    r.Cms = r.Vas / airStiffness;
    r.Mms = 1 / (ws * ws * r.Cms);
  }
  r.Rms = ws * r.Mms / in.qms;
  r.Bl = std::sqrt(ws * r.Mms * in.re / in.qes);
  r.EBP = in.fs / in.qes;
  for (double v : {r.Mms, r.Cms, r.Rms, r.Bl, r.Vas, r.EBP})
    if (!Positive(v)) return {F::NotFinite};
  return {};
}

TsFailure FreeDriverTable(const TsAnalysis& free, float re, TSResult& table, bool& mirrored) {
  mirrored = false;
  const TsFailure failure = free.CalcTS(re, table);
  // A large driver's f1 often lies below 20 Hz.
  if (failure != TsFailure::NoF1 ||
      !CompleteWithMirroredF1(free, InterpolatedResonance(free, free.peakSlots[0]), table))
    return failure;
  mirrored = true;
  return TsFailure::None;
}

TsFailure MeasureMechanics(const TsAnalysis& free, const TSResult& table, const TsAnalysis& second,
                           MechanicsInput& in) {
  in.re = table.Re;
  // The Q values, proportional to the Fs they were formed with, follow the
  // interpolated resonance.
  in.fs = InterpolatedResonance(free, free.peakSlots[0]);
  in.qms = table.Qms * in.fs / table.Fs;
  in.qes = table.Qes * in.fs / table.Fs;
  const bool boxed = in.method == MassMethod::ClosedBox;
  // Only the resonance of the loaded driver is needed: its f1 and even its
  // peak's neighbours may well lie below the band.
  int slot = 0;
  if (boxed ? second.peakCount == 0 : !ResonanceSlot(second, slot)) return TsFailure::NoPeak;
  if (boxed) slot = second.peakSlots[0];
  const double fs2 = InterpolatedResonance(second, slot);
  if (!boxed) {
    in.fsLoaded = fs2;
    return TsFailure::None;
  }
  in.fsBox = fs2;
  TSResult inBox;
  if (const TsFailure failure = second.CalcTS(table.Re, inBox); failure != TsFailure::None) return failure;
  in.qesBox = inBox.Qes * fs2 / inBox.Fs;
  return TsFailure::None;
}

bool ResonanceSlot(const TsAnalysis& a, int& slot) {
  if (a.peakCount > 0) {
    slot = a.peakSlots[0];
    return true;
  }
  const int last = std::min(a.LastSlot(), a.FirstSlot() + NearStartSlots - 1);
  if (last - a.FirstSlot() < 2) return false;
  int best = a.FirstSlot();
  for (int k = a.FirstSlot() + 1; k <= last; ++k)
    if (a.R(k) > a.R(best)) best = k;
  if (best == a.FirstSlot() || best == last) return false;
  slot = best;
  return true;
}

bool CompleteWithMirroredF1(const TsAnalysis& a, double fs, TSResult& r) {
  if (!a.FindF2(r) || !(fs > 0) || !(r.f2 > fs)) return false;
  using L = long double;
  r.f1 = static_cast<float>(L(fs) * fs / r.f2);
  return ThreePointQ(r);
}

double InterpolatedResonance(const TsAnalysis& a, int k) {
  const double fk = a.F(k);
  if (k - 1 < a.FirstSlot() || k + 1 > a.LastSlot()) return fk;
  const double x0 = std::log(double(a.F(k - 1))), x1 = std::log(fk), x2 = std::log(double(a.F(k + 1)));
  if (!(x0 < x1 && x1 < x2)) return fk;
  return std::exp(ParabolaVertex(x0, x1, x2, a.R(k - 1), a.R(k), a.R(k + 1)));
}

}  // namespace kavo
