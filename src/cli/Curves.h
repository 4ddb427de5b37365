// kavo-tool: loading curves as the window does, for every command that reads one.
#pragma once

#include <QString>
#include <QStringList>
#include <iosfwd>
#include <memory>
#include <string>

#include "data/CurveFile.h"
#include "data/DataSets.h"

namespace kavo::cli {

// Reads a .DTA file or a .zma/.txt/.csv table (resampled on `band`, 0 for
// the first band it covers) and converts it; "-" is standard input. Null
// after writing "kavo-tool COMMAND: FILE: why" to `err`.
std::unique_ptr<CurveSet> LoadCurve(const QString& file, int32_t band, const char* command, std::ostream& err);

// The measurement `file` and the reference curves `refs` (tables on the
// measurement's band) into `sets`, as "開く" and "参照データ" fill the
// window's, for a command that draws them. ExitOk; ExitFailed without the
// widget application; ExitUnreadable after naming each file that failed.
int LoadSetsToDraw(const QString& file, const QStringList& refs, DataSets& sets, const char* command,
                   std::ostream& err);

// Writes `text` to `file` whole or not at all.
bool SaveText(const QString& file, const std::string& text);

// `name` with its suffix replaced by `suffix` (".zma").
QString WithSuffix(const QString& name, const QString& suffix);

}  // namespace kavo::cli
