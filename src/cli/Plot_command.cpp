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
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <ostream>
#include <vector>

#include "cli/Curves.h"
#include "cli/KavoTool.h"
#include "data/Kavo_file.h"
#include "graph/GraphSheet.h"
#include "graph/GraphView.h"
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

struct PlotRequest {
  QString file, target, kind;
  QStringList refs;
  bool rOnly = false, wide = false, raw = false;
  int width = 800, height = 600;
};

bool ParseSize(const QString& text, int& w, int& h) {
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d{2,5})x(\\d{2,5})$")).match(text);
  if (!m.hasMatch()) return false;
  w = m.captured(1).toInt();
  h = m.captured(2).toInt();
  return w >= 200 && h >= 150 && w <= 4000 && h <= 4000;
}

// The command line into `r`; ExitOk, or the usage error's status.
int ParsePlot(const QStringList& args, PlotRequest& r, std::ostream& err) {
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("-o") || a == QLatin1String("--ref") || a == QLatin1String("--size")) {
      if (i + 1 >= args.size()) return PlotUsageError(err, a.toStdString() + " needs a value");
      const QString v = args[++i];
      if (a == QLatin1String("-o")) r.target = v;
      else if (a == QLatin1String("--ref")) r.refs << v;
      else if (!ParseSize(v, r.width, r.height)) return PlotUsageError(err, "--size is WxH, 200x150 to 4000x4000");
    } else if (a == QLatin1String("--r-only")) {
      r.rOnly = true;
    } else if (a == QLatin1String("--wide")) {
      r.wide = true;
    } else if (a == QLatin1String("--raw")) {
      r.raw = true;
    } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
      return PlotUsageError(err, "unknown option " + a.toStdString());
    } else if (r.file.isEmpty()) {
      r.file = a;
    } else {
      return PlotUsageError(err, "one measurement only; references with --ref");
    }
  }
  if (r.file.isEmpty()) return PlotUsageError(err, "no file given");
  if (r.target.isEmpty()) return PlotUsageError(err, "-o OUT.png|svg|pdf is required");
  r.kind = QFileInfo(r.target).suffix().toLower();
  if (r.kind != QLatin1String("png") && r.kind != QLatin1String("svg") && r.kind != QLatin1String("pdf"))
    return PlotUsageError(err, "the output must end in .png, .svg or .pdf");
  if (r.refs.size() > MaxRefs) return PlotUsageError(err, "at most 5 references");
  return ExitOk;
}

// The loaded sets as the window holds them: the view reads them from here.
struct PlotData {
  std::unique_ptr<Curve> main;
  std::vector<std::unique_ptr<Curve>> refs;

  GraphSources Sources() const {
    GraphSources s;
    s.main = &main->data;
    s.raw = &main->raw;
    s.ave = &main->ave;
    for (size_t k = 0; k < refs.size(); ++k) {
      s.refs[k] = &refs[k]->data;
      s.refRaw[k] = &refs[k]->raw;
      s.refAve[k] = &refs[k]->ave;
    }
    return s;
  }
};

int LoadPlotData(const PlotRequest& r, PlotData& d, std::ostream& err) {
  d.main = LoadCurve(r.file, false, 0, "plot", err);
  if (!d.main) return ExitUnreadable;
  for (const QString& ref : r.refs) {
    d.refs.push_back(LoadCurve(ref, true, d.main->data.band, "plot", err));
    if (!d.refs.back()) return ExitUnreadable;
  }
  return ExitOk;
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
void RenderPlot(const PlotRequest& r, const PlotData& d, const SettingsRecord& colours, GraphView& view,
                GraphSheet& sheet) {
  view.Bind(d.Sources());
  view.ResetScale(d.main->data.band);
  sheet.BuildHosted(QSize(r.width, r.height), PictureFont(QSize(r.width, r.height)), r.rOnly);
  sheet.CreatePlotter(&colours, &view.Scale());
  sheet.ColorLabels(colours, Qt::black);
  const ViewOptions options{r.rOnly, r.wide, !r.raw};
  sheet.Redraw(view, d.refs.empty() ? GraphSheet::Sets::Measurement : GraphSheet::Sets::Both, options);
  sheet.ThinLabels();
}

bool WriteBytes(const QString& file, const QByteArray& bytes) {
  QSaveFile out(file);
  return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

QByteArray PdfBytes(const GraphSheet& sheet, int width, int height) {
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
    sheet.RenderTo(p);
  }
  return bytes;
}

// The picture inside an SVG page of the same size.
QByteArray SvgBytes(const QByteArray& png, int width, int height) {
  const QByteArray w = QByteArray::number(width), h = QByteArray::number(height);
  return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
         "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" + w +
         "\" height=\"" + h + "\" viewBox=\"0 0 " + w + ' ' + h + "\">\n<image width=\"" + w + "\" height=\"" + h +
         "\" xlink:href=\"data:image/png;base64," + png.toBase64() + "\"/>\n</svg>\n";
}

// The file in the kind its name asks for, whole or not at all.
bool WritePlot(const PlotRequest& r, const GraphSheet& sheet) {
  if (r.kind == QLatin1String("pdf")) return WriteBytes(r.target, PdfBytes(sheet, r.width, r.height));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  sheet.Picture().save(&buffer, "PNG");
  return WriteBytes(r.target, r.kind == QLatin1String("png") ? png : SvgBytes(png, r.width, r.height));
}

}  // namespace

int RunPlot(const QStringList& args, std::ostream& out, std::ostream& err) {
  PlotRequest request;
  if (const int status = ParsePlot(args, request, err); status != ExitOk) return status;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    err << "kavo-tool plot: drawing needs the widget application\n";
    return ExitFailed;
  }
  PlotData data;
  if (const int status = LoadPlotData(request, data, err); status != ExitOk) return status;

  // Line colours from the settings file when there is one.
  SettingsRecord colours;
  ViewSettings view;
  KAVO_File().ReadSettings(SettingsPath(QString::fromLatin1(SettingsFileName)), &colours, &view);

  GraphView graph;
  GraphSheet sheet;
  RenderPlot(request, data, colours, graph, sheet);
  if (!WritePlot(request, sheet)) {
    err << request.target.toStdString() << ": ファイルに保存できませんでした\n";
    return ExitFailed;
  }
  out << request.target.toStdString() << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
