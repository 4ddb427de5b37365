// kavo-tool import: an impedance table from another program as a .DTA file
// on the unit's frequency grid.
#include <ostream>

#include "cli/Curves.h"
#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Interchange.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"

namespace kavo::cli {
namespace {

const Option ImportOptions[] = {
    {"-o", "OUT.DTA", QT_TRANSLATE_NOOP("ToolText", "the measurement file to write, - for standard output"), Required},
    {"--band", "N", QT_TRANSLATE_NOOP("ToolText", "the band 1-4 (the first band the table covers whole unless given)")},
};

// Stands in for the unit's serial number in files made from tables.
const char* const ImportedSerial = "IMPORT";

QString Range(double lo, double hi) {
  return QStringLiteral("%1–%2 Hz").arg(lo, 0, 'g', 6).arg(hi, 0, 'g', 6);
}

// Why the first bands were passed over, for a band chosen without --band.
QString BandChoice(const std::vector<TablePoint>& points, int32_t band) {
  QStringList skipped;
  for (int32_t b = 1; b < band; ++b)
    skipped << ToolText::tr("band %1 needs %2").arg(b).arg(Range(BandFreqMin(b), BandFreqMax(b)));
  return ToolText::tr("band %1 (%2, %3 points) chosen: the table holds %4; %5")
      .arg(band)
      .arg(Range(BandFreqMin(band), BandFreqMax(band)))
      .arg(BandPointCount(band))
      .arg(Range(points.front().freq, points.back().freq), skipped.join(QStringLiteral(", ")));
}

}  // namespace

const Command ImportCommand{"import", "TABLE",
                            QT_TRANSLATE_NOOP("ToolText", "a ZMA or text table from another program as a .DTA file"),
                            ImportOptions, RunImport};

int RunImport(const QStringList& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  if (const int status = ParseCommandLine(ImportCommand, args, line, out, err); status != Proceed) return status;
  const QString file = line.operands.front(), target = line.Value("-o");
  int32_t band = 0;
  if (line.Has("--band")) {
    bool ok = false;
    band = line.Value("--band").toInt(&ok);
    if (!ok || !IsBand(band)) return UsageError(ImportCommand, ToolText::tr("--band is 1, 2, 3 or 4"), err);
  }
  if (CheckOutput(ImportCommand, target, {file}, {}, err) != Proceed) return ExitUsage;

  InputFile input;
  std::vector<TablePoint> points;
  QString why;
  if (!input.Open(file, why) || !ReadTable(input.Path(), points, why)) {
    SayFile(err, "import", file, why);
    return ExitUnreadable;
  }
  if (band == 0) {
    band = CoveredBand(points);
    if (band > 1) SayFile(err, "import", file, BandChoice(points, band));
  }
  if (band == 0) band = 1;  // the refusal then names the full band
  auto data = std::make_unique<MeasureData>();
  if (!ResampleTable(points, band, NowText(), *data, why)) {
    SayFile(err, "import", file, why);
    return ExitFailed;
  }
  // The writer replaces the target whole or leaves nothing behind.
  const SettingsRecord settings;
  const OutputFile output(target);
  if (!KAVO_File().WriteDataFile(output.Path(), ImportedSerial, &settings, data.get()) || !output.Deliver(out)) {
    SayFile(err, "import", target, CannotBeWrittenText(), true);
    return ExitFailed;
  }
  if (!output.ToStdout()) out << Std(target) << '\t' << BandPointCount(band) << " points, band " << band << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
