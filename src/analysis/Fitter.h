// The fitter: any model (analysis/FitModel) fitted by least squares to the
// measured complex impedance of one or more curves, with a total ±1σ on
// every reported value. One step per function: select and prepare the
// curves, build the problem, solve, covariance and propagation, variants and
// inputs, assess.
//
// Residuals: (Z_model − Z)/|Z| per point, real and imaginary part, over the
// frequency range, solved by Ceres (Levenberg-Marquardt, bounded iterations);
// for a curve without phase (|Z| alone) (|Z_model| − |Z|)/|Z| per point.
// Uncertainty, σ² = stat² + model² + input² per value:
//   stat   the covariance of the fitted parameters ((JᵀJ)⁻¹ from Ceres)
//          scaled by the residual's variance per degree of freedom and by
//          τ = 1 + 2·Σρ(l), the residuals' autocorrelation along frequency
//          summed over the lags before it first reaches 0 (correlated
//          residuals hold n/τ independent points, not n), propagated to
//          every value through its numerical Jacobian;
//   model  the largest deviation of the value over the fit's variants: the
//          model's own (FitModel::Variants, fitted to the same curves) and
//          those the caller gives (the same model over other ranges);
//   input  the deviations with each of the user's inputs the model declares
//          (FitModel::Inputs) moved by its σ, in quadrature; each a refit
//          from the fit's own parameters.
// A value whose total σ is not finite fails the fit (NoUncertainty).
#pragma once

#include <complex>
#include <memory>
#include <span>
#include <vector>

