// Loudspeakers in boxes: the driver in a closed or a vented box fitted to
// the impedance of the finished loudspeaker, by the generic fitter
// (analysis/Fitter). Window-free; the box window and `kavo-tool box` run it.
//
// In the driver's own terms Mms divides out, so that neither Mms, Bl nor Sd
// is needed:
//
//   Z(ω) = Re + Z_L(ω) + (ωs·Re/Qes) / (jω + ωs/Qms + ωs²/(jω)·(1 + α·ζ(ω)))
//
//   Z_L     jωLe, or K·(jω)^n (semi-inductance)
//   α       Vas/Vab, the suspension's compliance over the box's; 0 in free air
//   ζ       jω·Cab·Z_A, the box's acoustic impedance relative to its compliance
//   closed  ζ = 1 + j(ω/ωc)/QA, ωc = ωs·√(1 + α)
//   vented  1/ζ = 1/(1 + jx/QA) + 1/(jx·QL) + 1/(jx/QP − x²), x = ω/ωb
//
// Small's circuit: the box's compliance Cab with an absorption resistance in
// series (QA = 1/(ωb·Cab·Rab)), a leakage across it (QL = ωb·Cab·Ral) and the
// port's mass Map = 1/(ωb²·Cab) with its loss (QP = 1/(ωb·Cab·Rap)). The
// moving mass is the same in the box as in free air.
//
// Reported: closed Fc, Qtc, Qec, Qmc, α, QB (= QA at Fc); vented Fb, α,
// h = Fb/Fs, QL, QA and QP when the curve determines each within half its
// value, else their combination QB (1/QB = 1/QA + 1/QP), and fL, fM, fH of
// the fitted curve; Vab = Vas/α when the driver's Vas is known; with the
// driver from a free-air curve its Fs and Qts, and Vas = α·Vb when Vb is
// given. The driver's values come from (a) a free-air curve fitted jointly
// (the box curve's role 1, the free curve's 0), (b) a driver file or (c)
// values typed in; with (b) and (c) they are held and their σ reaches every
// value through refits.
#pragma once

#include <QByteArray>
#include <QString>
#include <complex>
#include <vector>

#include "analysis/BoxClassic.h"
#include "analysis/DriverFile.h"
#include "analysis/FitModel.h"
#include "analysis/ModelFit.h"

