// What the simulated KA-V unit measures: a moving-coil driver as the lumped
// model Re + jωLe + Res / (1 + jQms(f/Fs − Fs/f)), Res = Re·Qms/Qes, sampled on
// the unit's 400-slot frequency grid and coded as 18-character point records.
// The same driver can be loaded with a mass on its cone or mounted in a closed
// box; its mechanical side (Mms, Cms, Rms, Bl) follows from Sd and Vas.
//
// A more realistic driver, when asked for: a lossy voice coil (LR2: jωLe +
// jωL2·R2/(R2 + jωL2); semi-inductance: K·(jω)^n) and a suspension with
// creep, C(ω) = Cms·(1 − λ·log10(jω/ωs)). Such a driver is computed in the
// electro-mechanical form Re + Z_L + Bl²/(jωMms + Rms + 1/(jωC(ω))); Fs, Qms
// and Qes keep their meaning at the resonance (the creep's stiffness and loss
// folded in), so Mms, Bl and Vas are the same as without creep.
#pragma once

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

namespace kavsim {

// A crossover part measured in the driver's place.
//   inductor   Z = Zs ∥ 1/(jωCp), Zs = Rdc + Rac·(f/1 kHz)² + jωL
//   capacitor  Z = ESR + 1/(jωC) + jωESL
//   resistor   Z = R + jωLs
struct PartModel {
  enum class Kind { None, Inductor, Capacitor, Resistor };
  Kind kind = Kind::None;
  double L = 1e-3;     // H
  double Rdc = 0.3;    // Ω
  double Rac = 0.002;  // Ω added at 1 kHz by the losses (skin and proximity), ∝ f²
  double Cp = 0;       // F, the winding's capacitance (0: no self-resonance)
  double C = 10e-6;    // F
  double ESR = 0.05;   // Ω
  double ESL = 20e-9;  // H
  double R = 8.2;      // Ω
  double Ls = 5e-6;    // H, a wire-wound resistor's inductance
};
// "inductor", "capacitor", "resistor"; false for any other name.
bool FindPartKind(const std::string& name, PartModel::Kind& kind);
std::complex<double> PartImpedance(const PartModel& part, double frequencyHz);

struct DriverModel {
  double Re = 5.6;     // voice-coil DC resistance, Ω
  double Le = 0.45e-3; // voice-coil inductance, H
  double Fs = 42.0;    // free-air resonance, Hz
  double Qms = 4.2;    // mechanical Q
  double Qes = 0.42;   // electrical Q
  double Sd = 132e-4;  // effective cone area, m²
  double Vas = 22e-3;  // air volume of the suspension's compliance, m³
  // The voice coil beyond Le, and the suspension's creep.
  enum class Coil { Le, LR2, Semi };
  Coil coil = Coil::Le;
  double L2 = 0;       // LR2: H
  double R2 = 0;       // LR2: Ω
  double K = 0;        // semi: Ω·s^n (Le unused)
  double n = 0;        // semi: 0 < n < 1
  double creep = 0;    // λ, compliance fall per decade relative to Fs
  // Load of a driver in the electro-mechanical form (see Loaded).
  double addedMass = 0;  // kg
  double boxVolume = 0;  // m³
  // A part instead of the driver, when its kind is not None.
  PartModel part{};
};

// Whether `model` needs the electro-mechanical form (LR2, semi or creep).
bool IsExtended(const DriverModel& model);

// Air as the mechanical relations take it.
constexpr double AirDensity = 1.18;  // kg/m³
constexpr double SoundSpeed = 345.0; // m/s

// The driver's mechanical side, from Fs, Qms, Qes, Re, Sd and Vas:
// Cms = Vas/(ρc²Sd²), Mms = 1/((2πFs)²Cms), Rms = 2πFs·Mms/Qms,
// Bl = √(2πFs·Mms·Re/Qes).
struct Mechanics {
  double Mms; // moving mass, kg
  double Cms; // suspension compliance, m/N
  double Rms; // mechanical resistance, kg/s
  double Bl;  // force factor, T·m
  double Vas; // m³
  double Sd;  // m²
};
Mechanics MechanicsOf(const DriverModel& model);

// The same driver with addedMass (kg, ≥ 0) on its cone and, when boxVolume
// (m³) is above 0, in a closed box of that volume: Mms grows by the mass, the
// box's air stiffness adds to the suspension's, Rms and Bl stay. The result's
// Fs, Qms and Qes are those of the loaded driver and its Vas that of the
// combined stiffness, so that MechanicsOf() of it gives Mms + m and the
// series compliance. An extended driver keeps its free parameters and
// carries the load instead (addedMass, boxVolume).
DriverModel Loaded(const DriverModel& model, double addedMass, double boxVolume);

struct Preset {
  const char* name;
  const char* description;
  DriverModel model;
};
// woofer65, sub10, tweeter, fullrange.
const std::vector<Preset>& Presets();
// Looks a preset up by name; false when there is none of that name.
bool FindPreset(const std::string& name, DriverModel& model);
// Every parameter positive and finite (Le may be 0); the LR2 terms not
// negative, n within 0..1, K above 0 for semi, and λ not negative and small
// enough to leave Rms above 0 (λ·0.682·Qms < 1). A part: its main value
// above 0, the others not negative, every one finite.
bool IsValidModel(const DriverModel& model);

std::complex<double> Impedance(const DriverModel& model, double frequencyHz);

// The unit's frequency grid: log-spaced pieces through slot 0 = 20 Hz,
// 143 = 250 Hz, 263 = 2000 Hz and 399 = 20000 Hz.
constexpr int GridSlots = 400;
double SlotFrequency(int slot);

// Bands 1..4 as the unit sweeps them; false for any other number.
bool BandSlots(int band, int& firstSlot, int& lastSlot);

// The 18-character record for R [Ω], θ [deg] and f [Hz]: R code, θ code
// (16-bit two's complement), frequency count (24 bits) and divisor, upper-case
// hexadecimal. Each value is coded to the nearest step of its resolution
// (0.01 Ω, 0.1°); values outside the codes' range are clamped.
std::string EncodePoint(double r, double thetaDeg, double frequencyHz);
// The inverse, as the program reads a record; false for a zero divisor or a
// record that is not 18 characters long.
bool DecodePoint(const std::string& record, double& r, double& thetaDeg, double& frequencyHz);

}  // namespace kavsim
