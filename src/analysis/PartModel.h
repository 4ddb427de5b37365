// A crossover part measured in the driver's place, fitted by the generic
// fitter (analysis/Fitter) to the part's model:
//
//   inductor   Z = Zs ∥ 1/(jωCp), Zs = Rdc + Rac·(f/1 kHz)² + jωL
//              (Rac the losses growing with f: skin and proximity effect;
//              Cp only when the curve shows the self-resonance coming)
//   capacitor  Z = ESR + 1/(jωC) + jωESL
//   resistor   Z = R + jωLs
//
// Reported: L, Rdc, Q at 1 kHz; C, ESR, ESL, dissipation factor D at 1 kHz;
// R, Ls; and the part's value at the frequencies asked for (an inductor's
// Im Z/ω, a capacitor's −1/(ω·Im Z), a resistor's Re Z). Points the unit
// cannot resolve (|Z| at its 655.35 Ω ceiling or within a few of its 0.01 Ω
// steps of 0) are left out and counted.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "analysis/FitModel.h"

namespace kavo {

enum class PartKind { Auto, Inductor, Capacitor, Resistor };
// "auto", "inductor", "capacitor", "resistor"; false for any other name.
bool ParsePartKind(const QString& name, PartKind& kind);
const char* PartKindName(PartKind kind);

// The unit's resolution of |Z|: its ceiling, and the smallest reading kept.
constexpr double UnitCeilingOhm = 655.34;
constexpr double UnitFloorOhm = 0.05;  // five 0.01 Ω steps

// Why a part gave nothing.
enum class PartFailure {
  None,
  NonFinite,        // the data hold numbers that are not finite
  TooFewResolvable, // fewer than MinFitPoints within the unit's range
  LooksLikeDriver,  // a resonance peak with |Z| low on both sides
  NotRecognised,    // auto: θ fits none of the parts
  NotConverged,     // the fit gave no values
  AtOutside,        // a frequency asked for lies outside the points fitted
};

struct PartInput {
  FitCurve curve;
  PartKind kind = PartKind::Auto;
  std::vector<double> atHz;  // where the part's value is also wanted
};

struct PartResult {
  PartFailure failure = PartFailure::None;
  bool Ok() const { return failure == PartFailure::None; }
  PartKind kind = PartKind::Auto;  // the part fitted
  bool recognised = false;         // chosen by auto from θ
  int leftOut = 0;                 // points beyond what the unit resolves
  int pointsGiven = 0;
  // With TooFewResolvable: the band to measure instead (1..4), 0 when no
  // band of the unit resolves the part; its range in Hz.
  int suggestedBand = 0;
  double suggestedLow = 0, suggestedHigh = 0;
  // With AtOutside: the range of the points fitted, Hz.
  double fittedLow = 0, fittedHigh = 0;
  FitResult fit;
  // The values at atHz: fit.value/sigma[atFirst + i] (display scale in the
  // table), AtUnit() their unit.
  size_t atFirst = 0;
  std::vector<double> atHz;
};
// "mH", "µF", "Ω": the unit of a part's value at a frequency.
const char* AtUnit(PartKind kind);

// Bounded like every fit: a few hundred solver iterations at most.
PartResult MeasurePart(const PartInput& input);

// The part's model for the fitter; `atHz` adds the value at those frequencies
// to the reported values (unlisted: the caller shows them).
class PartFitModel final : public FitModelOf<PartFitModel> {
 public:
  PartFitModel(PartKind kind, bool selfResonance, std::vector<double> atHz);
  std::span<const FitParameter> Parameters() const override;
  std::span<const ReportedValue> Values() const override;
  void Start(const std::vector<FitPoints>& curves, std::vector<double>& x, std::vector<bool>& free) const override;
  std::vector<double> Derived(const double* x) const override;
  std::vector<bool> Determined(const std::vector<FitPoints>& curves) const override;
  const char* CurveName(int) const override { return "part"; }

  template <typename T>
  void Z(const T* x, const FitPoints& curve, double w, T& zr, T& zi) const;

 private:
  PartKind kind_;
  bool selfResonance_;
  std::vector<double> atHz_;
  std::vector<std::string> atKeys_;
  std::vector<ReportedValue> values_;
};

}  // namespace kavo
