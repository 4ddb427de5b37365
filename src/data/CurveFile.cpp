#include "data/CurveFile.h"

#include <QFileInfo>

#include "data/Interchange.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"

namespace kavo {

LoadFailure CheckInputFile(const QString& file, qint64 maxBytes) {
  if (file.isEmpty()) return LoadFailure::EmptyName;
  const QFileInfo info(file);
  if (!info.exists()) return LoadFailure::NoSuchFile;
  if (info.isDir()) return LoadFailure::Folder;
  if (!info.isReadable()) return LoadFailure::CannotOpen;
  if (info.isFile() && info.size() > maxBytes) return LoadFailure::TooLarge;
  return LoadFailure::None;
}

namespace {

// The file into `data`, not yet converted.
LoadFailure ReadRecords(const KAVO_File& files, const QString& file, const CurveRead& how, MeasureData& data,
                        QString& why) {
  if (const LoadFailure failure = CheckInputFile(file); failure != LoadFailure::None) return failure;
  if (how.tables && IsTableFileName(file))
    return LoadTable(file, how.tableBand, data, why) ? LoadFailure::None : LoadFailure::Table;
  return files.ReadDataFile(file, how.serial, how.port, &data) ? LoadFailure::None : LoadFailure::NotData;
}

}  // namespace

LoadFailure ReadCurveFile(const QString& file, const CurveRead& how, MeasureData& data, PointValues& raw,
                          PointValues& ave, QString& why) {
  const KAVO_File files;
  LoadFailure failure = ReadRecords(files, file, how, data, why);
  if (failure == LoadFailure::None && !files.ConvertData(&data, &raw, &ave)) failure = LoadFailure::Unconvertible;
  if (failure != LoadFailure::None) {
    data.valid = 0;
    ClearData(data);
    return failure;
  }
  data.valid = 1;
  return LoadFailure::None;
}

LoadFailure ReadCurveSet(const QString& file, const CurveRead& how, CurveSet& set, QString& why) {
  CurveRead withSerial = how;
  if (!withSerial.serial) withSerial.serial = &set.serial;
  return ReadCurveFile(file, withSerial, set.data, set.raw, set.ave, why);
}

}  // namespace kavo
