#include <cstdio>
int main() {
  std::puts("kavsim: the simulated unit comes next.");
  return 0;
}
