// kavo-tool: see cli/KavoTool.h.
#include <QApplication>
#include <QCoreApplication>
#include <QLocale>
#include <iostream>
#include <memory>

#include "analysis/Fitter.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"

int main(int argc, char** argv) {
  kavo::QuietSolverLog();
  // Commands that draw get the widget application on the offscreen
  // platform: no window shows, and no display is needed.
  std::unique_ptr<QCoreApplication> app;
  if (argc > 1 && kavo::cli::NeedsWidgets(QString::fromLocal8Bit(argv[1]))) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);  // file names in the locale's encoding
  }
  // Japanese under a Japanese locale, English otherwise.
  kavo::cli::UseLanguage(QLocale::system());
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return kavo::cli::RunTool(args, std::cout, std::cerr);
}
