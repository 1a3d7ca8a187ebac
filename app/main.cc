#include <cstdio>
#include <new>
#include <string>

#include "app/message.h"
#include "app/run.h"

int main(int argc, char** argv) {
  std::string inputPath;
  try {
    return vellox::Run(argc, argv, &inputPath);
  } catch (const std::bad_alloc&) {
    // Everything the run held, a half-written temporary file included, has
    // been undone by the time the exception arrives here.
    if (inputPath.empty()) {
      vellox::Say("out of memory");
    } else {
      vellox::Say("cannot convert '", inputPath, "': out of memory");
    }
    return vellox::kExitFailure;
  }
}
