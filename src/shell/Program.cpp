#include "shell/Program.h"

#include <QApplication>

#include "platform/Modal.h"
#include "platform/SingleInstance.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace kavo {
namespace {

struct OtherCopy {
  const char* name;
  const char* message;
};
const OtherCopy others[] = {{"KAVO", "KAVOはすでに起動しています"}, {"KAVO2", "KAVO2がすでに起動しています"}};

}  // namespace

int CheckOtherCopies() {
  for (const OtherCopy& other : others) {
    const QString name = QString::fromLatin1(other.name);
    if (!SingleInstance::IsHeld(name)) continue;
    // A lock without a window to answer ends this copy silently.
    if (!SingleInstance::WindowExists(name)) return 1;
    Modal().Message(nullptr, name, QString::fromUtf8(other.message), MsgIcon::Stop, MsgButtons::OK);
    SingleInstance::RaiseWindow(name);
    return 1;
  }
  return 0;
}

int RunProgram() {
  if (CheckOtherCopies() != 0) return 1;
  SingleInstance guard;
  if (!guard.Acquire(QStringLiteral("KAVO"))) return 1;  // lost a race with another start

  QApplication::setApplicationName(QStringLiteral("KAVO"));
  TFormMain* main = CreateForms();
  if (main->StartupFailed()) {
    DestroyForms();
    return 0;
  }
  guard.Listen(QStringLiteral("KAVO"), [main] {
    main->showNormal();
    main->raise();
    main->activateWindow();
  });
  main->show();
  QApplication::exec();
  DestroyForms();
  guard.Release();
  return 0;
}

}  // namespace kavo
