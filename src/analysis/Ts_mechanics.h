// The driver's mechanical parameters from two impedance measurements: the
// free driver and the same driver again with a known mass on its cone
// (added-mass method) or in a closed box of known volume (closed-box
// method). SI units throughout; the tool converts grams, litres and cm².
#pragma once

#include "analysis/Ts_analysis.h"

namespace kavo {

enum class MassMethod { AddedMass, ClosedBox };

struct MechanicsInput {
  MassMethod method = MassMethod::AddedMass;
  double re = 0;      // Ω
  double fs = 0;      // free resonance, Hz
  double qms = 0;     // free driver
  double qes = 0;
  double sd = 0;      // m²
  double mass = 0;    // added mass, kg
  double fsLoaded = 0;  // resonance with the mass, Hz
  double box = 0;     // box volume, m³
  double fsBox = 0;   // resonance in the box, Hz
  double qesBox = 0;  // Qes in the box
  double rho = 1.18;  // air density, kg/m³
  double c = 345.0;   // speed of sound, m/s
};

struct MechanicsResult {
  double Mms = 0;  // kg
  double Cms = 0;  // m/N
  double Rms = 0;  // kg/s
  double Bl = 0;   // T·m
  double Vas = 0;  // m³
  double EBP = 0;  // Fs/Qes, Hz
};

// The free driver's table for the mechanical parameters: CalcTS, and when
// f1 lies below the band (NoF1), f1 mirrored from f2 about the interpolated
// resonance (`mirrored` then true).
TsFailure FreeDriverTable(const TsAnalysis& free, float re, TSResult& table, bool& mirrored);

// Completes `in` (method, sd, mass or box, rho and c as the user gave them)
// with what the measurements give: Re, the free resonance between the grid
// slots and the Q values of `table` following it, from the free driver's
// analysis and table; the loaded or boxed resonance from `second`, and in
// the box its Qes with `table`'s Re. TsFailure::None, NoPeak when the second
// measurement shows no resonance, or why the boxed Qes cannot be had.
TsFailure MeasureMechanics(const TsAnalysis& free, const TSResult& table, const TsAnalysis& second,
                           MechanicsInput& in);

// Why a combination of inputs gives no result; `a` and `b` are the two
// numbers the reason compares (the second resonance and the free one; Fc·Qec
// and Fs·Qes).
struct MechanicsFailure {
  enum Code { None, NoRe, NoSd, NoAir, NoFreeDriver, NoMass, LoadedNotBelow, NoBox, BoxedNotAbove, NoBoxQes,
              BoxGainTooSmall, NotFinite } code = None;
  double a = 0, b = 0;
};

// MechanicsFailure::None when done; otherwise why the combination cannot
// give a result (nothing in `result` is meaningful then).
MechanicsFailure CalcMechanics(const MechanicsInput& in, MechanicsResult& result);

// The resonance between the grid slots: the vertex of the parabola through
// the raw R of the peak slot and its two neighbours over ln f (the lumped
// model's R is symmetric about Fs on a logarithmic axis). The slot's own
// frequency at the band's edges or when the three points do not bend down.
double InterpolatedResonance(const TsAnalysis& analysis, int slot);

// The resonance slot of a measurement that only its frequency is needed of:
// the first listed peak, or, when the peak search lists none (a resonance a
// few slots above the band's start lacks the neighbours its tests look at),
// the largest R of the band's first NearStartSlots slots unless that is the
// first or the last of them.
constexpr int NearStartSlots = 30;
bool ResonanceSlot(const TsAnalysis& analysis, int& slot);

// When f1 lies below the band (CalcTS gave NoF1 with Re, Rmax, Fs, r0 and
// Rx written): f2 searched as usual and f1 taken as fs²/f2, its mirror about
// the resonance `fs` on the logarithmic axis, then the Q values by the
// table's formulas. False when f2 is not found either.
bool CompleteWithMirroredF1(const TsAnalysis& analysis, double fs, TSResult& result);

}  // namespace kavo
