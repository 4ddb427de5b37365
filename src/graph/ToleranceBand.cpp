// See graph/ToleranceBand.h.
#include "graph/ToleranceBand.h"

#include <QPainter>
#include <QPolygonF>

namespace kavo {
namespace {

QPolygonF Line(const FreqAxis& axis, float rMax, int w, int h, const std::vector<double>& f,
               const std::vector<double>& r) {
  QPolygonF line;
  for (size_t i = 0; i < f.size() && i < r.size(); ++i)
    line << QPointF(axis.Column(f[i], w), RRow(float(r[i]), rMax, h));
  return line;
}

}  // namespace

QColor ToleranceShade(const QColor& colour) {
  QColor shade = colour;
  shade.setAlpha(64);
  return shade;
}

void PaintToleranceBand(QPainter& p, const FreqAxis& axis, float rMax, int w, int h,
                        const std::vector<double>& f, const std::vector<double>& lo, const std::vector<double>& hi,
                        const std::vector<double>& ref, const QColor& colour, int refWidth) {
  if (f.size() < 2 || axis.Flat()) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QPolygonF shade = Line(axis, rMax, w, h, f, hi);
  const QPolygonF lower = Line(axis, rMax, w, h, f, lo);
  for (qsizetype i = lower.size() - 1; i >= 0; --i) shade << lower[i];
  p.setPen(Qt::NoPen);
  p.setBrush(ToleranceShade(colour));
  p.drawPolygon(shade);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, refWidth, Qt::DashLine));
  p.drawPolyline(Line(axis, rMax, w, h, f, ref));
  p.restore();
}

}  // namespace kavo
