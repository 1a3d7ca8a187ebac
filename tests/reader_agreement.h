#ifndef VELLOX_TESTS_READER_AGREEMENT_H_
#define VELLOX_TESTS_READER_AGREEMENT_H_

#include <string>

#include "outline/outline_tree.h"
#include "reading/read_with_chosen_reader.h"

namespace vellox {
namespace testing {

// The first difference between two outlines (shape, titles, pages), or ""
// when they are the same.
std::string OutlineDifference(const OutlineTree& builtin, const OutlineTree& qpdf);

// Reads `path` with both readers. Where the built-in reader reads the
// file and qpdf reads it cleanly, both must read the same outline: returns
// the first difference, or "" when they agree (or qpdf had to repair the
// file, when its outline is its own reconstruction). Where the built-in reader
// hands the file over (damage, encryption, a budget), `handedOver` gets
// its reason and the result is "".
// With `qpdfMustRead` false, a file qpdf cannot read at all counts as no
// reference either (the fuzzer's setting: random bytes the built-in reader
// takes more leniently are no disagreement about an outline).
std::string CompareReaders(const std::string& path, std::string* handedOver = nullptr,
                           bool qpdfMustRead = true);

// The program's readers with the reader over qpdf linked in rather than
// loaded from its module, for tests and fuzzers that run both readers in
// one process.
Readers ReadersWithQpdfLinked();

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_READER_AGREEMENT_H_
