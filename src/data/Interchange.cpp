// Exchange tables: see data/Interchange.h.
#include "data/Interchange.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "data/Kavo_data.h"
#include "data/Stringutil.h"

namespace kavo {
namespace {

// The reader's messages are the window's (Japanese); kavo-tool translates
// them for a user in another language.
struct Table {
  Q_DECLARE_TR_FUNCTIONS(Interchange)
};

// Larger files are not impedance tables; reading them whole would only
// hold the program up.
constexpr qint64 MaxTableBytes = 16 * 1024 * 1024;
// The end points of the table may sit a hair inside the band's ends: a ZMA
// written from a measurement holds the recorded frequencies, which carry
// the record's resolution and the printed digits.
constexpr double EdgeTolerance = 1e-3;
constexpr int MaxHeadingLines = 3;

// Always a point: the tool's process takes the user's locale for printf.
std::string Fixed(double v, int decimals) { return QByteArray::number(v, 'f', decimals).toStdString(); }

// One number field in the "C" locale; the whole field must be the number.
bool ParseField(std::string field, bool decimalComma, double& value) {
  if (decimalComma) std::replace(field.begin(), field.end(), ',', '.');
  if (field.empty()) return false;
  const QByteArray bytes(field.data(), static_cast<qsizetype>(field.size()));
  bool ok = false;
  value = bytes.toDouble(&ok);  // locale-independent
  return ok && std::isfinite(value);
}

std::vector<std::string> SplitFields(const std::string& line, bool& decimalComma) {
  // Tabs or semicolons between the fields leave the comma to the numbers.
  decimalComma = line.find_first_of("\t;") != std::string::npos;
  std::vector<std::string> fields;
  std::string cur;
  for (char c : line) {
    const bool sep = c == ' ' || c == '\t' || c == ';' || (!decimalComma && c == ',');
    if (sep) {
      if (!cur.empty()) fields.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) fields.push_back(cur);
  return fields;
}

// The table as bytes with "\n" line ends: UTF-16 (marked, or unmarked but
// with the zero bytes of plain ASCII) is decoded into the code page the
// reader expects; "\r\n" and a lone "\r" end a line as "\n" does.
std::string TableText(const std::string& bytes) {
  const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  int utf16 = 0;  // 1 little-endian, 2 big-endian
  size_t skip = 0;
  if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) utf16 = 1, skip = 2;
  else if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) utf16 = 2, skip = 2;
  else if (bytes.size() >= 2 && at(0) != 0 && at(1) == 0) utf16 = 1;
  else if (bytes.size() >= 2 && at(0) == 0 && at(1) != 0) utf16 = 2;
  std::string text;
  if (utf16) {
    std::u16string units;
    for (size_t i = skip; i + 1 < bytes.size(); i += 2)
      units += static_cast<char16_t>(utf16 == 1 ? at(i) | at(i + 1) << 8 : at(i) << 8 | at(i + 1));
    text = ToCp932(QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())));
  } else {
    text = bytes;
  }
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') out += text[i];
    else if (i + 1 >= text.size() || text[i + 1] != '\n') out += '\n';
  }
  return out;
}

QString LineText(const std::string& line) {
  QString t = FromCp932(line.substr(0, 40));
  return t;
}

}  // namespace

bool EncodeRecord(double r, double thetaDeg, double freq, PointText& record) {
  if (!std::isfinite(r) || !std::isfinite(thetaDeg) || !std::isfinite(freq) || !(freq > 0.0)) return false;
  // The decoder reads code·0.01 + 0.005 and code·0.1 + 0.05.
  // Values within half a step of the ends take the end code (0 Ω is code 0).
  if (r < 0.0 || r > 655.355 || thetaDeg < -3276.8 || thetaDeg > 3276.8) return false;
  const long long rCode = std::clamp(std::llround((r - 0.005) / 0.01), 0LL, 0xFFFFLL);
  long long tCode = std::clamp(std::llround((thetaDeg - 0.05) / 0.1), -0x8000LL, 0x7FFFLL);
  if (tCode < 0) tCode += 0x10000;
  // f = count · (1000/65536) / divisor: the largest divisor that keeps the
  // count within 24 bits gives the finest resolution.
  const double perDivisor = freq / (1000.0 / 65536.0);
  long long divisor = static_cast<long long>(std::floor(double(0xFFFFFF) / perDivisor));
  divisor = std::clamp(divisor, 1LL, 0xFFFFLL);
  const long long count = std::llround(perDivisor * double(divisor));
  if (count < 1 || count > 0xFFFFFF) return false;
  char text[32];
  std::snprintf(text, sizeof text, "%04llX%04llX%06llX%04llX", rCode, tCode, count, divisor);
  std::memset(record.c, 0, sizeof record.c);
  std::memcpy(record.c, text, RecordLength);
  return true;
}

