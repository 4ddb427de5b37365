#include "graph/GraphAxes.h"

#include <algorithm>
#include <cmath>

namespace kavo {

namespace {

// trunc toward zero into [lo, hi]; NaN goes to lo. Keeps absurd values
// (f = 0, a zero scale) from overflowing the integer conversion.
int TruncClamp(double v, int lo, int hi) {
  if (!(v > lo)) return lo;
  if (!(v < hi)) return hi;
  return static_cast<int>(std::trunc(v));
}

// 10^n exactly for n ≥ 0 (doubles hold every power of ten up to 10^22).
double PowerOfTen(int n) {
  double p = 1.0;
  for (int i = 0; i < n; ++i) p *= 10.0;
  for (int i = 0; i > n; --i) p /= 10.0;
  return p;
}

// trunc(log10 v) made exact for values at or next to a power of ten.
int DecadeOf(double v) {
  int n = static_cast<int>(std::trunc(std::log10(v)));
  if (v >= 1.0) {
    while (n > 0 && PowerOfTen(n) > v) --n;
    while (PowerOfTen(n + 1) <= v) ++n;
  }
  return n;
}

}  // namespace

int32_t AxisLow(float f) {
  static constexpr int32_t steps[] = {20000, 10000, 9000, 8000, 7000, 5000, 3000, 2000,
                                      1500,  1000,  800,  700,  500,  300,  250,  200,
                                      150,   100,   70,   50,   30,   20,   15,   10};
  for (int32_t v : steps) {
    if (f >= static_cast<float>(v)) return v;
  }
  return 5;
}

int32_t AxisHigh(float f) {
  static constexpr int32_t steps[] = {50,   70,   100,  150,   200,   250,   300,
                                      500,  700,  1000, 1500,  2000,  3000,  5000,
                                      7000, 10000, 15000, 20000, 25000, 30000, 40000};
  for (int32_t v : steps) {
    if (f <= static_cast<float>(v)) return v;
  }
  return 50000;
}

FreqAxis MakeFreqAxis(int32_t freqMin, int32_t freqMax) {
  FreqAxis a;
  a.fLo = AxisLow(static_cast<float>(freqMin));
  a.fHi = AxisHigh(static_cast<float>(freqMax));
  a.L0 = static_cast<float>(std::log10(static_cast<double>(a.fLo)));
  a.L1 = static_cast<float>(std::log10(static_cast<double>(a.fHi)));
  a.k = a.Flat() ? 0.0f : 1.0f / (a.L1 - a.L0);
  return a;
}

int FreqAxis::Column(double f, int width) const {
  const int span = std::max(width, 1);
  if (!(f > 0.0)) return -4 * span;
  const float lf = static_cast<float>(std::log10(f));
  const double x = static_cast<double>(width) * static_cast<double>(lf - L0) * static_cast<double>(k);
  return TruncClamp(x, -4 * span, 5 * span);
}

double NextGridFreq(double g) {
  if (!(g >= 1.0)) g = 1.0;  // below 1 Hz there is no grid; keeps loops finite
  const double decade = PowerOfTen(DecadeOf(g));
  const float m = static_cast<float>(g / decade);
  static constexpr float steps[] = {1.5f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f};
  for (float s : steps) {
    if (m < s) return decade * static_cast<double>(s);
  }
  return decade * 10.0;
}

bool IsPowerOfTen(double v) {
  if (!(v > 0.0) || !std::isfinite(v)) return false;
  return v == PowerOfTen(DecadeOf(v));
}

FreqLabelSet FreqLabelFrequencies(const FreqAxis& axis) {
  FreqLabelSet set;
  if (axis.Flat()) return set;
  const bool narrow = axis.fLo > 0 && axis.fHi / axis.fLo < 250;
  const double lo = axis.fLo;
  const double hi = axis.fHi;
  for (double g = lo; g <= hi && set.count < labelslot::FreqCount; g = NextGridFreq(g)) {
    // The lower end is labelled unless it is 250 Hz, which would crowd 300.
    const bool keep = (g == lo && axis.fLo != 250) || g == hi || IsPowerOfTen(g) ||
                      IsPowerOfTen(g / 3.0) || (narrow && IsPowerOfTen(g / 2.0)) ||
                      (narrow && IsPowerOfTen(g / 5.0));
    if (keep) set.freq[static_cast<size_t>(set.count++)] = g;
  }
  return set;
}

QString FreqLabelText(double g) {
  const long long n = static_cast<long long>(std::trunc(g));
  if (g >= 1000.0) return QString::number(n / 1000) + QStringLiteral("k");
  return QString::number(n);
}

QString RLabelText(float rMax, int i) {
  if (i >= 10) return QStringLiteral("0.0");
  const float value = (rMax - rMax / 10.0f * static_cast<float>(i)) * 10.0f;
  const long long tenths =
      std::isfinite(value) ? static_cast<long long>(std::trunc(std::clamp(value, -1e15f, 1e15f))) : 0;
  // Tenths of an ohm with the point before the last digit; a value under
  // 1 Ω keeps its leading zero ("0.5", not ".5").
  const long long mag = tenths < 0 ? -tenths : tenths;
  return QString::fromLatin1(tenths < 0 ? "-" : "") + QString::number(mag / 10) + QLatin1Char('.') +
         QString::number(mag % 10);
}

int32_t ThetaLabelValue(float thetaMin, float thetaMax, int i) {
  const float v = thetaMax - (thetaMax - thetaMin) / 10.0f * static_cast<float>(i);
  return TruncClamp(v, -1000000000, 1000000000);
}

QString FormatThetaLabel(int32_t v) {
  const long long mag = v < 0 ? -static_cast<long long>(v) : v;
  QString digits = QString::number(mag);
  for (int pad = 0; pad < 2 && digits.size() < 3; ++pad) digits.prepend(QLatin1Char(' '));
  return (v >= 0 ? QStringLiteral("+") : QStringLiteral("-")) + digits;
}

int RRow(float r, float rMax, int height) {
  if (r > rMax) return -1;  // leaves the plot through the top edge
  if (!(rMax > 0.0f)) return height;
  const double row = static_cast<double>(height) * (1.0 - static_cast<double>(r) / static_cast<double>(rMax));
  return TruncClamp(row, -1, height);
}

int ThetaRow(float theta, float thetaMin, float thetaMax, int height) {
  if (theta >= thetaMax) return -1;
  if (theta <= thetaMin) return height;
  const double span = static_cast<double>(thetaMax) - static_cast<double>(thetaMin);
  const double row = static_cast<double>(height) *
                     (1.0 - (static_cast<double>(theta) - static_cast<double>(thetaMin)) / span);
  return TruncClamp(row, -1, height);
}

LabelPlacement PlaceScaleLabels(const FreqAxis& axis, const QRect& area, const QSize& picture,
                                const std::array<QSize, labelslot::Count>& sizes, bool rOnly) {
  LabelPlacement out;
  const auto place = [&](int slot, int x, int y) {
    out.at[static_cast<size_t>(slot)] = QPoint(x, y);
    out.move[static_cast<size_t>(slot)] = LabelMove::Place;
  };
  const auto w = [&](int slot) { return sizes[static_cast<size_t>(slot)].width(); };
  const auto h = [&](int slot) { return sizes[static_cast<size_t>(slot)].height(); };
  const int left = area.x();
  const int top = area.y();
  const int right = left + area.width();
  const int bottom = top + area.height();
  // Label row i sits on grid line i of the picture.
  const auto row = [&](int slot, int i) { return top + picture.height() * i / 10 - h(slot) / 2 + 2; };

  if (!axis.Flat()) {
    const FreqLabelSet set = FreqLabelFrequencies(axis);
    for (int j = 0; j < labelslot::FreqCount; ++j) {
      const int slot = labelslot::FreqFirst + j;
      if (j < set.count)
        place(slot, left + axis.Column(set.freq[static_cast<size_t>(j)], picture.width()) - w(slot) / 2 + 2,
              bottom + 5);
      else
        out.move[static_cast<size_t>(slot)] = LabelMove::Hide;
    }
    place(labelslot::FreqUnit, right - w(labelslot::FreqUnit) / 2, bottom + 5 + h(labelslot::FreqUnit));
  }
  for (int i = 0; i <= 10; ++i) place(labelslot::RFirst + i, left - w(labelslot::RFirst + i) - 5, row(labelslot::RFirst + i, i));
  place(labelslot::RUnit, left, top - h(labelslot::RUnit) - 2);
  if (rOnly) {
    for (int slot = labelslot::ThetaFirst; slot <= labelslot::ThetaUnit; ++slot)
      out.move[static_cast<size_t>(slot)] = LabelMove::Hide;
    return out;
  }
  for (int i = 0; i <= 10; ++i) place(labelslot::ThetaFirst + i, right + 5, row(labelslot::ThetaFirst + i, i));
  place(labelslot::ThetaUnit, right - w(labelslot::ThetaUnit) - 5, top - h(labelslot::ThetaUnit) - 2);
  return out;
}

std::vector<bool> KeptLabels(const std::vector<QRect>& boxes, const std::vector<int>& gaps, bool across) {
  std::vector<bool> keep(boxes.size(), true);
  QRect kept;
  for (size_t i = 0; i < boxes.size(); ++i) {
    const QRect& box = boxes[i];
    if (box.isNull()) continue;
    const int gap = i < gaps.size() ? gaps[i] : 0;
    const bool clear = kept.isNull() || (across ? box.left() >= kept.right() + 1 + gap
                                                : box.top() >= kept.bottom() + 1 + gap);
    if (clear) kept = box;
    else keep[i] = false;
  }
  return keep;
}

void PrintFreqLabelPositions(const FreqAxis& axis, const LabelSizes& sizes, FreqPositions& xs, FreqPositions& ys,
                             int32_t fontHeight, int32_t plotWidth, float factor, int32_t plotLeft,
                             int32_t plotBottom) {
  if (axis.Flat()) return;
  const double f = factor;
  const FreqLabelSet set = FreqLabelFrequencies(axis);
  for (int j = 0; j < set.count; ++j) {
    const int w = sizes[static_cast<size_t>(labelslot::FreqFirst + j)].width();
    const int xp = axis.Column(set.freq[static_cast<size_t>(j)], plotWidth);
    xs[static_cast<size_t>(j)] = static_cast<int32_t>(std::trunc(plotLeft + xp - w * f * 0.5));
    ys[static_cast<size_t>(j)] = static_cast<int32_t>(std::trunc(plotBottom + 5.0 * f));
  }
  const int w = sizes[static_cast<size_t>(labelslot::FreqUnit)].width();
  xs[10] = static_cast<int32_t>(std::trunc(static_cast<double>(plotLeft) + plotWidth - w * f * 0.5));
  ys[10] = static_cast<int32_t>(std::trunc(static_cast<double>(plotBottom) + fontHeight + 10.0 * f));
}

void PrintRLabelPositions(const LabelSizes& sizes, LevelPositions& xs, LevelPositions& ys, int32_t plotHeight,
                          float factor, int32_t fontHeight, int32_t plotLeft, int32_t plotTop) {
  const double f = factor;
  for (int i = 0; i <= 10; ++i) {
    const int w = sizes[static_cast<size_t>(labelslot::RFirst + i)].width();
    xs[static_cast<size_t>(i)] = static_cast<int32_t>(std::trunc(plotLeft - w * f - 10.0 * f));
    ys[static_cast<size_t>(i)] =
        static_cast<int32_t>(plotTop + int64_t{plotHeight} * i / 10 - fontHeight / 2);
  }
  xs[11] = plotLeft;
  ys[11] = static_cast<int32_t>(std::trunc(plotTop - sizes[static_cast<size_t>(labelslot::RUnit)].height() * f - 2.0 * f));
}

void PrintThetaLabelPositions(const LabelSizes& sizes, LevelPositions& xs, LevelPositions& ys, float factor,
                              int32_t plotHeight, int32_t fontHeight, int32_t plotRight, int32_t plotTop) {
  const double f = factor;
  for (int i = 0; i <= 10; ++i) {
    xs[static_cast<size_t>(i)] = static_cast<int32_t>(std::trunc(plotRight + 10.0 * f));
    ys[static_cast<size_t>(i)] =
        static_cast<int32_t>(plotTop + int64_t{plotHeight} * i / 10 - fontHeight / 2);
  }
  xs[11] = static_cast<int32_t>(
      std::trunc(plotRight - sizes[static_cast<size_t>(labelslot::ThetaUnit)].width() * f - 5.0 * f));
  ys[11] = static_cast<int32_t>(
      std::trunc(plotTop - sizes[static_cast<size_t>(labelslot::ThetaUnit)].height() * f - 2.0 * f));
}

}  // namespace kavo
