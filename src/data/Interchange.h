// Exchanging impedance curves with other programs: the ZMA and CSV tables
// written from a measurement, and the reader that turns a ZMA or a plain
// two- or three-column table (frequency, magnitude, phase) into a data set
// on the unit's frequency grid. Window-free; the main window's "読込み" and
// kavo-tool use the same code.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "data/Kavo_setting.h"

namespace kavo {

// The 18-character point record for R [Ω], θ [deg] and f [Hz], coded to the
// nearest step of each field (0.01 Ω, 0.1°; the frequency with the largest
// divisor that keeps the 24-bit count in range). False, record untouched,
// when a value cannot be coded: R outside 0..655.355, θ outside
// -3276.8..3276.8, f not above 0 or not finite.
bool EncodeRecord(double r, double thetaDeg, double freq, PointText& record);

// The band of `data` as a ZMA table: '*' comment lines naming the source,
// the serial and the date, then "frequency magnitude phase" per point, with
// a point as decimal separator whatever the locale. UTF-8.
std::string ZmaText(const PointValues& values, const MeasureData& data, const QString& sourceName,
                    const std::string& serial);
// The same as comma-separated values under a header line.
std::string CsvText(const PointValues& values, const MeasureData& data);

struct TablePoint {
  double freq;
  double r;
  double theta;
};

// Reads a table: lines starting with '*', '#' or ';' are comments; fields are
// separated by blanks or commas (in a line with tabs or semicolons between
// its fields a comma is a decimal comma, as KAVO's own text export and
// spreadsheets write it in such locales); a missing
// phase is 0. Up to three lines of text before the first number line are a
// heading. The points come back sorted by frequency, duplicates averaged.
// False with `error` naming the line and the reason when anything else is
// found, or when fewer than two distinct frequencies remain.
bool ReadTable(const QString& fileName, std::vector<TablePoint>& points, QString& error);
// The same on text already in memory.
bool ParseTable(const std::string& text, std::vector<TablePoint>& points, QString& error);

// True when the table covers every grid frequency of `band`.
bool TableCoversBand(const std::vector<TablePoint>& points, int32_t band);
// The first of bands 1..4 that the table covers; 0 when none.
int32_t CoveredBand(const std::vector<TablePoint>& points);

// Fills `data` (band, records of the band's slots, the other slots "0",
// dateTime) by interpolating the table on a logarithmic frequency axis at
// the grid frequencies. False, `data` untouched, with `error` when the
// table does not cover the band or a value cannot be coded.
bool ResampleTable(const std::vector<TablePoint>& points, int32_t band, const std::string& dateTime,
                   MeasureData& data, QString& error);

// ReadTable and ResampleTable in one; band 0 takes CoveredBand.
bool LoadTable(const QString& fileName, int32_t band, MeasureData& data, QString& error);

// True for names that the table reader takes (".zma", ".txt", ".csv", any case).
bool IsTableFileName(const QString& fileName);

}  // namespace kavo
