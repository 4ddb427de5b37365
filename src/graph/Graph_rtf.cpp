#include "graph/Graph_rtf.h"

#include <QBrush>
#include <QLabel>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "graph/PaintBox.h"
#include "platform/desktop/Look.h"

namespace kavo {

namespace {

// Colours as the settings file holds them: 0x00BBGGRR.
constexpr int32_t White = 0xFFFFFF;
constexpr int32_t Black = 0x000000;
constexpr int32_t DarkGrid = 0x808080;   // decades and the middle level line
constexpr int32_t LightGrid = 0xC0C0C0;  // every other grid line

// The one place where a 0x00BBGGRR value becomes a Qt colour; only the pen
// and brush makers below call it.
QColor ColourOf(int32_t bgr) { return ColorFromBgr(static_cast<uint32_t>(bgr)); }

QPen MakePen(int32_t bgr, int width, Qt::PenCapStyle cap) {
  QPen pen(ColourOf(bgr));
  pen.setWidth(width);
  pen.setCapStyle(cap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

QBrush MakeBrush(int32_t bgr) { return QBrush(ColourOf(bgr)); }

}  // namespace

// ---------------------------------------------------------------- life cycle

Graph_RTF::Graph_RTF(PaintBox* paintArea, const SettingsRecord* colours, const LabelSlots& labelSlots,
                     const GraphScale* scale)
    : paintArea_(paintArea), colours_(colours), labelSlots_(labelSlots), scale_(scale) {
  for (QLabel* label : labelSlots_) {
    if (label) label->adjustSize();
  }
  Resize();
  if (paintArea_) paintArea_->SetPaintHandler([this](QPainter& p) { PaintTo(p); });
  changedTimer_.setSingleShot(true);
  QObject::connect(&changedTimer_, &QTimer::timeout, &changedTimer_, [this] { ShowChangedArea(); });
}

Graph_RTF::~Graph_RTF() {
  if (paintArea_) paintArea_->SetPaintHandler(nullptr);
}

void Graph_RTF::Resize() {
  if (!paintArea_) return;
  paintWidth_ = paintArea_->width();
  paintHeight_ = paintArea_->height();
  // A collapsed area still gets a one-pixel bitmap, so painters always open.
  bitmapWidth_ = std::max(paintWidth_ - 2, 1);
  bitmapHeight_ = std::max(paintHeight_ - 2, 1);
  frameRect_ = QRect(0, 0, paintWidth_, paintHeight_);
  destRect_ = QRect(1, 1, bitmapWidth_, bitmapHeight_);
  srcRect_ = QRect(0, 0, bitmapWidth_, bitmapHeight_);
  if (bitmap_.width() != bitmapWidth_ || bitmap_.height() != bitmapHeight_) {
    bitmap_ = QImage(bitmapWidth_, bitmapHeight_, QImage::Format_RGB32);
    bitmap_.fill(Qt::white);
  }
}

// ---------------------------------------------------------------- showing

void Graph_RTF::Repaint() {
  changedArea_ = QRect();  // the whole area covers it
  changedTimer_.stop();
  if (paintArea_) paintArea_->update();
}

void Graph_RTF::Repaint(const QRect& bitmapArea) {
  // Only the part of the paint area that shows the changed pixels.
  if (!paintArea_ || bitmapArea.isEmpty()) return;
  changedArea_ |= bitmapArea.translated(destRect_.topLeft());
  if (changedTimer_.isActive()) return;
  const qint64 since = changedShown_.isValid() ? changedShown_.elapsed() : kSegmentShowInterval;
  if (since >= kSegmentShowInterval) ShowChangedArea();
  else changedTimer_.start(static_cast<int>(kSegmentShowInterval - since));
}

void Graph_RTF::ShowChangedArea() {
  if (paintArea_ && !changedArea_.isEmpty()) paintArea_->update(changedArea_);
  changedArea_ = QRect();
  changedShown_.start();
}

void Graph_RTF::PaintTo(QPainter& painter) const {
  const QRect device(0, 0, painter.device()->width(), painter.device()->height());
  // Anything the last Resize did not see yet stays white, not garbage.
  if (device != frameRect_) painter.fillRect(device, MakeBrush(White));
  painter.fillRect(frameRect_, MakeBrush(Black));
  painter.drawImage(destRect_, bitmap_, srcRect_);
}

void Graph_RTF::PaintVectorsTo(QPainter& p, bool rOnly, bool wide, bool main, bool refs) const {
  const int w = bitmapWidth_, h = bitmapHeight_;
  p.fillRect(frameRect_, MakeBrush(Black));
  p.save();
  p.translate(destRect_.topLeft());
  p.setClipRect(QRect(0, 0, w, h));
  p.fillRect(QRect(0, 0, w, h), MakeBrush(White));
  DrawFreqGrid(p, w, h, Pens{});
  DrawLevelGrid(p, w, h, Pens{});
  PaintOverlaysInto(p, OverlayLayer::UnderCurves, Mapping(w, h, rOnly));
  const bool mainValid = scale_ && scale_->data && scale_->data->valid == 1;
  if (main && mainValid) DrawMainBand(p, w, h, rOnly, wide ? 2 : 1);
  if (refs && (mainValid || !main)) DrawValidRefs(p, w, h, rOnly, 1);
  if (main) PaintOverlaysInto(p, OverlayLayer::OverCurves, Mapping(w, h, rOnly));
  p.restore();
}

void Graph_RTF::Clear() {
  if (!bitmap_.isNull()) {
    QPainter p(&bitmap_);
    p.fillRect(bitmap_.rect(), MakeBrush(White));
    DrawFreqGrid(p, bitmapWidth_, bitmapHeight_, Pens{});
    DrawLevelGrid(p, bitmapWidth_, bitmapHeight_, Pens{});
  }
  Repaint();
}

// ---------------------------------------------------------------- grids and curves

void Graph_RTF::DrawFreqGrid(QPainter& p, int w, int h, Pens pens) const {
  if (!scale_) return;
  const FreqAxis axis = MakeFreqAxis(scale_->freqMin, scale_->freqMax);
  if (axis.Flat()) return;
  const double hi = axis.fHi;
  for (double g = NextGridFreq(axis.fLo); g < hi; g = NextGridFreq(g)) {
    const bool decade = IsPowerOfTen(g);
    const int x = axis.Column(g, w);
    // A one-pixel line is a one-pixel rectangle, filled without a pen.
    if (!pens.print) {
      p.fillRect(x, 0, 1, h, ColourOf(decade ? DarkGrid : LightGrid));
      continue;
    }
    p.setPen(MakePen(decade ? DarkGrid : LightGrid, pens.Width(decade ? 4 : 3), Qt::FlatCap));
    p.drawLine(x, 0, x, h);
  }
}

void Graph_RTF::DrawLevelGrid(QPainter& p, int w, int h, Pens pens) const {
  for (int i = 1; i <= 9; ++i) {
    const int y = h * i / 10;
    if (!pens.print) {
      p.fillRect(0, y, w, 1, ColourOf(i == 5 ? DarkGrid : LightGrid));
      continue;
    }
    p.setPen(MakePen(i == 5 ? DarkGrid : LightGrid, pens.Width(4), Qt::FlatCap));
    p.drawLine(0, y, w, y);
  }
}

void PaintCurves(QPainter& p, const GraphMapping& m, const PointValues& values, const QPen& rPen,
                 const QPen& thetaPen, int firstSeg, int lastSeg, QRect* drawn) {
  firstSeg = std::max(firstSeg, 0);
  lastSeg = std::min(lastSeg, MaxPoints - 2);
  if (firstSeg > lastSeg) return;
  // One polyline per unbroken run of slots with a value, not one line and
  // two pen changes per segment; a slot without a value leaves a gap.
  QPolygon rLine, thetaLine;
  rLine.reserve(lastSeg - firstSeg + 2);
  if (!m.rOnly) thetaLine.reserve(lastSeg - firstSeg + 2);
  const auto drawRun = [&] {
    if (rLine.size() >= 2) {
      p.setPen(rPen);
      p.drawPolyline(rLine);
      if (drawn) *drawn |= rLine.boundingRect();
      if (!m.rOnly) {
        p.setPen(thetaPen);
        p.drawPolyline(thetaLine);
        if (drawn) *drawn |= thetaLine.boundingRect();
      }
    }
    rLine.clear();
    thetaLine.clear();
  };
  for (int i = firstSeg; i <= lastSeg + 1; ++i) {
    const float r = values.R[i];
    if (r < 0.0f) {
      drawRun();
      continue;
    }
    const int x = m.X(values.Freq[i]);
    rLine << QPoint(x, m.YR(r));
    if (!m.rOnly) thetaLine << QPoint(x, m.YTheta(values.Theta[i]));
  }
  drawRun();
  // Round caps and anti-aliasing-free wide pens reach this far past the ends.
  const int width = std::max(rPen.width(), thetaPen.width());
  if (drawn && !drawn->isNull()) *drawn = drawn->adjusted(-width - 1, -width - 1, width + 1, width + 1);
}

void PaintBandCurves(QPainter& p, const GraphMapping& m, const PointValues& values, const QPen& rPen,
                     const QPen& thetaPen) {
  PaintCurves(p, m, values, rPen, thetaPen, BandFirstSlot(m.band), BandLastSlot(m.band) - 1);
}

GraphMapping Graph_RTF::Mapping(int w, int h, bool rOnly) const {
  GraphMapping m;
  m.width = w;
  m.height = h;
  m.rOnly = rOnly;
  if (!scale_) return m;
  m.axis = MakeFreqAxis(scale_->freqMin, scale_->freqMax);
  m.rMax = scale_->rMax;
  m.thetaMin = scale_->thetaMin;
  m.thetaMax = scale_->thetaMax;
  m.band = scale_->band;
  return m;
}

void Graph_RTF::DrawCurves(QPainter& p, int w, int h, const PointValues& values, int32_t rColour,
                           int32_t thetaColour, int width, bool rOnly, int firstSeg,
                           int lastSeg, QRect* drawn) const {
  PaintCurves(p, Mapping(w, h, rOnly), values, MakePen(rColour, width, Qt::RoundCap),
              MakePen(thetaColour, width, Qt::RoundCap), firstSeg, lastSeg, drawn);
}

void Graph_RTF::DrawMainBand(QPainter& p, int w, int h, bool rOnly, int width) const {
  if (!scale_ || !colours_ || !scale_->data) return;
  DrawCurves(p, w, h, *scale_->data, colours_->PenColor_R, colours_->PenColor_Theta, width, rOnly,
             BandFirstSlot(scale_->band), BandLastSlot(scale_->band) - 1);
}

void Graph_RTF::DrawValidRefs(QPainter& p, int w, int h, bool rOnly, int width) const {
  if (!scale_ || !colours_) return;
  // References use the band shown, whatever band they were measured in;
  // their foreign slots hold R = −1 and leave gaps.
  for (int k = 0; k < MaxRefs; ++k) {
    const PointValues* ref = scale_->refs[k];
    if (!ref || ref->valid != 1) continue;
    DrawCurves(p, w, h, *ref, colours_->PenColor_R_Ref[k], colours_->PenColor_Theta_Ref[k], width,
               rOnly, BandFirstSlot(scale_->band), BandLastSlot(scale_->band) - 1);
  }
}

void Graph_RTF::PaintAllInto(QImage& image, bool rOnly, bool withRefs, Widths widths) const {
  if (image.isNull() || !scale_ || !scale_->data || scale_->data->valid != 1) return;
  QPainter p(&image);
  DrawMainBand(p, image.width(), image.height(), rOnly, widths.main);
  if (withRefs) DrawValidRefs(p, image.width(), image.height(), rOnly, widths.ref);
}

void Graph_RTF::AddOverlay(const void* owner, OverlayPainter paint, OverlayLayer layer) {
  for (Overlay& o : overlays_) {
    if (o.owner != owner) continue;
    o.layer = layer;
    o.paint = std::move(paint);
    return;
  }
  overlays_.push_back({owner, layer, std::move(paint)});
}

void Graph_RTF::RemoveOverlay(const void* owner) {
  std::erase_if(overlays_, [owner](const Overlay& o) { return o.owner == owner; });
}

bool Graph_RTF::HasOverlay(const void* owner) const {
  return std::any_of(overlays_.begin(), overlays_.end(), [owner](const Overlay& o) { return o.owner == owner; });
}

void Graph_RTF::PaintOverlaysInto(QPainter& p, OverlayLayer layer, const GraphMapping& m) const {
  if (!scale_) return;
  // A copy: a painter may add or remove overlays while it runs.
  const std::vector<Overlay> overlays = overlays_;
  for (const Overlay& o : overlays) {
    if (o.layer != layer || !o.paint) continue;
    p.save();
    o.paint(p, m);
    p.restore();
  }
}

void Graph_RTF::PaintOverlays(OverlayLayer layer, bool rOnly) {
  if (bitmap_.isNull()) return;
  QPainter p(&bitmap_);
  PaintOverlaysInto(p, layer, Mapping(bitmapWidth_, bitmapHeight_, rOnly));
}

void Graph_RTF::DrawMeasurement(bool rOnly, bool wide) {
  DrawScales(rOnly);
  PaintOverlays(OverlayLayer::UnderCurves, rOnly);
  PaintAllInto(bitmap_, rOnly, false, {wide ? 2 : 1, 1});
  PaintOverlays(OverlayLayer::OverCurves, rOnly);
  Repaint();
}

void Graph_RTF::DrawMeasurementSoFar(bool rOnly, int32_t count, bool wide) {
  DrawScales(rOnly);
  if (count > 0 && scale_ && scale_->data && !bitmap_.isNull()) {
    const int first = BandFirstSlot(scale_->band);
    const int last = static_cast<int>(std::min<int64_t>(int64_t{first} + count - 1, MaxPoints));
    QPainter p(&bitmap_);
    if (colours_)
      DrawCurves(p, bitmapWidth_, bitmapHeight_, *scale_->data, colours_->PenColor_R,
                 colours_->PenColor_Theta, wide ? 2 : 1, rOnly, first, last);
  }
  Repaint();
}

void Graph_RTF::DrawSegment(bool rOnly, int32_t index, bool wide) {
  // During a sweep this runs once per point: only the segment's pixels are
  // shown again, not the whole picture.
  QRect drawn;
  if (index > 0 && index < MaxPoints && scale_ && scale_->data && colours_ && !bitmap_.isNull()) {
    QPainter p(&bitmap_);
    DrawCurves(p, bitmapWidth_, bitmapHeight_, *scale_->data, colours_->PenColor_R,
               colours_->PenColor_Theta, wide ? 2 : 1, rOnly, index - 1, index - 1, &drawn);
  }
  Repaint(drawn);
}

void Graph_RTF::DrawReferences(bool rOnly) {
  DrawScales(rOnly);
  PaintOverlays(OverlayLayer::UnderCurves, rOnly);
  if (!bitmap_.isNull()) {
    QPainter p(&bitmap_);
    DrawValidRefs(p, bitmapWidth_, bitmapHeight_, rOnly, 1);
  }
  Repaint();
}

void Graph_RTF::DrawAll(bool rOnly, bool wide) {
  DrawScales(rOnly);
  PaintOverlays(OverlayLayer::UnderCurves, rOnly);
  PaintAllInto(bitmap_, rOnly, true, {wide ? 2 : 1, 1});
  PaintOverlays(OverlayLayer::OverCurves, rOnly);
  Repaint();
}

int Graph_RTF::Pens::Width(int atPenDpi) const {
  const int64_t scaled = (int64_t{atPenDpi} * std::max(dpi, 1) + PrintPenDpi / 2) / PrintPenDpi;
  return static_cast<int>(std::clamp<int64_t>(scaled, 1, 1000));
}

void Graph_RTF::RenderForPrint(QImage& target, bool rOnly, bool withRefs, bool wide, int dpi) const {
  if (target.isNull()) return;
  const Pens pens{true, dpi};
  {
    QPainter p(&target);
    p.fillRect(target.rect(), MakeBrush(White));
    DrawFreqGrid(p, target.width(), target.height(), pens);
    DrawLevelGrid(p, target.width(), target.height(), pens);
  }
  // With references on the page the main curve stays at 5 so they remain visible.
  const Widths widths = withRefs ? Widths{pens.Width(5), pens.Width(2)}
                                 : Widths{pens.Width(wide ? 8 : 5), pens.Width(2)};
  PaintAllInto(target, rOnly, withRefs, widths);
}

// ---------------------------------------------------------------- labels

void Graph_RTF::SetLabel(int i, const QString& text) const {
  QLabel* label = Slot(i);
  if (!label) return;
  label->setText(text);
  label->adjustSize();
}

void Graph_RTF::PlaceLabel(int i, int left, int top) const {
  QLabel* label = Slot(i);
  if (!label) return;
  label->move(left, top);
  label->show();
}

int Graph_RTF::LabelWidth(int i) const { return Slot(i) ? Slot(i)->width() : 0; }
int Graph_RTF::LabelHeight(int i) const { return Slot(i) ? Slot(i)->height() : 0; }

void Graph_RTF::DrawScales(bool rOnly) {
  if (!scale_) return;
  const FreqAxis axis = MakeFreqAxis(scale_->freqMin, scale_->freqMax);
  if (!axis.Flat()) {
    const FreqLabelSet set = FreqLabelFrequencies(axis);
    for (int j = 0; j < labelslot::FreqCount; ++j)
      SetLabel(labelslot::FreqFirst + j, j < set.count ? FreqLabelText(set.freq[static_cast<size_t>(j)]) : QString());
    SetLabel(labelslot::FreqUnit, QStringLiteral("[Hz]"));
  }
  for (int i = 0; i <= 10; ++i) SetLabel(labelslot::RFirst + i, RLabelText(scale_->rMax, i));
  SetLabel(labelslot::RUnit, QStringLiteral("[Ω]"));
  if (!rOnly) {
    for (int i = 0; i <= 10; ++i)
      SetLabel(labelslot::ThetaFirst + i, FormatThetaLabel(ThetaLabelValue(scale_->thetaMin, scale_->thetaMax, i)));
    SetLabel(labelslot::ThetaUnit, QStringLiteral("[deg]"));
  }

  const LabelSizes sizes = Sizes();
  const QPoint origin = paintArea_ ? paintArea_->geometry().topLeft() : QPoint();
  const LabelPlacement where = PlaceScaleLabels(axis, QRect(origin, QSize(paintWidth_, paintHeight_)),
                                                QSize(bitmapWidth_, bitmapHeight_), sizes, rOnly);
  for (int i = 0; i < labelslot::Count; ++i) {
    const QPoint at = where.at[static_cast<size_t>(i)];
    switch (where.move[static_cast<size_t>(i)]) {
      case LabelMove::Place: PlaceLabel(i, at.x(), at.y()); break;
      case LabelMove::Hide:
        if (Slot(i)) Slot(i)->hide();
        break;
      case LabelMove::Keep: break;
    }
  }
}

// ---------------------------------------------------------------- print positions

LabelSizes Graph_RTF::Sizes() const {
  LabelSizes sizes{};
  for (int i = 0; i < labelslot::Count; ++i) sizes[static_cast<size_t>(i)] = QSize(LabelWidth(i), LabelHeight(i));
  return sizes;
}

void Graph_RTF::PrintFreqLabelPositions(FreqPositions& xs, FreqPositions& ys, int32_t fontHeight,
                                        int32_t plotWidth, float factor, int32_t plotLeft,
                                        int32_t plotBottom) const {
  if (!scale_) return;
  kavo::PrintFreqLabelPositions(MakeFreqAxis(scale_->freqMin, scale_->freqMax), Sizes(), xs, ys, fontHeight,
                                plotWidth, factor, plotLeft, plotBottom);
}

void Graph_RTF::PrintRLabelPositions(LevelPositions& xs, LevelPositions& ys, int32_t plotHeight,
                                     float factor, int32_t fontHeight, int32_t plotLeft,
                                     int32_t plotTop) const {
  kavo::PrintRLabelPositions(Sizes(), xs, ys, plotHeight, factor, fontHeight, plotLeft, plotTop);
}

void Graph_RTF::PrintThetaLabelPositions(LevelPositions& xs, LevelPositions& ys, float factor,
                                         int32_t plotHeight, int32_t fontHeight, int32_t plotRight,
                                         int32_t plotTop) const {
  kavo::PrintThetaLabelPositions(Sizes(), xs, ys, factor, plotHeight, fontHeight, plotRight, plotTop);
}

void ColorScaleLabels(const LabelSlots& labels, const QColor& r, const QColor& theta, const QColor& text) {
  for (int i = 0; i < labelslot::Count; ++i) {
    QLabel* label = labels[static_cast<size_t>(i)];
    if (!label) continue;
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, i < labelslot::ThetaFirst ? r : i < labelslot::FreqFirst ? theta : text);
    label->setPalette(p);
  }
}

}  // namespace kavo
