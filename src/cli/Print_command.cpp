// kavo-tool print: the page of "グラフ印刷" as a PDF. The same parts the
// window prints with — GraphView for the scales, a GraphSheet for the
// picture and the scale texts, TKAV_Print for the page — on a sheet that is
// never shown; no window is made.
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <ostream>
#include <vector>

#include "cli/Curves.h"
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "data/WholeFile.h"
#include "graph/GraphSheet.h"
#include "graph/GraphView.h"
#include "graph/Kavo_print.h"
#include "messages/Ka_texts.h"
#include "platform/desktop/Look.h"
#include "platform/Names.h"
#include "platform/Paths.h"

namespace kavo::cli {
namespace {

constexpr int MinDpi = 50, MaxDpi = PdfDpi;  // the window prints a PDF at 600 dpi at most

const Option PrintOptions[] = {
    {"--ref", "FILE", QT_TRANSLATE_NOOP("ToolText", "a reference curve (.DTA, .zma, .txt or .csv), up to 5"), Repeatable},
    {"--info", "TEXT", QT_TRANSLATE_NOOP("ToolText", "a line of the page's information, up to 3"), Repeatable},
    {"--landscape", nullptr, QT_TRANSLATE_NOOP("ToolText", "the page across (upright unless given)")},
    {"--dpi", "N", QT_TRANSLATE_NOOP("ToolText", "the resolution, 50 to 600 (600 unless given)")},
    {"-o", "PAGE.pdf", QT_TRANSLATE_NOOP("ToolText", "the page's file, - for standard output"), Required},
};

// What the command line asks for.
struct PrintRequest {
  int status = Proceed;
  QString file, output;
  QStringList refs, info;
  bool landscape = false;
  int dpi = MaxDpi;
};

PrintRequest ParsePrint(const QStringList& args, std::ostream& out, std::ostream& err) {
  PrintRequest r;
  CommandLine line;
  if ((r.status = ParseCommandLine(PrintCommand, args, line, out, err)) != Proceed) return r;
  auto refuse = [&](const QString& what) {
    r.status = UsageError(PrintCommand, what, err);
    return r;
  };
  r.file = line.operands.front();
  r.output = line.Value("-o");
  r.refs = line.Values("--ref");
  r.info = line.Values("--info");
  r.landscape = line.Has("--landscape");
  if (line.Has("--dpi")) {
    bool ok = false;
    r.dpi = line.Value("--dpi").toInt(&ok);
    if (!ok || r.dpi < MinDpi || r.dpi > MaxDpi)
      return refuse(ToolText::tr("--dpi takes a whole number from %1 to %2").arg(MinDpi).arg(MaxDpi));
  }
  if ((r.status = CheckOutput(PrintCommand, r.output, QStringList{r.file} + r.refs, {"pdf"}, err)) != Proceed) return r;
  if (r.info.size() > 3) return refuse(ToolText::tr("at most three --info lines"));
  // What the information window's lines accept.
  for (int k = 0; k < r.info.size(); ++k) {
    if (!IsPrintInfoLine(r.info[k].toStdString()))
      return refuse(ToolText::tr("--info line %1 is not one line of at most %2 bytes in code page 932")
                        .arg(k + 1)
                        .arg(MaxPrintInfoBytes));
  }
  if (r.refs.size() > MaxRefs) return refuse(ToolText::tr("at most %1 references").arg(MaxRefs));
  return r;
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
void DrawPrintSheet(const DataSets& d, const SettingsRecord& settings, const ViewOptions& options,
                    GraphView& view, GraphSheet& sheet) {
  view.Bind(d);
  view.ResetScale(d.mainData.band);
  sheet.BuildHosted(QSize(640, 480), ProgramFont(12), options.rOnly);
  sheet.CreatePlotter(&settings, &view.Scale());
  sheet.Redraw(view, d.refCount == 0 ? GraphSheet::Sets::Measurement : GraphSheet::Sets::Both, options);
}

// The page into the output (for "-" the file OutputFile gives); the printout
// puts a PDF in place only once it has been written whole.
bool WritePage(const PrintRequest& r, const GraphSheet& sheet, const SettingsRecord& info,
               const ViewOptions& options, bool withRefs, std::ostream& out) {
  const OutputFile page(r.output);
  const std::shared_ptr<QPrinter> printer = MakePrinter();
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setPageSize(QPageSize(QPageSize::A4));
  printer->setPageOrientation(r.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer->setResolution(r.dpi);
  printer->setOutputFileName(QFileInfo(page.Path()).absoluteFilePath());
  TKAV_Print job(*sheet.Plotter(), *printer, info, sheet.Labels());
  return job.Print(options.rOnly, options.wide, withRefs) && page.Deliver(out);
}

}  // namespace

const Command PrintCommand{.name = "print",
                           .operands = "FILE.DTA",
                           .summary = QT_TRANSLATE_NOOP("ToolText", "the printed page of the graph as a PDF"),
                           .options = PrintOptions,
                           .run = RunPrint,
                           .needsWidgets = true};

int RunPrint(const QStringList& args, std::ostream& out, std::ostream& err) {
  const PrintRequest request = ParsePrint(args, out, err);
  if (request.status != Proceed) return request.status;
  const auto data = std::make_unique<DataSets>();  // a few hundred kilobytes: off the stack
  if (const int status = LoadSetsToDraw(request.file, request.refs, *data, "print", err); status != ExitOk) return status;

  SettingsRecord settings;
  ViewSettings stored;
  ReadStoredSettings(settings, stored);
  // The information lines as typed into "グラフ印刷"'s window.
  for (int k = 0; k < 3; ++k) settings.pstr[k] = k < request.info.size() ? ToCp932(request.info[k]) : std::string();
  const ViewOptions options{stored.fronly != 0, stored.fwide != 0, stored.fave3 != 0};

  GraphView view;
  GraphSheet sheet;
  DrawPrintSheet(*data, settings, options, view, sheet);
  SetWriteError(0);
  if (!WritePage(request, sheet, settings, options, data->refCount > 0, out)) {
    // A write that failed says why; anything else is the window's message.
    const QString why = WriteErrorText().isEmpty() ? Catalogue(QString::fromUtf8(msgtext::PrintError))
                                                   : CannotBeWrittenText();
    SayFile(err, "print", request.output, why, true);
    return ExitFailed;
  }
  if (request.output != QLatin1String("-")) out << Std(QFileInfo(request.output).absoluteFilePath()) << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
