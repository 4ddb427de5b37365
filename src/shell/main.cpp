#include <QApplication>

#include "shell/Program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return kavo::RunProgram();
}
