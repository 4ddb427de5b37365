// The main window's side of the analysis: "結果を分析".
#include <QMenuBar>
#include <QScreen>

#include "analysis/windows/Kavo_calc.h"
#include "analysis/windows/ModelFitWindow.h"
#include "data/Kavo_data.h"
#include "messages/Ka_message.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace kavo {

void TFormMain::MenuMesure_CalcClick() {
  if (mainData.valid != 1) {
    msgCatalog->ShowNoData();
    return;
  }
  MakeSmoothValues(rawValues, mainData.band, smoothValues);
  TFormCalc* calc = Forms().calc;
  if (!calc) return;
  calc->SetSource(&rawValues, &smoothValues, &tsResult, &mainData);
  if (!calc->isVisible()) {
    // Beside the main window, on its screen, never over its menu.
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(QPoint(0, 0), size());
    const int menuBottom = menuBar()->mapToGlobal(QPoint(0, menuBar()->height() - 1)).y();
    // A window never shown has no frame yet: count the main window's.
    const QSize framed = calc->size() + (frameGeometry().size() - size());
    calc->move(TFormCalc::PlaceBeside(frameGeometry(), menuBottom, framed, screen));
  }
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
  fit->SetSource(&rawValues, &mainData, Forms().calc ? Forms().calc->calcRe : 0.0);
  fit->show();
  fit->raise();
  fit->activateWindow();
}

}  // namespace kavo
