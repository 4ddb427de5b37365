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
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Kavo_file.h"
#include "graph/Graph_rtf.h"
#include "graph/PaintBox.h"
#include "platform/Look.h"
#include "platform/Names.h"
#include "platform/Paths.h"

namespace kavo::cli {
namespace {

const Option PlotOptions[] = {
    {"--ref", "FILE", QT_TRANSLATE_NOOP("ToolText", "a reference curve (.DTA, .zma, .txt or .csv), up to 5"), Repeatable},
    {"--r-only", nullptr, QT_TRANSLATE_NOOP("ToolText", "R alone, without θ")},
    {"--wide", nullptr, QT_TRANSLATE_NOOP("ToolText", "the wide lines")},
    {"--raw", nullptr, QT_TRANSLATE_NOOP("ToolText", "the values unaveraged, not as the window shows them")},
    {"--size", "WxH", QT_TRANSLATE_NOOP("ToolText", "the picture's size in pixels, 200x150 to 4000x4000 (800x600 unless given)")},
    {"--format", "png|svg|pdf", QT_TRANSLATE_NOOP("ToolText", "the kind of picture (by OUT's extension unless given; png for -)")},
    {"-o", "OUT.png|svg|pdf", QT_TRANSLATE_NOOP("ToolText", "the picture's file, - for standard output"), Required},
};

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

// What the command line asks for.
struct PlotRequest {
  int status = Proceed;
  QString file, target, kind;
  QStringList refs;
  bool rOnly = false, wide = false, raw = false;
  int width = 800, height = 600;
};

PlotRequest ParsePlot(const QStringList& args, std::ostream& out, std::ostream& err) {
  PlotRequest r;
  CommandLine line;
  if ((r.status = ParseCommandLine(PlotCommand, args, line, out, err)) != Proceed) return r;
  auto refuse = [&](const QString& what) {
    r.status = UsageError(PlotCommand, what, err);
    return r;
  };
  r.file = line.operands.front();
  r.target = line.Value("-o");
  r.refs = line.Values("--ref");
  r.rOnly = line.Has("--r-only");
  r.wide = line.Has("--wide");
  r.raw = line.Has("--raw");
  if (line.Has("--size") && !ParseSize(line.Value("--size"), r.width, r.height))
    return refuse(ToolText::tr("--size is WxH, 200x150 to 4000x4000"));
  const bool toStdout = r.target == QLatin1String("-");
  if ((r.status = CheckOutput(PlotCommand, r.target, QStringList{r.file} + r.refs, {"png", "svg", "pdf"}, err)) != Proceed)
    return r;
  r.kind = line.Value("--format", toStdout ? QStringLiteral("png") : QFileInfo(r.target).suffix().toLower());
  if (r.kind != QLatin1String("png") && r.kind != QLatin1String("svg") && r.kind != QLatin1String("pdf"))
    return refuse(ToolText::tr("unknown format %1").arg(r.kind));
  if (!toStdout && QFileInfo(r.target).suffix().toLower() != r.kind)
    return refuse(ToolText::tr("%1: the output must end in .%2").arg(r.target, r.kind));
  if (r.refs.size() > MaxRefs) return refuse(ToolText::tr("at most %1 references").arg(MaxRefs));
  return r;
}

}  // namespace

const Command PlotCommand{"plot", "FILE.DTA", QT_TRANSLATE_NOOP("ToolText", "the graph as a picture"), PlotOptions,
                          RunPlot};

int RunPlot(const QStringList& args, std::ostream& out, std::ostream& err) {
  const PlotRequest request = ParsePlot(args, out, err);
  if (request.status != Proceed) return request.status;
  const QString &file = request.file, &target = request.target, &kind = request.kind;
  const QStringList& refs = request.refs;
  const bool rOnly = request.rOnly, wide = request.wide, raw = request.raw;
  const int width = request.width, height = request.height;

  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    Say(err, "plot", ToolText::tr("drawing needs the widget application"));
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
  // The bytes go whole into the file, or to standard output for "-".
  auto write = [&](const QByteArray& bytes) { return WriteOutput(target, bytes, out); };
  if (kind == QLatin1String("pdf")) {
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
      host.render(&p);
    }
    written = write(bytes);
  } else {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    host.render(&image);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    if (kind == QLatin1String("png")) {
      written = write(png);
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
      written = write(svg);
    }
  }
  if (!written) {
    SayFile(err, "plot", target, ToolText::tr("cannot be written"), true);
    return ExitFailed;
  }
  if (target != QLatin1String("-")) out << Std(target) << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
