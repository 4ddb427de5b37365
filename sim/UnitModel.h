// What the simulated KA-V unit measures: a moving-coil driver as the lumped
// model Re + jωLe + Res / (1 + jQms(f/Fs − Fs/f)), Res = Re·Qms/Qes, sampled on
// the unit's 400-slot frequency grid and coded as 18-character point records.
#pragma once

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

namespace kavsim {

struct DriverModel {
  double Re = 5.6;     // voice-coil DC resistance, Ω
  double Le = 0.45e-3; // voice-coil inductance, H
  double Fs = 42.0;    // free-air resonance, Hz
  double Qms = 4.2;    // mechanical Q
  double Qes = 0.42;   // electrical Q
};

struct Preset {
  const char* name;
  const char* description;
  DriverModel model;
};
// woofer65, sub10, tweeter, fullrange.
const std::vector<Preset>& Presets();
// Looks a preset up by name; false when there is none of that name.
bool FindPreset(const std::string& name, DriverModel& model);
// Every parameter positive and finite.
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
