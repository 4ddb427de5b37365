// GraphSheet: the drawable graph as one unit — the paint area, the 35 scale
// labels around it and the plotter that draws into both. The main window
// attaches it to its own paint area and labels; kavo-tool builds one of its
// own on a widget that never appears on screen and renders that into a
// picture, or hands the plotter and labels to the printout.
#pragma once

#include <QByteArray>

#include <QFont>
#include <QImage>
#include <QSize>
#include <memory>

#include "graph/Graph_rtf.h"

class QPainter;
class QWidget;

namespace kavo {

class GraphView;
class PaintBox;

// The three options of the graph menu.
struct ViewOptions {
  bool rOnly = false;
  bool wide = false;
  bool averaging = true;
};

class GraphSheet {
 public:
  // Which sets a redraw scales to and draws.
  enum class Sets { Measurement, References, Both };

  GraphSheet();
  ~GraphSheet();
  GraphSheet(const GraphSheet&) = delete;
  GraphSheet& operator=(const GraphSheet&) = delete;

  // The window's paint area and labels; the labels must be children of the
  // area's parent (the plotter places them in that widget's coordinates).
  void Attach(PaintBox* area, const LabelSlots& labels);
  // A sheet of its own, `size` pixels, its labels in `font`, the paint area
  // inset by room for the labels (none on the right when rOnly). White
  // background, black text; never shown on screen.
  void BuildHosted(QSize size, const QFont& font, bool rOnly);

  // The plotter over the area and labels; false when it cannot be made.
  bool CreatePlotter(const SettingsRecord* colours, const GraphScale* scale);
  void DestroyPlotter();

  Graph_RTF* Plotter() const { return plotter_.get(); }
  const LabelSlots& Labels() const { return labels_; }
  PaintBox* PaintArea() const { return area_; }

  // Paint area and labels together (the labels' texts stay as they are; the
  // next DrawScales decides which of them show).
  void SetShown(bool shown);
  void HideLabels();
  // R labels in the R pen's colour, θ labels in the θ pen's, the frequency
  // labels in `text`.
  void ColorLabels(const SettingsRecord& colours, const QColor& text);

  // The view's scales for `sets`, then the picture from a clear grid.
  void Redraw(GraphView& view, Sets sets, const ViewOptions& options);
  // The empty grid with the scale labels of the view's current scale.
  void ClearWithScales(bool rOnly);
  // Hides scale labels that would touch the one before them, from the left
  // (frequencies) or from the top (R, θ): a small picture keeps what fits.
  // Hidden labels keep their texts.
  void ThinLabels();

  // A hosted sheet as it would look on screen (null image when attached).
  QImage Picture() const;
  // The same into a painter whose device is the sheet's size.
  void RenderTo(QPainter& painter) const;
  // The hosted sheet as a one-page PDF of `width` x `height` points.
  QByteArray PdfBytes(int width, int height) const;
  // The hosted sheet as an SVG picture of its size: the texts as text, the
  // grids and curves of the last Redraw as lines.
  QByteArray SvgBytes() const;

 private:
  std::unique_ptr<QWidget> host_;  // only for a hosted sheet
  PaintBox* area_ = nullptr;
  // What the last Redraw drew, for SvgBytes.
  Sets drawn_ = Sets::Measurement;
  ViewOptions drawnOptions_{};
  LabelSlots labels_{};
  std::unique_ptr<Graph_RTF> plotter_;
};

}  // namespace kavo
