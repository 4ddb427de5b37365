// Main window: the COM port command.
#include "dialogs/Setting.h"
#include "platform/desktop/Modal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace kavo {

// The number is used when the next measurement opens the port and is saved
// with the settings on close.
void TFormMain::MenuSet_COMClick() {
  TFormSetting* dialog = Forms().setting;
  if (!dialog) return;
  int32_t port = settings.CommPortNum;
  uint8_t cancelled = 1;
  dialog->SetPortTarget(port, cancelled);
  Modal().ExecDialog(*dialog);
  activateWindow();
  if (!cancelled) settings.CommPortNum = port;
}

}  // namespace kavo
