// kavo-tool qc --plot: see cli/Qc_plot.h.
#include "cli/Qc_plot.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "cli/Files.h"
#include "cli/Texts.h"
#include "data/Kavo_setting.h"
#include "graph/Graph_rtf.h"
#include "graph/GraphSheet.h"
#include "graph/GraphView.h"
#include "graph/ToleranceBand.h"
#include "platform/desktop/Look.h"

namespace kavo::cli {
namespace {

constexpr int Width = 800, Height = 600;

// Distinct colours for the failing curves, after the reference's blue.
const QColor CurveColours[] = {QColor(220, 30, 30), QColor(0, 150, 0),   QColor(230, 120, 0), QColor(150, 0, 170),
                               QColor(0, 160, 170), QColor(120, 80, 30), QColor(230, 0, 140), QColor(90, 90, 90)};

// One channel of a curve over lo..hi: R, or θ on the right-hand scale.
QPolygonF Line(const GraphMapping& m, bool theta, const std::vector<double>& f, const std::vector<double>& y,
               double lo, double hi) {
  QPolygonF line;
  for (size_t i = 0; i < f.size(); ++i)
    if (f[i] >= lo * (1 - 1e-9) && f[i] <= hi * (1 + 1e-9))
      line << QPointF(m.X(f[i]), theta ? m.YTheta(float(y[i])) : m.YR(float(y[i])));
  return line;
}

// R's and θ's scales holding the band and the failing curves within it.
GraphScale PictureScale(const QcBand& band, const std::vector<const QcMeasurement*>& failing, bool rOnly) {
  const double lo = band.f.front(), hi = band.f.back();
  float rTop = 0, thetaTop = 0;
  for (const double r : band.hi) rTop = std::max(rTop, float(r));
  for (const std::vector<double>* edge : {&band.thetaLo, &band.thetaHi})
    for (const double t : *edge) thetaTop = std::max(thetaTop, float(std::abs(t)));
  for (const QcMeasurement* m : failing)
    for (size_t i = 0; i < m->curve.f.size(); ++i) {
      if (m->curve.f[i] < lo || m->curve.f[i] > hi) continue;
      rTop = std::max(rTop, float(m->curve.r[i]));
      if (!rOnly) thetaTop = std::max(thetaTop, float(std::abs(m->curve.thetaDeg[i])));
    }
  GraphScale scale;
  scale.freqMin = int32_t(std::floor(lo));
  scale.freqMax = int32_t(std::ceil(hi));
  scale.rMax = GraphView::RScaleFor(rTop);
  scale.thetaMax = GraphView::ThetaScaleFor(thetaTop);
  scale.thetaMin = -scale.thetaMax;
  return scale;
}

// The legend in the top right corner of a w × h graph: the reference
// (its band's shade `fill` behind a dashed line), then the failing curves
// in their colours, as many as fit.
void PaintLegend(QPainter& p, int w, int h, const QStringList& entries, const QColor& refColour, const QColor& fill) {
  const QFontMetrics fm(QApplication::font());
  const int lineH = fm.height() + 2;
  const int rows = std::min<int>(int(entries.size()), (h - 20) / lineH);
  int textW = 0;
  for (int i = 0; i < rows; ++i) textW = std::max(textW, fm.horizontalAdvance(entries[i]));
  const QRect box(w - textW - 46, 8, textW + 38, rows * lineH + 8);
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawRect(box);
  p.setFont(QApplication::font());
  for (int i = 0; i < rows; ++i) {
    const int y = box.top() + 4 + i * lineH + lineH / 2;
    const QColor c = i == 0 ? refColour : CurveColours[size_t(i - 1) % std::size(CurveColours)];
    if (i == 0) p.fillRect(QRect(box.left() + 6, y - 5, 20, 10), fill);
    p.setPen(QPen(c, i == 0 ? 2 : 1, i == 0 ? Qt::DashLine : Qt::SolidLine));
    p.drawLine(box.left() + 6, y, box.left() + 26, y);
    p.setPen(Qt::black);
    p.drawText(QRect(box.left() + 32, y - lineH / 2, textW + 4, lineH), Qt::AlignVCenter | Qt::AlignLeft, entries[i]);
  }
}

}  // namespace

bool WriteQcPicture(const QString& target, const QcRules& rules, const QcMeasurement& reference,
                    const std::vector<const QcMeasurement*>& failing, const std::vector<QString>& names,
                    std::ostream& out, QString& reason) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    reason = ToolText::tr("drawing needs the widget application");
    return false;
  }
  const QcBand band = ToleranceBand(rules, reference);
  if (band.f.size() < 2) {
    reason = ToolText::tr("the reference has no points in the range");
    return false;
  }
  const double lo = band.f.front(), hi = band.f.back();
  // θ beside R where the rules limit it.
  const bool rOnly = band.thetaRef.empty();
  GraphScale scale = PictureScale(band, failing, rOnly);
  SettingsRecord colours;
  const QColor refColour = ColorFromBgr(static_cast<uint32_t>(colours.PenColor_R));
  const QColor thetaColour = ColorFromBgr(static_cast<uint32_t>(colours.PenColor_Theta));

  // The window's graph on a sheet of its own.
  GraphSheet sheet;
  sheet.BuildHosted(QSize(Width, Height), QApplication::font(), rOnly);
  if (!sheet.CreatePlotter(&colours, &scale)) {
    reason = ToolText::tr("drawing needs the widget application");
    return false;
  }
  sheet.ColorLabels(colours, Qt::black);
  // The band, the reference and the failing curves over the plotter's grid.
  const auto paint = [&](QPainter& p, const GraphMapping& m) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    PaintToleranceBand(p, m, {band.f, band.lo, band.hi, band.ref},
                       {band.f, band.thetaLo, band.thetaHi, band.thetaRef}, refColour, thetaColour, 2);
    const QColor fill = ToleranceShade(refColour);
    for (size_t k = 0; k < failing.size(); ++k) {
      p.setPen(QPen(CurveColours[k % std::size(CurveColours)], 1));
      p.drawPolyline(Line(m, false, failing[k]->curve.f, failing[k]->curve.r, lo, hi));
      if (!rOnly) {
        p.setPen(QPen(CurveColours[k % std::size(CurveColours)], 1, Qt::DotLine));
        p.drawPolyline(Line(m, true, failing[k]->curve.f, failing[k]->curve.thetaDeg, lo, hi));
      }
    }
    // The legend: the reference, then each failing file.
    QStringList entries{rules.meanReference ? ToolText::tr("reference: the mean")
                                            : ToolText::tr("reference: %1").arg(QFileInfo(rules.reference).fileName())};
    for (const QString& n : names) entries << QFileInfo(n).fileName();
    PaintLegend(p, m.width, m.height, entries, refColour, fill);
    p.restore();
  };
  sheet.Plotter()->AddOverlay(&band, paint, Graph_RTF::OverlayLayer::UnderCurves);
  sheet.Plotter()->Clear();
  sheet.Plotter()->DrawReferences(rOnly);
  sheet.ThinLabels();

  const bool pdf = target != QLatin1String("-") && QFileInfo(target).suffix().toLower() == QLatin1String("pdf");
  QByteArray bytes;
  if (pdf) {
    bytes = sheet.PdfBytes(Width, Height);
  } else {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    sheet.Picture().save(&buffer, "PNG");
  }
  sheet.Plotter()->RemoveOverlay(&band);
  return WriteOutput(target, bytes, out);
}

}  // namespace kavo::cli
