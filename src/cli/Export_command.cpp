// kavo-tool export: a measurement as a ZMA or CSV table for crossover and
// box simulators, or as the window's own text table.
#include <ostream>

#include "cli/Curves.h"
#include "cli/KavoTool.h"
#include "data/Interchange.h"
#include "data/Kavo_file.h"

namespace kavo::cli {
namespace {

const char* const ExportUsage = "usage: kavo-tool export FILE.DTA [--format zma|csv|txt] [--raw] [-o OUT|-o -]\n";

int ExportUsageError(std::ostream& err, const std::string& what) {
  err << "kavo-tool export: " << what << '\n' << ExportUsage;
  return ExitUsage;
}

}  // namespace

int RunExport(const QStringList& args, std::ostream& out, std::ostream& err) {
  QString file, target, format = QStringLiteral("zma");
  bool raw = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--format") || a == QLatin1String("-o")) {
      if (i + 1 >= args.size()) return ExportUsageError(err, a.toStdString() + " needs a value");
      (a == QLatin1String("-o") ? target : format) = args[++i];
    } else if (a == QLatin1String("--raw")) {
      raw = true;
    } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
      return ExportUsageError(err, "unknown option " + a.toStdString());
    } else if (file.isEmpty()) {
      file = a;
    } else {
      return ExportUsageError(err, "one file only");
    }
  }
  if (file.isEmpty()) return ExportUsageError(err, "no file given");
  if (format != QLatin1String("zma") && format != QLatin1String("csv") && format != QLatin1String("txt"))
    return ExportUsageError(err, "unknown format " + format.toStdString());
  if (target.isEmpty()) target = WithSuffix(file, QLatin1Char('.') + format);
  if (target == file) return ExportUsageError(err, "the output would replace the measurement");
  // "-o -" sends a ZMA or CSV table to standard output, for pipes.
  const bool toStdout = target == QLatin1String("-");
  if (toStdout && format == QLatin1String("txt")) return ExportUsageError(err, "txt is written to a file only");

  const std::unique_ptr<Curve> c = LoadCurve(file, false, 0, "export", err);
  if (!c) return ExitUnreadable;
  // Averaged values unless asked otherwise, as the window's default view.
  const PointValues& values = raw ? c->raw : c->ave;
  bool written = false;
  if (format == QLatin1String("txt")) {
    written = KAVO_File().ExportText(target, c->serial, &values, &c->data);
  } else {
    const std::string text =
        format == QLatin1String("zma") ? ZmaText(values, c->data, file, c->serial) : CsvText(values, c->data);
    if (toStdout) {
      out << text;
      return ExitOk;
    }
    written = SaveText(target, text);
  }
  if (!written) {
    err << target.toStdString() << ": ファイルに保存できませんでした\n";
    return ExitFailed;
  }
  out << target.toStdString() << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
