// A main-window stand-in for the plotter: a parent widget holding the paint
// area at (64, 24) and the 35 scale labels, the scale record, colours and
// value arrays, plus helpers that read the picture's pixels.
#pragma once

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <cmath>
#include <memory>

#include "UnitModel.h"

#include "data/Kavo_setting.h"
#include "graph/Graph_rtf.h"
#include "graph/PaintBox.h"

namespace kavo::test {

// Fills the slots of `band` with frequencies and the given R and θ.
template <typename RFn, typename ThetaFn>
void FillValues(PointValues& v, int band, RFn r, ThetaFn theta) {
  v.Clear();
  for (int i = BandFirstSlot(band); i <= BandLastSlot(band); ++i) {
    v.Freq[i] = float(kavsim::SlotFrequency(i));
    v.R[i] = r(v.Freq[i]);
    v.Theta[i] = theta(v.Freq[i]);
  }
  v.valid = 1;
}

// 0x00BBGGRR value of a pixel, the order the colour settings use.
inline int32_t Bgr(const QImage& img, int x, int y) {
  const QRgb c = img.pixel(x, y);
  return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}

inline int CountColour(const QImage& img, int32_t bgr) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) n += Bgr(img, x, y) == bgr;
  return n;
}

// Longest unbroken vertical run of `bgr` pixels in column x: the width of a
// horizontal line drawn in that colour.
inline int VerticalRun(const QImage& img, int x, int32_t bgr) {
  int best = 0, run = 0;
  for (int y = 0; y < img.height(); ++y) {
    run = Bgr(img, x, y) == bgr ? run + 1 : 0;
    best = std::max(best, run);
  }
  return best;
}

struct GraphRig {
  static constexpr int Left = 64;
  static constexpr int Top = 24;

  QWidget window;
  PaintBox* box;
  LabelSlots labels{};
  SettingsRecord colours;
  GraphScale scale;
  PointValues main;
  PointValues refs[MaxRefs];
  std::unique_ptr<Graph_RTF> plotter;

  explicit GraphRig(int paintWidth = 502, int paintHeight = 302) {
    window.resize(paintWidth + 140, paintHeight + 120);
    box = new PaintBox(&window);
    box->setGeometry(Left, Top, paintWidth, paintHeight);
    for (auto& l : labels) l = new QLabel(&window);
    // Distinct colours for every curve, none of them grey or white.
    colours.PenColor_R = 0xFF0000;
    colours.PenColor_Theta = 0x0000FF;
    for (int k = 0; k < MaxRefs; ++k) {
      colours.PenColor_R_Ref[k] = 0x00FF00 + k;
      colours.PenColor_Theta_Ref[k] = 0x00FFFF - (k << 8);
    }
    scale.data = &main;
    for (int k = 0; k < MaxRefs; ++k) scale.refs[k] = &refs[k];
    SetBand(1);
    plotter = std::make_unique<Graph_RTF>(box, &colours, labels, &scale);
  }

  void SetBand(int band) {
    scale.band = band;
    scale.freqMin = BandFreqMin(band);
    scale.freqMax = BandFreqMax(band);
  }

  const QImage& Bitmap() const { return plotter->Bitmap(); }
  int W() const { return Bitmap().width(); }
  int H() const { return Bitmap().height(); }
  QLabel* L(int slot) const { return labels[size_t(slot)]; }
};

}  // namespace kavo::test
