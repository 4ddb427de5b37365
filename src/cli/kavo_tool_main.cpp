// kavo-tool: see cli/KavoTool.h.
#include <QCoreApplication>
#include <iostream>

#include "cli/KavoTool.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // file names in the locale's encoding
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  const int status = kavo::cli::RunTool(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