namespace kavo {

enum class BoxKind { Closed, Vented };
// BoxOnly: no driver given; only what the box curve determines by itself
// (closed: Fc, Qtc, Qec, Qmc; vented: all but the volumes).
enum class DriverSource { Free, File, Typed, BoxOnly };

// The reported values, in the order of the table and of the JSON keys.
enum BoxValue {
  BvFb, BvVab, BvAlpha, BvH, BvQL, BvQA, BvQP, BvQB, BvFL, BvFM, BvFH,
  BvFc, BvQtc, BvQec, BvQmc, BvFs, BvQts, BvVas,
  BvQms, BvQes,  // the driver's, for the classic estimates only
  BoxValueCount
};
const ReportedValue& BoxValueInfoOf(int value);

// The driver's values as given (SI), each with its σ; 0 for one not given.
// Qms and Qes may stand for each other through Qts.
using BoxDriver = DriverParameters;

// What the box's σ assumes of the box when nothing is said: Vb ±3 % (a box's
// inner volume measured by hand, less the driver's and the port's); the
// driver's defaults are in analysis/DriverFile.h.
constexpr double DefaultVbSigma = 0.03;
// No box a driver is measured in holds more (10 000 L): a larger Vb is a
// slip of the keyboard, whose α·Vb would be shown as a number of 300 digits.
constexpr double MaxBoxVolume = 10.0;  // m³

struct BoxInput {
  BoxKind kind = BoxKind::Closed;
  FitCurve boxed;
  DriverSource source = DriverSource::Free;
  FitCurve free;          // with DriverSource::Free
  BoxDriver driver;    // with File and Typed
  double vb = 0;          // m³, 0 when not known
  double vbSigma = -1;    // m³; below 0 for DefaultVbSigma
  double re = 0;          // Ω; 0 takes the driver's, or fits it
  double reSigma = -1;    // Ω; below 0 for DefaultReSigma
  CoilModel coil = CoilModel::Semi;  // le or semi
  double fmin = 0, fmax = 0;  // Hz; 0 for the curves' own (see FitBox)
  // false: σ's stat part alone, without the refits of its model and input
  // parts (a check that reads the values only).
  bool fullSigma = true;
};

// What the fit says beside its values.
enum class BoxNote {
  LossesCombined,     // QA and QP not determined apart: QB given
  LossesInQL,         // a vented box without its driver: QL and Qms may hold part of the box's losses
  FreeBelowRange,     // the free resonance lies below the free curve
  ReFitted,           // Re not given: fitted
};

struct BoxResult {
  FitResult fit;  // values by BoxValue; σ the total (and its parts)
  DriverSource source = DriverSource::Free;
  BoxKind kind = BoxKind::Closed;
  std::vector<BoxNote> notes;
  BoxShape shape;
  ClosedClassic closed;
  VentedClassic vented;
  // The classic estimates by BoxValue; has false where there is none.
  std::vector<Estimate> Classic() const;
  // The fitted loudspeaker's impedance at `f` Hz, in its box.
  std::complex<double> SystemImpedance(double f) const;
};

// The fit's table (FitTableText), then "name (classic)<TAB>value<TAB>±σ<TAB>unit"
// per classic estimate; names the same in every language.
QByteArray BoxTableText(const BoxResult& result);

// The σ of driver values typed in: `percent` of each when above 0, else
// the defaults.
void TypedDriverSigmas(BoxDriver& driver, double percent);

// Whether the curve shows a vented box: two peaks below 1 kHz.
bool LooksVented(const FitCurve& boxed);

// Range: a box curve from its start to 6 × its highest peak (the free
// curve's as the model fit takes it, DefaultRange; a free curve without its
// resonance from its start to 6 × the box's peak). Bounded in time like
// every fit. σ is the fitter's total: stat, the model part over the box
// curve's upper end at 2/3 and 3/2 of its own, and the given values' part.
BoxResult FitBox(const BoxInput& input);

class BoxModel final : public FitModelOf<BoxModel> {
 public:
  enum Param { PRe, PLe, PK, PN, PWs, PGm, PGe, PAlpha, PWb, PGl, PGa, PGp, ParamCount };
  struct Setup {
    BoxKind kind = BoxKind::Closed;
    CoilModel coil = CoilModel::Semi;
    bool fitRe = false, fitDriver = true;
    bool qtsOnly = false;  // Qms from the given Qts and the fitted Qes
    bool boxOnly = false;  // no driver given, no free curve
    // A vented box alone: the loss beside the leakage taken as the port's
    // (QP) rather than the absorption's (QA).
    bool portLoss = false;
    double re = 0;
    double ws = 0, qms = 0, qes = 0, qts = 0;  // the given driver (rad/s)
    double vas = 0, vb = 0;                     // m³, 0 when not known
    BoxShape shape;                             // the box curve's peaks, for the start
    // The σ (SI) of what was given: Re (when held), Vb, the driver's Vas,
    // ωs, Qms, Qes, Qts; each moved by its σ and refitted for σ's input part.
    double reSigma = 0, vbSigma = 0, vasSigma = 0, wsSigma = 0, qmsSigma = 0, qesSigma = 0, qtsSigma = 0;
  };
  explicit BoxModel(Setup setup) : s_(std::move(setup)) {}

  std::span<const FitParameter> Parameters() const override;
  std::span<const ReportedValue> Values() const override;
  void Start(const std::vector<FitPoints>& curves, std::vector<double>& x, std::vector<bool>& free) const override;
  std::vector<double> Derived(const double* x) const override;
  std::vector<bool> Determined(const std::vector<FitPoints>& curves) const override;
  const char* CurveName(int role) const override;
  std::vector<FitInputSigma> Inputs(const std::vector<FitPoints>& curves) const override;
  std::shared_ptr<const FitModel> MoveInput(size_t i, double delta, std::vector<FitPoints>& curves) const override;

  template <typename T>
  void Z(const T* x, const FitPoints& curve, double w, T& zr, T& zi) const;
  const Setup& setup() const { return s_; }

 private:
  void Peaks(const double* x, double& fl, double& fm, double& fh) const;
  Setup s_;
};

}  // namespace kavo
