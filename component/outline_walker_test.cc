#include "component/outline_walker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "outline/bookmarks_from_outline.h"
#include "platform/code_page.h"
#include "platform/wide_path.h"
#include "platform/wide_text.h"

namespace vellox {
namespace {

// A scripted component: an outline tree in memory, and a log of every call
// the walker makes, so that call order and reference counts can be checked.
struct Node {
  std::u16string title;
  LONG page;
  std::vector<Node> children;
  std::optional<std::u16string> label = std::nullopt;  // none: GetPageLabel says S_FALSE
};

struct Script {
  std::vector<Node> topLevel;
  HRESULT openResult = S_OK;
  std::string errorText;   // left for the caller when Open does not succeed
  bool refuseOutline = false;
  bool noItemAfterLastSibling = false;  // instead of standing still
  std::u16string noItemUnder;           // a node whose children yield no item
  bool pageLabels = false;              // items offer IPdfPageLabel
};

class FakeComponent;

class FakeItem : public IPdfOutlineItemPlaceholders, public IPdfPageLabel {
 public:
  FakeItem(FakeComponent* owner, const Node* node) : owner(owner), node(node) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
  HRESULT STDMETHODCALLTYPE GetPage(LONG* page) override;
  HRESULT STDMETHODCALLTYPE GetPageLabel(BSTR* label) override;

  FakeComponent* owner;
  const Node* node;
  int references = 0;
};

class FakeComponent : public IPdfDocumentPlaceholders, public IPdfOutlinePlaceholders {
 public:
  explicit FakeComponent(Script script) : script(std::move(script)) {
    root.children = this->script.topLevel;
  }

  std::string Name(const Node* node) const {
    return platform::TextFromWide(node->title.c_str());
  }

  // IUnknown, shared: the log tells which interface was released.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    log.push_back("QueryInterface");
    *out = nullptr;
    if (script.refuseOutline || !IsEqualGUID(iid, IID_IPdfOutline)) return E_NOINTERFACE;
    *out = static_cast<IPdfOutline*>(this);
    ++references;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    log.push_back("Release");
    return --references;
  }

  HRESULT STDMETHODCALLTYPE Open(BSTR path) override {
    log.push_back("Open");
    openedPath = platform::PathFromWide(path, SysStringLen(path));
    if (!script.errorText.empty()) platform::SetComponentErrorText(script.errorText);
    return script.openResult;
  }

