// kavo-tool export: a measurement as a ZMA or CSV table for crossover and
// box simulators, or as the window's own text table.
#include <ostream>

#include "cli/Curves.h"
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Interchange.h"
#include "data/Kavo_file.h"

namespace kavo::cli {
namespace {

const Option ExportOptions[] = {
    {"--format", "zma|csv|txt", QT_TRANSLATE_NOOP("ToolText", "the kind of table (zma unless given)")},
    {"--raw", nullptr, QT_TRANSLATE_NOOP("ToolText", "the values unaveraged, not as the window shows them")},
    {"-o", "OUT", QT_TRANSLATE_NOOP("ToolText", "the table's file, - for standard output (beside FILE unless given)")},
};

}  // namespace

const Command ExportCommand{"export", "FILE.DTA", QT_TRANSLATE_NOOP("ToolText", "the curve as a ZMA, CSV or text table"),
                            ExportOptions, RunExport};

int RunExport(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(ExportCommand, args, line, out, err); status != Proceed) return status;
  const QString file = line.operands.front();
  const QString format = line.Value("--format", QStringLiteral("zma"));
  if (format != QLatin1String("zma") && format != QLatin1String("csv") && format != QLatin1String("txt"))
    return UsageError(ExportCommand, ToolText::tr("unknown format %1").arg(format), err);
  // Beside the measurement by default; a measurement from a pipe goes on down the pipe.
  QString target = line.Value("-o");
  if (target.isEmpty()) target = file == QLatin1String("-") ? file : WithSuffix(file, QLatin1Char('.') + format);
  if (CheckOutput(ExportCommand, target, {file}, {}, err) != Proceed) return ExitUsage;

  const std::unique_ptr<CurveSet> c = LoadCurve(file, 0, "export", err);
  if (!c) return ExitUnreadable;
  // Averaged values unless asked otherwise, as the window's default view.
  const PointValues& values = line.Has("--raw") ? c->raw : c->ave;
  bool written = false;
  if (format == QLatin1String("txt")) {
    const OutputFile output(target);
    written = KAVO_File().ExportText(output.Path(), c->serial, &values, &c->data) && output.Deliver(out);
  } else {
    const std::string text =
        format == QLatin1String("zma") ? ZmaText(values, c->data, file, c->serial) : CsvText(values, c->data);
    written = WriteOutput(target, QByteArray::fromStdString(text), out);
  }
  if (!written) {
    SayFile(err, "export", target, CannotBeWrittenText(), true);
    return ExitFailed;
  }
  if (target != QLatin1String("-")) out << Std(target) << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
