#include <clocale>
#include <cstdio>

#include "shell/Program.h"

int main(int argc, char** argv) {
  // --help and --version answer without a display.
  const int done = kavo::HandleInfoOptions(argc, argv);
  if (done >= 0) return done;
  kavo::KavoApplication app(argc, argv);
  // The application object has taken the locale from the environment; the
  // numbers written for programs (fit results, driver files) keep the point.
  std::setlocale(LC_NUMERIC, "C");
  QString file, error, note;
  if (!kavo::StartFileFrom(QCoreApplication::arguments(), file, error, note)) {
    std::fprintf(stderr, "KAVO: %s\n", error.toLocal8Bit().constData());
    return 64;
  }
  if (!note.isEmpty()) std::fprintf(stderr, "KAVO: %s\n", note.toLocal8Bit().constData());
  return kavo::RunProgram(file);
}