  HRESULT STDMETHODCALLTYPE MoveToRoot() override {
    log.push_back("MoveToRoot");
    path.assign(1, &root);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE MoveToParent() override {
    log.push_back("MoveToParent");
    path.pop_back();
    pastLast = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsLeaf() override {
    bool leaf = path.back()->children.empty();
    log.push_back(leaf ? "IsLeaf=1" : "IsLeaf=0");
    return leaf ? S_FALSE : S_OK;
  }
  HRESULT STDMETHODCALLTYPE MoveToFirstChild() override {
    log.push_back("MoveToFirstChild");
    pastLast = !script.noItemUnder.empty() && path.back()->title == script.noItemUnder;
    path.push_back(&path.back()->children.front());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE MoveToNextSibling() override {
    log.push_back("MoveToNextSibling");
    const Node* parent = path[path.size() - 2];
    const Node* last = &parent->children.back();
    if (path.back() != last) {
      ++path.back();
    } else if (script.noItemAfterLastSibling) {
      pastLast = true;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCurrentItem(IPdfOutlineItem** item) override {
    if (pastLast) {
      log.push_back("GetCurrentItem=none");
      return S_FALSE;
    }
    const Node* node = path.back();
    std::unique_ptr<FakeItem>& slot = items[node];
    if (!slot) slot.reset(new FakeItem(this, node));
    slot->AddRef();
    log.push_back("GetCurrentItem=" + Name(node));
    *item = slot.get();
    return S_OK;
  }

  int OutstandingItemReferences() const {
    int total = 0;
    for (const auto& item : items) total += item.second->references;
    return total;
  }

  Script script;
  Node root;
  std::vector<const Node*> path;  // root first, cursor last
  bool pastLast = false;
  std::map<const Node*, std::unique_ptr<FakeItem>> items;
  std::vector<std::string> log;
  std::string openedPath;
  int references = 1;
};

HRESULT FakeItem::QueryInterface(REFIID iid, void** out) {
  owner->log.push_back("QueryInterface " + owner->Name(node));
  *out = nullptr;
  if (!owner->script.pageLabels || !IsEqualGUID(iid, IID_IPdfPageLabel)) return E_NOINTERFACE;
  *out = static_cast<IPdfPageLabel*>(this);
  AddRef();
  return S_OK;
}

HRESULT FakeItem::GetPageLabel(BSTR* label) {
  owner->log.push_back("GetPageLabel");
  *label = nullptr;
  if (!node->label) return S_FALSE;
  *label = SysAllocStringLen(node->label->data(), static_cast<unsigned>(node->label->size()));
  return S_OK;
}

ULONG FakeItem::Release() {
  owner->log.push_back("Release " + owner->Name(node));
  return --references;
}

HRESULT FakeItem::GetTitle(BSTR* title) {
  owner->log.push_back("GetTitle");
  *title = SysAllocStringLen(node->title.data(), static_cast<unsigned>(node->title.size()));
  return S_OK;
}

HRESULT FakeItem::GetPage(LONG* page) {
  owner->log.push_back("GetPage");
  if (node->page >= 0) *page = node->page;  // negative: stores nothing
  return S_OK;
}

// The walk over the fake, made into bookmarks as a run makes them.
class OutlineWalkerTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::InitializeCodePage(); }

  Status Read(Script script, std::int32_t limit = -1) {
    OutlineOptions options;
    options.depthLimit = limit;
    return Read(std::move(script), options);
  }

  Status Read(Script script, const OutlineOptions& options,
              const std::string& path = "/books/b.pdf") {
    component.reset(new FakeComponent(std::move(script)));
    return Walk(options, path);
  }

  // Walks the fake there is, handing the walk its one reference.
  Status Walk(const OutlineOptions& options, const std::string& path = "/books/b.pdf") {
    ComReference<IPdfDocument> document;
    *document.Out() = component.get();
    StatusOr<OutlineTree> tree = WalkComponentOutline(std::move(document), path, options);
    if (!tree.ok()) return tree.status();
    report = AppendBookmarks(*tree, options, &list);
    return Status::OK();
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const BookmarkEntry& e : list.Entries()) texts.push_back(e.text);
    return texts;
  }

  std::unique_ptr<FakeComponent> component;
  BookmarkList list;
  OutlineReport report;
};

// Intro (0), Chapter 1 (2) > Section 1.1 (3) > Detail (4), Index (9).
Script Book() {
  Script script;
  script.topLevel = {
      {u"Intro", 0, {}},
      {u"Chapter 1", 2, {{u"Section 1.1", 3, {{u"Detail", 4, {}}}}}},
      {u"Index", 9, {}},
  };
  return script;
}

TEST_F(OutlineWalkerTest, DepthLimitSelectsLevels) {
  struct Case {
    std::int32_t limit;
    std::vector<std::string> texts;
  } cases[] = {
      {-1, {"Intro", "Chapter 1", "  Section 1.1", "    Detail", "Index"}},
      {2, {"Intro", "Chapter 1", "  Section 1.1", "    Detail", "Index"}},
      {1, {"Intro", "Chapter 1", "  Section 1.1", "Index"}},
      {0, {"Intro", "Chapter 1", "Index"}},
      {-2, {}},
  };
  for (const Case& c : cases) {
    list = BookmarkList();
    ASSERT_TRUE(Read(Book(), c.limit).ok());
    EXPECT_EQ(Texts(), c.texts) << "limit " << c.limit;
    EXPECT_EQ(component->OutstandingItemReferences(), 0) << "limit " << c.limit;
    EXPECT_EQ(component->references, 0) << "limit " << c.limit;
  }
}

TEST_F(OutlineWalkerTest, PagesComeAsReportedAndZeroWhenNothingIsStored) {
  Script script;
  script.topLevel = {{u"A", 7, {}}, {u"B", -1, {}}, {u"C", 0, {}}};
  ASSERT_TRUE(Read(script).ok());
  ASSERT_EQ(list.Entries().size(), 3u);
  EXPECT_EQ(list.Entries()[0].page, 7);
  EXPECT_EQ(list.Entries()[1].page, 0);
  EXPECT_EQ(list.Entries()[2].page, 0);
}

TEST_F(OutlineWalkerTest, RootWithoutChildrenCallsOnlyWhatIsNeeded) {
  ASSERT_TRUE(Read(Script()).ok());
  EXPECT_TRUE(list.Entries().empty());
  EXPECT_FALSE(report.hasOutline);
  EXPECT_EQ(component->log, (std::vector<std::string>{"Open", "QueryInterface", "Release",
                                                      "MoveToRoot", "IsLeaf=1", "Release"}));
}

TEST_F(OutlineWalkerTest, OneChildCallOrder) {
  Script script;
  script.topLevel = {{u"A", 5, {}}};
  ASSERT_TRUE(Read(script).ok());
  EXPECT_TRUE(report.hasOutline);
  EXPECT_EQ(component->log,
            (std::vector<std::string>{"Open", "QueryInterface", "Release", "MoveToRoot",
                                      "IsLeaf=0", "MoveToFirstChild", "GetCurrentItem=A",
                                      "GetTitle", "GetPage", "IsLeaf=1", "MoveToNextSibling",
                                      "GetCurrentItem=A", "Release A", "Release A",
                                      "MoveToParent", "Release"}));
  ASSERT_EQ(list.Entries().size(), 1u);
  EXPECT_EQ(list.Entries()[0].page, 5);
  EXPECT_EQ(list.Entries()[0].text, "A");
}

TEST_F(OutlineWalkerTest, NoItemAfterLastSiblingEndsTheLevel) {
  Script script = Book();
  script.noItemAfterLastSibling = true;
  ASSERT_TRUE(Read(script).ok());
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Intro", "Chapter 1", "  Section 1.1",
                                               "    Detail", "Index"}));
  EXPECT_EQ(component->OutstandingItemReferences(), 0);
  const std::vector<std::string>& log = component->log;
  EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
            (std::vector<std::string>{"GetCurrentItem=none", "Release Index", "MoveToParent",
                                      "Release"}));
}

