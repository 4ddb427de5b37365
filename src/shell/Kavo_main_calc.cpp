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

void TFormMain::MenuMesure_FitClick() {
  if (mainData.valid != 1) {
    msgCatalog->ShowNoData();
    return;
  }
  TFormFit* fit = Forms().fit;
  if (!fit) return;
  fit->SetSource(&rawValues, &mainData, &fileName, Forms().calc ? Forms().calc->calcRe : 0.0);
  fit->filesShown = [this] { return mFilesShown(true); };
  mPlaceBeside(*fit);
  fit->show();
  fit->raise();
  fit->activateWindow();
}

// The crossover windows open as the model fit's does.
void TFormMain::mShowCrossover(TFormCrossover* window) {
  if (mainData.valid != 1) {
    msgCatalog->ShowNoData();
    return;
  }
  if (!window) return;
  window->SetSource(&rawValues, &mainData, &fileName);
  window->filesShown = [this] { return mFilesShown(true); };
  mPlaceBeside(*window);
  window->show();
  window->raise();
  window->activateWindow();
}

void TFormMain::MenuMesure_PartClick() { mShowCrossover(Forms().part); }

void TFormMain::MenuMesure_CompClick() {
  if (Forms().comp && Forms().calc) Forms().comp->SetRe(Forms().calc->calcRe);
  mShowCrossover(Forms().comp);
}

void TFormMain::MenuMesure_BoxClick() {
  if (mainData.valid != 1) {
    msgCatalog->ShowNoData();
    return;
  }
  TFormBox* box = Forms().box;
  if (!box) return;
  box->SetSource(&rawValues, &mainData, &fileName, Forms().calc ? Forms().calc->calcRe : 0.0);
  box->filesShown = [this] { return mFilesShown(true); };
  mPlaceBeside(*box);
  box->show();
  box->raise();
  box->activateWindow();
}

}  // namespace kavo
