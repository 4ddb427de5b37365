// Helpers shared by the data tests: point records built from their fields,
// filled data sets and line splitting of written files.
#pragma once

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "data/Kavo_setting.h"

namespace kavo::test {

// 18 upper-case hex characters: R code, theta code, frequency count, divisor.
inline std::string Record(uint32_t r, uint32_t theta, uint32_t count, uint32_t divisor) {
  char text[32];
  std::snprintf(text, sizeof text, "%04X%04X%06X%04X", r & 0xFFFF, theta & 0xFFFF,
                count & 0xFFFFFF, divisor & 0xFFFF);
  return text;
}

inline void SetSlot(MeasureData& data, int slot, const std::string& record) {
  std::memset(data.points[slot].c, 0, PointTextSize);
  std::memcpy(data.points[slot].c, record.data(), std::min<size_t>(record.size(), PointTextSize - 1));
}

// A record that differs from slot to slot and converts (divisor never 0);
// theta codes above 7FFF give negative angles.
inline std::string SlotRecord(int slot) {
  return Record(500 + static_cast<uint32_t>(slot * 37 % 900), static_cast<uint32_t>(slot * 977) & 0xFFFF,
                1311u + static_cast<uint32_t>(slot) * 3331u, 1u + static_cast<uint32_t>(slot % 3));
}

inline void FillBand(MeasureData& data, int32_t band) {
  data.band = band;
  for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) SetSlot(data, k, SlotRecord(k));
}

// Lines of a CR LF file without their line ends; fails the split (empty
// list) when a line lacks its CR before the LF or the text does not end in
// a line end.
inline QList<QByteArray> CrLfLines(const QByteArray& bytes) {
  QList<QByteArray> lines;
  qsizetype start = 0;
  while (start < bytes.size()) {
    const qsizetype lf = bytes.indexOf('\n', start);
    if (lf < 0 || lf == start || bytes[lf - 1] != '\r') return {};
    lines.append(bytes.mid(start, lf - 1 - start));
    start = lf + 1;
  }
  return lines;
}

}  // namespace kavo::test
