// The graph's axes without any window: the logarithmic frequency axis and
// its grid and label frequencies, the R and θ rows, the scale label texts,
// where the labels go around the plot, and which of them a small picture
// drops. The plotter, the printout, the point read-out and the overlays
// all place things through these.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "data/Kavo_setting.h"

namespace kavo {

// Slot numbers of the scale labels (the main window's axisLabels in order).
namespace labelslot {
constexpr int RFirst = 0;       // 0..10: R values, slot i at grid row i
constexpr int RUnit = 11;       // "[Ω]"
constexpr int ThetaFirst = 12;  // 12..22: θ values
constexpr int ThetaUnit = 23;   // "[deg]"
constexpr int FreqFirst = 24;   // 24..33: frequency values, left to right
constexpr int FreqUnit = 34;    // "[Hz]"
constexpr int Count = 35;
constexpr int FreqCount = 10;
}  // namespace labelslot

// Axis ranges and value arrays of the graph; owned and filled by the main
// window, read by the plotter, the point read-out and the printout.
struct GraphScale {
  int32_t freqMin = 20;        // Hz, BandFreqMin of band
  int32_t freqMax = 20000;     // Hz, BandFreqMax of band
  float rMax = 25.0f;          // top of the R scale, Ω (bottom is 0)
  float thetaMin = -180.0f;    // degrees
  float thetaMax = 180.0f;     // degrees
  int32_t band = 1;            // 1..4: the slot range that is drawn
  const PointValues* data = nullptr;             // main set
  const PointValues* refs[MaxRefs] = {};         // reference sets
};

// The logarithmic frequency axis of one picture: fLo..fHi with the log ends
// and their inverse span held as 32-bit floats.
struct FreqAxis {
  int32_t fLo = 0;
  int32_t fHi = 0;
  float L0 = 0.0f;
  float L1 = 0.0f;
  float k = 0.0f;
  // Both ends coincide: no grid line and no label can be placed.
  bool Flat() const { return L1 == L0; }
  // Pixel column of frequency f in a picture `width` pixels wide: fLo is
  // column 0, fHi column `width`. Frequencies of 0 or below (an unconverted
  // slot) land far to the left instead of overflowing.
  int Column(double f, int width) const;
};

// The frequencies that carry a frequency label, left to right (at most 10).
struct FreqLabelSet {
  int count = 0;
  std::array<double, labelslot::FreqCount> freq{};
};

// Axis ends: the first step at or below the lowest frequency, the first at
// or above the highest.
int32_t AxisLow(float f);
int32_t AxisHigh(float f);
FreqAxis MakeFreqAxis(int32_t freqMin, int32_t freqMax);
// Next grid frequency after g (g ≥ 1): 20 → 30, 90 → 100, 100 → 150, 250 → 300.
double NextGridFreq(double g);
bool IsPowerOfTen(double v);
FreqLabelSet FreqLabelFrequencies(const FreqAxis& axis);
QString FreqLabelText(double g);
// R label of grid row i (0 = top, 10 = bottom "0.0").
QString RLabelText(float rMax, int i);
int32_t ThetaLabelValue(float thetaMin, float thetaMax, int i);
// Sign and number padded with blanks to three characters: "+180", "+ 45", "-  9".
QString FormatThetaLabel(int32_t v);
// Curve rows in a picture `height` pixels high; above the top is row −1.
int RRow(float r, float rMax, int height);
int ThetaRow(float theta, float thetaMin, float thetaMax, int height);

// One picture's mapping from values to pixels, as the plotter hands it to
// the overlays: the axis of the band shown, the R and θ scales, the
// picture's size and whether θ is shown at all.
struct GraphMapping {
  FreqAxis axis;
  float rMax = 25.0f;
  float thetaMin = -180.0f;
  float thetaMax = 180.0f;
  int width = 0;
  int height = 0;
  int32_t band = 1;
  bool rOnly = false;

  int X(double f) const { return axis.Column(f, width); }
  int YR(float r) const { return RRow(r, rMax, height); }
  int YTheta(float theta) const { return ThetaRow(theta, thetaMin, thetaMax, height); }
};

// Where the scale labels go around a plot: `area` is the paint area in its
// parent's coordinates (the labels' coordinates), `picture` the size of the
// picture drawn inside it, `sizes` the labels' sizes with their texts. A
// frequency slot past the label set and every θ slot when rOnly are hidden;
// on a flat axis the frequency slots are left as they are.
enum class LabelMove : uint8_t { Keep, Place, Hide };
struct LabelPlacement {
  std::array<QPoint, labelslot::Count> at{};
  std::array<LabelMove, labelslot::Count> move{};
};
using LabelSizes = std::array<QSize, labelslot::Count>;
LabelPlacement PlaceScaleLabels(const FreqAxis& axis, const QRect& area, const QSize& picture,
                                const LabelSizes& sizes, bool rOnly);

// Where a printout puts the scale texts around its plot, in printer pixels:
// `sizes` are the screen labels' (slot order), `factor` printer dpi / screen
// dpi, `fontHeight` the printer font's height. An entry is printed only when
// both its x and y are > 0 (the caller sets all of them to −1 beforehand);
// the last entry is the unit's.
using FreqPositions = std::array<int32_t, 11>;
using LevelPositions = std::array<int32_t, 12>;
void PrintFreqLabelPositions(const FreqAxis& axis, const LabelSizes& sizes, FreqPositions& xs, FreqPositions& ys,
                             int32_t fontHeight, int32_t plotWidth, float factor, int32_t plotLeft,
                             int32_t plotBottom);
void PrintRLabelPositions(const LabelSizes& sizes, LevelPositions& xs, LevelPositions& ys, int32_t plotHeight,
                          float factor, int32_t fontHeight, int32_t plotLeft, int32_t plotTop);
void PrintThetaLabelPositions(const LabelSizes& sizes, LevelPositions& xs, LevelPositions& ys, float factor,
                              int32_t plotHeight, int32_t fontHeight, int32_t plotRight, int32_t plotTop);

// Which of a row (across) or column of label boxes stay when each must be
// at least `gap` pixels clear of the last one kept, from the first on.
// Empty boxes take no part (and stay).
std::vector<bool> KeptLabels(const std::vector<QRect>& boxes, const std::vector<int>& gaps, bool across);

}  // namespace kavo
