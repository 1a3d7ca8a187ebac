// hello_zlib: a program that does nothing with the libraries vellox loads
// at start (zlib and the C library; it uses nothing of the C++ runtime,
// so none is linked), a floor for vellox's start-up time in the benchmark.

#include <zlib.h>

#include <cstdio>

int main(int argc, char**) {
  // Naming a zlib function keeps the library among the program's needs.
  if (argc > 1) std::puts(zlibVersion());
  return 0;
}
