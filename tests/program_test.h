#ifndef VELLOX_TESTS_PROGRAM_TEST_H_
#define VELLOX_TESTS_PROGRAM_TEST_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_program.h"
#include "test_util.h"

namespace vellox {
namespace testing {

// The sample book (samples/sample.pdf, written by samples/make_sample.py):
// ten pages with printed labels (i-iii, 1-5, A-1, A-2), nine bookmarks
// over three levels, each kind of destination and title encoding.
std::string SampleBook();

// A test that runs the built program as a user does, in a scratch
// directory of its own.
class ProgramTest : public ::testing::Test {
 protected:
  // The program with `arguments` after argument 0, in the scratch
  // directory unless `options` names another.
  ProgramResult Run(const std::vector<std::string>& arguments,
                    ProgramOptions options = ProgramOptions()) const;
  // The sample book written to `name`, relative to the scratch directory.
  void CopySample(const std::string& name) const;

  ScratchDirectory scratch;
};

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_PROGRAM_TEST_H_
