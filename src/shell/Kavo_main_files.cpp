// Main window: the commands that move measurements between files and
// memory. Open, save and close the measurement, load and clear reference
// curves, write the text table; the extension rule and the overwrite
// question they share; the window title that names the current file.
#include <QAction>
#include <QComboBox>
#include <QFileInfo>

#include "data/Interchange.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "messages/Ka_message.h"
#include "messages/Ka_status.h"
#include "platform/Modal.h"
#include "shell/Kavo_main.h"

namespace kavo {
namespace {

const char* const DataFilter = "データファイル (*.DTA)|*.DTA";
const char* const DataPattern = "*.DTA";
const char* const DataExtension = ".DTA";
// References may also be impedance tables written by other programs.
const char* const RefFilter =
    "参照ファイル (*.DTA *.zma *.txt)|*.DTA;*.zma;*.txt|データファイル (*.DTA)|*.DTA|"
    "インピーダンス表 (*.zma *.txt)|*.zma;*.txt";
const char* const TextFilter = "データファイル (*.txt)|*.txt";
const char* const TextPattern = "*.txt";
const char* const TextExtension = ".txt";
const char* const OpenTitle = "データファイルを選んでください";
const char* const RefTitle = "参照ファイルを選んでください(５個まで)";
// The graph's R scale above which the 150 Ω message is due.
constexpr float OverRangeOhm = 150.0f;

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

QString TFormMain::ForceExtension(const QString& name, const QString& ext) {
  // Only the file's own name counts: a folder such as "v1.2" or ".local"
  // must never change where the file goes.
  const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
  const QString folder = name.left(slash + 1);
  const QString base = name.mid(slash + 1);
  const qsizetype dot = base.indexOf(QLatin1Char('.'));
  if (dot < 0) return name + ext;
  if (base.endsWith(ext, Qt::CaseSensitive)) return name;
  return folder + base.left(dot) + ext;
}

bool TFormMain::mConfirmOverwrite(const QString& name) {
  if (!QFileInfo::exists(name)) return true;
  const QString text = U("ファイル：") + name + U("があります。") + QLatin1Char('\n') + U("上書きしますか");
  return Modal().Message(this, msgCatalog->Caption(), text, MsgIcon::Question, MsgButtons::YesNo) ==
         MsgResult::Yes;
}

void TFormMain::mShowFileTitle(bool withFile) {
  setWindowTitle(withFile ? msgCatalog->Caption() + QStringLiteral(" / ") + fileName : msgCatalog->Caption());
}

void TFormMain::mCheckOverRange() {
  if (MenuSet_Warning->isChecked() && graphScale.rMax > OverRangeOhm) msgCatalog->ShowOverRange();
}

void TFormMain::mSelectBand(int32_t band) {
  graphScale.band = band;
  ComboBox2->setCurrentIndex(band - 1);
}

void TFormMain::MenuFile_OpenClick() {
  if (mainData.valid && !dataSaved && !msgCatalog->ConfirmDiscard()) return;
  QString chosen;
  if (!Modal().OpenFileName(this, U(OpenTitle), U(DataFilter), U(DataPattern), chosen) || chosen.isEmpty())
    return;
  mOpenDataFile(chosen);
}

void TFormMain::mOpenDataFile(const QString& path) {
  fileName = path;

  // The serial and the port are taken over only from a file read whole.
  if (!fileHandler->ReadDataFile(fileName, &session.UnitSerial(), &settings.CommPortNum, &mainData)) {
    msgCatalog->ShowDataFileError();
    mainData.valid = 0;
    dataSaved = 0;
    graphPlotter->Clear();
    return;
  }
  if (!fileHandler->ConvertData(&mainData, &rawValues, &aveValues)) {
    msgCatalog->ShowCalcDataError();
    mainData.valid = 0;
    dataSaved = 0;
    graphPlotter->Clear();
    return;
  }
  mainData.valid = 1;
  dataSaved = 1;
  mSelectBand(mainData.band);
  RedrawWithMeasurement();
  mShowFileTitle(true);
  mCheckOverRange();
}

void TFormMain::MenuFile_SaveClick() {
  if (!mainData.valid) {
    msgCatalog->ShowNoData();
    return;
  }
  QString chosen;
  if (!Modal().SaveFileName(this, U(DataFilter), U(DataPattern), chosen) || chosen.isEmpty()) return;
  const QString name = ForceExtension(chosen, U(DataExtension));
  if (!mConfirmOverwrite(name)) return;
  fileName = name;
  // The writer replaces the file whole or leaves the old one untouched.
  if (fileHandler->WriteDataFile(fileName, session.UnitSerial(), &settings, &mainData)) {
    dataSaved = 1;
    mShowFileTitle(true);
  } else {
    statusTexts->ShowSaveError();
  }
}

void TFormMain::MenuFile_CloseClick() {
  if (mainData.valid && !dataSaved && !msgCatalog->ConfirmDiscardData()) return;
  mainData.valid = 0;
  statusTexts->ClearPanel(1);
  statusTexts->ClearPanel(2);
  mShowFileTitle(false);
  if (AnyRefLoaded()) mRedrawReferences();
  else graphPlotter->Clear();
}

void TFormMain::MenuFile_ExportClick() {
  if (!mainData.valid) {
    msgCatalog->ShowNoData();
    return;
  }
  QString chosen;
  if (!Modal().SaveFileName(this, U(TextFilter), U(TextPattern), chosen) || chosen.isEmpty()) return;
  const QString name = ForceExtension(chosen, U(TextExtension));
  if (!mConfirmOverwrite(name)) return;
  const PointValues& values = Averaging() ? aveValues : rawValues;
  if (fileHandler->ExportText(name, session.UnitSerial(), &values, &mainData)) statusTexts->ShowExportDone();
  else statusTexts->ShowSaveError();
}

void TFormMain::MenuRef_OpenClick() {
  if (refCount >= MaxRefs) {
    msgCatalog->ShowTooManyReferences();
    return;
  }
  QStringList files;
  if (!Modal().OpenFileNames(this, U(RefTitle), U(RefFilter), U(DataPattern), files) || files.isEmpty()) return;
  const int n = static_cast<int>(files.size());
  if (n + refCount > MaxRefs) {
    msgCatalog->ShowTooManyReferences();
    return;
  }
  for (int k = refCount; k < MaxRefs; ++k) {
    refData[k].valid = 0;
    ClearData(refData[k]);
    ClearValues(refRawValues[k]);
    ClearValues(refAveValues[k]);
  }
  for (int j = 0; j < n; ++j) {
    const int p = refCount + j;
    MeasureData& ref = refData[p];
    refFileName[p] = files[j];
    // A reference's serial and port belong to its file, never to this unit.
    std::string scratchSerial;
    int32_t scratchPort = 0;
    if (IsTableFileName(files[j])) {
      // A table is put on the grid of the band in view; the reader names
      // the line it could not take.
      QString why;
      if (!LoadTable(files[j], mainData.valid ? graphScale.band : 0, ref, why)) {
        ref.valid = 0;
        ClearData(ref);
        Modal().Message(this, msgCatalog->Caption(), files[j] + QLatin1Char('\n') + why, MsgIcon::Exclamation,
                        MsgButtons::OK);
        continue;
      }
    } else if (!fileHandler->ReadDataFile(files[j], &scratchSerial, &scratchPort, &ref)) {
      ref.valid = 0;
      ClearData(ref);
      msgCatalog->ShowDataFileError();
      continue;
    }
    if (!fileHandler->ConvertData(&ref, &refRawValues[p], &refAveValues[p])) {
      ref.valid = 0;
      ClearData(ref);
      msgCatalog->ShowCalcDataError();
      continue;
    }
    ref.valid = 1;
  }
  // Failed files keep their positions until the references are cleared.
  refCount += n;
  if (mainData.valid) {
    mRedrawBoth();
    mCheckOverRange();
  } else {
    mSelectBand(refData[0].band);
    mRedrawReferences();
  }
}

void TFormMain::MenuRef_CloseClick() {
  for (int k = 0; k < MaxRefs; ++k) {
    refData[k].valid = 0;
    ClearData(refData[k]);
    ClearValues(refRawValues[k]);
    ClearValues(refAveValues[k]);
  }
  refCount = 0;
  if (mainData.valid) mRedrawMeasurement();
  else graphPlotter->Clear();
}

}  // namespace kavo
