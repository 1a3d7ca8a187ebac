#include <cstdio>
#include <new>
#include <string>

#include "app/run.h"
#include "app/user_messages.h"

int main(int argc, char** argv) {
  std::string inputPath;
  try {
    return vellox::Run(argc, argv, &inputPath);
  } catch (const std::bad_alloc&) {
    // Everything the run held, a half-written temporary file included, has
    // been undone by the time the exception arrives here.
    vellox::PrintOutOfMemory(inputPath);
    return vellox::kExitFailure;
  }
}
