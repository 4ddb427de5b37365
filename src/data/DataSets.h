// The measurement and the reference curves as the main window holds them:
// the sets, their converted values and the names of their files, and the
// work of opening, saving, exporting and clearing them. Window-free: the
// window asks its questions and shows its messages around these calls.
// Everything is a fixed member; nothing is allocated per measurement.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>

#include "data/CurveFile.h"
#include "data/Kavo_file.h"
#include "data/Kavo_setting.h"

namespace kavo {

struct RefFailure {
  int position;
  QString file;
  LoadFailure kind;
  QString why;  // for a table: the line and the reason
};

class DataSets {
 public:
  // The start state: nothing valid, band 1, every record "0".
  void Reset();

  // ---- the measurement ----
  // fileName := name (it stays so whatever happens), then reads and converts
  // the file into mainData, rawValues and aveValues as `how` says (the
  // window: .DTA files only, its serial and port taken when the whole file
  // was read). mainData is valid afterwards exactly when None comes back.
  LoadFailure OpenMain(const QString& name, const CurveRead& how);
  // fileName := name, then writes mainData with the port of `settings`.
  bool SaveMain(const QString& name, const std::string& serial, const SettingsRecord& settings);
  // The text table of the averaged or the unaveraged values.
  bool ExportMain(const QString& name, const std::string& serial, bool averaged) const;
  // The measurement is no longer shown; its contents and fileName stay.
  void CloseMain() { mainData.valid = 0; }

  // ---- references ----
  // Positions are taken in order from 0; one whose file failed stays taken
  // (not valid, drawn as nothing) until ClearRefs.
  bool RefsFull() const { return refCount >= MaxRefs; }
  // Loads `files` in order into the positions from refCount on. False, and
  // nothing changed, when they do not all fit. A table is put on the grid of
  // `tableBand` (0: the first band it covers). `failed` hears of each file
  // that did not load, in order, as it happens.
  bool LoadRefs(const QStringList& files, int32_t tableBand, const std::function<void(const RefFailure&)>& failed);
  // Every position free and cleared; the names stay but are no longer used.
  void ClearRefs();
  bool AnyRefLoaded() const;
  bool RefFailed(int position) const { return position < refCount && !refData[position].valid; }

  MeasureData mainData;
  PointValues rawValues;
  PointValues aveValues;
  QString fileName;

  MeasureData refData[MaxRefs];
  PointValues refRawValues[MaxRefs];
  PointValues refAveValues[MaxRefs];
  QString refFileName[MaxRefs];
  int32_t refCount = 0;

 private:
  void ClearRef(int position);
  LoadFailure LoadRef(int position, const QString& file, int32_t tableBand, QString& why);

  KAVO_File files_;
};

// The name a save or an export writes: `ext` (".DTA", ".txt") in place of
// the name's own extension. Only the file's own name counts, never its
// folders. An extension is what follows the name's last dot, when that dot
// is not the name's first character and is followed by at most four
// characters and no space; anything else is part of the name, and `ext` is
// appended. An extension equal to `ext` but for case stays as typed.
QString ForceExtension(const QString& name, const QString& ext);

}  // namespace kavo
