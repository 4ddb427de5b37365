// kavo-tool print: the page of "グラフ印刷" as a PDF. The same parts the
// window prints with — GraphView for the scales, a GraphSheet for the
// picture and the scale texts, TKAV_Print for the page — on a sheet that is
// never shown; no window is made.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryFile>
#include <cstdio>
#include <ostream>
#include <vector>

#include "cli/Curves.h"
#include "cli/KavoTool.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "graph/GraphSheet.h"
#include "graph/GraphView.h"
#include "graph/Kavo_print.h"
#include "graph/Kavo_printinfo.h"
#include "messages/Ka_texts.h"
#include "platform/Look.h"
#include "platform/Names.h"
#include "platform/Paths.h"

namespace kavo::cli {
namespace {

constexpr const char* PrintUsage =
    "FILE.DTA [--ref FILE]... [--info TEXT]... [--landscape] [--dpi N] -o PAGE.pdf";
constexpr int MinDpi = 50, MaxDpi = PdfDpi;  // the window prints a PDF at 600 dpi at most

int UsageError(std::ostream& err, const std::string& what) {
  err << "kavo-tool print: " << what << "\nusage: kavo-tool print " << PrintUsage << '\n';
  return ExitUsage;
}

struct PrintRequest {
  QString file, output;
  QStringList refs, info;
  bool landscape = false;
  int dpi = MaxDpi;
};

// The command line into `r`; ExitOk, or the usage error's status.
int ParsePrint(const QStringList& args, PrintRequest& r, std::ostream& err) {
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool valued = a == QLatin1String("--ref") || a == QLatin1String("--info") || a == QLatin1String("--dpi") ||
                        a == QLatin1String("-o");
    if (valued && i + 1 >= args.size()) return UsageError(err, a.toStdString() + " needs a value");
    if (a == QLatin1String("--ref")) {
      r.refs << args[++i];
    } else if (a == QLatin1String("--info")) {
      r.info << args[++i];
    } else if (a == QLatin1String("--dpi")) {
      bool ok = false;
      r.dpi = args[++i].toInt(&ok);
      if (!ok || r.dpi < MinDpi || r.dpi > MaxDpi)
        return UsageError(err, "--dpi takes a whole number from " + std::to_string(MinDpi) + " to " +
                                   std::to_string(MaxDpi));
    } else if (a == QLatin1String("-o")) {
      r.output = args[++i];
    } else if (a == QLatin1String("--landscape")) {
      r.landscape = true;
    } else if (a.startsWith(QLatin1Char('-'))) {
      return UsageError(err, "unknown option " + a.toStdString());
    } else if (r.file.isEmpty()) {
      r.file = a;
    } else {
      return UsageError(err, "one measurement file only (references with --ref)");
    }
  }
  if (r.file.isEmpty()) return UsageError(err, "no file given");
  if (r.output.isEmpty()) return UsageError(err, "no output given (-o PAGE.pdf)");
  if (r.info.size() > 3) return UsageError(err, "at most three --info lines");
  // What the information window's lines accept: one line each, at most
  // MaxPrintInfoBytes bytes in code page 932.
  const PrintInfoValidator lineCheck;
  for (int k = 0; k < r.info.size(); ++k) {
    QString line = r.info[k];
    int pos = 0;
    if (lineCheck.validate(line, pos) != QValidator::Acceptable)
      return UsageError(err, "--info line " + std::to_string(k + 1) + " is not one line of at most " +
                                 std::to_string(MaxPrintInfoBytes) + " bytes in code page 932");
  }
  if (r.refs.size() > MaxRefs) return UsageError(err, "at most " + std::to_string(MaxRefs) + " references");
  return ExitOk;
}

// The measurement and references as "開く" and "読込み" take them.
struct PrintData {
  std::unique_ptr<Curve> main;
  std::vector<std::unique_ptr<Curve>> refs;
};

int LoadPrintData(const PrintRequest& r, PrintData& d, std::ostream& err) {
  d.main = LoadCurve(r.file, false, 0, "print", err);
  if (!d.main) return ExitUnreadable;
  for (const QString& ref : r.refs) {
    d.refs.push_back(LoadCurve(ref, true, d.main->data.band, "print", err));
    if (!d.refs.back()) return ExitUnreadable;
  }
  return ExitOk;
}

GraphSources SourcesOf(const PrintData& d) {
  GraphSources s;
  s.main = &d.main->data;
  s.raw = &d.main->raw;
  s.ave = &d.main->ave;
  for (size_t k = 0; k < d.refs.size(); ++k) {
    s.refs[k] = &d.refs[k]->data;
    s.refRaw[k] = &d.refs[k]->raw;
    s.refAve[k] = &d.refs[k]->ave;
  }
  return s;
}

// The stored colours and view options as the window takes them at start;
// the defaults when there is no settings file (none is created from here).
void ReadStoredSettings(SettingsRecord& settings, ViewSettings& view) {
  SetDefaults(settings);
  if (!KAVO_File().ReadSettings(SettingsPath(QString::fromLatin1(SettingsFileName)), &settings, &view)) {
    SetDefaults(settings);
    view = ViewSettings();
  }
}

// The window's graph after "開く": its scale labels hold the texts the page
// prints. The labels use the window's font, so the page's text positions
// are the window's.
void DrawPrintSheet(const PrintData& d, const SettingsRecord& settings, const ViewOptions& options,
                    GraphView& view, GraphSheet& sheet) {
  view.Bind(SourcesOf(d));
  view.ResetScale(d.main->data.band);
  sheet.BuildHosted(QSize(640, 480), ProgramFont(12), options.rOnly);
  sheet.CreatePlotter(&settings, &view.Scale());
  sheet.Redraw(view, d.refs.empty() ? GraphSheet::Sets::Measurement : GraphSheet::Sets::Both, options);
}

// The page printed into a temporary file beside `target`, renamed over it
// once the printer has finished it.
bool WritePage(const PrintRequest& r, const GraphSheet& sheet, const SettingsRecord& info,
               const ViewOptions& options, bool withRefs) {
  const QString target = QFileInfo(r.output).absoluteFilePath();
  QTemporaryFile part(target + QStringLiteral(".XXXXXX"));
  if (!part.open()) return false;
  part.close();
  const std::shared_ptr<QPrinter> printer = MakePrinter();
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setPageSize(QPageSize(QPageSize::A4));
  printer->setPageOrientation(r.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer->setResolution(r.dpi);
  printer->setOutputFileName(part.fileName());
  TKAV_Print job(*sheet.Plotter(), *printer, info, sheet.Labels());
  if (!job.Print(options.rOnly, options.wide, withRefs)) return false;
  return std::rename(QFile::encodeName(part.fileName()).constData(), QFile::encodeName(target).constData()) == 0;
}

}  // namespace

int RunPrint(const QStringList& args, std::ostream& out, std::ostream& err) {
  PrintRequest request;
  if (const int status = ParsePrint(args, request, err); status != ExitOk) return status;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    err << "kavo-tool print: needs the widget application\n";
    return ExitFailed;
  }
  PrintData data;
  if (const int status = LoadPrintData(request, data, err); status != ExitOk) return status;

  SettingsRecord settings;
  ViewSettings stored;
  ReadStoredSettings(settings, stored);
  // The information lines as typed into "グラフ印刷"'s window.
  for (int k = 0; k < 3; ++k) settings.pstr[k] = k < request.info.size() ? ToCp932(request.info[k]) : std::string();
  const ViewOptions options{stored.fronly != 0, stored.fwide != 0, stored.fave3 != 0};

  GraphView view;
  GraphSheet sheet;
  DrawPrintSheet(data, settings, options, view, sheet);
  if (!WritePage(request, sheet, settings, options, !data.refs.empty())) {
    err << "kavo-tool print: " << msgtext::PrintError << '\n';
    return ExitFailed;
  }
  out << QFileInfo(request.output).absoluteFilePath().toStdString() << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
