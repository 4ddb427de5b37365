#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::puts("KAVO: the main window comes next.");
  return 0;
}