std::string ZmaText(const PointValues& values, const MeasureData& data, const QString& sourceName,
                    const std::string& serial) {
  std::string out;
  out += "* KAVO impedance data\n";
  out += "* source: " + QFileInfo(sourceName).fileName().toStdString() + "\n";
  out += "* serial: " + Cp932ToUtf8(serial) + "\n";
  out += "* date: " + Cp932ToUtf8(data.dateTime) + "\n";
  out += "* frequency [Hz]  magnitude [ohm]  phase [deg]\n";
  if (!IsBand(data.band)) return out;
  for (int k = BandFirstSlot(data.band); k <= BandLastSlot(data.band); ++k)
    out += Fixed(values.Freq[k], 4) + ' ' + Fixed(values.R[k], 4) + ' ' + Fixed(values.Theta[k], 3) + '\n';
  return out;
}

std::string CsvText(const PointValues& values, const MeasureData& data) {
  std::string out = "frequency_hz,magnitude_ohm,phase_deg\n";
  if (!IsBand(data.band)) return out;
  for (int k = BandFirstSlot(data.band); k <= BandLastSlot(data.band); ++k)
    out += Fixed(values.Freq[k], 4) + ',' + Fixed(values.R[k], 4) + ',' + Fixed(values.Theta[k], 3) + '\n';
  return out;
}

bool ParseTable(const std::string& bytes, std::vector<TablePoint>& points, QString& error) {
  const std::string text = TableText(bytes);
  std::vector<TablePoint> read;
  int heading = 0;
  int lineNo = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (lineNo == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // UTF-8 mark
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    const char lead = line[first];
    if (lead == '*' || lead == '#' || lead == ';') continue;
    bool decimalComma = false;
    const std::vector<std::string> fields = SplitFields(line, decimalComma);
    double v[3] = {0, 0, 0};
    bool numbers = true;
    size_t bad = 0;
    for (size_t i = 0; i < fields.size() && i < 3; ++i)
      if (!ParseField(fields[i], decimalComma, v[i])) {
        numbers = false;
        bad = i;
        break;
      }
    if (!numbers) {
      // A few lines of column names before the numbers are a heading.
      if (read.empty() && heading < MaxHeadingLines && bad == 0) {
        ++heading;
        continue;
      }
      error = Table::tr("%1行目: 数値として読めません (「%2」)").arg(lineNo).arg(LineText(fields[bad]));
      return false;
    }
    if (fields.size() < 2 || fields.size() > 3) {
      error = Table::tr("%1行目: 周波数・インピーダンス・位相の2列か3列が必要です (%2列あります)")
                  .arg(lineNo)
                  .arg(fields.size());
      return false;
    }
    if (!(v[0] > 0.0)) {
      error = Table::tr("%1行目: 周波数は正の値でなければなりません").arg(lineNo);
      return false;
    }
    if (v[1] < 0.0 || v[1] > 655.35) {
      error = Table::tr("%1行目: インピーダンスが範囲外です (0～655.35Ω)").arg(lineNo);
      return false;
    }
    if (std::fabs(v[2]) > 360.0) {
      error = Table::tr("%1行目: 位相が範囲外です (-360～360deg)").arg(lineNo);
      return false;
    }
    read.push_back({v[0], v[1], v[2]});
  }
  if (read.empty()) {
    error = Table::tr("データの行がありません");
    return false;
  }
  // Sorted by frequency; equal frequencies become their mean.
  std::map<double, std::pair<TablePoint, int>> byFreq;
  for (const TablePoint& p : read) {
    auto [it, fresh] = byFreq.try_emplace(p.freq, p, 1);
    if (!fresh) {
      it->second.first.r += p.r;
      it->second.first.theta += p.theta;
      ++it->second.second;
    }
  }
  if (byFreq.size() < 2) {
    error = Table::tr("異なる周波数のデータが2点以上必要です");
    return false;
  }
  points.clear();
  for (auto& [f, sum] : byFreq) points.push_back({f, sum.first.r / sum.second, sum.first.theta / sum.second});
  return true;
}

