#include "graph/GraphView.h"

#include <algorithm>
#include <cmath>

#include "data/Kavo_data.h"
#include "data/Stringutil.h"

namespace kavo {
namespace {

float MaxR(const PointValues& values, int32_t band, float m) {
  for (int32_t k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) m = std::max(m, values.R[k]);
  return m;
}

void ThetaSpan(const PointValues& values, int32_t band, float& hi, float& lo) {
  for (int32_t k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
    hi = std::max(hi, values.Theta[k]);
    lo = std::min(lo, values.Theta[k]);
  }
}

QString Number(float v, const char* pattern) { return QString::fromStdString(FormatNumber(v, pattern)); }

}  // namespace

void GraphView::Bind(const DataSets& sets) {
  GraphSources s;
  s.main = &sets.mainData;
  s.raw = &sets.rawValues;
  s.ave = &sets.aveValues;
  for (int k = 0; k < MaxRefs; ++k) {
    s.refs[k] = &sets.refData[k];
    s.refRaw[k] = &sets.refRawValues[k];
    s.refAve[k] = &sets.refAveValues[k];
  }
  Bind(s);
}

void GraphView::ResetScale(int32_t band) {
  scale_.band = band;
  scale_.freqMin = BandFreqMin(band);
  scale_.freqMax = BandFreqMax(band);
  scale_.rMax = 25.0f;
  scale_.thetaMin = -180.0f;
  scale_.thetaMax = 180.0f;
}

void GraphView::SelectValueArrays(bool averaging) {
  scale_.data = averaging ? src_.ave : src_.raw;
  for (int k = 0; k < MaxRefs; ++k) scale_.refs[k] = averaging ? src_.refAve[k] : src_.refRaw[k];
}

float GraphView::RScaleFor(float m) {
  static constexpr float steps[][2] = {{150, 200}, {120, 150}, {100, 120}, {50, 100},
                                       {25, 50},   {20, 25},   {15, 20},   {10, 15}};
  for (const auto& s : steps)
    if (m > s[0]) return s[1];
  return 10;
}

float GraphView::ThetaScaleFor(float a) {
  if (a > 60) return 180;
  if (a > 30) return 90;
  return 45;
}

float GraphView::MainRMax() const {
  if (!src_.main || !src_.raw) return RScaleFor(0.0f);
  return RScaleFor(MaxR(*src_.raw, src_.main->band, 0.0f));
}

float GraphView::RefRMax() const {
  float m = 0.0f;
  for (int k = 0; k < MaxRefs; ++k)
    if (src_.refs[k] && src_.refs[k]->valid && src_.refRaw[k]) m = MaxR(*src_.refRaw[k], src_.refs[k]->band, m);
  return RScaleFor(m);
}

float GraphView::MainThetaMax() const {
  float hi = 0.0f, lo = 0.0f;
  if (src_.main && src_.raw) ThetaSpan(*src_.raw, src_.main->band, hi, lo);
  return ThetaScaleFor(-lo > hi ? -lo : hi);
}

float GraphView::RefThetaMax() const {
  float hi = 0.0f, lo = 0.0f;
  for (int k = 0; k < MaxRefs; ++k)
    if (src_.refs[k] && src_.refs[k]->valid && src_.refRaw[k]) ThetaSpan(*src_.refRaw[k], src_.refs[k]->band, hi, lo);
  return ThetaScaleFor(-lo > hi ? -lo : hi);
}

void GraphView::ApplyScales(bool averaging, float rMax, float thetaMax) {
  SelectValueArrays(averaging);
  scale_.freqMin = BandFreqMin(scale_.band);
  scale_.freqMax = BandFreqMax(scale_.band);
  scale_.rMax = rMax;
  scale_.thetaMax = thetaMax;
  scale_.thetaMin = -thetaMax;
}

void GraphView::ScaleForMeasurement(bool averaging) { ApplyScales(averaging, MainRMax(), MainThetaMax()); }

void GraphView::ScaleForReferences(bool averaging) { ApplyScales(averaging, RefRMax(), RefThetaMax()); }

void GraphView::ScaleForBoth(bool averaging) {
  ApplyScales(averaging, std::max(MainRMax(), RefRMax()), std::max(MainThetaMax(), RefThetaMax()));
}

float GraphView::ClickFrequency(int x, int paintWidth) const {
  const FreqAxis axis = MakeFreqAxis(scale_.freqMin, scale_.freqMax);
  const double width = paintWidth > 0 ? paintWidth : 1;
  return static_cast<float>(std::pow(10.0, static_cast<double>(x) * (axis.L1 - axis.L0) / width + axis.L0));
}

int32_t GraphView::FindPointIndex(float f) const {
  if (!src_.raw) return NoPoint;
  const int32_t s = BandFirstSlot(scale_.band), e = BandLastSlot(scale_.band);
  const float* F = src_.raw->Freq;
  if (e <= s) return NoPoint;
  if (F[s] <= f && f < F[s + 1]) return s;
  if (F[e - 1] < f && f <= F[e]) return e;
  for (int32_t k = s + 1; k <= e - 1; ++k)
    if ((F[k - 1] + F[k]) * 0.5f <= f && f < (F[k] + F[k + 1]) * 0.5f) return k;
  return NoPoint;
}

int32_t GraphView::PointAt(int x, int paintWidth) const {
  const int32_t k = FindPointIndex(ClickFrequency(x, paintWidth));
  if (k == NoPoint || src_.raw->R[k] == -1.0f) return NoPoint;
  return k;
}

QString GraphView::FormatResistance(const PointText& record) {
  float r = 0, theta = 0, f = 0;
  DecodeRecord(record, r, theta, f);
  return Number(r, "#0.00") + QStringLiteral("[Ω]");
}

QString GraphView::FormatPhase(const PointText& record) {
  float r = 0, theta = 0, f = 0;
  DecodeRecord(record, r, theta, f);
  return Number(theta, "#0.0") + QStringLiteral("[deg]");
}

QString GraphView::FormatFrequency(const PointText& record) {
  float r = 0, theta = 0, f = 0;
  // A record with divisor 0 can only show up mid-sweep; say so plainly.
  if (!DecodeRecord(record, r, theta, f)) return QStringLiteral("---[Hz]");
  if (f < 100) return Number(f, "#.00") + QStringLiteral("[Hz]");
  if (f < 1000) return Number(f, "#.0") + QStringLiteral("[Hz]");
  return Number(f * 0.001f, "#.000") + QStringLiteral("[kHz]");
}

QString GraphView::PointReadout(const PointText& record) {
  return QStringLiteral("周波数：") + FormatFrequency(record) + QStringLiteral(" / ") + FormatResistance(record) +
         QStringLiteral(" / ") + FormatPhase(record);
}

}  // namespace kavo
