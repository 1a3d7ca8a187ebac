// hello_zlib: a C++ program linked with zlib that does nothing, the floor
// for vellox's start-up time in the benchmark.

#include <zlib.h>

#include <cstdio>

int main(int argc, char**) {
  // Naming a zlib function keeps the library among the program's needs.
  if (argc > 1) std::puts(zlibVersion());
  return 0;
}
