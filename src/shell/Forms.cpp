#include "shell/Forms.h"

#include "dialogs/Kavo_debug.h"
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
  if (f.main->StartupFailed()) return f.main;
  f.debug = new TFormDebug(f.main);
  f.version = new TFormVersion(f.main);
  return f.main;
}

void DestroyForms() {
  AppForms& f = Forms();
  delete f.main;  // owns the others as their parent
  f = AppForms{};
}

}  // namespace kavo
