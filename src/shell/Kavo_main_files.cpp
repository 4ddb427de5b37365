// Main window: the commands that move measurements between files and
// memory. Open, save and close the measurement, load and clear reference
// curves, write the text table; the extension rule and the overwrite
// question they share; the window title that names the current file.
#include <QAction>
#include <QComboBox>
#include <QFileInfo>

#include "data/DataSets.h"
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

QString TFormMain::ForceExtension(const QString& name, const QString& ext) { return kavo::ForceExtension(name, ext); }

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

// Reading and conversion failures, as the catalogue words them.
void TFormMain::mReportLoadFailure(LoadFailure failure) {
  if (failure == LoadFailure::Unreadable) msgCatalog->ShowDataFileError();
  else if (failure == LoadFailure::Unconvertible) msgCatalog->ShowCalcDataError();
}

void TFormMain::MenuFile_OpenClick() {
  if (mainData.valid && !dataSaved && !msgCatalog->ConfirmDiscard()) return;
  QString chosen;
  if (!Modal().OpenFileName(this, U(OpenTitle), U(DataFilter), U(DataPattern), chosen) || chosen.isEmpty())
    return;
  mOpenDataFile(chosen);
}

void TFormMain::mOpenHanded(const QString& path) {
  if (!MenuFile_Open->isEnabled()) return;
  if (mainData.valid && !dataSaved && !msgCatalog->ConfirmDiscard()) return;
  mOpenDataFile(path);
}

void TFormMain::mOpenDataFile(const QString& path) {
  const LoadFailure failure = dataSets.OpenMain(path, session.UnitSerial(), settings.CommPortNum);
  dataSaved = failure == LoadFailure::None;
  if (failure != LoadFailure::None) {
    mReportLoadFailure(failure);
    graphPlotter->Clear();
    return;
  }
  mSelectBand(mainData.band);
  mRedrawWithMeasurement();
  mShowFileTitle(true);
  mCheckOverRange();
  mShowQcVerdict();
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
  if (dataSets.SaveMain(name, session.UnitSerial(), settings)) {
    dataSaved = 1;
    mShowFileTitle(true);
  } else {
    statusTexts->ShowSaveError();
  }
}

void TFormMain::MenuFile_CloseClick() {
  if (mainData.valid && !dataSaved && !msgCatalog->ConfirmDiscardData()) return;
  dataSets.CloseMain();
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
  if (dataSets.ExportMain(name, session.UnitSerial(), mAveraging())) statusTexts->ShowExportDone();
  else statusTexts->ShowSaveError();
}

void TFormMain::MenuRef_OpenClick() {
  if (dataSets.RefsFull()) {
    msgCatalog->ShowTooManyReferences();
    return;
  }
  QStringList files;
  if (!Modal().OpenFileNames(this, U(RefTitle), U(RefFilter), U(DataPattern), files) || files.isEmpty()) return;
  // A table is put on the grid of the band in view; the reader names the
  // line it could not take.
  const auto failed = [this](const RefFailure& f) {
    if (f.kind == LoadFailure::Table)
      Modal().Message(this, msgCatalog->Caption(), f.file + QLatin1Char('\n') + f.why, MsgIcon::Exclamation,
                      MsgButtons::OK);
    else mReportLoadFailure(f.kind);
  };
  if (!dataSets.LoadRefs(files, mainData.valid ? graphScale.band : 0, failed)) {
    msgCatalog->ShowTooManyReferences();
    return;
  }
  if (mainData.valid) {
    mRedrawBoth();
    mCheckOverRange();
  } else {
    mSelectBand(refData[0].band);
    mRedrawReferences();
  }
}

void TFormMain::MenuRef_CloseClick() {
  dataSets.ClearRefs();
  mRefsCleared();
  if (mainData.valid) mRedrawMeasurement();
  else graphPlotter->Clear();
}

}  // namespace kavo
