// What a model must give the fitter (analysis/Fitter): its parameters with
// scales and bounds, its impedance as one template (double for values, Jets
// for Ceres' automatic derivatives), a start from the curves, the values it
// reports with their table (key, name, unit, scale) and which of them the
// curves determine; for σ's model and input parts, its variants and the
// user's inputs it depends on.
#pragma once

#include <ceres/jet.h>

#include <cmath>
#include <memory>
#include <span>
#include <vector>

#include "analysis/Fitter.h"

namespace kavo {

// Jets of this width carry the derivatives of up to this many parameters in
// one pass.
constexpr int FitJetStride = 12;
using FitJet = ceres::Jet<double, FitJetStride>;

// One fitted parameter. The solver works on SI / scale; the scale is
// `scale` when above 0, else |start| (1 for a start of 0); the bounds are on
// the scaled value.
struct FitParameter {
  const char* name;
  double scale;
  double lower, upper;
};

// One input of the user that the values depend on (an Re typed in, an added
// mass), with its σ in SI.
struct FitInputSigma {
  const char* name;
  double sigma;
};

class FitModel {
 public:
  virtual ~FitModel() = default;
  virtual std::span<const FitParameter> Parameters() const = 0;
  virtual std::span<const ReportedValue> Values() const = 0;
  // The start (SI) and which parameters are free, from the prepared curves.
  virtual void Start(const std::vector<FitPoints>& curves, std::vector<double>& x, std::vector<bool>& free) const = 0;
  // The impedance at ω [rad/s] under the load of `curve`.
  virtual void Impedance(const double* x, const FitPoints& curve, double w, double& zr, double& zi) const = 0;
  virtual void Impedance(const FitJet* x, const FitPoints& curve, double w, FitJet& zr, FitJet& zi) const = 0;
  // Every reported value (SI) from the parameters.
  virtual std::vector<double> Derived(const double* x) const = 0;
  // Which values the curves determine.
  virtual std::vector<bool> Determined(const std::vector<FitPoints>& curves) const = 0;
  // The name of the curve `role` in reports ("free").
  virtual const char* CurveName(int role) const = 0;
  // Other defensible models of the same curves (another voice-coil model):
  // their spread is σ's model part.
  virtual std::vector<std::shared_ptr<const FitModel>> Variants() const { return {}; }
  // The user's inputs with their σ: each moved by its σ and refitted, the
  // deviations in quadrature are σ's input part.
  virtual std::vector<FitInputSigma> Inputs(const std::vector<FitPoints>& /*curves*/) const { return {}; }
  // This model, with `curves`, as it is with input `i` moved by `delta` (SI);
  // the curves' loads change where the input sets them.
  virtual std::shared_ptr<const FitModel> MoveInput(size_t /*i*/, double /*delta*/,
                                                    std::vector<FitPoints>& /*curves*/) const {
    return nullptr;
  }
  // The model's own warnings about a finished fit.
  virtual void Assess(const double* /*x*/, const std::vector<FitPoints>& /*curves*/,
                      const std::vector<double>& /*values*/, std::vector<FitNotice>& /*warnings*/) const {}
};

// The semi-inductance K·(jω)^n of a voice coil: its real and imaginary parts.
template <typename T>
void SemiInductance(const T& k, const T& n, double w, T& re, T& im) {
  using std::cos;
  using std::exp;
  using std::sin;
  const T mag = k * exp(n * std::log(w));
  re = mag * cos(n * (Pi / 2));
  im = mag * sin(n * (Pi / 2));
}

// Both Impedance overloads from one template M::Z<T>.
template <class M>
class FitModelOf : public FitModel {
 public:
  void Impedance(const double* x, const FitPoints& c, double w, double& zr, double& zi) const final {
    static_cast<const M*>(this)->Z(x, c, w, zr, zi);
  }
  void Impedance(const FitJet* x, const FitPoints& c, double w, FitJet& zr, FitJet& zi) const final {
    static_cast<const M*>(this)->Z(x, c, w, zr, zi);
  }
};

}  // namespace kavo
