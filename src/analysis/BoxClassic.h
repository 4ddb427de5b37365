// What a box's impedance curve shows by itself, and the estimates a user
// can check by hand beside the box fit (analysis/BoxModel):
//   closed  Fc at the peak; Qmc = Fc·√r0/(f2 − f1), Qec = Qmc/(r0 − 1) with
//           r0 = Rmax/Re and f1, f2 where |Z| = √(Rmax·Re); α = Fc·Qec/(Fs·Qes) − 1
//           (the box's stiffness over the suspension's: Fc·Qec = Fs·Qes·(1 + α)
//           when the moving mass stays), Vas = α·Vb
//   vented  fL, fH the peaks, fM the minimum between them (Fb), and where θ
//           crosses zero between them (Fb again); with Fs, Small's
//           α = (fL² + fH² − fL²·fH²/Fs²)/Fs² − 1, from the lossless system's
//           fL·fH = Fs·Fb and fL² + fH² = Fs²(1 + α) + Fb²
// Each with a σ from the curve's point spacing (a frequency read between
// points to a quarter of their spacing) and the driver's σ.
#pragma once

#include <vector>

#include "analysis/Fitter.h"

namespace kavo {

// The peaks and the dip of a box curve.
struct BoxShape {
  std::vector<double> peaks;  // Hz, the prominent maxima of |Z|, rising f
  std::vector<double> peakR;  // Ω, their |Z|
  double fM = 0, rM = 0;      // the minimum between the first two peaks
  double fTheta = 0;          // where θ crosses zero nearest fM, 0 when nowhere
  // A single peak with a dip below it that rises again to the curve's start:
  // the skirt of a lower peak outside the range.
  bool dipBelow = false;
  double spacing = 0;         // the relative spacing of the points around the peaks
};
BoxShape ShapeOf(const FitPoints& c);

// A classic estimate: value (SI) and σ.
struct Estimate {
  bool has = false;
  double value = 0, sigma = 0;
};

struct ClosedClassic {
  Estimate fc, qmc, qec, qtc, alpha, vas, vab;
};
// From the curve's peak and Re; α, Vas and Vab when the driver's Fs, Qes
// (with σ), Vb and Vas are known (each 0 when not).
ClosedClassic ClosedEstimates(const FitPoints& c, const BoxShape& shape, double re, double fs, double fsSigma,
                              double qes, double qesSigma, double vb, double vas);

struct VentedClassic {
  Estimate fl, fm, fh, fTheta, alpha, h, vab, vas;
};
VentedClassic VentedEstimates(const BoxShape& shape, double fs, double fsSigma, double vb, double vas);

}  // namespace kavo
