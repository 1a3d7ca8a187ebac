#include "outline/bookmarks_from_outline.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"

namespace vellox {
namespace {

// Builds trees by hand: each Add puts a node under `parent` after the
// parent's last child.
struct TreeBuilder {
  OutlineTree tree;

  std::int32_t Add(std::int32_t parent, const std::u16string& title,
                   std::optional<std::int32_t> page = std::nullopt,
                   const std::u16string* label = nullptr) {
    OutlineTree::Node node;
    node.parent = parent;
    node.page = page;
    node.titleStart = tree.titles.size();
    node.titleLength = title.size();
    tree.titles += title;
    if (label != nullptr) {
      node.label = static_cast<std::int32_t>(tree.labels.size());
      tree.labels.push_back(*label);
    }
    const auto index = static_cast<std::int32_t>(tree.nodes.size());
    std::int32_t* link = &tree.nodes[static_cast<std::size_t>(parent)].firstChild;
    while (*link != OutlineTree::kNone) link = &tree.nodes[static_cast<std::size_t>(*link)].nextSibling;
    *link = index;
    tree.nodes.push_back(node);
    return index;
  }
};

struct Bookmarks {
  std::vector<std::string> texts;
  std::vector<std::int32_t> pages;
  std::vector<std::optional<std::string>> labels;
  OutlineReport report;
};

Bookmarks Convert(const OutlineTree& tree, std::int32_t limit, bool labels = false) {
  OutlineOptions options;
  options.depthLimit = limit;
  options.printedLabels = labels;
  BookmarkList list;
  Bookmarks out;
  out.report = AppendBookmarks(tree, options, &list);
  for (const BookmarkEntry& entry : list.Entries()) {
    out.texts.push_back(entry.text);
    out.pages.push_back(entry.page);
    out.labels.push_back(entry.label);
  }
  return out;
}

class BookmarksFromOutlineTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::InitializeCodePage(); }
};

// A (B (C)), D: the depth limit keeps levels, -2 none; a node without a
// page gets 0; titles end at their first NUL.
TEST_F(BookmarksFromOutlineTest, LevelsPagesAndTitles) {
  TreeBuilder b;
  const std::int32_t a = b.Add(0, u"A", 4);
  const std::int32_t bb = b.Add(a, u"B");
  b.Add(bb, std::u16string(u"C\0hidden", 8), 7);
  b.Add(0, u"D", -1);
  struct Case {
    std::int32_t limit;
    std::vector<std::string> texts;
    std::vector<std::int32_t> pages;
    bool hasOutline;
  } cases[] = {
      {-1, {"A", "  B", "    C", "D"}, {4, 0, 7, -1}, true},
      {1, {"A", "  B", "D"}, {4, 0, -1}, true},
      {0, {"A", "D"}, {4, -1}, true},
      {-2, {}, {}, false},
  };
  for (const Case& c : cases) {
    const Bookmarks out = Convert(b.tree, c.limit);
    EXPECT_EQ(out.texts, c.texts) << c.limit;
    EXPECT_EQ(out.pages, c.pages) << c.limit;
    EXPECT_EQ(out.report.hasOutline, c.hasOutline) << c.limit;
    EXPECT_FALSE(out.report.depthCut) << c.limit;
  }
  EXPECT_FALSE(Convert(OutlineTree(), -1).report.hasOutline);
}

TEST_F(BookmarksFromOutlineTest, LabelsOnlyWhenWantedAndNotEmpty) {
  TreeBuilder b;
  const std::u16string roman = u"iv", empty = u"", cut = std::u16string(u"\0x", 2);
  b.Add(0, u"A", 3, &roman);
  b.Add(0, u"B", 4, &empty);
  b.Add(0, u"C", 5, &cut);
  b.Add(0, u"D", 6);
  EXPECT_EQ(Convert(b.tree, -1, true).labels,
            (std::vector<std::optional<std::string>>{"iv", std::nullopt, std::nullopt,
                                                     std::nullopt}));
  EXPECT_EQ(Convert(b.tree, -1, false).labels, std::vector<std::optional<std::string>>(4));
}

// Levels below kMaxOutlineDepth are cut and said so, where the limit keeps
// them: whether the tree holds them or its reader stopped there.
TEST_F(BookmarksFromOutlineTest, DepthCut) {
  TreeBuilder deep;
  std::int32_t node = 0;
  for (int level = 0; level < kMaxOutlineDepth + 3; ++level) node = deep.Add(node, u"n");
  TreeBuilder stopped;
  node = 0;
  for (int level = 0; level < kMaxOutlineDepth; ++level) node = stopped.Add(node, u"n");
  stopped.tree.deeperLevelsLeftOut = true;
  for (const OutlineTree* tree : {&deep.tree, &stopped.tree}) {
    Bookmarks out = Convert(*tree, -1);
    EXPECT_EQ(out.texts.size(), static_cast<std::size_t>(kMaxOutlineDepth));
    EXPECT_TRUE(out.report.depthCut);
    out = Convert(*tree, kMaxOutlineDepth - 1);
    EXPECT_EQ(out.texts.size(), static_cast<std::size_t>(kMaxOutlineDepth));
    EXPECT_FALSE(out.report.depthCut);
    EXPECT_TRUE(Convert(*tree, kMaxOutlineDepth).report.depthCut);
  }
}

TEST_F(BookmarksFromOutlineTest, TheReadersNoteIsTheWarning) {
  TreeBuilder b;
  b.Add(0, u"A", 0);
  b.tree.repairNote = "the file is damaged";
  EXPECT_EQ(Convert(b.tree, -1).report.warning, "the file is damaged");
}

}  // namespace
}  // namespace vellox
