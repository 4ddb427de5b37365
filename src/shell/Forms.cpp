#include "shell/Forms.h"

#include "analysis/windows/BoxWindow.h"
#include "analysis/windows/Kavo_calc.h"
#include "analysis/windows/ModelFitWindow.h"
#include "analysis/windows/PartWindows.h"
#include "analysis/windows/Re.h"
#include "analysis/windows/Ts.h"
#include "dialogs/Kavo_debug.h"
#include "dialogs/Setting.h"
#include "graph/dialogs/Kavo_printinfo.h"
#include "graph/dialogs/Setcolor.h"
#include "dialogs/Version.h"
#include "shell/Kavo_main.h"

namespace kavo {

AppForms& Forms() {
  static AppForms forms;
  return forms;
}

TFormMain* CreateForms() {
  AppForms& f = Forms();
  f.main = new TFormMain();
  f.main->FormCreate();
  if (f.main->mStartupFailed()) return f.main;
  f.debug = new TFormDebug(f.main);
  f.setting = new TFormSetting(f.main);
  f.prnInfo = new TFormPrnInfo(f.main);
  f.setColor = new TFormSetColor(f.main);
  f.version = new TFormVersion(f.main);
  f.calc = new TFormCalc(f.main);
  f.ts = new TFormTS(f.main);
  f.re = new TForm_Re(f.main);
  f.calc->SetDialogs(f.re, f.ts);
  f.fit = new TFormFit(f.main);
  f.box = new TFormBox(f.main);
  f.part = new TFormPart(f.main);
  f.comp = new TFormComp(f.main);
  TFormMain* main = f.main;
  QObject::connect(f.calc, &TFormCalc::ModelFitRequested, main, &TFormMain::MenuMesure_FitClick);
  QObject::connect(f.calc, &TFormCalc::BoxRequested, main, &TFormMain::MenuMesure_BoxClick);
  for (TFormAnalysis* w : std::initializer_list<TFormAnalysis*>{f.fit, f.box, f.part, f.comp}) {
    w->overlayChanged = [main] { main->mRedrawGraph(); };
    main->mSetGraphOverlay(w, [w](int32_t band) { return w->Overlay(band); });
  }
  return f.main;
}

void DestroyForms() {
  AppForms& f = Forms();
  delete f.main;  // owns the others as their parent
  f = AppForms{};
}

}  // namespace kavo
