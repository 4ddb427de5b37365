// Graph_RTF draws the impedance graph: R (linear, 0..rMax) and θ (linear,
// thetaMin..thetaMax) over a logarithmic frequency axis, for the current
// measurement and up to five reference sets. Everything is drawn into an
// off-screen bitmap; the paint area's paint event only frames the area and
// copies that bitmap, so a window repaint never redraws a curve. The same
// routines render a print picture with thick pens, and the plotter fills and
// places the main window's 35 scale labels.
//
// The plotter decides nothing about what is shown: the main window fills the
// GraphScale record and calls the drawing operations.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "data/Kavo_setting.h"
#include "graph/GraphAxes.h"

class QLabel;
class QPainter;
class QPen;

namespace kavo {

class PaintBox;

using LabelSlots = std::array<QLabel*, labelslot::Count>;

// R labels in the R pen's colour, θ labels in the θ pen's, frequency labels
// in `text`: the same in the window and in pictures of the graph.
void ColorScaleLabels(const LabelSlots& labels, const QColor& r, const QColor& theta, const QColor& text);

// The slots first..last + 1 of `values` as R and (unless the mapping is
// rOnly) θ polylines, a gap wherever a slot holds no value (R < 0). `drawn`,
// when given, grows by the pixels touched.
void PaintCurves(QPainter& p, const GraphMapping& m, const PointValues& values, const QPen& rPen,
                 const QPen& thetaPen, int firstSeg, int lastSeg, QRect* drawn = nullptr);
// The same over the mapping's whole band.
void PaintBandCurves(QPainter& p, const GraphMapping& m, const PointValues& values, const QPen& rPen,
                     const QPen& thetaPen);

class Graph_RTF {
 public:
  using FreqPositions = ::kavo::FreqPositions;
  using LevelPositions = ::kavo::LevelPositions;

  // The labels must be children of paintArea's parent, because their
  // positions are computed in that widget's coordinates from
  // paintArea->geometry(). Slots may be null.
  Graph_RTF(PaintBox* paintArea, const SettingsRecord* colours, const LabelSlots& labelSlots,
            const GraphScale* scale);
  ~Graph_RTF();
  Graph_RTF(const Graph_RTF&) = delete;
  Graph_RTF& operator=(const Graph_RTF&) = delete;

  // Re-measures the paint area and resizes the bitmap to 2 pixels less in
  // each direction. Draws nothing; the caller redraws afterwards.
  void Resize();

  // Asks the paint area to show the bitmap again (its paint event calls
  // PaintTo). Nothing is drawn into the bitmap.
  void Repaint();
  // The same for one changed area of the bitmap (bitmap coordinates).
  void Repaint(const QRect& bitmapArea);
  // The paint event's work: black frame over frameRect, bitmap copied from
  // srcRect to destRect. Copies only.
  void PaintTo(QPainter& painter) const;
  // What PaintTo shows after DrawMeasurement (`main`), DrawReferences
  // (`refs`) or DrawAll (both), drawn as lines by the same drawing code
  // instead of copied from the bitmap: for vector pictures (SVG).
  void PaintVectorsTo(QPainter& painter, bool rOnly, bool wide, bool main, bool refs) const;

  // Bitmap white, both grids with screen pens, Repaint.
  void Clear();
  // Frequency labels below the plot, R labels left, θ labels right (rOnly
  // hides the θ slots 12..23 and leaves their texts alone).
  void DrawScales(bool rOnly);
  void DrawMeasurement(bool rOnly, bool wide);
  // The first `count` segments of the main set from the band's first slot.
  void DrawMeasurementSoFar(bool rOnly, int32_t count, bool wide);
  // The one segment of the main set from slot index − 1 to slot index.
  void DrawSegment(bool rOnly, int32_t index, bool wide);
  void DrawReferences(bool rOnly);
  void DrawAll(bool rOnly, bool wide);
  // What other parts paint over the graph on the screen (never on the
  // page): the fitted model, the quality check's tolerance band, the next
  // analyses. One overlay per owner; adding again under the same owner
  // replaces it. Under the curves: after the grid, whenever the graph is
  // drawn. Over the curves: after the measurement, only when it is drawn.
  // Both in the order they were first added. Each is asked at every drawing.
  enum class OverlayLayer { UnderCurves, OverCurves };
  using OverlayPainter = std::function<void(QPainter& painter, const GraphMapping& mapping)>;
  void AddOverlay(const void* owner, OverlayPainter paint, OverlayLayer layer = OverlayLayer::OverCurves);
  void RemoveOverlay(const void* owner);
  bool HasOverlay(const void* owner) const;

