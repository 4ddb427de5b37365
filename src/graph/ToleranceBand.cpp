// See graph/ToleranceBand.h.
#include "graph/ToleranceBand.h"

#include <QPainter>
#include <QPolygonF>

namespace kavo {
namespace {

QPolygonF Line(const GraphMapping& m, bool theta, const std::vector<double>& f, const std::vector<double>& y) {
  QPolygonF line;
  for (size_t i = 0; i < f.size() && i < y.size(); ++i)
    line << QPointF(m.X(f[i]), theta ? m.YTheta(float(y[i])) : m.YR(float(y[i])));
  return line;
}

void PaintEdges(QPainter& p, const GraphMapping& m, bool theta, const ToleranceEdges& e, const QColor& colour,
                int refWidth) {
  if (e.f.size() < 2 || e.lo.size() < e.f.size()) return;
  QPolygonF shade = Line(m, theta, e.f, e.hi);
  const QPolygonF lower = Line(m, theta, e.f, e.lo);
  for (qsizetype i = lower.size() - 1; i >= 0; --i) shade << lower[i];
  p.setPen(Qt::NoPen);
  p.setBrush(ToleranceShade(colour));
  p.drawPolygon(shade);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, refWidth, Qt::DashLine));
  p.drawPolyline(Line(m, theta, e.f, e.ref));
}

}  // namespace

QColor ToleranceShade(const QColor& colour) {
  QColor shade = colour;
  shade.setAlpha(64);
  return shade;
}

void PaintToleranceBand(QPainter& p, const GraphMapping& m, const ToleranceEdges& r, const ToleranceEdges& theta,
                        const QColor& rColour, const QColor& thetaColour, int refWidth) {
  if (m.axis.Flat()) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  PaintEdges(p, m, false, r, rColour, refWidth);
  if (!m.rOnly) PaintEdges(p, m, true, theta, thetaColour, refWidth);
  p.restore();
}

}  // namespace kavo
