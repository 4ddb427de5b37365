// TKAV_Print prints the graph on one page: the plot picture rendered at
// printer resolution and copied unscaled, a one-pixel frame, the scale texts
// the screen labels hold at the placements the plotter computes, the title
// and up to three lines of measurement information. One object serves one
// print job.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

#include "data/Kavo_setting.h"
#include "graph/Graph_rtf.h"

class QPainter;
class QPrinter;

namespace kavo {

// The printer KAVO prints with: high resolution, document "KAVO", a PDF at
// most PdfDpi.
constexpr int PdfDpi = 600;
std::shared_ptr<QPrinter> MakePrinter();
// A PDF has no resolution of its own; beyond PdfDpi the page's picture alone
// would take well over 100 MB.
void LimitPdfResolution(QPrinter& printer);

class TKAV_Print {
 public:
  // Stores the references, nothing else.
  TKAV_Print(const Graph_RTF& plotter, QPrinter& printer, const SettingsRecord& info,
             const LabelSlots& labels);

  // Lays out and prints the page. False when the platform reports that the
  // job failed, the picture could not be allocated, or a PDF file could not
  // be written whole (the old file then stays as it was).
  bool Print(bool rOnly, bool wide, bool withRefs);

  // trunc(mm / 25.4 × dpi), in extended precision.
  int32_t MmToPixelsX(int32_t mm) const;
  int32_t MmToPixelsY(int32_t mm) const;

  // The page geometry from dpiX, dpiY, pageWidthMm and pageHeightMm (Print
  // queries those from the printer first); the layout values below.
  void Layout(bool landscape);

  // Screen pixels per inch; the primary screen's unless set.
  float screenDpi = 0.0f;

  int32_t dpiX = 0, dpiY = 0;
  int32_t pageWidthMm = 0, pageHeightMm = 0;
  int32_t marginLeft = 0, marginTop = 0;
  int32_t graphWidth = 0, graphHeight = 0, graphBottom = 0;
  int32_t plotLeft = 0, plotTop = 0, plotWidth = 0, plotHeight = 0, plotRight = 0, plotBottom = 0;
  float factor = 0.0f;
  int32_t fontHeight = 0;

  static QString Title() { return QStringLiteral("< KA-V インピーダンス測定 >"); }

 private:
  bool LayoutForPrinter();
  bool PrintPage(bool rOnly, bool wide, bool withRefs);
  void Text(QPainter& painter, int32_t x, int32_t y, const QString& text) const;
  QString LabelText(int slot) const;

  const Graph_RTF& plotter_;
  QPrinter& printer_;
  const SettingsRecord& info_;
  const LabelSlots& labels_;
  QImage bitmap_;
};

}  // namespace kavo
