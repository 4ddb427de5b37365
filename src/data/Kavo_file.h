// KAVO_File: the file object of the main window. Converts point records to
// numbers and reads and writes the .DTA data file, the settings file and the
// text export. It keeps no state between calls; each call opens, uses and
// closes its file. Texts inside the files are code page 932 bytes and pass
// through unchanged; file names are paths as QString.
//
// Every file is written whole or not at all (data/WholeFile.h).
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "data/Kavo_setting.h"
#include "data/Stringutil.h"

namespace kavo {

// The longest print information text, in code page 932 bytes, that the
// settings file keeps on its one "pstr:" line.
constexpr int MaxPrintInfoBytes = 243;
// One line of print information as the settings file keeps it: no line
// break, at most MaxPrintInfoBytes bytes in code page 932 (a character it
// lacks stored as one '?').
bool IsPrintInfoLine(std::string_view utf8);

class KAVO_File {
 public:
  // Converts the band of `data` into `raw` and the 3-point averaged `ave`.
  // Both are cleared first. False on a missing argument (nothing touched),
  // on a band that is not 1..4, or at the first record whose divisor is 0
  // (both valid flags stay 0; slots before it are converted).
  bool ConvertData(const MeasureData* data, PointValues* raw, PointValues* ave) const;

  // Converts slot `index` alone while a sweep runs: R and Theta into raw and
  // ave alike, the frequency too when the divisor is not 0. Valid flags are
  // not touched. False on a missing argument, an index outside 0..503 or a
  // divisor of 0.
  bool ConvertPoint(const MeasureData* data, PointValues* raw, int32_t index, PointValues* ave) const;

  // Reads a .DTA file into `data` (dateTime, band, slots as they are read).
  // `serial` and `portNum` are assigned only when the whole file is accepted;
  // either may be null when the caller has no use for it.
  bool ReadDataFile(const QString& fileName, std::string* serial, int32_t* portNum,
                    MeasureData* data) const;

  // Writes the band of `data` with the port number of `settings`. Refuses
  // (false, nothing written) what the reader could not read back: a band
  // outside 1..4, a port outside 1..256, a record that is not 18 characters,
  // a header text with a line break or too long for one line.
  bool WriteDataFile(const QString& fileName, const std::string& serial,
                     const SettingsRecord* settings, const MeasureData* data) const;

  // Reads the settings file. `settings` and `view` change only when the
  // whole file is accepted.
  bool ReadSettings(const QString& fileName, SettingsRecord* settings, ViewSettings* view) const;

  // Writes the 27 lines of the settings file. False, and nothing written,
  // when a print text holds a line break or is too long for one line.
  bool WriteSettings(const QString& fileName, const SettingsRecord* settings,
                     const ViewSettings* view) const;

  // Writes the tab-separated table of `values` over the band of `data`.
  // `serial` is accepted and not written.
  bool ExportText(const QString& fileName, const std::string& serial, const PointValues* values,
                  const MeasureData* data, char decimalSeparator = LocaleDecimalSeparator()) const;
};

}  // namespace kavo
