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
// Residuals: (Z_model − Z)/|Z| per point, real and imaginary part, over the
// frequency range, solved by Ceres (Levenberg-Marquardt, bounded iterations).
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
// Uncertainty: the covariance of the fitted parameters ((JᵀJ)⁻¹ from Ceres)
// scaled by the residual's variance per degree of freedom, propagated to
// every reported value through its numerical Jacobian; ±σ is one standard
// deviation under white measurement noise and a model that fits.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <complex>
#include <vector>

namespace kavo {

enum class CoilModel { Le, LR2, Semi };
// "le", "lr2", "semi"; false for any other name.
bool ParseCoilModel(const QString& name, CoilModel& model);
const char* CoilModelName(CoilModel model);

// One measured curve: frequency [Hz], R [Ω] and θ [deg] per point.
struct FitCurve {
  std::vector<double> f, r, thetaDeg;
  bool Empty() const { return f.empty(); }
};

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
};

// The reported values, in the order of the table and of the JSON keys.
enum FitValue {
  FvRe, FvFs, FvQms, FvQes, FvQts, FvLe, FvL2, FvR2, FvK, FvN, FvLambda,
  FvMms, FvCms, FvRms, FvBl, FvVas, FvEBP, FitValueCount
};
struct FitValueInfo {
  const char* key;     // JSON key ("Le_mH")
  const char* name;    // table name ("Le")
  const char* unit;    // display unit ("mH"), "" for none
  double scale;        // display value = SI value × scale
};
const FitValueInfo& FitValueInfoOf(int value);

// Why a fit gave nothing.
enum class FitFailure {
  None, NonFinite, TooFewPoints, NoResonance, BadRe, LoadedNotBelow, BoxedNotAbove,
  NeedsSd, NotConverged
};
// The message of a failure: English for kavo-tool, Japanese for the window.
QString FitFailureText(FitFailure failure, bool japanese);

enum class FitWarning { PoorFit, MassShift, BoxShift, MassBoxDisagree, NoCovariance };
struct FitNotice {
  FitWarning what;
  double a = 0, b = 0;  // the shift in %, or the two Mms in g
};
QString FitWarningText(const FitNotice& notice, bool japanese);

// Above this relative RMS residual the model does not describe the curve.
// Measured: a plain Le on the real 10-inch pair leaves 16–43 %, lr2 and semi
// 1.2–3.9 % up to 6·Fs (the measurement's own point scatter is 1–3 % there),
// a simulated driver its quantisation's 0.1–0.3 %.
constexpr double PoorFitResidual = 0.05;

// The fitted model itself: enough to evaluate any curve of it.
struct FittedModel {
  CoilModel coil = CoilModel::LR2;
  bool creep = false;
  double re = 0, mms = 0, rms = 0, cms = 0, bl = 0, lambda = 0;
  double le = 0, l2 = 0, r2 = 0, k = 0, n = 0;
  double wr = 0;  // creep reference, rad/s
};
// The model's impedance at `f` Hz with an added mass (kg) and a box
// stiffness ρc²Sd²/Vb (N/m; 0 for none).
std::complex<double> ModelImpedance(const FittedModel& model, double f, double addedMass = 0,
                                    double boxStiffness = 0);

struct FitResult {
  FitFailure failure = FitFailure::None;
  bool Ok() const { return failure == FitFailure::None; }
  int failedCurve = -1;  // the curve a failure is about: 0 free, 1 loaded, 2 boxed
  std::array<double, FitValueCount> value{};  // SI
  std::array<double, FitValueCount> sigma{};  // SI; 0 for a fixed value
  std::array<bool, FitValueCount> has{};      // reported (identifiable) or not
  double residual = 0;   // relative RMS of (Z_model − Z)/|Z|
  bool poor = false;     // residual > PoorFitResidual
  double fmin = 0, fmax = 0;  // the range used, Hz
  int points = 0;        // points fitted over all curves
  int iterations = 0;
  std::vector<FitNotice> warnings;
  FittedModel model;
};

// The default range for `free`: from its lowest frequency (below the
// resonance lies what fixes Cms and the creep, and the loaded resonance) to
// 6 × its R peak's frequency, or its top when lower. Measured on the real
// 10-inch pair: up to 6·Fs lr2 and semi agree on Mms within 1 % at a 1.2–3.9 %
// residual; beyond it the voice-coil models absorb the fit (residual 4–7 %,
// λ driven to 0, Mms 3 % low at 1–2 kHz).
void DefaultRange(const FitCurve& free, double& fmin, double& fmax);

// Bounded: at most a few hundred solver iterations per fit, whatever the data.
FitResult FitDriver(const FitInput& input);
// The values a fit of `in` reports: what its curves and coil model determine.
std::array<bool, FitValueCount> FitReportedValues(const FitInput& in);

// Value and σ (display units) as text, with the decimals that two
// significant digits of σ need; "0" for σ 0, "---" for one not known.
void FormatWithSigma(double value, double sigma, std::string& valueText, std::string& sigmaText);
// "name<TAB>value<TAB>±σ<TAB>unit" per reported value, then the residual in %.
std::string FitTableText(const FitResult& result);
// A WinISD-style driver file: [Driver] with Brand, Model, Comment and what
// the fit determined in SI units (H, m/N, kg, m², m³). A semi-inductance is
// given as the Le of its reactance at 1 kHz.
struct DriverFileInfo {
  std::string brand, model;
  double sd = 0;  // m², 0 when not known
};
std::string WdrText(const FitResult& result, const DriverFileInfo& info);

// Convenience for curves from the unit's numbers: the slots first..last of
// R, θ and f arrays, points with R ≤ 0 or f ≤ 0 left out.
FitCurve CurveFromSlots(const float* r, const float* thetaDeg, const float* f, int first, int last);

}  // namespace kavo
