// The impedance compensation of a driver, designed from its MEASURED curve:
//
//   Zobel    Rz + 1/(jωCz) across the driver (and a second Rz2–Cz2 stage
//            when one stage leaves a lossy coil more than 10 % off and the
//            second takes that down by a third or more), fitted by
//            the generic fitter so that Z_measured ∥ networks comes as close
//            to Re as it can over the band (default 3·Fs to the curve's top);
//   notch    Rn + jωLn + 1/(jωCn) across the driver, from the classic model
//            of the resonance (Res ∥ Lces ∥ Cmes with Cmes = Qes/(ωs·Re)):
//              Rn = Re·(1 + Qes/Qms)   Ln = Qes·Re/ωs   Cn = 1/(ωs·Re·Qes)
//
// The compensated impedance is the measured curve in parallel with the
// networks, so it shows what a crossover will see. Each component carries
// its σ (the fit's, and Re's own σ carried through the design), its nearest
// standard value (E12 for L and C, E24 for R unless asked otherwise) and the
// flatness (the largest deviation of |Z| from Re over the band, in %) with
// exact and with standard values. The Zobel resistor's power is the most it
// takes over the band at a drive of P watts into the nominal impedance, which
// the compensation makes Re: V² = P·Re.
#pragma once

#include <QByteArray>
#include <QString>
#include <complex>
#include <vector>

#include "analysis/DriverFile.h"
#include "analysis/Fitter.h"

namespace kavo {

enum class ESeries { Default, E12, E24, Exact };
// "E12", "E24", "exact"; false for any other name.
bool ParseESeries(const QString& name, ESeries& series);
// The nearest value of the E-series with `perDecade` values (12 or 24).
double NearestStandard(double value, int perDecade);
// A standard value as printed on the part: four significant digits, never in
// exponent form (10000, not 1e+04).
QByteArray StandardValueText(double value);

// What the design needs of the driver: Re, Fs, Qms, Qes (Le when known),
// SI, with σ (0 when not known).
using DriverValues = DriverParameters;

enum class CompFailure {
  None,
  NonFinite,     // the data hold numbers that are not finite
  NoResonance,   // not a driver's curve (a part's, or a range without the resonance)
  DriverFit,     // the driver's model could not be fitted (fitFailure says why)
  BadRe,         // Re not above 0 and below the curve's peak
  BandOutside,   // the band does not lie within the curve
  NotConverged,  // the Zobel fit gave nothing
  BadPower,      // the drive not above 0 W or above MaxPowerW
  OtherDriver,   // the driver file's Fs and the curve's resonance far apart
};
// No loudspeaker takes more; far above it the Zobel's power is no number.
constexpr double MaxPowerW = 10000;

struct CompensationInput {
  FitCurve curve;
  double re = 0;          // Ω: the model is fitted with it (unless haveDriver)
  double reSigma = 0;     // Ω; 0 takes 1 % of Re
  bool haveDriver = false;
  DriverValues driver;    // from a driver file
  bool zobel = true, notch = true;
  double bandLow = 0, bandHigh = 0;  // Hz; 0 takes 3·Fs and the curve's top
  ESeries series = ESeries::Default;
  double powerW = 10;
};

struct CompComponent {
  const char* key;   // JSON key: "Rz", "Cz_uF", ...
  const char* name;  // "Rz"
  const char* unit;  // display unit
  double scale;      // display = SI × scale
  double value = 0, sigma = 0, standard = 0;  // SI
};

struct CompensationResult {
  CompFailure failure = CompFailure::None;
  FitFailure fitFailure = FitFailure::None;
  bool Ok() const { return failure == CompFailure::None; }
  DriverValues driver;                 // what the design used
  std::vector<CompComponent> parts;    // the designed ones: Rz Cz [Rz2 Cz2] [Rn Ln Cn]
  double bandLow = 0, bandHigh = 0;    // Hz, as designed
  double peakHz = 0;                   // the curve's resonance (with OtherDriver)
  double flatnessExact = 0, flatnessStandard = 0;  // %
  double zobelPowerW = 0, zobelPower2W = 0;        // at the band's top
  // The whole curve compensated, with exact and with standard values.
  std::vector<double> f;
  std::vector<std::complex<double>> measured, exact, standard;
  // The component of that key, or null.
  const CompComponent* Part(const char* key) const;
};

// Bounded like every fit.
CompensationResult DesignCompensation(const CompensationInput& input);

// The result as a table: "name<TAB>value<TAB>±σ<TAB>unit<TAB>standard" per
// component, then the flatness (exact, standard, the band) and the Zobel
// resistors' power.
QByteArray CompensationText(const CompensationResult& result);

// The compensated curve (standard values unless `exact`) as a ZMA table:
// '*' comment lines with the components, then "frequency magnitude phase".
QByteArray CompensatedZma(const CompensationResult& result, bool exact, const QString& source);

}  // namespace kavo
