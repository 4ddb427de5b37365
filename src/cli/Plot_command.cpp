// kavo-tool plot: the main window's graph as a PNG, SVG or PDF picture.
//
// The picture is the window's own graph: a paint area with the plotter's
// bitmap and frame and the 35 scale labels placed by the plotter, in a
// widget that is never shown on screen, rendered into the file.
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QWidget>
#include <algorithm>
#include <ostream>
#include <vector>

#include "cli/Curves.h"
#include "cli/KavoTool.h"
#include "data/Kavo_file.h"
#include "data/WholeFile.h"
#include "graph/Graph_rtf.h"
#include "graph/PaintBox.h"
#include "platform/Look.h"
#include "platform/Names.h"
#include "platform/Paths.h"

namespace kavo::cli {
namespace {

const char* const PlotUsage =
    "usage: kavo-tool plot FILE.DTA [--ref FILE]... [--r-only] [--wide] [--raw] [--size WxH] -o OUT.png|svg|pdf\n";

int PlotUsageError(std::ostream& err, const std::string& what) {
  err << "kavo-tool plot: " << what << '\n' << PlotUsage;
  return ExitUsage;
}

// The graph view's scale steps: the R scale is the first step above the
// largest R, the θ scale the first step above the largest |θ|.
float RScaleFor(float m) {
  static constexpr float steps[][2] = {{150, 200}, {120, 150}, {100, 120}, {50, 100}, {25, 50},
                                       {20, 25},   {15, 20},   {10, 15}};
  for (const auto& s : steps)
    if (m > s[0]) return s[1];
  return 10;
}
float ThetaScaleFor(float a) { return a > 60 ? 180.0f : a > 30 ? 90.0f : 45.0f; }

// Largest R and |θ| over a set's own band, from the unaveraged values as the window takes them.
void Extent(const Curve& c, float& r, float& theta) {
  for (int k = BandFirstSlot(c.data.band); k <= BandLastSlot(c.data.band); ++k) {
    r = std::max(r, c.raw.R[k]);
    theta = std::max(theta, std::abs(c.raw.Theta[k]));
  }
}

bool ParseSize(const QString& text, int& w, int& h) {
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d{2,5})x(\\d{2,5})$")).match(text);
  if (!m.hasMatch()) return false;
  w = m.captured(1).toInt();
  h = m.captured(2).toInt();
  return w >= 200 && h >= 150 && w <= 4000 && h <= 4000;
}

}  // namespace