bool ReadTable(const QString& fileName, std::vector<TablePoint>& points, QString& error) {
  // A regular file only: opening a FIFO nobody writes into waits for ever.
  QFile file(fileName);
  if (!QFileInfo(fileName).isFile()) {
    error = Table::tr("ファイルを開けませんでした");
    return false;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    error = Table::tr("ファイルを開けませんでした");
    return false;
  }
  if (file.size() > MaxTableBytes) {
    error = Table::tr("ファイルが大きすぎます");
    return false;
  }
  const QByteArray bytes = file.readAll();
  return ParseTable(bytes.toStdString(), points, error);
}

bool TableCoversBand(const std::vector<TablePoint>& points, int32_t band) {
  if (!IsBand(band) || points.size() < 2) return false;
  const double lo = GridFrequency(BandFirstSlot(band));
  const double hi = GridFrequency(BandLastSlot(band));
  return points.front().freq <= lo * (1.0 + EdgeTolerance) && points.back().freq >= hi * (1.0 - EdgeTolerance);
}

int32_t CoveredBand(const std::vector<TablePoint>& points) {
  for (int32_t band = 1; band <= 4; ++band)
    if (TableCoversBand(points, band)) return band;
  return 0;
}

bool ResampleTable(const std::vector<TablePoint>& points, int32_t band, const std::string& dateTime,
                   MeasureData& data, QString& error) {
  if (!IsBand(band)) {
    error = Table::tr("帯域は1～4です");
    return false;
  }
  if (!TableCoversBand(points, band)) {
    const QString have = points.empty() ? QString()
                                        : Table::tr("表の周波数は %1～%2 Hz です。")
                                              .arg(points.front().freq, 0, 'g', 6)
                                              .arg(points.back().freq, 0, 'g', 6);
    error = have + Table::tr("帯域%1 (%2～%3 Hz) の全体を含んでいません")
                       .arg(band)
                       .arg(BandFreqMin(band))
                       .arg(BandFreqMax(band));
    return false;
  }
  MeasureData out;
  out.dateTime = dateTime;
  out.band = band;
  ClearData(out);
  for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
    const double f = GridFrequency(k);
    const double fc = std::clamp(f, points.front().freq, points.back().freq);
    // First point at or above fc; interpolate between it and the one before.
    auto hi = std::lower_bound(points.begin(), points.end(), fc,
                               [](const TablePoint& p, double x) { return p.freq < x; });
    if (hi == points.begin()) hi = points.begin() + 1;
    const TablePoint& b = *hi;
    const TablePoint& a = *(hi - 1);
    const double t = std::log(fc / a.freq) / std::log(b.freq / a.freq);
    const double r = a.r + t * (b.r - a.r);
    const double theta = a.theta + t * (b.theta - a.theta);
    if (!EncodeRecord(r, theta, f, out.points[k])) {
      error = Table::tr("%1 Hz の値を記録にできません").arg(f, 0, 'f', 2);
      return false;
    }
  }
  data.dateTime = out.dateTime;
  data.band = out.band;
  std::copy(std::begin(out.points), std::end(out.points), std::begin(data.points));
  return true;
}

bool LoadTable(const QString& fileName, int32_t band, MeasureData& data, QString& error) {
  std::vector<TablePoint> points;
  if (!ReadTable(fileName, points, error)) return false;
  if (band == 0) band = CoveredBand(points);
  if (band == 0) band = 1;  // the message then names the full band
  const QFileInfo info(fileName);
  const std::string stamp = ToCp932(info.lastModified().toString(QStringLiteral("yyyy/MM/dd H:mm:ss")));
  return ResampleTable(points, band, stamp, data, error);
}

bool IsTableFileName(const QString& fileName) {
  const QString suffix = QFileInfo(fileName).suffix().toLower();
  return suffix == QLatin1String("zma") || suffix == QLatin1String("txt") || suffix == QLatin1String("csv");
}

}  // namespace kavo
