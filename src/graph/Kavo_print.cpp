#include "graph/Kavo_print.h"

#include <QFontMetrics>
#include <algorithm>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <cmath>

#include "data/Stringutil.h"
#include "data/WholeFile.h"
#include "platform/Look.h"

namespace kavo {
namespace {

constexpr long double InchesPerMm = 0.039370078740157482516L;
constexpr int FontPoints = 9;

int32_t MmToPixels(int32_t mm, int32_t dpi) {
  return static_cast<int32_t>(std::trunc(static_cast<long double>(mm) * InchesPerMm * dpi));
}

int32_t Trunc(double v) { return static_cast<int32_t>(std::trunc(v)); }

// Where a line of `text` that is too wide is broken: after the last blank
// that leaves the first part within `width`, else after the last character
// that does. Empty when the whole of it fits.
int BreakAt(const QFontMetricsF& metrics, const QString& text, double width) {
  if (metrics.horizontalAdvance(text) <= width) return -1;
  int fit = 0;
  while (fit < text.size() && metrics.horizontalAdvance(text.left(fit + 1)) <= width) ++fit;
  const int blank = text.lastIndexOf(QLatin1Char(' '), fit);
  return blank > 0 ? blank + 1 : std::max(fit, 1);
}

// An information line too wide for the page at the normal size is printed
// smaller, on one line or on two within its own place (`slot` pixels high),
// whichever allows the larger type; it is never cut off at the page edge.
// The top-left corner of the text stands on (x, y), on the white brush.
void InfoLine(QPainter& painter, int32_t x, int32_t y, double width, double slot, const QString& text) {
  const QFont normal = painter.font();
  const double points = normal.pointSizeF();
  auto metricsAt = [&](double size) {
    QFont f = normal;
    f.setPointSizeF(size);
    return QFontMetricsF(f, painter.device());
  };
  double oneLine = points, twoLines = 0;
  while (oneLine > 1.0 && metricsAt(oneLine).horizontalAdvance(text) > width) oneLine -= 0.25;
  int cut = -1;
  if (oneLine < points) {
    for (twoLines = points; twoLines > oneLine; twoLines -= 0.25) {
      const QFontMetricsF m = metricsAt(twoLines);
      cut = BreakAt(m, text, width);
      if (2 * m.height() <= slot && m.horizontalAdvance(text.mid(cut)) <= width) break;
    }
  }
  QFont font = normal;
  font.setPointSizeF(twoLines > oneLine ? twoLines : oneLine);
  painter.setFont(font);
  const QFontMetricsF m(font, painter.device());
  if (twoLines > oneLine) {
    painter.drawText(QPointF(x, y + m.ascent()), text.left(cut));
    painter.drawText(QPointF(x, y + m.height() + m.ascent()), text.mid(cut));
  } else {
    painter.drawText(QPointF(x, y + m.ascent()), text);
  }
  painter.setFont(normal);
}

}  // namespace

std::shared_ptr<QPrinter> MakePrinter() {
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  printer->setDocName(QStringLiteral("KAVO"));
  LimitPdfResolution(*printer);
  return printer;
}

void LimitPdfResolution(QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat && printer.resolution() > PdfDpi) printer.setResolution(PdfDpi);
}

TKAV_Print::TKAV_Print(const Graph_RTF& plotter, QPrinter& printer, const SettingsRecord& info,
                       const LabelSlots& labels)
    : plotter_(plotter), printer_(printer), info_(info), labels_(labels) {}

int32_t TKAV_Print::MmToPixelsX(int32_t mm) const { return MmToPixels(mm, dpiX); }
int32_t TKAV_Print::MmToPixelsY(int32_t mm) const { return MmToPixels(mm, dpiY); }

void TKAV_Print::Layout(bool landscape) {
  marginLeft = MmToPixelsX(10);
  marginTop = MmToPixelsY(15);
  graphWidth = landscape ? MmToPixelsX(pageHeightMm - 20) : MmToPixelsX(pageWidthMm - 10);
  graphHeight = graphWidth * 3 / 4;
  graphBottom = marginTop + graphHeight;

  plotWidth = graphWidth - MmToPixelsX(30);
  plotHeight = graphHeight - MmToPixelsY(10);
  plotLeft = marginLeft + MmToPixelsX(15);
  plotTop = marginTop + MmToPixelsY(5);
  plotRight = plotLeft + plotWidth;
  plotBottom = plotTop + plotHeight;
}

QString TKAV_Print::LabelText(int slot) const {
  const QLabel* label = labels_[static_cast<size_t>(slot)];
  return label ? label->text() : QString();
}

