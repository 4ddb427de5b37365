#include "shell/Program.h"

#include <QApplication>
#include <QFileInfo>
#include <QThread>
#include <cstdio>
#include <cstring>
#include <exception>

#include "platform/Modal.h"
#include "platform/Names.h"
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

// The options Qt's application object takes for itself (with one or two
// dashes, the value after a blank or "="): left to Qt.
bool IsQtOption(const char* arg) {
  static const char* const names[] = {
      "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry",
      "geometry", "qwindowicon", "icon", "qwindowtitle", "title", "session", "display", "name",
      "style", "stylesheet", "dialogs", "reverse", "nograb", "dograb", "widgetcount", "testability", "sync"};
  const char* name = arg + (arg[1] == '-' ? 2 : 1);
  const size_t length = std::strcspn(name, "=");
  for (const char* known : names)
    if (std::strlen(known) == length && std::strncmp(known, name, length) == 0) return true;
  return false;
}

}  // namespace

int HandleInfoOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("KAVO %s\n", KAVO_VERSION);
      return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf(
          "Usage: KAVO [options] [FILE.DTA]\n"
          "\n"
          "Measures loudspeaker impedance with the KA-V unit on a serial port and\n"
          "shows, prints and analyses the curves (Japanese user interface).\n"
          "FILE.DTA is opened at start-up as the menu command \"開く\" would.\n"
          "\n"
          "Options\n"
          "  -h, --help     this text\n"
          "      --version  the program's name and version\n"
          "  --             ends the options; a file name may then begin with '-'\n"
          "Qt's own options (-platform, -style, -geometry, ...) are understood too.\n"
          "\n"
          "COM n opens the device named by the environment variable KAVO_COM<n>, else\n"
          "the link ports/COM<n> in the settings folder, else /dev/ttyS<n-1>. Opening\n"
          "a serial device needs membership of the group dialout. See KAVO(1).\n");
      return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
  }
  // A wrong option is answered here too, before a display is needed.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) break;
    if (argv[i][0] != '-' || argv[i][1] == '\0' || IsQtOption(argv[i])) continue;
    std::fprintf(stderr, "KAVO: unknown option %s (see --help)\n", argv[i]);
    return 64;
  }
  return -1;
}

bool StartFileFrom(const QStringList& arguments, QString& file, QString& error, QString& note) {
  file.clear();
  error.clear();
  note.clear();
  QStringList files;
  bool options = true;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (options && arg == QStringLiteral("--")) {
      options = false;
    } else if (options && arg.startsWith(QLatin1Char('-'))) {
      error = QStringLiteral("unknown option %1 (see --help)").arg(arg);
      return false;
    } else {
      files << arg;
    }
  }
  if (files.isEmpty()) return true;
  // The title and a later save name the file as the open dialog would: whole.
  file = QFileInfo(files.first()).absoluteFilePath();
  if (files.size() > 1) note = QStringLiteral("one measurement at a time: opening %1 only").arg(files.first());
  return true;
}

int CheckOtherCopies(const QString& startFile) {
  for (const OtherCopy& other : others) {
    const QString name = QString::fromLatin1(other.name);
    if (!SingleInstance::IsHeld(name)) continue;
    // A lock without a window to answer ends this copy silently.
    if (!SingleInstance::WindowExists(name)) return 1;
    // A file this copy was started with goes to the running copy, which
    // opens it as "開く" would.
    if (!startFile.isEmpty() && name == QLatin1String("KAVO") && SingleInstance::HandFile(name, startFile)) return 2;
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

int Run(const QString& startFile) {
  LoadQtJapanese();
  if (const int other = CheckOtherCopies(startFile); other != 0) return other == 2 ? 0 : 1;
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
  QGuiApplication::setDesktopFileName(QLatin1String(DesktopId));
  TFormMain* main = CreateForms();
  if (main->mStartupFailed()) {
    DestroyForms();
    return 0;
  }
  if (!startFile.isEmpty()) main->mOpenAtStart(startFile);
  if (guarded)
    guard.Listen(
        QStringLiteral("KAVO"),
        [main] {
          main->showNormal();
          main->raise();
          main->activateWindow();
        },
        [main](const QString& file) {
          main->showNormal();
          main->raise();
          main->activateWindow();
          main->mOpenHanded(file);
        });
  main->show();
  QApplication::exec();
  DestroyForms();
  guard.Release();
  return 0;
}

}  // namespace

int RunProgram(const QString& startFile) {
  try {
    return Run(startFile);
  } catch (...) {
    ShowCurrentException();
  }
  DestroyForms();
  return 0;
}

}  // namespace kavo
