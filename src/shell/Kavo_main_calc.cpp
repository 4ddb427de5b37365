// The main window's side of the analysis: "結果を分析".
#include "analysis/Kavo_calc.h"
#include "analysis/ModelFitWindow.h"
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