TEST_F(OutlineWalkerTest, NoFirstItemLeavesTheCursorWhereTheLevelStarted) {
  Script script = Book();
  script.noItemUnder = u"Chapter 1";
  ASSERT_TRUE(Read(script).ok());
  // Chapter 1's children are missing, and Index still follows it.
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Intro", "Chapter 1", "Index"}));
  EXPECT_EQ(component->OutstandingItemReferences(), 0);
  EXPECT_EQ(component->path.size(), 1u);
}

TEST_F(OutlineWalkerTest, TitlesAreConvertedAndIndented) {
  Script script;
  script.topLevel = {{u"", 0, {{u"", 1, {{u"x", 2, {{u"deep", 3, {}}}}}}}},
                     {std::u16string(u"cut\0here", 8), 0, {}}};
  ASSERT_TRUE(Read(script).ok());
  EXPECT_EQ(Texts(), (std::vector<std::string>{"", "  ", "    x", "      deep", "cut"}));
}

TEST_F(OutlineWalkerTest, PrintedLabelsOnlyWhenWantedAndOffered) {
  Script script;
  script.topLevel = {{u"Preface", 2, {}, u"iii"},
                     {u"Chapter", 8, {{u"Section", 9, {}, std::nullopt}}, u"1"},
                     {u"Plate", 20, {}, u""},  // an empty label is none
                     {u"Appendix", 30, {}, u"A-1"}};
  struct Case {
    const char* name;
    bool offered;
    bool wanted;
    std::vector<std::optional<std::string>> labels;
  } cases[] = {
      {"not wanted", true, false, {std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                   std::nullopt}},
      {"not offered", false, true, {std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                    std::nullopt}},
      {"wanted and offered", true, true, {"iii", "1", std::nullopt, std::nullopt, "A-1"}},
  };
  for (const Case& c : cases) {
    list = BookmarkList();
    script.pageLabels = c.offered;
    OutlineOptions options;
    options.printedLabels = c.wanted;
    ASSERT_TRUE(Read(script, options).ok());
    std::vector<std::optional<std::string>> labels;
    for (const BookmarkEntry& e : list.Entries()) labels.push_back(e.label);
    EXPECT_EQ(labels, c.labels) << c.name;
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Preface", "Chapter", "  Section", "Plate",
                                                 "Appendix"}))
        << c.name;
    EXPECT_EQ(component->OutstandingItemReferences(), 0) << c.name;
    // Items are asked only when labels are wanted.
    const auto& log = component->log;
    EXPECT_EQ(std::count(log.begin(), log.end(), "QueryInterface Preface"), c.wanted ? 1 : 0)
        << c.name;
  }
}

