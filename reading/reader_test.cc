// The PDF readers, as the program reads with them (the reader chosen,
// the tree made into bookmarks), on PDF files written by the tests. The
// reader over qpdf is linked in, and every file is read by both readers.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "outline/bookmarks_from_outline.h"
#include "pdf/budgets.h"
#include "pdf_builder.h"
#include "pdf_writer.h"
#include "platform/code_page.h"
#include "reader_agreement.h"
#include "reading/read_with_chosen_reader.h"
#include "test_util.h"

namespace vellox {
namespace {

using testing::Bytes;
using testing::BuildDocument;
using testing::Damage;
using testing::OutlineNode;
using testing::PdfBuilder;
using testing::Ref;
using testing::ScratchDirectory;
using testing::WriteFile;

using Entries = std::vector<std::pair<std::int32_t, std::string>>;

struct ReadResult {
  Status status = Status::OK();
  Entries entries;
  OutlineReport report;
};

class ReaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { platform::InitializeCodePage(); }

  // Every file a test reads is read by both readers too: where the
  // built-in reader reads it, qpdf must read the same outline.
  std::string Save(const std::string& bytes, const std::string& name = "in.pdf") {
    const std::string path = scratch.Path(name);
    WriteFile(path, bytes);
    EXPECT_EQ(testing::CompareReaders(path), "") << "the readers disagree on " << name;
    return path;
  }

  // The bookmarks, as a run makes them; qpdf must not have printed
  // anything meanwhile.
  ReadResult Read(const std::string& pdf, std::int32_t depthLimit = -1) {
    return ReadPath(Save(pdf), depthLimit);
  }

  ReadResult ReadPath(const std::string& path, std::int32_t depthLimit = -1) {
    ReadResult result;
    OutlineOptions options;
    options.depthLimit = depthLimit;
    StatusOr<OutlineTree> tree = ReadTreePath(path, options);
    if (!tree.ok()) {
      result.status = tree.status();
      return result;
    }
    BookmarkList list;
    result.report = AppendBookmarks(*tree, options, &list);
    for (const BookmarkEntry& entry : list.Entries())
      result.entries.emplace_back(entry.page, entry.text);
    return result;
  }

  // The tree the chosen reader reads from `pdf`, which must read it.
  OutlineTree ReadTree(const std::string& pdf) {
    StatusOr<OutlineTree> tree = ReadTreePath(Save(pdf));
    EXPECT_TRUE(tree.ok()) << tree.status().message();
    return tree.ok() ? std::move(tree).value() : OutlineTree();
  }

  StatusOr<OutlineTree> ReadTreePath(const std::string& path,
                                     const OutlineOptions& options = OutlineOptions()) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    StatusOr<OutlineTree> tree =
        ReadWithChosenReader(path, options, testing::ReadersWithQpdfLinked());
    const std::string out = ::testing::internal::GetCapturedStdout();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");
    return tree;
  }

  ScratchDirectory scratch;
};

using Page = std::optional<std::int32_t>;

// The pages of the top-level nodes of `tree`, in order.
std::vector<Page> TopLevelPages(const OutlineTree& tree) {
  std::vector<Page> pages;
  for (std::int32_t node = tree.nodes[0].firstChild; node != OutlineTree::kNone;
       node = tree.nodes[static_cast<std::size_t>(node)].nextSibling)
    pages.push_back(tree.nodes[static_cast<std::size_t>(node)].page);
  return pages;
}

// ---------------------------------------------------------------- pages

// Each case builds a four-page document whose one outline item has the
// entries `Item` returns; `catalog` takes extra catalog entries.
struct DestinationCase {
  const char* name;
  std::function<std::string(PdfBuilder& b, std::string* catalog)> item;
  Page page;
};

void PrintTo(const DestinationCase& c, std::ostream* os) { *os << c.name; }

class DestinationTest : public ReaderTest,
                        public ::testing::WithParamInterface<DestinationCase> {};

TEST_P(DestinationTest, ResolvesPage) {
  PdfBuilder b;
  b.AddPages(4);
  std::string catalog;
  const std::string entries = GetParam().item(b, &catalog);
  b.AddOutline({{"Item", entries, {}}});
  b.AddCatalog(catalog);

  const OutlineTree tree = ReadTree(b.Build());
  EXPECT_EQ(tree.repairNote, "");
  EXPECT_EQ(TopLevelPages(tree), std::vector<Page>{GetParam().page});
}

std::string Fit(PdfBuilder& b, int page) { return "[" + b.PageRef(page) + " /Fit]"; }

