// The program entry's work, callable from tests.
#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>

namespace kavo {

// The single-instance check: 0 when this copy may run, 1 when another copy
// (or the sibling program) runs; the user has then been told and the other
// window brought forward. 2 when `startFile` was handed to the running
// copy, which opens it and comes forward; nothing is said then.
int CheckOtherCopies(const QString& startFile = QString());

// The options that need no window: --help and --version print on standard
// output; an option that neither KAVO nor Qt knows is refused with 64.
// Returns the exit code when one of them was given (before any `--`), -1 when
// the program is to start. Runs before the application object exists, so
// that it works without a display.
int HandleInfoOptions(int argc, char** argv);

// The measurement to open at start-up from the arguments that Qt left
// (QCoreApplication::arguments(), the program's name first): empty when none.
// False, with `error` set, for an unknown option. Of several files the first
// is opened; `note` then says so.
bool StartFileFrom(const QStringList& arguments, QString& file, QString& error, QString& note);

// Guard, windows, event loop. Returns the process exit code. An exception
// that escapes start-up or the event loop is shown to the user and ends the
// run with 0. `startFile`, when given, is opened as "開く" would once the
// first idle pass has read the settings.
int RunProgram(const QString& startFile = QString());

// Shows an exception that escaped (what() of a std::exception, or null).
void ShowEscapedException(const char* what);

// The program's application object. An exception thrown by an event handler
// would otherwise unwind through the toolkit's loop and end the process
// without a word; here it is shown and the event loop ends.
class KavoApplication : public QApplication {
  Q_OBJECT
 public:
  KavoApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace kavo