namespace kavo {

constexpr double Pi = 3.14159265358979323846;

class FitModel;

// One reported value: its JSON key ("Le_mH"), table name ("Le"), display
// unit ("mH", "" for none), display value = SI × scale; its key in a
// WinISD-style driver file (SI) and its place there; `listed` false for a
// value kept for the driver file only.
struct ReportedValue {
  const char* key;
  const char* name;
  const char* unit;
  double scale;
  const char* driverKey = nullptr;
  int driverOrder = 0;
  bool listed = true;
};

// One measured curve: frequency [Hz], R [Ω] and θ [deg] per point.
struct FitCurve {
  std::vector<double> f, r, thetaDeg;
  bool Empty() const { return f.empty(); }
};

// Why a fit gave nothing.
// NoValue: a value the curves should determine came out infinite or not a
// number; NoUncertainty: the σ of a value cannot be computed (the data do
// not determine every parameter). ReAboveMinimum: Re above a curve's
// smallest real part of Z (failureNumbers: Re, that value).
enum class FitFailure {
  None, NonFinite, TooFewPoints, NoResonance, BadRe, LoadedNotBelow, BoxedNotAbove,
  NeedsSd, NotConverged, NoValue, NoUncertainty, ReAboveMinimum,
  // A box: two peaks given as closed, one without a dip below given as
  // vented, one with the skirt of a lower peak below it; the driver's
  // values incomplete; a volume below 0 or above 10 000 L (MaxBoxVolume).
  VentedGivenClosed, ClosedGivenVented, SecondPeakMissing, BadDriver, BadVolume
};

// What a fit that gave values warns of; `a`, `b` the numbers it names.
// ReAboveSmallestR: a fitted Re (a) above the curve's smallest real part (b);
// CoilModelsDisagreeOnRe: the fitted Re (a) and the other coil model's (b);
// ClassicDisagree: a box value (a, its place) and its classic estimate (b).
// NoPhase: a curve carried |Z| alone and was fitted by its magnitude.
enum class FitWarning {
  PoorFit, MassShift, BoxShift, MassBoxDisagree, ReAboveSmallestR, CoilModelsDisagreeOnRe, ClassicDisagree, NoPhase
};
struct FitNotice {
  FitWarning what;
  double a = 0, b = 0;  // the shift in %, the two Mms in g, or a value's place and its classic estimate
};

// Above this relative RMS residual the model does not describe the curve.
// Measured: a plain Le on the real 10-inch pair leaves 16–43 %, lr2 and semi
// 1.2–3.9 % up to 6·Fs (the measurement's own point scatter is 1–3 % there),
// a simulated driver its quantisation's 0.1–0.3 %.
constexpr double PoorFitResidual = 0.05;

// One curve as the fitter uses it: the points within the range as complex
// impedance, its resonance, and the load under which it was measured.
struct FitPoints {
  std::vector<double> w, zr, zi, weight;  // ω [rad/s], Z [Ω], 1/|Z|
  double fLow = 0, fHigh = 0;             // the lowest and highest point's f [Hz]
  double peakHz = 0, peakR = 0;           // from FindResonance
  int role = 0;                           // which curve of the input: 0 the first
  double load[2] = {0, 0};                // the model's reading (a mass, a box stiffness)
  bool magnitudeOnly = false;             // no phase: |Z| is fitted, one residual a point
  double Mag(size_t k) const { return 1 / weight[k]; }
  size_t Residuals() const { return magnitudeOnly ? w.size() : 2 * w.size(); }
};

// The range a curve was fitted over: its lowest and highest point used.
struct FittedRange {
  int role = 0;
  double fmin = 0, fmax = 0;
  int points = 0;
};

struct FitResult {
  FitFailure failure = FitFailure::None;
  bool Ok() const { return failure == FitFailure::None; }
  int failedCurve = -1;  // the curve (role) a failure is about
  double failureNumbers[2] = {0, 0};
  std::span<const ReportedValue> table;  // what value[i] is
  std::vector<double> value;  // SI
  std::vector<double> sigma;  // SI, the total; 0 for a fixed value
  // Its parts, σ² = stat² + model² + input²: the covariance's (corrected for
  // correlated residuals), the spread over variants of the fit, what the
  // user's inputs carry.
  std::vector<double> sigmaStat, sigmaModel, sigmaInput;
  double correlation = 0;     // the residuals' lag-one autocorrelation ρ(1)
  double correlationTime = 1; // τ, the points per independent one
  // Each variant's values (the model's own first, then the caller's); empty
  // for one that failed, NaN where it does not determine the value.
  std::vector<std::vector<double>> variantValues;
  std::vector<bool> has;      // reported (determined by the curves) or not
  double residual = 0;        // relative RMS of (Z_model − Z)/|Z|
  bool poor = false;          // residual > PoorFitResidual
  double fmin = 0, fmax = 0;  // the first curve's range as fitted, Hz
  std::vector<FittedRange> ranges;  // every curve's
  int points = 0;             // points fitted over all curves
  int iterations = 0;
  std::vector<FitNotice> warnings;
  std::shared_ptr<const FitModel> model;  // the model with its fitted parameters
  std::vector<double> params;             // SI
  // The fitted model's impedance at `f` Hz without a load.
  std::complex<double> Impedance(double f) const;
};

// The points of `in` within fmin..fmax (f > 0, |Z| > 0).
FitPoints SelectPoints(const FitCurve& in, double fmin, double fmax);
// True when every number of `c` is finite and its columns match.
bool AllFinite(const FitCurve& c);
// False for a curve whose θ lies within the unit's 0.1° step of 0 at every
// point: a table of |Z| alone (two columns, or a phase column of zeros; a θ
// of 0 comes back from the unit's records as −0.05). A measured driver's θ
// leaves that band away from its resonance.
bool HasPhase(const FitCurve& c);

// The resistance (real part of Z; |Z| for a curve without phase) that Re
// cannot exceed, since it is Re plus terms never below 0: `value` a point's
// measured one, `top` the most it can be given the point's scatter (1 % of
// |Z|, as a measured point's) and the unit's 0.1° steps of θ, never above
// |Z|; the point is the one of the lowest top.
struct LeastResistance {
  double value = 0, top = 0;
};
LeastResistance SmallestResistance(const FitPoints& c);

// How far the local maximum of |Z| at point k rises above the higher of the
// lowest points on either side before |Z| climbs above it again; 0 where
// |Z| has no maximum.
double PeakProminence(const FitPoints& c, size_t k);

// The resonance: the most prominent local maximum of |Z| (its rise above
// the higher of the lowest points on either side before |Z| climbs above it
// again), refined by a parabola over ln f. False when none stands out by
// 10 % of the curve's lowest value, or when fewer than MinSidePoints lie on
// either side of it.
bool FindResonance(FitPoints& c);

// Curves with fewer points are refused.
constexpr int MinFitPoints = 10;
constexpr int MinSidePoints = 5;

// A fit ready to run: a model and its prepared curves (with their
// resonances).
struct FitSetup {
  std::shared_ptr<const FitModel> model;
  std::vector<FitPoints> curves;
};

// Which parts of σ a fit makes beside stat, and the caller's variants.
struct FitSigmaPlan {
  std::vector<FitSetup> variants;  // besides the model's own; a null model is the fit's
  bool model = true;               // false: no variants fitted (model part 0)
  bool input = true;               // false: no inputs moved (input part 0)
};

// Fits `fit` with its total σ: bounded, at most a few hundred solver
// iterations per refit whatever the data.
FitResult RunFit(FitSetup fit, const FitSigmaPlan& plan = {});

FitResult FailedFit(FitFailure failure, int curve = -1);

// Ceres reports through glog; the fit reports its own failures. Called once
// at program start.
void QuietSolverLog();

}  // namespace kavo
