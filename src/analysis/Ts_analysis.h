// The analysis of an impedance curve without any window: the resonance peak
// search and the Thiele-Small parameters derived from the first peak and the
// voice-coil resistance Re. The result-analysis window and kavo-tool both
// run it; the window shows the failures as message boxes, the tool prints
// them.
//
// Arithmetic: sums, products and quotients are formed in long double, every
// stored value is a float, and frequencies are interpolated linearly in Hz.
#pragma once

#include <QString>
#include <cmath>
#include <cstdint>

#include "data/Kavo_setting.h"

namespace kavo {

// The ten values of the parameter table, in its row order.
struct TSResult {
  float Re = 0;    // voice-coil DC resistance entered by the user [ohm]
  float Rmax = 0;  // R at the resonance peak [ohm]
  float Fs = 0;    // resonance frequency [Hz]
  float r0 = 0;    // Rmax / Re
  float Rx = 0;    // sqrt(r0) * Re, the level of f1 and f2 [ohm]
  float f1 = 0;    // below Fs where R falls to Rx [Hz]
  float f2 = 0;    // above Fs where R falls to Rx [Hz]
  float Qms = 0;
  float Qes = 0;
  float Qts = 0;
};

// The three-point Qms from the peak's ratio r0 = Rmax/Re, its frequency and
// f1, f2 (in one unit, Hz or rad/s): √r0·Fs/(f2 − f1). The one formula of
// the table and of the model fit's start.
template <class T>
T ThreePointQms(T r0, T fs, T f1, T f2) {
  using std::sqrt;
  return sqrt(r0) * fs / (f2 - f1);
}

// The three-point Q values from r0, Fs, f1 and f2 of `result`:
// Qms = √r0·Fs/(f2 − f1), Qes = Qms/(r0 − 1), Qts = Qms·Qes/(Qms + Qes),
// each as the table shows it (a float) before the next is formed. False,
// the Q values untouched, when one is not a finite number.
bool ThreePointQ(TSResult& result);

// The x of the top of the parabola through three points (x0 < x1 < x2),
// kept within x0..x2; x1 when the points do not bend down.
double ParabolaVertex(double x0, double x1, double x2, double y0, double y1, double y2);

constexpr int TSFieldCount = 10;
// Field i (0..9) of `result`, in row order.
float TSField(const TSResult& result, int i);
// Row labels of the parameter table ("Re [ Ω ]", ..., "Qts").
QString TSFieldLabel(int i);

constexpr int MaxPeaks = 5;

// The least Rmax - Re that gives a meaningful Qes: ten steps of the unit's
// 0.01 ohm resolution, so that rounding moves Qes by some 10 % at most.
constexpr long double MinPeakAboveRe = 0.1L;

enum class TsFailure { None, NoPeak, BadRe, NoF1, NoF2, SameF1F2 };

// Number formats of the windows: "#.00" for the peak list (".50" below 1),
// "0.00" for the parameter table. Halves round away from zero. A value that
// is not finite is shown as "---".
QString FormatPeakValue(float value);
QString FormatTSValue(float value);

class TsAnalysis {
 public:
  // `raw` and `smooth` are the unsmoothed and the 5-point smoothed values of
  // `data`; only the slots of data's band are examined.
  void SetSource(const PointValues* raw, const PointValues* smooth, const MeasureData* data);
  bool HasSource() const { return raw_ && smooth_ && data_; }

  // The two peak tests at slot n; on success `slot` is the peak's slot.
  bool IsSharpPeak(int32_t n, int32_t& slot) const;
  bool IsBroadPeak(int32_t n, int32_t& slot) const;
  // Fills peakCount, peakSlots, peakR and peakF.
  void FindPeaks();

  // Derives the parameters from the first peak. Re must be above 0 and at
  // least MinPeakAboveRe below the peak's R; otherwise BadRe and nothing is
  // written. Re, Rmax, Fs,
  // r0 and Rx are written before f1 and f2 are searched and stay written
  // whatever follows; the rest only on success.
  TsFailure CalcTS(float re, TSResult& result) const;
  bool FindF1(TSResult& result) const;
  bool FindF2(TSResult& result) const;

  int32_t FirstSlot() const { return first_; }
  int32_t LastSlot() const { return last_; }
  float R(int32_t k) const { return raw_->R[k]; }
  float F(int32_t k) const { return raw_->Freq[k]; }

  int32_t peakCount = 0;
  float peakR = 0;
  float peakF = 0;
  int32_t peakSlots[MaxPeaks] = {};

 private:
  // Slot of the largest raw R in from..to; the lowest slot wins a tie.
  bool LargestR(int32_t from, int32_t to, int32_t& slot) const;
  float S(int32_t k) const { return smooth_->R[k]; }

  const PointValues* raw_ = nullptr;
  const PointValues* smooth_ = nullptr;
  const MeasureData* data_ = nullptr;
  int32_t first_ = 0;
  int32_t last_ = -1;
};

}  // namespace kavo
