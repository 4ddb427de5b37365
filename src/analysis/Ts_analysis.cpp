#include "analysis/Ts_analysis.h"

#include <algorithm>
#include <cmath>

namespace kavo {
namespace {

QString FormatFixed2(float value, bool leadingZero) {
  if (!std::isfinite(value)) return QStringLiteral("---");
  // A float times 100 is exact in long double, so the half is seen exactly.
  const long double scaled = std::fabs(static_cast<long double>(value)) * 100.0L;
  if (scaled >= 1e17L) return QString::number(static_cast<double>(value), 'f', 2);
  const auto cents = static_cast<unsigned long long>(std::floor(scaled + 0.5L));
  const unsigned long long whole = cents / 100;
  const unsigned long long frac = cents % 100;
  QString text;
  if (value < 0 && cents != 0) text += QLatin1Char('-');
  if (whole != 0 || leadingZero) text += QString::number(whole);
  text += QLatin1Char('.');
  text += QStringLiteral("%1").arg(frac, 2, 10, QLatin1Char('0'));
  return text;
}

}  // namespace

float TSField(const TSResult& r, int i) {
  const float fields[TSFieldCount] = {r.Re, r.Rmax, r.Fs, r.r0, r.Rx, r.f1, r.f2, r.Qms, r.Qes, r.Qts};
  return i >= 0 && i < TSFieldCount ? fields[i] : 0.0f;
}

QString TSFieldLabel(int i) {
  static const char* const labels[TSFieldCount] = {"Re [ Ω ]", "Rmax [ Ω ]", "Fs [ Hz ]", "r0",  "Rx [ Ω ]",
                                                   "f1 [ Hz ]", "f2 [ Hz ]",  "Qms",       "Qes", "Qts"};
  return i >= 0 && i < TSFieldCount ? QString::fromUtf8(labels[i]) : QString();
}

QString FormatPeakValue(float value) { return FormatFixed2(value, false); }
QString FormatTSValue(float value) { return FormatFixed2(value, true); }

void TsAnalysis::SetSource(const PointValues* raw, const PointValues* smooth, const MeasureData* data) {
  raw_ = raw;
  smooth_ = smooth;
  data_ = data;
  first_ = 0;
  last_ = -1;
  if (data && IsBand(data->band)) {
    first_ = BandFirstSlot(data->band);
    last_ = BandLastSlot(data->band);
  }
}

bool TsAnalysis::LargestR(int32_t from, int32_t to, int32_t& slot) const {
  float best = 0.0f;
  int32_t bestSlot = -1;
  for (int32_t k = from; k <= to; ++k) {
    if (R(k) > best) {
      best = R(k);
      bestSlot = k;
    }
  }
  if (!(best > 0.0f)) return false;
  slot = bestSlot;
  return true;
}

bool TsAnalysis::IsSharpPeak(int32_t n, int32_t& slot) const {
  if (!HasSource() || n < first_ + 6 || n + 6 > last_) return false;
  using L = long double;
  if (!(L(R(n - 3)) > L(R(n - 6)) + 0.1)) return false;
  if (!(L(R(n)) > L(R(n - 3)) + 0.1)) return false;
  if (!(L(R(n)) > L(R(n + 3)) + 0.1)) return false;
  if (!(L(R(n + 3)) > L(R(n + 6)) + 0.1)) return false;
  return LargestR(n - 6, n + 6, slot);
}

bool TsAnalysis::IsBroadPeak(int32_t n, int32_t& slot) const {
  if (!HasSource() || n < first_ + 30 || n + 30 > last_) return false;
  using L = long double;
  if (!(L(S(n)) < L(S(n - 10)) + 1.0)) return false;
  if (!(L(S(n)) < L(S(n + 10)) + 1.0)) return false;
  if (!(L(S(n - 20)) >= L(S(n - 30)) + 0.2)) return false;
  if (!(L(S(n)) > L(S(n - 20)) + 0.1)) return false;
  if (!(L(S(n)) > L(S(n + 20)) + 0.1)) return false;
  if (!(L(S(n + 20)) > L(S(n + 30)) + 0.2)) return false;
  return LargestR(n - 20, n + 20, slot);
}

void TsAnalysis::FindPeaks() {
  peakCount = 0;
  peakR = 0;
  if (!HasSource()) return;
  bool found = false;
  auto takeFirst = [&](int32_t k) {
    if (found) return;
    peakR = R(k);
    peakF = F(k);
    found = true;
  };
  for (int32_t n = first_; n <= last_ && peakCount < MaxPeaks; ++n) {
    int32_t k = 0;
    if (IsSharpPeak(n, k)) {
      takeFirst(k);
      peakSlots[peakCount++] = k;
      n += 6;
    } else if (IsBroadPeak(n, k)) {
      takeFirst(k);
      bool listed = false;
      for (int32_t i = 0; i < peakCount; ++i) listed = listed || peakSlots[i] == k;
      if (listed) continue;  // no jump: the next slot is examined
      peakSlots[peakCount++] = k;
      n += 30;
    }
  }
}

bool TsAnalysis::FindF1(TSResult& result) const {
  const float rx = result.Rx;
  for (int32_t i = peakSlots[0] - 1; i >= first_; --i) {
    if (!(R(i) <= rx && rx <= R(i + 1))) continue;
    using L = long double;
    if (R(i) == R(i + 1))
      result.f1 = static_cast<float>((L(F(i)) + F(i + 1)) * 0.5);
    else
      result.f1 = static_cast<float>(L(F(i)) + (L(rx) - R(i)) / (L(R(i + 1)) - R(i)) * (L(F(i + 1)) - F(i)));
    return true;
  }
  return false;
}

bool TsAnalysis::FindF2(TSResult& result) const {
  const float rx = result.Rx;
  for (int32_t i = peakSlots[0]; i <= last_ - 1; ++i) {
    if (!(R(i) >= rx && rx >= R(i + 1))) continue;
    using L = long double;
    if (R(i) == R(i + 1))
      result.f2 = static_cast<float>((L(F(i)) + F(i + 1)) * 0.5);
    else
      result.f2 = static_cast<float>(L(F(i)) + (L(R(i)) - rx) / (L(R(i)) - R(i + 1)) * (L(F(i + 1)) - F(i)));
    return true;
  }
  return false;
}

TsFailure TsAnalysis::CalcTS(float re, TSResult& result) const {
  if (!HasSource() || peakCount == 0 || peakR == 0) return TsFailure::NoPeak;
  // A Re of 0 or below, or not below the peak, has no square root or
  // divides by zero further on; such input is refused before anything is
  // written. So is one too small for r0 to be a number.
  if (!(re > 0.0f) || !(peakR > re)) return TsFailure::BadRe;
  using L = long double;
  // The unit gives R to 0.01 ohm, and Re is typed to as much. Closer to the
  // peak than ten such steps, r0 - 1 is mostly rounding and Qes = Qms /
  // (r0 - 1) means nothing (61.79 typed for a peak of 61.7949 gave a Qes of
  // 10^8): such an Re is refused too.
  if (!(L(peakR) - L(re) >= MinPeakAboveRe)) return TsFailure::BadRe;
  const float r0 = static_cast<float>(L(peakR) / re);
  const float rx = static_cast<float>(std::sqrt(L(r0)) * re);
  if (!std::isfinite(r0) || !std::isfinite(rx)) return TsFailure::BadRe;

  result.Re = re;
  result.Rmax = peakR;
  result.Fs = peakF;
  result.r0 = r0;
  result.Rx = rx;
  if (!FindF1(result)) return TsFailure::NoF1;
  if (!FindF2(result)) return TsFailure::NoF2;
  if (result.f1 == result.f2) return TsFailure::SameF1F2;

  // f1 and f2 so close that a Q is no longer a number count as not found.
  return ThreePointQ(result) ? TsFailure::None : TsFailure::SameF1F2;
}

bool ThreePointQ(TSResult& r) {
  using L = long double;
  const float qms = static_cast<float>(ThreePointQms<L>(r.r0, r.Fs, r.f1, r.f2));
  const float qes = static_cast<float>(L(qms) / (L(r.r0) - 1));
  const float qts = static_cast<float>(L(qms) * qes / (L(qms) + qes));
  if (!std::isfinite(qms) || !std::isfinite(qes) || !std::isfinite(qts)) return false;
  r.Qms = qms;
  r.Qes = qes;
  r.Qts = qts;
  return true;
}

double ParabolaVertex(double x0, double x1, double x2, double y0, double y1, double y2) {
  const double denom = (x0 - x1) * (x0 - x2) * (x1 - x2);
  const double a = (x2 * (y1 - y0) + x1 * (y0 - y2) + x0 * (y2 - y1)) / denom;
  const double b = (x2 * x2 * (y0 - y1) + x1 * x1 * (y2 - y0) + x0 * x0 * (y1 - y2)) / denom;
  return a < 0 ? std::clamp(-b / (2 * a), x0, x2) : x1;
}

}  // namespace kavo