TEST_F(OutlineWalkerTest, AppendsAfterExistingEntries) {
  list.Append({42, "already there"});
  ASSERT_TRUE(Read(Book(), 0).ok());
  EXPECT_EQ(Texts(), (std::vector<std::string>{"already there", "Intro", "Chapter 1", "Index"}));
}

TEST_F(OutlineWalkerTest, PathReachesTheComponentIntact) {
  // A name as the system gives it: with bytes that do not decode on POSIX
  // ("\xFF\xFE", carried as U+DCFF U+DCFE), with characters that no ANSI
  // code page has all of on Windows (Japanese, Greek, Thai).
  const std::u16string name = u"/books/\xDCFF\xDCFE odd \u00E9 \u65E5\u672C \u0392 \u0E01.pdf";
  const std::string path =
      platform::PathFromWide(reinterpret_cast<const OLECHAR*>(name.data()), name.size());
  ASSERT_TRUE(Read(Book(), OutlineOptions(), path).ok());
  EXPECT_EQ(component->openedPath, path);
}

TEST_F(OutlineWalkerTest, FailuresAreErrorsAndAppendNothing) {
  struct Case {
    const char* name;
    Script script;
    StatusCode code;
    std::string message;  // the bare reason: the caller names the file
  } cases[] = {
      {"open fails with a description", [] {
         Script s = Book();
         s.openResult = E_FAIL;
         s.errorText = "broken";
         return s;
       }(), StatusCode::kIoError, "broken"},
      {"open fails without one", [] {
         Script s = Book();
         s.openResult = static_cast<HRESULT>(0x80040999);
         return s;
       }(), StatusCode::kIoError, "the PDF document component failed (0x80040999)"},
      {"outline refused", [] {
         Script s = Book();
         s.refuseOutline = true;
         return s;
       }(), StatusCode::kUnavailable, "the PDF document component offers no outline"},
  };
  for (Case& c : cases) {
    list = BookmarkList();
    Status status = Read(c.script);
    EXPECT_FALSE(status.ok()) << c.name;
    EXPECT_EQ(status.code(), c.code) << c.name;
    EXPECT_EQ(status.message(), c.message) << c.name;
    EXPECT_TRUE(list.Entries().empty()) << c.name;
    EXPECT_EQ(component->references, 0) << c.name;
  }
}

TEST_F(OutlineWalkerTest, OpenWithProblemsGivesAWarning) {
  Script script = Book();
  script.openResult = S_FALSE;
  script.errorText = "the file is damaged";
  ASSERT_TRUE(Read(script).ok());
  EXPECT_EQ(report.warning, "the file is damaged");
  EXPECT_EQ(list.Entries().size(), 5u);
}

TEST_F(OutlineWalkerTest, NestingBeyondTheBoundIsCut) {
  Script script;
  Node* level = nullptr;
  script.topLevel.push_back({u"0", 0, {}});
  level = &script.topLevel.back();
  for (int depth = 1; depth < kMaxOutlineDepth + 10; ++depth) {
    level->children.push_back({u"n", 0, {}});
    level = &level->children.back();
  }
  ASSERT_TRUE(Read(script).ok());
  EXPECT_EQ(list.Entries().size(), static_cast<std::size_t>(kMaxOutlineDepth));
  EXPECT_TRUE(report.depthCut);
  EXPECT_EQ(component->OutstandingItemReferences(), 0);
  EXPECT_EQ(component->path.size(), 1u);  // back on the root
}

}  // namespace
}  // namespace vellox
