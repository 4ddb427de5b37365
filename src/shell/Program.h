// The program entry's work, callable from tests.
#pragma once

#include <QApplication>

namespace kavo {

// The single-instance check: 0 when this copy may run, 1 when another copy
// (or the sibling program) runs; the user has then been told and the other
// window brought forward.
int CheckOtherCopies();

// Guard, windows, event loop. Returns the process exit code. An exception
// that escapes start-up or the event loop is shown to the user and ends the
// run with 0.
int RunProgram();

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
