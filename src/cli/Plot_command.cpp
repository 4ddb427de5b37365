// kavo-tool plot: the main window's graph as a PNG, SVG or PDF picture.
//
// The picture is the window's own graph: a GraphSheet (paint area, plotter
// bitmap and frame, the 35 scale labels) on a widget that is never shown,
// scaled by GraphView's rules, rendered into the file.
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <ostream>
#include <vector>

#include "cli/Curves.h"
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Kavo_file.h"
#include "graph/GraphSheet.h"
#include "graph/GraphView.h"
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
  // The output's name says the kind unless --format does; standard output,
  // a device or a pipe (/dev/stdout, >(...)) has no name for it and gets PNG.
  const QStringList inputs = QStringList{r.file} + r.refs;
  const bool named = !line.Has("--format");
  r.status = named ? CheckOutput(PlotCommand, r.target, inputs, {"png", "svg", "pdf"}, err)
                   : CheckOutput(PlotCommand, r.target, inputs, {}, err);
  if (r.status != Proceed) return r;
  const bool stream = r.target == QLatin1String("-") || IsStream(r.target);
  r.kind = line.Value("--format", stream ? QStringLiteral("png") : QFileInfo(r.target).suffix().toLower());
  if (r.kind != QLatin1String("png") && r.kind != QLatin1String("svg") && r.kind != QLatin1String("pdf"))
    return refuse(ToolText::tr("unknown format %1").arg(r.kind));
  if (r.refs.size() > MaxRefs) return refuse(ToolText::tr("at most %1 references").arg(MaxRefs));
  return r;
}

// Text grows and shrinks with the picture (the 800 x 600 default keeps the
// application's font), never below 8 pixels.
QFont PictureFont(QSize size) {
  QFont font = QApplication::font();
  const int base = QFontInfo(font).pixelSize();
  const double s = std::min(size.width() / 800.0, size.height() / 600.0);
  font.setPixelSize(std::max(static_cast<int>(std::lround(base * s)), std::min(base, 8)));
  return font;
}

// The sheet drawn as the window draws the measurement (with its references),
// less the scale labels that do not fit.
void RenderPlot(const PlotRequest& r, const DataSets& d, const SettingsRecord& colours, GraphView& view,
                GraphSheet& sheet) {
  view.Bind(d);
  view.ResetScale(d.mainData.band);
  sheet.BuildHosted(QSize(r.width, r.height), PictureFont(QSize(r.width, r.height)), r.rOnly);
  sheet.CreatePlotter(&colours, &view.Scale());
  sheet.ColorLabels(colours, Qt::black);
  const ViewOptions options{r.rOnly, r.wide, !r.raw};
  sheet.Redraw(view, d.refCount == 0 ? GraphSheet::Sets::Measurement : GraphSheet::Sets::Both, options);
  sheet.ThinLabels();
}

// The file in the kind its name asks for, whole or not at all; "-" is
// standard output.
bool WritePlot(const PlotRequest& r, const GraphSheet& sheet, std::ostream& out) {
  auto write = [&](const QByteArray& bytes) { return WriteOutput(r.target, bytes, out); };
  if (r.kind == QLatin1String("pdf")) return write(sheet.PdfBytes(r.width, r.height));
  if (r.kind == QLatin1String("svg")) return write(sheet.SvgBytes());
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  sheet.Picture().save(&buffer, "PNG");
  return write(png);
}

}  // namespace

const Command PlotCommand{.name = "plot",
                          .operands = "FILE.DTA",
                          .summary = QT_TRANSLATE_NOOP("ToolText", "the graph as a picture"),
                          .options = PlotOptions,
                          .run = RunPlot,
                          .needsWidgets = true};

int RunPlot(const QStringList& args, std::ostream& out, std::ostream& err) {
  const PlotRequest request = ParsePlot(args, out, err);
  if (request.status != Proceed) return request.status;
  const auto data = std::make_unique<DataSets>();  // a few hundred kilobytes: off the stack
  if (const int status = LoadSetsToDraw(request.file, request.refs, *data, "plot", err); status != ExitOk) return status;

  // Line colours from the settings file when there is one.
  SettingsRecord colours;
  ViewSettings view;
  KAVO_File().ReadSettings(SettingsPath(QString::fromLatin1(SettingsFileName)), &colours, &view);

  GraphView graph;
  GraphSheet sheet;
  RenderPlot(request, *data, colours, graph, sheet);
  if (!WritePlot(request, sheet, out)) {
    SayFile(err, "plot", request.target, CannotBeWrittenText(), true);
    return ExitFailed;
  }
  if (request.target != QLatin1String("-")) out << Std(request.target) << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
