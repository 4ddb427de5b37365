#include "shell/Program.h"

int main(int argc, char** argv) {
  kavo::KavoApplication app(argc, argv);
  return kavo::RunProgram();
}