int RunPlot(const QStringList& args, std::ostream& out, std::ostream& err) {
  QString file, target;
  QStringList refs;
  bool rOnly = false, wide = false, raw = false;
  int width = 800, height = 600;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("-o") || a == QLatin1String("--ref") || a == QLatin1String("--size")) {
      if (i + 1 >= args.size()) return PlotUsageError(err, a.toStdString() + " needs a value");
      const QString v = args[++i];
      if (a == QLatin1String("-o")) target = v;
      else if (a == QLatin1String("--ref")) refs << v;
      else if (!ParseSize(v, width, height)) return PlotUsageError(err, "--size is WxH, 200x150 to 4000x4000");
    } else if (a == QLatin1String("--r-only")) {
      rOnly = true;
    } else if (a == QLatin1String("--wide")) {
      wide = true;
    } else if (a == QLatin1String("--raw")) {
      raw = true;
    } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
      return PlotUsageError(err, "unknown option " + a.toStdString());
    } else if (file.isEmpty()) {
      file = a;
    } else {
      return PlotUsageError(err, "one measurement only; references with --ref");
    }
  }
  if (file.isEmpty()) return PlotUsageError(err, "no file given");
  if (target.isEmpty()) return PlotUsageError(err, "-o OUT.png|svg|pdf is required");
  const QString kind = QFileInfo(target).suffix().toLower();
  if (kind != QLatin1String("png") && kind != QLatin1String("svg") && kind != QLatin1String("pdf"))
    return PlotUsageError(err, "the output must end in .png, .svg or .pdf");
  if (refs.size() > MaxRefs) return PlotUsageError(err, "at most 5 references");

  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    err << "kavo-tool plot: drawing needs the widget application\n";
    return ExitFailed;
  }
  const std::unique_ptr<Curve> main = LoadCurve(file, false, 0, "plot", err);
  if (!main) return ExitUnreadable;
  std::vector<std::unique_ptr<Curve>> refCurves;
  for (const QString& r : refs) {
    refCurves.push_back(LoadCurve(r, true, main->data.band, "plot", err));
    if (!refCurves.back()) return ExitUnreadable;
  }

  // Line colours from the settings file when there is one.
  SettingsRecord colours;
  ViewSettings view;
  KAVO_File().ReadSettings(SettingsPath(QString::fromLatin1(SettingsFileName)), &colours, &view);

  GraphScale scale;
  scale.band = main->data.band;
  scale.freqMin = BandFreqMin(scale.band);
  scale.freqMax = BandFreqMax(scale.band);
  float rMain = 0, tMain = 0, rRef = 0, tRef = 0;
  Extent(*main, rMain, tMain);
  for (const auto& c : refCurves) Extent(*c, rRef, tRef);
  scale.rMax = RScaleFor(rMain);
  float thetaMax = ThetaScaleFor(tMain);
  if (!refCurves.empty()) {
    scale.rMax = std::max(scale.rMax, RScaleFor(rRef));
    thetaMax = std::max(thetaMax, ThetaScaleFor(tRef));
  }
  scale.thetaMax = thetaMax;
  scale.thetaMin = -thetaMax;
  scale.data = raw ? &main->raw : &main->ave;
  for (size_t k = 0; k < refCurves.size(); ++k) scale.refs[k] = raw ? &refCurves[k]->raw : &refCurves[k]->ave;

  // The graph area with its labels, laid out as the window's.
  QWidget host;
  host.setAttribute(Qt::WA_DontShowOnScreen);
  host.setAutoFillBackground(true);
  QPalette palette = host.palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  host.setPalette(palette);
  host.resize(width, height);
  LabelSlots labels{};
  for (auto& label : labels) label = new QLabel(&host);
  ColorScaleLabels(labels, ColorFromBgr(static_cast<uint32_t>(colours.PenColor_R)),
                   ColorFromBgr(static_cast<uint32_t>(colours.PenColor_Theta)), Qt::black);
  const QFontMetrics fm(host.font());
  const int left = fm.horizontalAdvance(QStringLiteral("200.0")) + 14;
  const int right = rOnly ? 14 : fm.horizontalAdvance(QStringLiteral("+180")) + 14;
  const int top = fm.height() + 8;
  const int bottom = 2 * fm.height() + 12;
  auto* area = new PaintBox(&host);
  area->setGeometry(left, top, width - left - right, height - top - bottom);
  Graph_RTF plotter(&host, area, &colours, labels, &scale);
  plotter.Clear();
  if (refCurves.empty()) plotter.DrawMeasurement(rOnly, wide);
  else plotter.DrawAll(rOnly, wide);
  host.show();

  bool written = false;
  if (kind == QLatin1String("pdf")) {
    // The PDF writer reports no failed write, so the file it made is
    // checked whole before it takes the target's place.
    PendingFile pending(target);
    if (pending.Ready()) {
      QPdfWriter pdf(pending.Path());
      pdf.setResolution(96);
      pdf.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
      pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
      QPainter p;
      if (p.begin(&pdf)) {
        const double f = std::min(pdf.width() / double(width), pdf.height() / double(height));
        p.scale(f, f);
        host.render(&p);
        written = p.end();
      }
    }
    written = written && PdfComplete(pending.Path()) && pending.Commit();
  } else {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    host.render(&image);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    if (kind == QLatin1String("png")) {
      written = WriteWhole(target, png);
    } else {
      // The picture inside an SVG page of the same size.
      const QByteArray svg = QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
                             "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                             "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
                             QByteArray::number(width) + "\" height=\"" + QByteArray::number(height) +
                             "\" viewBox=\"0 0 " + QByteArray::number(width) + ' ' + QByteArray::number(height) +
                             "\">\n<image width=\"" + QByteArray::number(width) + "\" height=\"" +
                             QByteArray::number(height) + "\" xlink:href=\"data:image/png;base64," +
                             png.toBase64() + "\"/>\n</svg>\n";
      written = WriteWhole(target, svg);
    }
  }
  if (!written) {
    err << target.toStdString() << ": ファイルに保存できませんでした\n";
    return ExitFailed;
  }
  out << target.toStdString() << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
