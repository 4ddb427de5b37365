// The loudspeaker driver's electro-mechanical model for the fitter
// (analysis/Fitter); the model and its reported values are described in
// analysis/ModelFit.h.
#pragma once

#include "analysis/FitModel.h"
#include "analysis/ModelFit.h"

namespace kavo {

class LoudspeakerModel final : public FitModelOf<LoudspeakerModel> {
 public:
  // The parameters, in the order of the solver's blocks.
  enum Param { PRe, PMms, PRms, PCms, PBl, PLam, PLe, PL2, PR2, PK, PN, ParamCount };
  // Curve loads: load[0] an added mass [kg], load[1] a box stiffness ρc²Sd²/Vb [N/m].
  struct Setup {
    CoilModel coil = CoilModel::Semi;
    bool creep = true;
    double wr = 0;      // creep reference, rad/s: 2π × the free curve's R peak
    double re = 0;      // Ω, the start (the value when fixed)
    bool fitRe = false;
    double sd = 0;      // m², 0 when not known
    double rhoc2 = 0;   // ρc²
    // The σ (SI) of what the user gave: Re (when fixed), Sd, and the loads
    // of the second curves relative to their value (an added mass, the box
    // volume).
    double reSigma = 0, sdSigma = 0, massSigmaRel = 0, boxSigmaRel = 0;
  };
  explicit LoudspeakerModel(const Setup& setup) : s_(setup) {}

  std::span<const FitParameter> Parameters() const override;
  std::span<const ReportedValue> Values() const override;
  void Start(const std::vector<FitPoints>& curves, std::vector<double>& x, std::vector<bool>& free) const override;
  std::vector<double> Derived(const double* x) const override;
  std::vector<bool> Determined(const std::vector<FitPoints>& curves) const override;
  const char* CurveName(int role) const override;
  std::vector<std::shared_ptr<const FitModel>> Variants() const override;
  std::vector<FitInputSigma> Inputs(const std::vector<FitPoints>& curves) const override;
  std::shared_ptr<const FitModel> MoveInput(size_t i, double delta, std::vector<FitPoints>& curves) const override;
  void Assess(const double* x, const std::vector<FitPoints>& curves, const std::vector<double>& values,
              std::vector<FitNotice>& warnings) const override;

  // The model at ω for parameters x (SI), T a double or a Jet.
  template <typename T>
  void Z(const T* x, const FitPoints& curve, double w, T& zr, T& zi) const;

  // The resonance with an added mass and a box stiffness: where
  // ω²(Mms + m) = k'(ω) + kbox.
  double Resonance(const double* x, double mass, double kbox) const;

 private:
  // The start's steps: the mechanics from the resonance's three points and
  // the second curve's shift (x sized and filled), then the coil from what
  // is left at the top of the free curve's range.
  void StartMechanics(const std::vector<FitPoints>& curves, std::vector<double>& x) const;
  void StartCoil(const FitPoints& free, std::vector<double>& x) const;
  // k'(ω) and k''(ω), the suspension's complex stiffness.
  void Stiffness(const double* x, double w, double& k1, double& k2) const;
  Setup s_;
};

}  // namespace kavo
