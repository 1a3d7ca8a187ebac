#include <cstdio>
#include <new>
#include <string>

#include "app/run.h"

int main(int argc, char** argv) {
  std::string inputPath;
  try {
    return vellox::Run(argc, argv, &inputPath);
  } catch (const std::bad_alloc&) {
    // Everything the run held, a half-written temporary file included, has
    // been undone by the time the exception arrives here.
    if (inputPath.empty()) {
      std::fputs("vellox: out of memory\n", stderr);
    } else {
      std::fprintf(stderr, "vellox: cannot convert '%s': out of memory\n",
                   inputPath.c_str());
    }
    return vellox::kExitFailure;
  }
}
