#include "app/output_collisions.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace vellox {
namespace {

TEST(OutputCollisionsTest, LaterPdfsNameTheFirstWithTheSameBookmarkFile) {
  platform::InitializeCodePage();
  struct Case {
    std::vector<std::string> pdfs;
    std::vector<std::string> expected;
  } cases[] = {
      {{}, {}},
      {{"/d/a.pdf", "/d/b.pdf", "/e/a.pdf"}, {"", "", ""}},
      {{"/d/Book.PDF", "/d/Book.pdf"}, {"", "/d/Book.PDF"}},
      {{"/d/Book.PDF", "/d/Book.pdf", "/d/book.pdf", "/d/other.pdf"},
       {"", "/d/Book.PDF", "/d/Book.PDF", ""}},
      {{"/D/x.pdf", "/d/X.Pdf"}, {"", "/D/x.pdf"}},  // folders fold too
      {{"/d/a.b.pdf", "/d/a.pdf"}, {"", ""}},
      // Only ASCII letters fold: these are different names everywhere.
      {{"/d/\xC3\x89.pdf", "/d/\xC3\xA9.pdf"}, {"", ""}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindOutputCollisions(c.pdfs), c.expected) << c.pdfs.size();
}

}  // namespace
}  // namespace vellox
