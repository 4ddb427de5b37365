#include "graph/GraphSheet.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QWidget>
#include <algorithm>
#include <new>
#include <vector>

#include "graph/GraphView.h"
#include "graph/PaintBox.h"
#include "platform/Look.h"

namespace kavo {

GraphSheet::GraphSheet() = default;

GraphSheet::~GraphSheet() {
  // The plotter unhooks itself from the paint area, which the host owns.
  plotter_.reset();
}

void GraphSheet::Attach(PaintBox* area, const LabelSlots& labels) {
  area_ = area;
  labels_ = labels;
}

void GraphSheet::BuildHosted(QSize size, const QFont& font, bool rOnly) {
  plotter_.reset();
  host_ = std::make_unique<QWidget>();
  host_->setAttribute(Qt::WA_DontShowOnScreen);
  host_->setAutoFillBackground(true);
  QPalette palette = host_->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  host_->setPalette(palette);
  host_->setFont(font);
  host_->resize(size);
  for (auto& label : labels_) label = new QLabel(host_.get());
  // Room for the widest R text on the left, θ on the right, the unit
  // labels above, two rows of frequency texts below.
  const QFontMetrics fm(font);
  const int left = fm.horizontalAdvance(QStringLiteral("200.0")) + 14;
  const int right = rOnly ? 14 : fm.horizontalAdvance(QStringLiteral("+180")) + 14;
  const int top = fm.height() + 8;
  const int bottom = 2 * fm.height() + 12;
  area_ = new PaintBox(host_.get());
  area_->setGeometry(left, top, size.width() - left - right, size.height() - top - bottom);
}

bool GraphSheet::CreatePlotter(const SettingsRecord* colours, const GraphScale* scale) {
  plotter_.reset(new (std::nothrow) Graph_RTF(area_, colours, labels_, scale));
  if (plotter_ && host_) SetShown(true);  // lays the labels out; off screen
  return plotter_ != nullptr;
}

void GraphSheet::DestroyPlotter() { plotter_.reset(); }

void GraphSheet::SetShown(bool shown) {
  if (host_) host_->setVisible(shown);
  if (area_) area_->setVisible(shown);
  if (!shown) HideLabels();
}

void GraphSheet::HideLabels() {
  for (QLabel* label : labels_)
    if (label) label->setVisible(false);
}

void GraphSheet::ColorLabels(const SettingsRecord& colours, const QColor& text) {
  ColorScaleLabels(labels_, ColorFromBgr(static_cast<uint32_t>(colours.PenColor_R)),
                   ColorFromBgr(static_cast<uint32_t>(colours.PenColor_Theta)), text);
}

void GraphSheet::Redraw(GraphView& view, Sets sets, const ViewOptions& o) {
  if (!plotter_) return;
  drawn_ = sets;
  drawnOptions_ = o;
  switch (sets) {
    case Sets::Measurement:
      view.ScaleForMeasurement(o.averaging);
      plotter_->Clear();
      plotter_->DrawMeasurement(o.rOnly, o.wide);
      break;
    case Sets::References:
      view.ScaleForReferences(o.averaging);
      plotter_->Clear();
      plotter_->DrawReferences(o.rOnly);
      break;
    case Sets::Both:
      view.ScaleForBoth(o.averaging);
      plotter_->Clear();
      plotter_->DrawAll(o.rOnly, o.wide);
      break;
  }
}

void GraphSheet::ClearWithScales(bool rOnly) {
  if (!plotter_) return;
  plotter_->Clear();
  plotter_->DrawScales(rOnly);
}

void GraphSheet::ThinLabels() {
  struct Group {
    int first, last;
    bool across;
  };
  for (const Group g : {Group{labelslot::FreqFirst, labelslot::FreqUnit - 1, true},
                        Group{labelslot::RFirst, labelslot::RUnit - 1, false},
                        Group{labelslot::ThetaFirst, labelslot::ThetaUnit - 1, false}}) {
    std::vector<QRect> boxes;
    std::vector<int> gaps;
    for (int slot = g.first; slot <= g.last; ++slot) {
      const QLabel* label = labels_[static_cast<size_t>(slot)];
      const bool there = label && !label->isHidden();
      boxes.push_back(there ? label->geometry() : QRect());
      // Labels that stay are at least a digit's width or a third of a line apart.
      gaps.push_back(!there ? 0
                     : g.across ? label->fontMetrics().horizontalAdvance(QLatin1Char('0'))
                                : label->fontMetrics().height() / 3);
    }
    const std::vector<bool> keep = KeptLabels(boxes, gaps, g.across);
    for (int slot = g.first; slot <= g.last; ++slot)
      if (!keep[static_cast<size_t>(slot - g.first)]) labels_[static_cast<size_t>(slot)]->hide();
  }
}

QImage GraphSheet::Picture() const {
  if (!host_) return {};
  QImage image(host_->size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  host_->render(&image);
  return image;
}

void GraphSheet::RenderTo(QPainter& painter) const {
  if (host_) host_->render(&painter);
}

QByteArray GraphSheet::PdfBytes(int width, int height) const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(96);
    pdf.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p(&pdf);
    const double f = std::min(pdf.width() / double(width), pdf.height() / double(height));
    p.scale(f, f);
    RenderTo(p);
  }
  return bytes;
}

QByteArray GraphSheet::SvgBytes() const {
  if (!host_ || !plotter_ || !area_) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(host_->size());
  svg.setViewBox(QRect(QPoint(0, 0), host_->size()));
  svg.setTitle(QStringLiteral("KAVO"));
  {
    QPainter p(&svg);
    // The sheet without its paint area (whose bitmap would go in as an
    // image): the background and the scale texts; then the area as lines.
    area_->setVisible(false);
    host_->render(&p);
    area_->setVisible(true);
    p.translate(area_->pos());
    plotter_->PaintVectorsTo(p, drawnOptions_.rOnly, drawnOptions_.wide, drawn_ != Sets::References,
                             drawn_ != Sets::Measurement);
  }
  return bytes;
}

}  // namespace kavo
