#ifndef VELLOX_TESTS_PARSED_OBJECT_H_
#define VELLOX_TESTS_PARSED_OBJECT_H_

#include <string>

#include "pdf/object.h"

namespace vellox {
namespace testing {

// The object `text` writes in PDF syntax ("<< /Predictor 12 >>"), read by
// the built-in reader's parser: fixtures written as a PDF would hold them.
pdf::Object ParsedObject(const std::string& text);

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_PARSED_OBJECT_H_