// A two-level name tree: one leaf under the root, one under a middle node.
std::string NameTree(PdfBuilder& b, const std::string& firstNames,
                     const std::string& secondNames) {
  const int leaf1 = b.AddObject("<< /Limits [(a) (c)] /Names [" + firstNames + "] >>");
  const int leaf2 = b.AddObject("<< /Limits [(m) (z)] /Names [" + secondNames + "] >>");
  const int middle = b.AddObject("<< /Limits [(m) (z)] /Kids [" + Ref(leaf2) + "] >>");
  return "/Names << /Dests << /Kids [" + Ref(leaf1) + " " + Ref(middle) + "] >> >>";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DestinationTest,
    ::testing::Values(
        DestinationCase{"ArrayWithPageReference",
                        [](PdfBuilder& b, std::string*) {
                          return "/Dest [" + b.PageRef(2) + " /XYZ 0 792 0]";
                        },
                        2},
        DestinationCase{"IndirectArray",
                        [](PdfBuilder& b, std::string*) {
                          return "/Dest " + Ref(b.AddObject(Fit(b, 3)));
                        },
                        3},
        DestinationCase{"ArrayWithPageIndex",
                        [](PdfBuilder&, std::string*) { return std::string("/Dest [1 /Fit]"); },
                        1},
        DestinationCase{"PageIndexPastLastPage",
                        [](PdfBuilder&, std::string*) { return std::string("/Dest [4 /Fit]"); },
                        std::nullopt},
        DestinationCase{"NegativePageIndex",
                        [](PdfBuilder&, std::string*) { return std::string("/Dest [-1 /Fit]"); },
                        std::nullopt},
        DestinationCase{"EmptyArray",
                        [](PdfBuilder&, std::string*) { return std::string("/Dest []"); },
                        std::nullopt},
        DestinationCase{"NameInDests",
                        [](PdfBuilder& b, std::string* catalog) {
                          *catalog = "/Dests << /intro " + Fit(b, 3) + " >>";
                          return std::string("/Dest /intro");
                        },
                        3},
        DestinationCase{"NameInDestsDictionaryForm",
                        [](PdfBuilder& b, std::string* catalog) {
                          *catalog = "/Dests << /intro << /D " + Fit(b, 1) + " >> >>";
                          return std::string("/Dest /intro");
                        },
                        1},
        DestinationCase{"UnknownName",
                        [](PdfBuilder& b, std::string* catalog) {
                          *catalog = "/Dests << /intro " + Fit(b, 3) + " >>";
                          return std::string("/Dest /outro");
                        },
                        std::nullopt},
        DestinationCase{"StringInNameTreeLeaf",
                        [](PdfBuilder& b, std::string* catalog) {
                          *catalog = NameTree(b, "(a) " + Fit(b, 0) + " (c) " + Fit(b, 1),
                                              "(m) " + Fit(b, 3));
                          return std::string("/Dest (c)");
                        },
                        1},
        // hyperref's form: the value is a dictionary holding /D, indirectly.
        DestinationCase{"StringInNestedNameTreeDictionaryForm",
                        [](PdfBuilder& b, std::string* catalog) {
                          const int value = b.AddObject("<< /D " + Fit(b, 2) + " >>");
                          *catalog = NameTree(b, "(a) " + Fit(b, 0),
                                              "(m) " + Fit(b, 3) + " (sec.2) " + Ref(value));
                          return std::string("/Dest (sec.2)");
                        },
                        2},
        // Keys are compared as bytes, not as decoded text.
        DestinationCase{"NameTreeKeysAreRawBytes",
                        [](PdfBuilder& b, std::string* catalog) {
                          *catalog = NameTree(b, "(A) " + Fit(b, 0), "<FEFF0041> " + Fit(b, 3));
                          return std::string("/Dest <FEFF0041>");
                        },
                        3},
        DestinationCase{"NameTreeWithLoop",
                        [](PdfBuilder& b, std::string* catalog) {
                          const int root = b.ReserveObject();
                          const int leaf = b.AddObject("<< /Names [(x) " + Fit(b, 2) + "] >>");
                          b.SetObject(root, "<< /Kids [" + Ref(root) + " " + Ref(leaf) + "] >>");
                          *catalog = "/Names << /Dests " + Ref(root) + " >>";
                          return std::string("/Dest (x)");
                        },
                        2},
        DestinationCase{"GoToAction",
                        [](PdfBuilder& b, std::string*) {
                          return "/A << /S /GoTo /D " + Fit(b, 2) + " >>";
                        },
                        2},
        DestinationCase{"GoToActionWithName",
                        [](PdfBuilder& b, std::string* catalog) {
                          *catalog = NameTree(b, "(a) " + Fit(b, 1), "(m) " + Fit(b, 3));
                          return std::string("/A << /S /GoTo /D (m) >>");
                        },
                        3},
        DestinationCase{"DestBeforeAction",
                        [](PdfBuilder& b, std::string*) {
                          return "/Dest " + Fit(b, 1) + " /A << /S /GoTo /D " + Fit(b, 2) + " >>";
                        },
                        1},
        DestinationCase{"FirstPageAction",
                        [](PdfBuilder&, std::string*) {
                          return std::string("/A << /S /Named /N /FirstPage >>");
                        },
                        0},
        DestinationCase{"LastPageAction",
                        [](PdfBuilder&, std::string*) {
                          return std::string("/A << /S /Named /N /LastPage >>");
                        },
                        3},
        DestinationCase{"OtherNamedAction",
                        [](PdfBuilder&, std::string*) {
                          return std::string("/A << /S /Named /N /NextPage >>");
                        },
                        std::nullopt},
        DestinationCase{"UriAction",
                        [](PdfBuilder&, std::string*) {
                          return std::string("/A << /S /URI /URI (https://example.org/) >>");
                        },
                        std::nullopt},
        DestinationCase{"RemoteGoToAction",
                        [](PdfBuilder&, std::string*) {
                          return std::string("/A << /S /GoToR /F (other.pdf) /D [0 /Fit] >>");
                        },
                        std::nullopt},
        DestinationCase{"NoDestination",
                        [](PdfBuilder&, std::string*) { return std::string(); },
                        std::nullopt},
        DestinationCase{"DanglingReference",
                        [](PdfBuilder&, std::string*) {
                          return std::string("/Dest [999 0 R /Fit]");
                        },
                        std::nullopt},
        DestinationCase{"PageOutsidePageTree",
                        [](PdfBuilder& b, std::string*) {
                          return "/Dest [" + Ref(b.AddObject("<< /Type /Page >>")) + " /Fit]";
                        },
                        std::nullopt},
        DestinationCase{"NamesReferringToEachOther",
                        [](PdfBuilder&, std::string* catalog) {
                          *catalog = "/Dests << /a /b /b /a >>";
                          return std::string("/Dest /a");
                        },
                        std::nullopt},
        DestinationCase{"DictionaryReferringToItself",
                        [](PdfBuilder& b, std::string*) {
                          const int loop = b.ReserveObject();
                          b.SetObject(loop, "<< /D " + Ref(loop) + " >>");
                          return "/Dest " + Ref(loop);
                        },
                        std::nullopt}),
    [](const ::testing::TestParamInfo<DestinationCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(ReaderTest, PageIndexFollowsPageTreeOrderDespiteLoopsAndSharedKids) {
  PdfBuilder b;
  const int root = b.ReserveObject();
  const int p0 = b.AddObject("<< /Type /Page /Parent " + Ref(root) + " >>");
  const int p1 = b.AddObject("<< /Type /Page >>");
  const int p2 = b.AddObject("<< /Type /Page >>");
  // The inner node lists the root again (a loop) and p0 again (shared).
  const int inner = b.AddObject("<< /Type /Pages /Kids [" + Ref(p1) + " " + Ref(root) + " " +
                                Ref(p0) + " " + Ref(p2) + "] >>");
  b.SetObject(root, "<< /Type /Pages /Kids [" + Ref(p0) + " " + Ref(inner) + "] /Count 3 >>");
  auto item = [&](const char* title, int page) {
    return OutlineNode{title, "/Dest [" + Ref(page) + " /Fit]", {}};
  };
  const int outlines = b.AddOutline(
      {item("p2", p2), item("p1", p1), item("p0", p0),
       OutlineNode{"last", "/A << /S /Named /N /LastPage >>", {}}});
  b.SetRoot(b.AddObject("<< /Type /Catalog /Pages " + Ref(root) + " /Outlines " +
                        Ref(outlines) + " >>"));

  // p0, p1, the loop skipped, p0 again, p2.
  ReadResult result = Read(b.Build());
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  EXPECT_EQ(result.entries, (Entries{{3, "p2"}, {1, "p1"}, {0, "p0"}, {3, "last"}}));
}

// A damaged page tree whose /Kids lists an outline item and the catalog:
// both still count as what they are elsewhere, and the outline is read
// whole, never lost to the page walk.
TEST_F(ReaderTest, PageTreeListingOutlineObjectsLosesNoBookmark) {
  PdfBuilder b;
  const int root = b.ReserveObject();
  const int p0 = b.AddObject("<< /Type /Page /Parent " + Ref(root) + " >>");
  const int p1 = b.AddObject("<< /Type /Page /Parent " + Ref(root) + " >>");
  const int outlines = b.AddOutline({OutlineNode{"One", "/Dest [" + Ref(p0) + " /Fit]", {}},
                                     OutlineNode{"Two", "/Dest [" + Ref(p1) + " /Fit]", {}}});
  const int catalog = b.ReserveObject();
  // The outline's first item is the object after /Outlines.
  b.SetObject(root, "<< /Type /Pages /Kids [" + Ref(p0) + " " + Ref(outlines + 1) + " " +
                        Ref(catalog) + " " + Ref(p1) + "] /Count 2 >>");
  b.SetObject(catalog, "<< /Type /Catalog /Pages " + Ref(root) + " /Outlines " +
                           Ref(outlines) + " >>");
  b.SetRoot(catalog);

  ReadResult result = Read(b.Build());
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  ASSERT_EQ(result.entries.size(), 2u);
  EXPECT_EQ(result.entries[0].second, "One");
  EXPECT_EQ(result.entries[1].second, "Two");
  EXPECT_TRUE(result.report.hasOutline);
}

// The page index is built from the page tree's /Count values where they
// hold together, and by reading every page where they do not; each case is
// a page tree whose counts are true or lie in one way, and the indices
// expected are those of the tree as it is (the full walk's).
struct PageTreeCase {
  const char* name;
  // Writes the tree, adding its pages to `pages` in tree order; returns
  // the root.
  std::function<int(PdfBuilder& b, std::vector<int>* pages)> tree;
  std::vector<int> targets;  // indices into `pages`; kLast for /LastPage
  std::vector<Page> expected;
};

constexpr int kLast = -1;

void PrintTo(const PageTreeCase& c, std::ostream* os) { *os << c.name; }

class PageTreeTest : public ReaderTest,
                     public ::testing::WithParamInterface<PageTreeCase> {};

int AddPage(PdfBuilder& b, std::vector<int>* pages) {
  pages->push_back(b.AddObject("<< /Type /Page >>"));
  return pages->back();
}

int PagesNode(PdfBuilder& b, const std::string& count, const std::vector<int>& kids) {
  std::string list;
  for (int kid : kids) list += Ref(kid) + " ";
  return b.AddObject("<< /Type /Pages /Kids [" + list + "] /Count " + count + " >>");
}

TEST_P(PageTreeTest, SameIndicesAsReadingEveryPage) {
  PdfBuilder b;
  std::vector<int> pages;
  const int root = GetParam().tree(b, &pages);
  std::vector<OutlineNode> items;
  for (int target : GetParam().targets) {
    items.push_back(OutlineNode{"item", target == kLast
                                            ? std::string("/A << /S /Named /N /LastPage >>")
                                            : "/Dest [" + Ref(pages.at(target)) + " /Fit]",
                                {}});
  }
  const int outlines = b.AddOutline(items);
  b.SetRoot(b.AddObject("<< /Type /Catalog /Pages " + Ref(root) + " /Outlines " +
                        Ref(outlines) + " >>"));
  const OutlineTree tree = ReadTree(b.Build());
  EXPECT_EQ(tree.repairNote, "");
  EXPECT_EQ(TopLevelPages(tree), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, PageTreeTest,
    ::testing::Values(
        PageTreeCase{"TrueCounts",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int a0 = AddPage(b, p), a1 = AddPage(b, p);
                       const int a = PagesNode(b, "2", {a0, a1});
                       const int mid = AddPage(b, p);
                       const int c0 = AddPage(b, p), c1 = AddPage(b, p);
                       const int c = PagesNode(b, "2", {c0, c1});
                       return PagesNode(b, "5", {a, mid, c});
                     },
                     {4, 0, 2, kLast},
                     {4, 0, 2, 4}},
        PageTreeCase{"EmptyInnerNode",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int empty = PagesNode(b, "0", {});
                       const int p0 = AddPage(b, p), p1 = AddPage(b, p);
                       return PagesNode(b, "2", {empty, p0, p1});
                     },
                     {1, 0, kLast},
                     {1, 0, 1}},
        // The root claims three pages for three kids, but the first kid is
        // a subtree of two: an item leads into it, and the tree is read.
        // The item before it must not keep the index the counts gave.
        PageTreeCase{"KidsThatLookLikePagesHideASubtree",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int a0 = AddPage(b, p), a1 = AddPage(b, p);
                       const int a = PagesNode(b, "2", {a0, a1});
                       const int p2 = AddPage(b, p), p3 = AddPage(b, p);
                       return PagesNode(b, "3", {a, p2, p3});
                     },
                     {2, 1, kLast},
                     {2, 1, 3}},
        // The root's count equals its number of kids, yet its first kid
        // holds two pages: the counts alone would number P3 as 1.
        PageTreeCase{"CountEqualToKidsWithASubtreeAmongThem",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int a0 = AddPage(b, p), a1 = AddPage(b, p);
                       const int a = PagesNode(b, "2", {a0, a1});
                       const int p2 = AddPage(b, p);
                       return PagesNode(b, "2", {a, p2});
                     },
                     {2, kLast},
                     {2, 2}},
        // Counts that lie at two levels at once, each equal to its number
        // of kids: the counts would give 0, 2, 3 where the order is 0, 3, 4.
        PageTreeCase{"NestedCountsEqualToKids",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int a0 = AddPage(b, p);
                       const int b0 = AddPage(b, p), b1 = AddPage(b, p);
                       const int inner = PagesNode(b, "2", {b0, b1});
                       const int a = PagesNode(b, "2", {a0, inner});
                       const int p3 = AddPage(b, p), p4 = AddPage(b, p);
                       return PagesNode(b, "3", {a, p3, p4});
                     },
                     {0, 3, 4},
                     {0, 3, 4}},
        PageTreeCase{"CountAboveWhatTheKidsHold",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int a0 = AddPage(b, p), a1 = AddPage(b, p);
                       const int a = PagesNode(b, "2", {a0, a1});
                       const int p2 = AddPage(b, p);
                       return PagesNode(b, "7", {a, p2});
                     },
                     {2, kLast},
                     {2, 2}},
        // The root's count agrees with its kids' claims; the inner node's
        // count is the lie.
        PageTreeCase{"InnerCountBelowItsKids",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int a0 = AddPage(b, p), a1 = AddPage(b, p);
                       const int a = PagesNode(b, "1", {a0, a1});
                       const int p2 = AddPage(b, p);
                       return PagesNode(b, "2", {a, p2});
                     },
                     {2, 1, kLast},
                     {2, 1, 2}},
        PageTreeCase{"InnerNodeWithoutCount",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int a0 = AddPage(b, p), a1 = AddPage(b, p);
                       const int a = b.AddObject("<< /Type /Pages /Kids [" + Ref(a0) + " " +
                                                 Ref(a1) + "] >>");
                       const int p2 = AddPage(b, p);
                       return PagesNode(b, "3", {a, p2});
                     },
                     {2, 0, kLast},
                     {2, 0, 2}},
        PageTreeCase{"NegativeCount",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int p0 = AddPage(b, p), p1 = AddPage(b, p);
                       return PagesNode(b, "-2", {p0, p1});
                     },
                     {1, kLast},
                     {1, 1}},
        PageTreeCase{"CountNotANumber",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int p0 = AddPage(b, p), p1 = AddPage(b, p);
                       return PagesNode(b, "(2)", {p0, p1});
                     },
                     {1, kLast},
                     {1, 1}},
        // A page listed twice is shown twice, as viewers show it: the page
        // after it is numbered past both; the page object keeps its first
        // place.
        PageTreeCase{"PageListedTwice",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int p0 = AddPage(b, p), p1 = AddPage(b, p), p2 = AddPage(b, p);
                       return PagesNode(b, "4", {p0, p1, p0, p2});
                     },
                     {1, 0, 2, kLast},
                     {1, 0, 3, 3}},
        // A subtree listed twice (mutool numbers its pages 2, 3, 4, 3, 4
        // for [p0 a a p3] with a = [p1 p2]).
        PageTreeCase{"SubtreeListedTwice",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int p0 = AddPage(b, p), a1 = AddPage(b, p), a2 = AddPage(b, p);
                       const int a = PagesNode(b, "2", {a1, a2});
                       const int p3 = AddPage(b, p);
                       return PagesNode(b, "6", {p0, a, a, p3});
                     },
                     {2, 1, 3, kLast},
                     {2, 1, 5, 5}},
        // Listed again inside a subtree listed twice: four listings of p1.
        PageTreeCase{"SharedSubtreeListingAPageTwice",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int p0 = AddPage(b, p), a1 = AddPage(b, p);
                       const int a = PagesNode(b, "2", {a1, a1});
                       const int outer = PagesNode(b, "4", {a, a});
                       const int p2 = AddPage(b, p);
                       return PagesNode(b, "6", {p0, outer, p2});
                     },
                     {1, 2, kLast},
                     {1, 5, 5}},
        PageTreeCase{"RootListedAsItsOwnPage",
                     [](PdfBuilder& b, std::vector<int>* p) {
                       const int root = b.ReserveObject();
                       const int p0 = AddPage(b, p);
                       b.SetObject(root, "<< /Type /Pages /Kids [" + Ref(p0) + " " + Ref(root) +
                                             "] /Count 2 >>");
                       return root;
                     },
                     {0, kLast},
                     {0, 0}}),
    [](const ::testing::TestParamInfo<PageTreeCase>& info) {
      return std::string(info.param.name);
    });

