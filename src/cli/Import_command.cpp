// kavo-tool import: an impedance table from another program as a .DTA file
// on the unit's frequency grid.
#include <QFileInfo>
#include <ostream>

#include "cli/Curves.h"
#include "cli/KavoTool.h"
#include "data/Interchange.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"

namespace kavo::cli {
namespace {

const char* const ImportUsage = "usage: kavo-tool import TABLE -o OUT.DTA [--band N]\n";

int ImportUsageError(std::ostream& err, const std::string& what) {
  err << "kavo-tool import: " << what << '\n' << ImportUsage;
  return ExitUsage;
}

// Stands in for the unit's serial number in files made from tables.
const char* const ImportedSerial = "IMPORT";

}  // namespace

int RunImport(const QStringList& args, std::ostream& out, std::ostream& err) {
  QString file, target;
  int32_t band = 0;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("-o") || a == QLatin1String("--band")) {
      if (i + 1 >= args.size()) return ImportUsageError(err, a.toStdString() + " needs a value");
      const QString v = args[++i];
      if (a == QLatin1String("-o")) {
        target = v;
      } else {
        bool ok = false;
        band = v.toInt(&ok);
        if (!ok || !IsBand(band)) return ImportUsageError(err, "--band is 1, 2, 3 or 4");
      }
    } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
      return ImportUsageError(err, "unknown option " + a.toStdString());
    } else if (file.isEmpty()) {
      file = a;
    } else {
      return ImportUsageError(err, "one table only");
    }
  }
  if (file.isEmpty()) return ImportUsageError(err, "no table given");
  if (target.isEmpty()) return ImportUsageError(err, "-o OUT.DTA is required");
  if (QFileInfo(target).absoluteFilePath() == QFileInfo(file).absoluteFilePath())
    return ImportUsageError(err, "the output would replace the table");

  std::vector<TablePoint> points;
  QString why;
  if (!ReadTable(file, points, why)) {
    err << "kavo-tool import: " << file.toStdString() << ": " << why.toStdString() << '\n';
    return ExitUnreadable;
  }
  if (band == 0) band = CoveredBand(points);
  if (band == 0) band = 1;  // the refusal then names the full band
  auto data = std::make_unique<MeasureData>();
  if (!ResampleTable(points, band, NowText(), *data, why)) {
    err << "kavo-tool import: " << file.toStdString() << ": " << why.toStdString() << '\n';
    return ExitFailed;
  }
  // The writer replaces the target whole or leaves nothing behind.
  const SettingsRecord settings;
  if (!KAVO_File().WriteDataFile(target, ImportedSerial, &settings, data.get())) {
    err << target.toStdString() << ": ファイルに保存できませんでした\n";
    return ExitFailed;
  }
  out << target.toStdString() << '\t' << BandPointCount(band) << " points, band " << band << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
