#include "shell/Program.h"

#include <QApplication>
#include <QThread>
#include <cstdio>
#include <exception>

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

void ShowEscapedException(const char* what) {
  const QString text = what && *what ? QString::fromLocal8Bit(what) : QStringLiteral("不明な例外が発生しました");
  Modal().Message(nullptr, QStringLiteral("KAVO"), text + QStringLiteral("\n\nKAVOを終了します。"), MsgIcon::Stop,
                  MsgButtons::OK);
}

// Called inside a catch block: shows the exception being handled.
static void ShowCurrentException() {
  try {
    throw;
  } catch (const std::exception& e) {
    ShowEscapedException(e.what());
  } catch (...) {
    ShowEscapedException(nullptr);
  }
}

bool KavoApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    // Outside the event loop (during start-up) the run itself catches it.
    if (QThread::currentThread()->loopLevel() == 0) throw;
    ShowCurrentException();
  }
  QCoreApplication::exit(0);  // every running loop, a modal box's included
  return true;
}

namespace {

int Run() {
  LoadQtJapanese();
  if (CheckOtherCopies() != 0) return 1;
  SingleInstance guard;
  bool guarded = guard.Acquire(QStringLiteral("KAVO"));
  if (!guarded) {
    if (SingleInstance::IsHeld(QStringLiteral("KAVO"))) return 1;  // lost a race with another start
    // No safe folder for the lock: a second copy becomes possible, which is
    // better than no copy at all.
    std::fprintf(stderr, "KAVO: no private folder for the single-instance lock (%s); running without it\n",
                 qgetenv("KAVO_RUNTIME_DIR").isEmpty() ? "XDG_RUNTIME_DIR and the temporary folder"
                                                       : "KAVO_RUNTIME_DIR");
  }

  QApplication::setApplicationName(QStringLiteral("KAVO"));
  TFormMain* main = CreateForms();
  if (main->StartupFailed()) {
    DestroyForms();
    return 0;
  }
  if (guarded)
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

}  // namespace

int RunProgram() {
  try {
    return Run();
  } catch (...) {
    ShowCurrentException();
  }
  DestroyForms();
  return 0;
}

}  // namespace kavo