// Names are looked up by descending through /Limits; where a tree's limits
// or order are wrong the descent misses, and the whole tree is read. Each
// case writes the same 27 names (n00 ... n26, the value of nK leading to
// page K mod 4) in three levels of three, spoilt one way.
struct NameTreeCase {
  const char* name;
  bool limitsOnMiddle = true;  // else the middle nodes have no /Limits
  bool middleReversed = false;  // the root lists its kids last first
  bool leafUnsorted = false;    // each leaf lists its names last first
  bool wrongLimits = false;     // the second middle node claims (x)-(y)
};

void PrintTo(const NameTreeCase& c, std::ostream* os) { *os << c.name; }

class NameTreeTest : public ReaderTest,
                     public ::testing::WithParamInterface<NameTreeCase> {};

TEST_P(NameTreeTest, FindsEveryNameAndOnlyThose) {
  const NameTreeCase& c = GetParam();
  PdfBuilder b;
  b.AddPages(4);
  auto name = [](int k) { return std::string(k < 10 ? "n0" : "n") + std::to_string(k); };
  std::vector<int> middles;
  for (int m = 0; m < 3; ++m) {
    std::vector<int> leaves;
    for (int l = 0; l < 3; ++l) {
      const int first = 9 * m + 3 * l;
      std::string names;
      for (int i = 0; i < 3; ++i) {
        const int k = first + (c.leafUnsorted ? 2 - i : i);
        names += "(" + name(k) + ") [" + b.PageRef(k % 4) + " /Fit] ";
      }
      leaves.push_back(b.AddObject("<< /Limits [(" + name(first) + ") (" + name(first + 2) +
                                   ")] /Names [" + names + "] >>"));
    }
    std::string limits;
    if (c.wrongLimits && m == 1) {
      limits = "/Limits [(x) (y)] ";
    } else if (c.limitsOnMiddle) {
      limits = "/Limits [(" + name(9 * m) + ") (" + name(9 * m + 8) + ")] ";
    }
    middles.push_back(b.AddObject("<< " + limits + "/Kids [" + Ref(leaves[0]) + " " +
                                  Ref(leaves[1]) + " " + Ref(leaves[2]) + "] >>"));
  }
  if (c.middleReversed) std::reverse(middles.begin(), middles.end());
  const int root = b.AddObject("<< /Kids [" + Ref(middles[0]) + " " + Ref(middles[1]) + " " +
                               Ref(middles[2]) + "] >>");
  const std::vector<std::string> lookedUp = {"n00", "n08", "n09", "n13", "n17",
                                             "n26", "n05", "n135", "zz", ""};
  std::vector<OutlineNode> items;
  for (const std::string& n : lookedUp) items.push_back(OutlineNode{n, "/Dest (" + n + ")", {}});
  b.AddOutline(items);
  b.AddCatalog("/Names << /Dests " + Ref(root) + " >>");

  const OutlineTree tree = ReadTree(b.Build());
  EXPECT_EQ(tree.repairNote, "");
  const std::vector<Page> expected = {0, 0, 1, 1, 1, 2, 1, std::nullopt, std::nullopt,
                                      std::nullopt};
  EXPECT_EQ(TopLevelPages(tree), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, NameTreeTest,
    ::testing::Values(NameTreeCase{"Sorted"},
                      NameTreeCase{"NoLimitsOnInnerNodes", false},
                      NameTreeCase{"KidsInReverseOrder", true, true},
                      NameTreeCase{"LeafNamesInReverseOrder", true, false, true},
                      NameTreeCase{"LimitsThatExcludeTheirNames", true, false, false, true}),
    [](const ::testing::TestParamInfo<NameTreeCase>& info) {
      return std::string(info.param.name);
    });

// ---------------------------------------------------------------- titles

TEST_F(ReaderTest, TitlesAreDecodedToTheCodePage) {
  const std::string pdf = BuildDocument(
      1, {{Bytes({0xFE, 0xFF, 0x00, 'C', 0x00, 'a', 0x00, 'f', 0x00, 0xE9}), "", {}},
          {Bytes({0xFF, 0xFE, 0x14, 0x20}), "", {}},
          {Bytes({0xEF, 0xBB, 0xBF, 0xE2, 0x82, 0xAC}), "", {}},
          {Bytes({0x93, 'n', 'e'}), "", {}}});
  ReadResult result = Read(pdf);
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  EXPECT_EQ(result.entries, (Entries{{0, "Caf\xC3\xA9"},
                                     {0, "\xE2\x80\x94"},
                                     {0, "\xE2\x82\xAC"},
                                     {0, "\xEF\xAC\x81ne"}}));
}

TEST_F(ReaderTest, MissingOrNonStringTitleIsEmpty) {
  PdfBuilder b;
  b.AddPages(1);
  const int outlines = b.ReserveObject();
  const int second = b.AddObject("<< /Title 42 /Parent " + Ref(outlines) + " >>");
  const int first = b.AddObject("<< /Parent " + Ref(outlines) + " /Next " + Ref(second) + " >>");
  b.SetObject(outlines, "<< /First " + Ref(first) + " /Last " + Ref(second) + " >>");
  b.SetRoot(b.AddObject("<< /Type /Catalog /Pages " + Ref(b.PagesObject()) + " /Outlines " +
                        Ref(outlines) + " >>"));
  ReadResult result = Read(b.Build());
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  EXPECT_EQ(result.entries, (Entries{{0, ""}, {0, ""}}));
}

// ---------------------------------------------------------------- outline shapes

// Each case writes an outline by hand: `Objects` adds the item objects
// under `outlines` and returns that object's body.
struct ShapeCase {
  const char* name;
  std::function<std::string(PdfBuilder& b, int outlines)> objects;
  std::vector<std::string> texts;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class OutlineShapeTest : public ReaderTest,
                         public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(OutlineShapeTest, ListsEachNodeOnce) {
  PdfBuilder b;
  b.AddPages(1);
  const int outlines = b.ReserveObject();
  b.SetObject(outlines, GetParam().objects(b, outlines));
  b.SetRoot(b.AddObject("<< /Type /Catalog /Pages " + Ref(b.PagesObject()) + " /Outlines " +
                        Ref(outlines) + " >>"));
  ReadResult result = Read(b.Build());
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  std::vector<std::string> texts;
  for (const auto& entry : result.entries) texts.push_back(entry.second);
  EXPECT_EQ(texts, GetParam().texts);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, OutlineShapeTest,
    ::testing::Values(
        ShapeCase{"NextLoop",
                  [](PdfBuilder& b, int) {
                    const int a = b.ReserveObject();
                    const int c = b.AddObject("<< /Title (C) /Next " + Ref(a) + " >>");
                    const int bb = b.AddObject("<< /Title (B) /Next " + Ref(c) + " >>");
                    b.SetObject(a, "<< /Title (A) /Next " + Ref(bb) + " >>");
                    return "<< /First " + Ref(a) + " >>";
                  },
                  {"A", "B", "C"}},
        ShapeCase{"NextToItself",
                  [](PdfBuilder& b, int) {
                    const int a = b.ReserveObject();
                    b.SetObject(a, "<< /Title (A) /Next " + Ref(a) + " >>");
                    return "<< /First " + Ref(a) + " >>";
                  },
                  {"A"}},
        ShapeCase{"FirstToAncestor",
                  [](PdfBuilder& b, int outlines) {
                    const int a = b.ReserveObject();
                    const int child = b.AddObject("<< /Title (child) /First " + Ref(a) +
                                                  " /Next " + Ref(outlines) + " >>");
                    b.SetObject(a, "<< /Title (A) /First " + Ref(child) + " >>");
                    return "<< /First " + Ref(a) + " >>";
                  },
                  {"A", "  child"}},
        ShapeCase{"NodeUnderTwoParents",
                  [](PdfBuilder& b, int) {
                    const int shared = b.AddObject("<< /Title (shared) >>");
                    const int second =
                        b.AddObject("<< /Title (second) /First " + Ref(shared) + " >>");
                    const int first = b.AddObject("<< /Title (first) /First " + Ref(shared) +
                                                  " /Next " + Ref(second) + " >>");
                    return "<< /First " + Ref(first) + " >>";
                  },
                  {"first", "  shared", "second"}},
        // A sibling reached again through /Next ends the chain there.
        ShapeCase{"NextToEarlierChild",
                  [](PdfBuilder& b, int) {
                    const int y = b.ReserveObject();
                    const int x = b.AddObject("<< /Title (x) /Next " + Ref(y) + " >>");
                    b.SetObject(y, "<< /Title (y) /Next " + Ref(x) + " >>");
                    const int a = b.AddObject("<< /Title (A) /First " + Ref(x) + " /Next " +
                                              Ref(x) + " >>");
                    return "<< /First " + Ref(a) + " >>";
                  },
                  {"A", "  x", "  y"}},
        // Broken files may hold items as direct dictionaries.
        ShapeCase{"DirectDictionaries",
                  [](PdfBuilder&, int) {
                    return std::string(
                        "<< /First << /Title (A) /First << /Title (A1) >> "
                        "/Next << /Title (B) >> >> >>");
                  },
                  {"A", "  A1", "B"}},
        ShapeCase{"FirstNotADictionary",
                  [](PdfBuilder&, int) { return std::string("<< /First 7 >>"); },
                  {}},
        ShapeCase{"NoFirst",
                  [](PdfBuilder&, int) { return std::string("<< /Count 0 >>"); },
                  {}}),
    [](const ::testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, DocumentWithoutOutline) {
  PdfBuilder b;
  b.AddPages(2);
  b.AddCatalog();
  ReadResult result = Read(b.Build());
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  EXPECT_TRUE(result.entries.empty());
  EXPECT_FALSE(result.report.hasOutline);
}

// Nesting far past the bookmarks' cut: the reader holds it all, the
// bookmarks stop at their limit.
TEST_F(ReaderTest, VeryDeepNesting) {
  constexpr int kDepth = 100000;
  PdfBuilder b;
  b.AddPages(1);
  const int outlines = b.ReserveObject();
  const int first = b.ReserveObject();
  for (int level = 0; level < kDepth; ++level) {
    const int number = first + level;
    std::string body = "<< /Title (L" + std::to_string(level) + ") /Dest [0 /Fit]";
    if (level + 1 < kDepth) body += " /First " + Ref(b.ReserveObject());
    b.SetObject(number, body + " >>");
  }
  b.SetObject(outlines, "<< /First " + Ref(first) + " >>");
  b.SetRoot(b.AddObject("<< /Type /Catalog /Pages " + Ref(b.PagesObject()) + " /Outlines " +
                        Ref(outlines) + " >>"));
  const std::string pdf = b.Build();

  ReadResult result = Read(pdf);
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  ASSERT_EQ(result.entries.size(), static_cast<std::size_t>(kMaxOutlineDepth));
  EXPECT_EQ(result.entries.back().second,
            std::string(2 * (kMaxOutlineDepth - 1), ' ') + "L" +
                std::to_string(kMaxOutlineDepth - 1));
  EXPECT_TRUE(result.report.depthCut);

  // The reader holds every level; the bookmarks stop at kMaxOutlineDepth.
  const OutlineTree tree = ReadTree(pdf);
  ASSERT_EQ(tree.nodes.size(), static_cast<std::size_t>(kDepth) + 1);
  EXPECT_FALSE(tree.deeperLevelsLeftOut);
  std::int32_t deepest = 0;
  for (int level = 0; level < kDepth; ++level) {
    deepest = tree.nodes[static_cast<std::size_t>(deepest)].firstChild;
    ASSERT_NE(deepest, OutlineTree::kNone) << level;
  }
  EXPECT_EQ(tree.nodes[static_cast<std::size_t>(deepest)].firstChild, OutlineTree::kNone);
  EXPECT_EQ(tree.Title(deepest), u"L99999");  // L(kDepth - 1)
}

// ---------------------------------------------------------------- files

TEST_F(ReaderTest, SameOutlineFromEveryFileLayout) {
  PdfBuilder b;
  b.AddPages(3);
  b.AddOutline({{"One", "/Dest [" + b.PageRef(0) + " /Fit]", {{"Two", "/Dest [2 /Fit]", {}}}},
                {Bytes({0xFE, 0xFF, 0x00, 0xE9}), "/A << /S /GoTo /D (n) >>", {}}});
  const int value = b.AddObject("<< /D [" + b.PageRef(1) + " /Fit] >>");
  b.AddCatalog("/Names << /Dests << /Names [(n) " + Ref(value) + "] >> >>");
  const std::string plain = b.Build();
  const Entries expected{{0, "One"}, {2, "  Two"}, {1, "\xC3\xA9"}};

  std::vector<std::pair<std::string, std::string>> layouts = {
      {"plain", plain},
      {"object streams", testing::WithObjectStreams(plain)},
      // Items, pages and the outline root in an object stream that only
      // the /XRefStm stream finds.
      {"hybrid, the table marking the compressed objects free", b.BuildHybrid(true)},
      {"hybrid, the table leaving them out", b.BuildHybrid(false)},
      {"linearized", testing::Linearized(plain, false)},
      {"linearized, object streams", testing::Linearized(plain, true)},
  };
  // Encrypted with the empty user password: every cipher opens without one.
  for (const auto& encryption : testing::EveryEncryption())
    layouts.emplace_back("encrypted, " + encryption.first,
                         testing::Encrypted(plain, "", "owner", encryption.second));
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.first);
    const std::string path = Save(layout.second);
    std::string handedOver;
    testing::CompareReaders(path, &handedOver);
    EXPECT_EQ(handedOver, "") << "the built-in reader reads every layout itself";
    ReadResult result = ReadPath(path);
    ASSERT_TRUE(result.status.ok()) << result.status.message();
    EXPECT_EQ(result.entries, expected);
    EXPECT_EQ(result.report.warning, "");
  }
}

// Incremental updates, hundreds of them, in both section forms: items
// retitled in turn, and near the end the last one deleted and the list
// relinked without it; the newest definition of each object is read.
TEST_F(ReaderTest, LongChainsOfUpdatesReadTheNewestObjects) {
  constexpr long kPages = 2, kFirstItem = 5, kItems = 3, kUpdates = 600;
  const auto item = [](long index, const std::string& title, long previous, long next) {
    std::string body = "<< /Title (" + title + ") /Parent 4 0 R /Dest [" +
                       std::to_string(2 + index % kPages) + " 0 R /Fit]";
    if (previous != 0) body += " /Prev " + Ref(static_cast<int>(previous));
    if (next != 0) body += " /Next " + Ref(static_cast<int>(next));
    return body + " >>";
  };
  const auto outlines = [](long first, long last) {
    return "<< /Type /Outlines /First " + Ref(static_cast<int>(first)) + " /Last " +
           Ref(static_cast<int>(last)) + " >>";
  };
  std::string pdf;
  testing::StringOutput output(&pdf);
  testing::PdfWriter writer(&output, "1.7");
  writer.AddObject(1, "<< /Type /Catalog /Pages 10 0 R /Outlines 4 0 R >>");
  writer.AddObject(2, "<< /Type /Page /Parent 10 0 R >>");
  writer.AddObject(3, "<< /Type /Page /Parent 10 0 R >>");
  writer.AddObject(10, "<< /Type /Pages /Kids [2 0 R 3 0 R] /Count 2 >>");
  writer.AddObject(4, outlines(kFirstItem, kFirstItem + kItems - 1));
  for (long i = 0; i < kItems; ++i)
    writer.AddObject(kFirstItem + i, item(i, "Item " + std::to_string(i),
                                          i > 0 ? kFirstItem + i - 1 : 0,
                                          i + 1 < kItems ? kFirstItem + i + 1 : 0));
  writer.EndWithTable("/Root 1 0 R");
  for (long update = 1; update <= kUpdates; ++update) {
    const long i = update % kItems;
    const std::string title = "Item " + std::to_string(i) + " v" + std::to_string(update);
    if (update == kUpdates - 1) {
      // The last item goes; the one before it ends the list.
      writer.FreeObject(kFirstItem + i);
      writer.AddObject(kFirstItem + i - 1,
                       item(i - 1, "Item 1 v" + std::to_string(update), kFirstItem + i - 2, 0));
      writer.AddObject(4, outlines(kFirstItem, kFirstItem + i - 1));
    } else {
      writer.AddObject(kFirstItem + i, item(i, title, i > 0 ? kFirstItem + i - 1 : 0,
                                            i + 1 < kItems ? kFirstItem + i + 1 : 0));
    }
    if (update % 2 == 0) {
      writer.EndUpdateWithTable("/Root 1 0 R");
    } else {
      writer.EndUpdateWithXrefStream(100 + update, "/Root 1 0 R");
    }
  }
  ReadResult result = Read(pdf);
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  EXPECT_EQ(result.entries, (Entries{{0, "Item 0 v600"}, {1, "Item 1 v599"}}));
}

TEST_F(ReaderTest, DamagedFileIsRecoveredWithOneWarning) {
  PdfBuilder b;
  b.AddPages(2);
  b.AddOutline({{"One", "/Dest [1 /Fit]", {}}, {"Two", "/Dest [" + b.PageRef(1) + " /Fit]", {}}});
  b.AddCatalog();
  Damage wrongOffsets;
  wrongOffsets.wrongOffsets = true;
  Damage noXref;
  noXref.noXrefTable = true;
  const std::string whole = b.Build();
  const std::pair<const char*, std::string> files[] = {
      {"wrong offsets", b.Build(wrongOffsets)},
      {"no xref", b.Build(noXref)},
      {"cut inside the xref offset", whole.substr(0, whole.size() - 9)},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.first);
    ReadResult result = Read(file.second);
    ASSERT_TRUE(result.status.ok()) << result.status.message();
    EXPECT_EQ(result.entries, (Entries{{1, "One"}, {1, "Two"}}));
    const std::string prefix = "the file is damaged; read what could be recovered (";
    EXPECT_EQ(result.report.warning.substr(0, prefix.size()), prefix) << result.report.warning;
    EXPECT_EQ(result.report.warning.back(), ')');
    EXPECT_EQ(result.report.warning.find('\n'), std::string::npos);
  }
}

