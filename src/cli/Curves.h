// kavo-tool: loading curves as the window does, for export, import and plot.
#pragma once

#include <QString>
#include <iosfwd>
#include <memory>
#include <string>

#include "data/Kavo_setting.h"

namespace kavo::cli {

// One data set with its numbers, as the window holds a measurement.
struct Curve {
  MeasureData data;
  PointValues raw, ave;
  std::string serial;
};

// Reads a .DTA file (or, when `tables` and the name is a .zma/.txt/.csv
// table, resamples the table on `band`, 0 for the first band it covers) and
// converts it; "-" is standard input. Null after writing "kavo-tool
// COMMAND: FILE: why" to `err`: a file that cannot be opened, the window's
// message, or the table reader's naming the line.
std::unique_ptr<Curve> LoadCurve(const QString& file, bool tables, int32_t band, const char* command,
                                 std::ostream& err);

// Writes `text` to `file` whole or not at all.
bool SaveText(const QString& file, const std::string& text);

// `name` with its suffix replaced by `suffix` (".zma").
QString WithSuffix(const QString& name, const QString& suffix);

}  // namespace kavo::cli
