#include "app/output_path.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace vellox {
namespace {

TEST(OutputPathTest, ReplacesTheExtensionOfTheLastElementOnly) {
  platform::InitializeCodePage();
  struct Case {
    const char* input;
    const char* expected;
  } cases[] = {
      {"/docs/book.pdf", "/docs/book.pdr"},
      {"/docs/a.b.pdf", "/docs/a.b.pdr"},
      {"/docs/notes", "/docs/notes.pdr"},
      {"/docs/rev.2/notes", "/docs/rev.2/notes.pdr"},
      {"/books/.hidden", "/books/.hidden.pdr"},
      {"/books/.hidden.pdf", "/books/.hidden.pdr"},
      {"/books/book.", "/books/book.pdr"},
      {"book.PDF", "book.pdr"},
      {"book.pdr", "book.pdr"},  // the caller refuses to overwrite its input
      // A two-byte character whose second byte is 0x2E is not a full stop
      // in UTF-8 (there is none), but an invalid byte before one still is.
      {"/d/caf\xC3\xA9.pdf", "/d/caf\xC3\xA9.pdr"},
      {"/d/x\xFF.pdf", "/d/x\xFF.pdr"},
  };
  for (const Case& c : cases) EXPECT_EQ(DeriveOutputPath(c.input), c.expected) << c.input;
}

TEST(OutputPathTest, ExtensionsMatchInAnyLetterCase) {
  struct Case {
    const char* path;
    bool pdf;
  } cases[] = {
      {"/d/book.pdf", true}, {"/d/book.PdF", true}, {".pdf", true},
      {"/d/book.pdfx", false}, {"/d/bookpdf", false}, {"pdf", false}, {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(HasExtension(c.path, ".pdf"), c.pdf) << c.path;
}

}  // namespace
}  // namespace vellox