  // Fills target white and draws grids and curves with print pens, as
  // DrawAll (withRefs) or DrawMeasurement (not withRefs). The screen bitmap
  // and the labels are left alone. The print pens' widths are printer pixels
  // at PrintPenDpi; at another resolution `dpi` they keep their width on
  // paper (at least one pixel), so the page looks the same at every dpi.
  static constexpr int PrintPenDpi = 600;
  void RenderForPrint(QImage& target, bool rOnly, bool withRefs, bool wide, int dpi = PrintPenDpi) const;
  // Positions for the texts the screen labels hold now; factor is printer
  // dpi / screen dpi, fontHeight the printer font height in printer pixels.
  void PrintFreqLabelPositions(FreqPositions& xs, FreqPositions& ys, int32_t fontHeight,
                               int32_t plotWidth, float factor, int32_t plotLeft,
                               int32_t plotBottom) const;
  void PrintRLabelPositions(LevelPositions& xs, LevelPositions& ys, int32_t plotHeight,
                            float factor, int32_t fontHeight, int32_t plotLeft,
                            int32_t plotTop) const;
  void PrintThetaLabelPositions(LevelPositions& xs, LevelPositions& ys, float factor,
                                int32_t plotHeight, int32_t fontHeight, int32_t plotRight,
                                int32_t plotTop) const;

  const QImage& Bitmap() const { return bitmap_; }
  QRect FrameRect() const { return frameRect_; }
  QRect DestRect() const { return destRect_; }
  QRect SrcRect() const { return srcRect_; }
  int PaintWidth() const { return paintWidth_; }
  int PaintHeight() const { return paintHeight_; }

 private:
  // Screen pens are one pixel; print pens carry the page's resolution.
  struct Pens {
    bool print = false;
    int dpi = PrintPenDpi;
    // A print width given at PrintPenDpi, at this resolution.
    int Width(int atPenDpi) const;
  };
  struct Widths {
    int main;
    int ref;
  };

  void DrawFreqGrid(QPainter& p, int w, int h, Pens pens) const;
  void DrawLevelGrid(QPainter& p, int w, int h, Pens pens) const;
  // Segments from slot i to i + 1 for i = firstSeg..lastSeg.
  void DrawCurves(QPainter& p, int w, int h, const PointValues& values, int32_t rColour,
                  int32_t thetaColour, int width, bool rOnly, int firstSeg, int lastSeg,
                  QRect* drawn = nullptr) const;
  // The mapping of a picture w x h of the current scale.
  GraphMapping Mapping(int w, int h, bool rOnly) const;
  void PaintOverlays(OverlayLayer layer, bool rOnly);
  void PaintOverlaysInto(QPainter& p, OverlayLayer layer, const GraphMapping& m) const;
  void DrawMainBand(QPainter& p, int w, int h, bool rOnly, int width) const;
  void DrawValidRefs(QPainter& p, int w, int h, bool rOnly, int width) const;
  void PaintAllInto(QImage& image, bool rOnly, bool withRefs, Widths widths) const;

  QLabel* Slot(int i) const { return labelSlots_[static_cast<size_t>(i)]; }
  void SetLabel(int i, const QString& text) const;
  void PlaceLabel(int i, int left, int top) const;
  int LabelWidth(int i) const;
  LabelSizes Sizes() const;
  int LabelHeight(int i) const;

  QPointer<PaintBox> paintArea_;
  // Changed pixels not yet handed to the paint area: a sweep draws one
  // segment per point, and the window shows them at most every
  // kSegmentShowInterval ms instead of painting and flushing per point.
  static constexpr int kSegmentShowInterval = 50;
  void ShowChangedArea();
  QRect changedArea_;
  QElapsedTimer changedShown_;
  QTimer changedTimer_;
  const SettingsRecord* colours_;
  struct Overlay {
    const void* owner;
    OverlayLayer layer;
    OverlayPainter paint;
  };
  std::vector<Overlay> overlays_;
  LabelSlots labelSlots_;
  const GraphScale* scale_;

  QImage bitmap_;
  QRect frameRect_;
  QRect destRect_;
  QRect srcRect_;
  int paintWidth_ = 0;
  int paintHeight_ = 0;
  int bitmapWidth_ = 0;
  int bitmapHeight_ = 0;
};

}  // namespace kavo
