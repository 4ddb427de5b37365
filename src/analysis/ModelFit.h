// The model fit: the driver's electro-mechanical model fitted by least
// squares to the measured complex impedance of one or more curves, with ±1σ
// on every reported value. Window-free; the model-fit window and
// `kavo-tool fit` both run it. The three-point method (Kavo_calc_method) is
// untouched by it.
//
// Curve i (free, with an added mass m_i, or in a closed box of volume Vb):
//
//   Z(ω) = Re + Z_L(ω) + Bl² / (jω(Mms + m_i) + Rms + 1/(jω·C_i(ω)))
//
//   Z_L: le   jωLe
//        lr2  jωLe + jωL2·R2/(R2 + jωL2)
//        semi K·(jω)^n, 0 < n < 1
//   C(ω) = Cms·(1 − λ·log10(jω/ω_r)) with creep (λ ≥ 0, ω_r = 2π × the free
//   curve's R peak, fixed before the fit), Cms without; in a box
//   1/C_i = 1/C(ω) + ρc²Sd²/Vb.
//
// Reported values. With creep the suspension's stiffness 1/C(ω) = k'(ω) +
// jk''(ω) is complex and frequency dependent. The resonance ωs is where the
// mechanical reactance vanishes, ωs²·Mms = k'(ωs); there the creep's
// stiffness and loss are folded into the classic model:
//   Cms (reported) = 1/k'(ωs)          Rms (reported) = Rms + k''(ωs)/ωs
//   Fs = ωs/2π   Qms = ωs·Mms/Rms(reported)   Qes = ωs·Mms·Re/Bl²
//   Qts = Qms·Qes/(Qms + Qes)   Vas = ρc²Sd²·Cms(reported)   EBP = Fs/Qes
// and λ is referred to Fs (the compliance's fall per decade relative to its
// value at Fs), so that none of them depends on ω_r. Without creep these are
// the plain lumped values.
//
// The fitting itself (residuals, solver, uncertainty) is the generic
// fitter's (analysis/Fitter.h); the model is analysis/LoudspeakerModel; the
// table, JSON and driver file are written by analysis/FitReport.
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "analysis/Fitter.h"

namespace kavo {

enum class CoilModel { Le, LR2, Semi };
// "le", "lr2", "semi"; false for any other name.
bool ParseCoilModel(const QString& name, CoilModel& model);
const char* CoilModelName(CoilModel model);
// The model as reports name it: "semi, creep", "lr2".
QString ModelDescription(CoilModel coil, bool creep);

struct FitInput {
  FitCurve free;
  // semi by default: on the real 10-inch pair it leaves 1.3–2.4 % where lr2
  // leaves 2.4–3.9 %, with one term fewer.
  CoilModel coil = CoilModel::Semi;
  bool creep = true;
  bool fitRe = false;
  double re = 0;          // Ω, the fixed value unless fitRe
  double fmin = 0;        // Hz; 0 takes DefaultRange's
  double fmax = 0;
  double sd = 0;          // m²; 0 when not known
  double addedMass = 0;   // kg, with `loaded`
  FitCurve loaded;
  double boxVolume = 0;   // m³, with `boxed`
  FitCurve boxed;
  double rho = 1.18;      // kg/m³
  double c = 345.0;       // m/s
  // The σ of the user's inputs (SI), when the user knows better than the
  // defaults: Re 1 %, the added mass 0.5 %, Sd 5 %, the box volume 3 %.
  std::optional<double> reSigma, massSigma, sdSigma, boxSigma;
  // false: σ's stat part alone, without the refits of its model and input
  // parts (a check that reads the values only).
  bool fullSigma = true;
};

constexpr double DefaultReSigma = 0.01, DefaultMassSigma = 0.005, DefaultSdSigma = 0.05, DefaultBoxSigma = 0.03;

// The reported values, in the order of the table and of the JSON keys.
enum FitValue {
  FvRe, FvFs, FvQms, FvQes, FvQts, FvLe, FvL2, FvR2, FvK, FvN, FvLambda,
  FvMms, FvCms, FvRms, FvBl, FvVas, FvEBP, FitValueCount
};
// The table of the reported values (key, name, unit, scale) of `value`.
const ReportedValue& FitValueInfoOf(int value);

// The default range for `free`: from its lowest frequency (below the
// resonance lies what fixes Cms and the creep, and the loaded resonance) to
// 6 × its R peak's frequency, or its top when lower. Measured on the real
// 10-inch pair: up to 6·Fs lr2 and semi agree on Mms within 1 % at a 1.2–3.9 %
// residual; beyond it the voice-coil models absorb the fit (residual 4–7 %,
// λ driven to 0, Mms 3 % low at 1–2 kHz).
void DefaultRange(const FitCurve& free, double& fmin, double& fmax);

// The fit with its total σ: the values are the fit's as asked; σ's model
// part is the largest deviation from them over the variants (the other coil
// model: lr2 for semi and le, semi for lr2; the range's upper end at 2/3 and
// 3/2 of its own, 4·Fs and 9·Fs beside the default 6·Fs), its input part the
// deviations with Re, the added mass, Sd and the box volume each moved by
// its σ, in quadrature. Bounded: at most a few hundred solver iterations per
// fit, whatever the data.
FitResult FitDriver(const FitInput& input);
// The values a fit of `in` reports: what its curves and coil model determine.
std::array<bool, FitValueCount> FitReportedValues(const FitInput& in);

// Convenience for curves from the unit's numbers: the slots first..last of
// R, θ and f arrays, points with R ≤ 0 or f ≤ 0 left out.
FitCurve CurveFromSlots(const float* r, const float* thetaDeg, const float* f, int first, int last);

}  // namespace kavo
