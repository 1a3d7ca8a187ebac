#include "program_test.h"

namespace vellox {
namespace testing {

std::string SampleBook() { return ReadFile(std::string(VELLOX_SOURCE_DIR) + "/samples/sample.pdf"); }

ProgramResult ProgramTest::Run(const std::vector<std::string>& arguments,
                               ProgramOptions options) const {
  if (options.directory.empty()) options.directory = scratch.path();
  return RunProgram(VELLOX_BINARY, arguments, options);
}

void ProgramTest::CopySample(const std::string& name) const {
  WriteFile(scratch.Path(name), SampleBook());
}

}  // namespace testing
}  // namespace vellox
