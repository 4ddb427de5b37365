// The main window's side of the analysis: "結果を分析".
#include <QMenuBar>
#include <QScreen>

#include "analysis/windows/BoxWindow.h"
#include "analysis/windows/Kavo_calc.h"
#include "analysis/windows/ModelFitWindow.h"
#include "analysis/windows/PartWindows.h"
#include "data/Kavo_data.h"
#include "messages/Ka_message.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace kavo {

// An analysis window opening: beside the main window, on its screen, never
// over its menu. One already on show stays where the user put it.
void TFormMain::mPlaceBeside(QWidget& window) {
  if (window.isVisible()) return;
  const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(QPoint(0, 0), size());
  const int menuBottom = menuBar()->mapToGlobal(QPoint(0, menuBar()->height() - 1)).y();
  // A window never shown has no frame yet: count the main window's.
  const QSize framed = window.size() + (frameGeometry().size() - size());
  window.move(TFormCalc::PlaceBeside(frameGeometry(), menuBottom, framed, screen));
}

void TFormMain::mMeasurementChanged() {
  if (Forms().fit) Forms().fit->MeasurementChanged();
  if (Forms().box) Forms().box->MeasurementChanged();
  if (Forms().part) Forms().part->MeasurementChanged();
  if (Forms().comp) Forms().comp->MeasurementChanged();
}

void TFormMain::MenuMesure_CalcClick() {
  if (mainData.valid != 1) {
    msgCatalog->ShowNoData();
    return;
  }
  MakeSmoothValues(rawValues, mainData.band, smoothValues);
  TFormCalc* calc = Forms().calc;
  if (!calc) return;
  calc->SetSource(&rawValues, &smoothValues, &tsResult, &mainData);
  mPlaceBeside(*calc);
  calc->show();
  calc->raise();
  calc->activateWindow();
}

// The analysis windows open beside this one, made of the measurement on
// show, with the Re last entered in the Re window.
void TFormMain::mShowAnalysis(TFormAnalysis* window) {
  if (mainData.valid != 1) {
    msgCatalog->ShowNoData();
    return;
  }
  if (!window) return;
  window->SetSource(&rawValues, &mainData, &fileName, Forms().calc ? Forms().calc->calcRe : 0.0);
  window->filesShown = [this] { return mFilesShown(true); };
  mPlaceBeside(*window);
  window->show();
  window->raise();
  window->activateWindow();
}

void TFormMain::MenuMesure_FitClick() { mShowAnalysis(Forms().fit); }
void TFormMain::MenuMesure_BoxClick() { mShowAnalysis(Forms().box); }
void TFormMain::MenuMesure_PartClick() { mShowAnalysis(Forms().part); }
void TFormMain::MenuMesure_CompClick() { mShowAnalysis(Forms().comp); }

}  // namespace kavo
