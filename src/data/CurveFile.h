// The one way from a file to a data set: a .DTA file or an impedance table
// (.zma, .txt, .csv) read and converted as "開く" and "参照データ" take them.
// The window, its analyses and kavo-tool all come through here; each turns
// the failure code into its own words (analysis/windows/AnalysisTexts,
// cli/Texts). Window-free.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "data/Kavo_setting.h"

namespace kavo {

// Why a file did not become a data set.
enum class LoadFailure {
  None,
  EmptyName,      // no name at all
  NoSuchFile,     // nothing of that name
  Folder,         // the name is a folder's
  CannotOpen,     // there, but this user may not read it
  TooLarge,       // larger than any curve file (MaxCurveFileBytes)
  NotData,        // not a data file the reader accepts
  Unconvertible,  // read, but a record cannot be converted
  Table,          // an impedance table that cannot be read or put on the grid
};

// No measurement or table is larger.
constexpr qint64 MaxCurveFileBytes = 16 * 1024 * 1024;

// The reasons a file cannot be read whatever it holds: EmptyName,
// NoSuchFile, Folder, CannotOpen, or TooLarge beyond `maxBytes`. None when
// it may be read. Nothing is opened (a FIFO cannot hang the caller).
LoadFailure CheckInputFile(const QString& file, qint64 maxBytes = MaxCurveFileBytes);

// How a file is taken.
struct CurveRead {
  // .zma, .txt and .csv names are impedance tables; false: every file is
  // read as a .DTA file (the window's "開く").
  bool tables = true;
  // The band a table is put on; 0 for the first band it covers.
  int32_t tableBand = 0;
  // The .DTA file's serial and COM port, assigned only when the whole file
  // was read; null when the caller has no use for them.
  std::string* serial = nullptr;
  int32_t* port = nullptr;
};

// Reads and converts `file` into `data`, `raw` and `ave`. `data` is valid
// exactly when None comes back; on failure it is cleared. For Table, `why`
// holds the table reader's reason naming the line.
LoadFailure ReadCurveFile(const QString& file, const CurveRead& how, MeasureData& data, PointValues& raw,
                          PointValues& ave, QString& why);

// A data set with its numbers, for the callers that hold one curve at a time.
struct CurveSet {
  MeasureData data;
  PointValues raw, ave;
  std::string serial;
};

// ReadCurveFile into `set`, its serial included.
LoadFailure ReadCurveSet(const QString& file, const CurveRead& how, CurveSet& set, QString& why);

}  // namespace kavo
