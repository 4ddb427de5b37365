// Main window: printing the graph, the printer set-up and the line colours.
#include <QAction>
#include <QPrinter>
#include <new>

#include "graph/Kavo_print.h"
#include "graph/dialogs/Kavo_printinfo.h"
#include "graph/dialogs/Setcolor.h"
#include "messages/Ka_message.h"
#include "platform/desktop/Modal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace kavo {

QPrinter& TFormMain::mPrinter() {
  if (!printer) printer = MakePrinter();
  return *printer;
}

void TFormMain::MenuFile_PrintClick() {
  if (!mainData.valid) {
    msgCatalog->ShowNoData();  // references alone are not printed
    return;
  }
  TFormPrnInfo* info = Forms().prnInfo;
  if (!info) return;
  info->Prepare(settings, printCancelled);
  Modal().ExecDialog(*info);
  activateWindow();
  if (printCancelled) return;

  QPrinter& target = mPrinter();
  if (!Modal().PrintDialog(this, target)) return;
  LimitPdfResolution(target);

  const std::unique_ptr<TKAV_Print> job(new (std::nothrow) TKAV_Print(*graphPlotter, target, settings, graphSheet.Labels()));
  if (!job) {
    msgCatalog->ShowFatalMemoryError(QStringLiteral("TKAV_Print"));
    close();
    return;
  }
  const bool printed = job->Print(mROnly(), mWide(), AnyRefLoaded());
  if (!printed) msgCatalog->ShowPrintError();
}

void TFormMain::MenuFile_PrintSetupClick() { Modal().PageSetupDialog(this, mPrinter()); }

void TFormMain::MenuSet_ColorClick() {
  TFormSetColor* dialog = Forms().setColor;
  if (!dialog) return;
  dialog->Prepare(settings, colorCancelled);
  Modal().ExecDialog(*dialog);
  activateWindow();
  if (colorCancelled) return;
  mColorAxisLabels();
  mRedrawGraph();
}

}  // namespace kavo