// Texts stand with their top-left corner on the point, on the white brush.
void TKAV_Print::Text(QPainter& painter, int32_t x, int32_t y, const QString& text) const {
  painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

bool TKAV_Print::Print(bool rOnly, bool wide, bool withRefs) {
  if (!LayoutForPrinter()) return false;
  // The printer reports no failed write of a PDF file, so the page is made
  // under a temporary name beside the chosen one and takes its place only
  // when it was written whole.
  const QString file = printer_.outputFormat() == QPrinter::PdfFormat ? printer_.outputFileName() : QString();
  if (file.isEmpty()) return PrintPage(rOnly, wide, withRefs);
  PendingFile pending(file);
  if (!pending.Ready()) return false;
  printer_.setOutputFileName(pending.Path());
  const bool printed = PrintPage(rOnly, wide, withRefs);
  printer_.setOutputFileName(file);
  if (!printed) return false;
  if (!PdfComplete(pending.Path())) {
    ProbeWriteError(pending.Path());  // the printer does not say why
    return false;
  }
  return pending.Commit();
}

bool TKAV_Print::LayoutForPrinter() {
  // 1. The printer's resolution and printable size.
  dpiX = printer_.logicalDpiX();
  dpiY = printer_.logicalDpiY();
  const QPageLayout page = printer_.pageLayout();
  const QRectF printable = page.paintRect(QPageLayout::Millimeter);
  pageWidthMm = static_cast<int32_t>(std::lround(printable.width()));
  pageHeightMm = static_cast<int32_t>(std::lround(printable.height()));
  if (screenDpi <= 0.0f) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    screenDpi = screen ? static_cast<float>(screen->logicalDotsPerInchY()) : 96.0f;
  }
  factor = static_cast<float>(dpiY) / screenDpi;

  // 3, 4. Page geometry and plot rectangle.
  Layout(page.orientation() == QPageLayout::Landscape);
  return plotWidth > 0 && plotHeight > 0;
}

bool TKAV_Print::PrintPage(bool rOnly, bool wide, bool withRefs) {
  // 2, 5. The plot picture, 24 bits per pixel, at printer resolution.
  bitmap_ = QImage(plotWidth, plotHeight, QImage::Format_RGB888);
  if (bitmap_.isNull()) return false;
  plotter_.RenderForPrint(bitmap_, rOnly, withRefs, wide, dpiY);

  // 6. The job; the picture copied as it is, no stretching.
  QPainter painter;
  if (!painter.begin(&printer_)) {
    bitmap_ = QImage();
    return false;
  }
  painter.setBrush(Qt::white);
  painter.setPen(Qt::black);
  // A PDF would otherwise hold the picture as JPEG and blur every line.
  painter.setRenderHint(QPainter::LosslessImageRendering);
  painter.drawImage(QPoint(plotLeft, plotTop), bitmap_);

  // 7. The frame, one printer pixel wide, just outside the picture. Filled
  // as four bars: a stroked line would straddle two pixel rows in a PDF.
  const int frameWidth = plotWidth + 2, frameHeight = plotHeight + 2;
  painter.fillRect(QRect(plotLeft - 1, plotTop - 1, frameWidth, 1), Qt::black);
  painter.fillRect(QRect(plotLeft - 1, plotBottom, frameWidth, 1), Qt::black);
  painter.fillRect(QRect(plotLeft - 1, plotTop - 1, 1, frameHeight), Qt::black);
  painter.fillRect(QRect(plotRight, plotTop - 1, 1, frameHeight), Qt::black);

  // 8. Texts: 9 points, black on white.
  painter.setPen(Qt::black);
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::white);
  QFont font = ProgramFont();
  font.setPointSize(FontPoints);
  painter.setFont(font);
  fontHeight = Trunc(FontPoints * static_cast<double>(factor));

  // 9. R scale.
  Graph_RTF::LevelPositions xs, ys;
  xs.fill(-1);
  ys.fill(-1);
  plotter_.PrintRLabelPositions(xs, ys, plotHeight, factor, fontHeight, plotLeft, plotTop);
  for (int i = 0; i < 12; ++i)
    if (xs[static_cast<size_t>(i)] > 0 && ys[static_cast<size_t>(i)] > 0)
      Text(painter, xs[static_cast<size_t>(i)], ys[static_cast<size_t>(i)], LabelText(labelslot::RFirst + i));

  // 10. θ scale, unless only R is shown.
  if (!rOnly) {
    xs.fill(-1);
    ys.fill(-1);
    plotter_.PrintThetaLabelPositions(xs, ys, factor, plotHeight, fontHeight, plotRight, plotTop);
    for (int i = 0; i < 12; ++i)
      if (xs[static_cast<size_t>(i)] > 0 && ys[static_cast<size_t>(i)] > 0)
        Text(painter, xs[static_cast<size_t>(i)], ys[static_cast<size_t>(i)],
             LabelText(labelslot::ThetaFirst + i));
  }

  // 11. Frequency scale.
  Graph_RTF::FreqPositions fx, fy;
  fx.fill(-1);
  fy.fill(-1);
  plotter_.PrintFreqLabelPositions(fx, fy, fontHeight, plotWidth, factor, plotLeft, plotBottom);
  for (int i = 0; i < 11; ++i)
    if (fx[static_cast<size_t>(i)] > 0 && fy[static_cast<size_t>(i)] > 0)
      Text(painter, fx[static_cast<size_t>(i)], fy[static_cast<size_t>(i)], LabelText(labelslot::FreqFirst + i));

  // 12, 13. Title and information lines; an empty line keeps its place.
  Text(painter, plotLeft, Trunc(graphBottom + 20.0 * factor), Title());
  // Each line has the page right of the plot's left edge, less the margin.
  const double infoWidth = printer_.width() - marginLeft - plotLeft;
  for (int k = 1; k <= 3; ++k) {
    const std::string& line = info_.pstr[k - 1];
    if (!line.empty())
      InfoLine(painter, plotLeft, Trunc(graphBottom + (20.0 + 20.0 * k) * factor), infoWidth, 20.0 * factor,
               FromCp932(line));
  }

  // 14. The page goes out; the platform says whether it got there.
  const bool sent = painter.end();
  bitmap_ = QImage();
  return sent && printer_.printerState() != QPrinter::Error;
}

}  // namespace kavo
