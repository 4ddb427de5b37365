#include "data/DataSets.h"

#include <algorithm>

#include "data/Kavo_data.h"

namespace kavo {

void DataSets::Reset() {
  mainData.valid = 0;
  mainData.band = 1;
  mainData.dateTime.clear();
  for (auto& ref : refData) {
    ref.valid = 0;
    ClearData(ref);
    ref.band = 1;
    ref.dateTime.clear();
  }
  refCount = 0;
}

LoadFailure DataSets::OpenMain(const QString& name, const CurveRead& how) {
  fileName = name;
  QString why;
  return ReadCurveFile(fileName, how, mainData, rawValues, aveValues, why);
}

bool DataSets::SaveMain(const QString& name, const std::string& serial, const SettingsRecord& settings) {
  fileName = name;
  return files_.WriteDataFile(fileName, serial, &settings, &mainData);
}

bool DataSets::ExportMain(const QString& name, const std::string& serial, bool averaged) const {
  return files_.ExportText(name, serial, averaged ? &aveValues : &rawValues, &mainData);
}

void DataSets::ClearRef(int position) {
  refData[position].valid = 0;
  ClearData(refData[position]);
  ClearValues(refRawValues[position]);
  ClearValues(refAveValues[position]);
}

LoadFailure DataSets::LoadRef(int p, const QString& file, int32_t tableBand, QString& why) {
  refFileName[p] = file;
  CurveRead how;
  how.tableBand = tableBand;
  return ReadCurveFile(file, how, refData[p], refRawValues[p], refAveValues[p], why);
}

bool DataSets::LoadRefs(const QStringList& files, int32_t tableBand,
                        const std::function<void(const RefFailure&)>& failed) {
  if (files.size() > MaxRefs - refCount) return false;
  for (int k = refCount; k < MaxRefs; ++k) ClearRef(k);
  // Every file takes its position as soon as it is tried, failed or not.
  for (const QString& file : files) {
    const int p = refCount++;
    QString why;
    const LoadFailure failure = LoadRef(p, file, tableBand, why);
    if (failure != LoadFailure::None && failed) failed(RefFailure{p, file, failure, why});
  }
  return true;
}

void DataSets::ClearRefs() {
  for (int k = 0; k < MaxRefs; ++k) ClearRef(k);
  refCount = 0;
}

bool DataSets::AnyRefLoaded() const { return kavo::AnyRefLoaded(refData); }

QString ForceExtension(const QString& name, const QString& ext) {
  constexpr qsizetype LongestExtension = 4;
  const qsizetype start = name.lastIndexOf(QLatin1Char('/')) + 1;
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot > start) {
    const QString own = name.mid(dot + 1);
    const bool real = own.size() <= LongestExtension && std::none_of(own.begin(), own.end(), [](QChar c) {
                        return c.isSpace();
                      });
    if (real) return own.compare(ext.mid(1), Qt::CaseInsensitive) == 0 ? name : name.left(dot) + ext;
  }
  return name + ext;
}

}  // namespace kavo
