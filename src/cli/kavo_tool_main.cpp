// kavo-tool: see cli/KavoTool.h.
#include <QApplication>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/KavoTool.h"

int main(int argc, char** argv) {
  // Commands that draw need the widgets, off screen: the tool never needs a
  // display. The others stay without the GUI and its start-up chatter.
  const bool draws = argc > 1 && std::strcmp(argv[1], "plot") == 0;
  std::unique_ptr<QCoreApplication> app;  // file names in the locale's encoding
  if (draws) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  const int status = kavo::cli::RunTool(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