// Sets VELLOX_READER for the scope and puts the old value back.
class ReaderChoiceScope {
 public:
  explicit ReaderChoiceScope(const char* choice) {
    const char* old = std::getenv("VELLOX_READER");
    if (old != nullptr) previous = old;
    setenv("VELLOX_READER", choice, 1);
  }
  ~ReaderChoiceScope() {
    if (previous) {
      setenv("VELLOX_READER", previous->c_str(), 1);
    } else {
      unsetenv("VELLOX_READER");
    }
  }

 private:
  std::optional<std::string> previous;
};

// Which failures the built-in reader hands to the fallback: damage only.
TEST_F(ReaderTest, OnlyDamageIsHandedToTheFallback) {
  PdfBuilder b;
  b.AddPages(1);
  b.AddOutline({{"A", "", {}}});
  b.AddCatalog();
  Damage noXref;
  noXref.noXrefTable = true;
  const std::string damaged = Save(b.Build(noXref), "damaged.pdf");

  // /Outlines through a chain of references longer than the reader follows.
  PdfBuilder chained;
  chained.AddPages(1);
  int head = chained.AddOutline({{"A", "", {}}});
  for (int i = 0; i <= pdf::kMaxReferenceHops; ++i) head = chained.AddObject(Ref(head));
  chained.SetRoot(chained.AddObject("<< /Type /Catalog /Pages " +
                                    Ref(chained.PagesObject()) + " /Outlines " + Ref(head) +
                                    " >>"));
  const std::string overLimit = Save(chained.Build(), "chained.pdf");

  // A cross-reference stream whose predictor rows would take 2 GiB each.
  std::string absurd;
  testing::StringOutput output(&absurd);
  testing::PdfWriter writer(&output, "1.7");
  writer.AddObject(1, "<< /Type /Catalog >>");
  writer.EndWithXrefStream(2, "/Root 1 0 R /DecodeParms << /Predictor 12 /Columns 2147483648 >>");
  const std::string absurdPath = scratch.Path("absurd.pdf");
  WriteFile(absurdPath, absurd);

  const struct {
    const char* name;
    const char* reader;
    std::string path;
    StatusCode code;     // kOk: read
    std::string reason;  // the start of the failure's reason or of the repair note
  } cases[] = {
      {"damage, repaired", "auto", damaged, StatusCode::kOk, "the file is damaged; read what"},
      {"damage, built-in reader alone", "builtin", damaged, StatusCode::kDamaged, "damaged ("},
      {"over a budget: final", "auto", overLimit, StatusCode::kOverLimit,
       "a chain of references exceeds the limit"},
      {"absurd parameters: final", "auto", absurdPath, StatusCode::kOverLimit,
       "a predictor's row exceeds the limit of 64 MiB"},
      {"the qpdf reader keeps the budgets", "qpdf", absurdPath, StatusCode::kOverLimit,
       "a predictor's row exceeds the limit of 64 MiB"},
      {"no PDF: final", "auto", Save("text\n", "text.pdf"), StatusCode::kInvalidData,
       "not a PDF file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderChoiceScope choice(c.reader);
    StatusOr<OutlineTree> read = ReadTreePath(c.path);
    EXPECT_EQ(read.status().code(), c.code);
    const std::string& said = read.ok() ? read->repairNote : read.status().message();
    EXPECT_EQ(said.substr(0, c.reason.size()), c.reason) << said;
  }
}

// A stand-in for the registered component: created or not, as the case
// says; what it reads says that it read it.
bool g_componentCreated = false;
int g_componentAsked = 0;

StatusOr<OutlineTree> StandInComponent(const std::string&, const OutlineOptions&,
                                       bool explainAbsence, bool* created) {
  ++g_componentAsked;
  *created = g_componentCreated;
  if (!*created) return Status::Unavailable(explainAbsence ? "not registered" : "not there");
  OutlineTree tree;
  tree.repairNote = "read by the component";
  return tree;
}

// Where the program has the registered component (Windows), it reads
// first; ours only where it cannot be created, and qpdf is not there.
TEST_F(ReaderTest, TheRegisteredComponentReadsFirstWhereThereIsOne) {
  const std::string path = Save(BuildDocument(1, {{"A", "", {}}}), "sound.pdf");
  Readers readers;
  readers.component = &StandInComponent;
  const struct {
    const char* name;
    const char* reader;
    bool created;
    int asked;
    StatusCode code;     // kOk: read
    std::string said;    // the failure's reason or the repair note
  } cases[] = {
      {"there: it reads", "auto", true, 1, StatusCode::kOk, "read by the component"},
      {"missing: ours reads, silently", "auto", false, 1, StatusCode::kOk, ""},
      {"alone, and missing: why", "component", false, 1, StatusCode::kUnavailable,
       "not registered"},
      {"ours alone: never asked", "builtin", true, 0, StatusCode::kOk, ""},
      {"qpdf, which is not built there", "qpdf", false, 1, StatusCode::kUnavailable,
       "this build has no repair reader"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderChoiceScope choice(c.reader);
    g_componentCreated = c.created;
    g_componentAsked = 0;
    StatusOr<OutlineTree> read = ReadWithChosenReader(path, OutlineOptions(), readers);
    EXPECT_EQ(g_componentAsked, c.asked);
    EXPECT_EQ(read.status().code(), c.code);
    EXPECT_EQ(read.ok() ? read->repairNote : read.status().message(), c.said);
    if (read.ok() && c.said.empty()) {
      EXPECT_EQ(read->nodes.size(), 2u);  // ours read "A"
    }
  }
}

TEST_F(ReaderTest, UnreadableFilesFailWithReason) {
  const std::string pdf = BuildDocument(1, {{"A", "", {}}});
  const std::string missing = scratch.Path("missing.pdf");
  const std::string directory = scratch.Path("folder.pdf");
  ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
  const struct {
    const char* name;
    std::string path;
    StatusCode code;
    std::string reason;  // the start of it
  } cases[] = {
      {"missing", missing, StatusCode::kNotFound, "No such file or directory"},
      {"directory", directory, StatusCode::kIoError, "is a directory"},
      {"text file", Save("just some text\n", "text.pdf"), StatusCode::kInvalidData,
       "not a PDF file"},
      {"empty file", Save("", "empty.pdf"), StatusCode::kInvalidData, "not a PDF file"},
      {"header only", Save("%PDF-1.4\n", "header.pdf"), StatusCode::kDamaged,
       "damaged beyond repair"},
      {"password", Save(testing::Encrypted(pdf, "secret", "owner"), "locked.pdf"),
       StatusCode::kDamaged, "needs a password"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReadResult result = ReadPath(c.path);
    ASSERT_FALSE(result.status.ok());
    // The code reaches the caller; the reason names no path.
    EXPECT_EQ(result.status.code(), c.code);
    EXPECT_EQ(result.status.message().substr(0, c.reason.size()), c.reason)
        << result.status.message();
    EXPECT_EQ(result.status.message().find('\n'), std::string::npos);
    EXPECT_TRUE(result.entries.empty());
  }
}

TEST_F(ReaderTest, UnreadableFilePermission) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = Save(BuildDocument(1, {}));
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  ReadResult result = ReadPath(path);
  EXPECT_EQ(result.status.message(), "Permission denied");
}

// A path whose bytes are not UTF-8 reaches the file system unchanged.
TEST_F(ReaderTest, PathBytesArePassedThrough) {
  const std::string path =
      Save(BuildDocument(1, {{"A", "", {}}}), std::string("caf\xE9 \xFF.pdf"));
  ReadResult result = ReadPath(path);
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  EXPECT_EQ(result.entries, (Entries{{0, "A"}}));
}

}  // namespace
}  // namespace vellox
