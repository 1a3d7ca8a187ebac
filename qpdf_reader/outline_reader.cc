#include "qpdf_reader/outline_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <set>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/Pipeline.hh>

#include "platform/files.h"
#include "platform/heap.h"
#include "pdf/pdf_text.h"

namespace vellox {
namespace qpdf_reader {
namespace {

using pdf::OutlineTree;
using pdf::DecodePdfText;
using Index = std::int32_t;
constexpr Index kNone = OutlineTree::kNone;

// A file is taken for a PDF when its header starts within this many bytes,
// as PDF readers commonly allow.
constexpr std::size_t kHeaderWindow = 1024;
// Destination look-ups followed one after another (named destination to
// dictionary to array ...) before giving up: real files need two or three.
constexpr int kMaxDestinationHops = 32;
// Longest qpdf message quoted in a reason.
constexpr std::size_t kMaxQuoted = 160;

std::uint64_t Key(QPDFObjGen id) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(id.getObj())) << 32) |
         static_cast<std::uint32_t>(id.getGen());
}

// A qpdf message as one printable ASCII line of bounded length: it may
// quote bytes of the file, and the caller prints it after the path.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (out.size() >= kMaxQuoted) {
      out += "...";
      break;
    }
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) {
      if (!out.empty() && out.back() != ' ') out.push_back(' ');
    } else {
      out.push_back(b < 0x80 ? c : '?');
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// A qpdf problem without the file name, which the caller prints anyway.
std::string Describe(const QPDFExc& e) {
  std::string text = e.getMessageDetail();
  if (!e.getObject().empty()) text += " in " + e.getObject();
  return OneLine(text);
}

std::string MessageOf(const std::exception& e) {
  if (auto* pdfError = dynamic_cast<const QPDFExc*>(&e)) return Describe(*pdfError);
  return OneLine(e.what());
}

// The warning that says most: qpdf opens with a bare "file is damaged"
// before naming the damage.
std::string FirstTellingWarning(const std::vector<QPDFExc>& warnings) {
  for (const QPDFExc& warning : warnings)
    if (warning.getMessageDetail() != "file is damaged") return Describe(warning);
  return Describe(warnings.front());
}

// A dictionary entry, null when `object` is no dictionary: qpdf counts a
// look-up on anything else as damage and would warn.
QPDFObjectHandle Entry(const QPDFObjectHandle& object, const char* key) {
  QPDFObjectHandle copy = object;
  return copy.isDictionary() ? copy.getKey(key) : QPDFObjectHandle::newNull();
}

HRESULT FromErrno(int error) { return kErrnoBase + (error & 0xFFF); }

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file's bytes. Not a std::string: that would zero every byte before
// reading over it, which costs as much as the read on a big file.
struct FileBytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
};

// Reads the whole file at `path`; on failure leaves the reason in
// `message`. Parsing from memory beats qpdf's own file reading, which
// seeks before every read.
HRESULT ReadFile(const std::string& path, FileBytes* bytes, std::string* message) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    const int error = errno;
    *message = platform::ErrorText(error);
    return FromErrno(error);
  }
  struct stat info;
  if (fstat(fileno(file.get()), &info) != 0) {
    const int error = errno;
    *message = platform::ErrorText(error);
    return FromErrno(error);
  }
  if (S_ISDIR(info.st_mode)) {
    *message = "is a directory";
    return FromErrno(EISDIR);
  }
  // Devices could be endless; only a file has a known end.
  if (!S_ISREG(info.st_mode)) {
    *message = "not a regular file";
    return kNotRegularFile;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  platform::TuneHeap(size);  // before the buffer, which the heap may then hold
  bytes->data.reset(new char[size == 0 ? 1 : size]);
  bytes->size = std::fread(bytes->data.get(), 1, size, file.get());
  if (bytes->size < size && std::ferror(file.get())) {
    const int error = errno;
    *message = platform::ErrorText(error);
    return FromErrno(error);
  }
  return S_OK;  // short when the file shrank meanwhile
}

bool HasPdfHeader(const FileBytes& bytes) {
  const char* begin = bytes.data.get();
  const char* end = begin + std::min(bytes.size, kHeaderWindow);
  static const char kHeader[] = "%PDF-";
  return std::search(begin, end, kHeader, kHeader + 5) != end;
}

// Builds the outline tree from an open document. Every step may throw
// when qpdf meets damage it cannot recover; the tree is consistent after
// each node, so what was built until then stays usable.
//
// qpdf parses each object it is asked for, and a whole object stream for
// any one object in it, at a cost far above the rest of the work here; so
// the builder asks for as few objects as it can: page objects only when
// the page tree's counts do not place them, and only the name tree nodes
// on the way to the names that the outline uses.
class OutlineBuilder {
 public:
  OutlineBuilder(QPDF* pdf, QPDFObjectHandle catalog, OutlineTree* tree)
      : pdf(pdf), tree(tree), catalog(std::move(catalog)) {}

  void Build() {
    IndexPages();
    try {
      ReadItems();
    } catch (const std::bad_alloc&) {
      throw;
    } catch (...) {
      // Pages for the nodes read until then; the walk's failure is the
      // one to report.
      try {
        ResolvePages();
      } catch (const std::bad_alloc&) {
        throw;
      } catch (...) {
      }
      throw;
    }
    ResolvePages();
  }

 private:
  // Where an item leads before the page index is final: page indices are
  // filled in at the end, so that a page index rebuilt by the full walk
  // serves every item alike.
  struct Target {
    enum Kind : std::uint8_t { kNoPage, kPageObject, kPageNumber, kFirstPage, kLastPage };
    Kind kind = kNoPage;
    std::uint64_t value = 0;  // the page object's Key, or the page number
  };

  void ReadItems() {
    QPDFObjectHandle outlines = catalog.getKey("/Outlines");
    if (!outlines.isDictionary()) return;
    std::unordered_set<std::uint64_t> visited;
    if (outlines.isIndirect()) visited.insert(Key(outlines.getObjGen()));

    // One frame per open level: the next sibling to take and the last
    // node added there. Depth costs heap, not stack.
    struct Frame {
      QPDFObjectHandle next;
      Index parent;
      Index last;
    };
    std::vector<Frame> frames;
    frames.push_back(Frame{outlines.getKey("/First"), 0, kNone});
    while (!frames.empty()) {
      QPDFObjectHandle item = std::move(frames.back().next);
      frames.back().next = QPDFObjectHandle();
      // A node met again (a loop, or one node under two parents) ends the
      // chain that led to it.
      if ((item.isIndirect() && !visited.insert(Key(item.getObjGen())).second) ||
          !item.isDictionary() ||
          tree->nodes.size() >= static_cast<std::size_t>(std::numeric_limits<Index>::max())) {
        frames.pop_back();
        continue;
      }
      Frame& frame = frames.back();
      const Index node = AddNode(item, frame.parent, frame.last);
      frame.last = node;
      frame.next = item.getKey("/Next");
      QPDFObjectHandle first = item.getKey("/First");
      Forget(item);
      if (first.isDictionary()) frames.push_back(Frame{std::move(first), node, kNone});
    }
  }

  // qpdf keeps every object it has parsed, some 2 KB each; an object read
  // for the last time is dropped, so that a million bookmarks do not cost
  // gigabytes, nor the allocations half the time. Only its content goes:
  // its identity, which the visited sets and page map use, stays.
  void Forget(const QPDFObjectHandle& object) {
    if (object.isIndirect()) pdf->replaceObject(object.getObjGen(), QPDFObjectHandle::newNull());
  }

  Index AddNode(QPDFObjectHandle& item, Index parent, Index previous) {
    OutlineTree::Node node;
    node.parent = parent;
    QPDFObjectHandle title = item.getKey("/Title");
    if (title.isString()) {
      std::u16string text = pdf::DecodeTitle(title.getStringValue());
      node.titleStart = tree->titles.size();
      node.titleLength = text.size();
      tree->titles += text;
    }
    targets.push_back(ItemTarget(item));

    const auto index = static_cast<Index>(tree->nodes.size());
    tree->nodes.push_back(node);
    if (previous == kNone) {
      tree->nodes[static_cast<std::size_t>(parent)].firstChild = index;
    } else {
      tree->nodes[static_cast<std::size_t>(previous)].nextSibling = index;
    }
    return index;
  }

  // Fills in every node's page from its target. A page object that the
  // index built from the counts does not know sends the index back to the
  // full walk, once, before any page is filled in.
  void ResolvePages() {
    if (pagesFromCounts) {
      for (const Target& target : targets) {
        if (target.kind == Target::kPageObject && pageIndex.count(target.value) == 0) {
          IndexPagesFully();
          break;
        }
      }
    }
    // targets[0] stands for the root, which has no page.
    for (std::size_t node = 1; node < targets.size() && node < tree->nodes.size(); ++node)
      tree->nodes[node].page = PageOf(targets[node]);
  }

  Index PageOf(const Target& target) const {
    switch (target.kind) {
      case Target::kPageObject: {
        auto found = pageIndex.find(target.value);
        return found == pageIndex.end() ? kNone : found->second;
      }
      case Target::kPageNumber:
        return target.value < static_cast<std::uint64_t>(pageCount) ? static_cast<Index>(target.value)
                                                                     : kNone;
      case Target::kFirstPage:
        return pageCount > 0 ? 0 : kNone;
      case Target::kLastPage:
        return pageCount > 0 ? pageCount - 1 : kNone;
      case Target::kNoPage:
        break;
    }
    return kNone;
  }

  void IndexPages() {
    try {
      if (IndexPagesFromCounts()) return;
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
      // The full walk meets the same damage, and has its say on it.
    }
    IndexPagesFully();
  }

  // The page index from the page tree's inner nodes alone: a node whose
  // /Count equals its number of kids has only pages for kids, numbered in
  // order without reading them; other nodes have their kids read, and
  // their /Count checked against what the kids add up to. False, leaving
  // no index, where the counts do not hold together (a count that is no
  // count, that the kids contradict, a node met twice): the full walk then
  // decides. A page-only node whose kids are in truth a subtree shows when
  // an outline item leads into that subtree, and ResolvePages then walks
  // the tree fully.
  bool IndexPagesFromCounts() {
    pageIndex.clear();
    pageCount = 0;
    pagesFromCounts = false;
    QPDFObjectHandle root = catalog.getKey("/Pages");
    if (!root.isDictionary() || !root.isIndirect()) return false;
    std::unordered_set<std::uint64_t> inner;  // the inner nodes read
    struct Frame {
      QPDFObjectHandle node;
      std::int64_t first;  // the index of its first page
    };
    std::vector<Frame> frames;
    frames.push_back(Frame{root, 0});
    std::int64_t total = -1;
    auto fail = [&] {
      pageIndex.clear();
      return false;
    };
    while (!frames.empty()) {
      Frame frame = std::move(frames.back());
      frames.pop_back();
      if (!inner.insert(Key(frame.node.getObjGen())).second) return fail();
      QPDFObjectHandle kids = frame.node.getKey("/Kids");
      QPDFObjectHandle countEntry = frame.node.getKey("/Count");
      if (!kids.isArray() || !countEntry.isInteger()) return fail();
      const long long count = countEntry.getIntValue();
      if (count < 0 || frame.first + count > std::numeric_limits<Index>::max()) return fail();
      if (total < 0) total = count;  // the root's
      const int kidCount = kids.getArrayNItems();
      if (count == kidCount) {
        for (int k = 0; k < kidCount; ++k) {
          QPDFObjectHandle kid = kids.getArrayItem(k);
          if (!kid.isIndirect()) return fail();
          if (!pageIndex.emplace(Key(kid.getObjGen()), static_cast<Index>(frame.first + k)).second)
            return fail();
        }
        continue;
      }
      std::int64_t next = frame.first;
      for (int k = 0; k < kidCount; ++k) {
        QPDFObjectHandle kid = kids.getArrayItem(k);
        if (!kid.isIndirect() || !kid.isDictionary()) return fail();
        QPDFObjectHandle type = kid.getKey("/Type");
        if (!type.isNameAndEquals("/Page") && kid.getKey("/Kids").isArray()) {
          QPDFObjectHandle kidCountEntry = kid.getKey("/Count");
          if (!kidCountEntry.isInteger() || kidCountEntry.getIntValue() < 0) return fail();
          frames.push_back(Frame{kid, next});
          next += kidCountEntry.getIntValue();
          if (next > frame.first + count) return fail();
        } else if (type.isNameAndEquals("/Pages")) {
          return fail();  // an empty inner node: rare enough to leave to the full walk
        } else {
          if (!pageIndex.emplace(Key(kid.getObjGen()), static_cast<Index>(next)).second)
            return fail();
          ++next;
        }
      }
      if (next != frame.first + count) return fail();
    }
    // An inner node listed as a page (a loop through a page-only node).
    for (std::uint64_t node : inner)
      if (pageIndex.count(node) != 0) return fail();
    pageCount = static_cast<Index>(total);
    pagesFromCounts = true;
    return true;
  }

  // Page index of every page object, in page tree order, walked once with
  // an explicit stack; a node met again (loop or shared kid) is skipped.
  void IndexPagesFully() {
    pageIndex.clear();
    pageCount = 0;
    pagesFromCounts = false;
    std::unordered_set<std::uint64_t> visited;
    struct Frame {
      QPDFObjectHandle kids;
      int count;
      int next;
    };
    std::vector<Frame> frames;
    auto visit = [&](QPDFObjectHandle node) {
      if (node.isIndirect() && !visited.insert(Key(node.getObjGen())).second) return;
      if (!node.isDictionary()) return;
      QPDFObjectHandle type = node.getKey("/Type");
      QPDFObjectHandle kids = node.getKey("/Kids");
      Forget(node);  // `kids` stays alive on its own
      if (!type.isNameAndEquals("/Page") && kids.isArray()) {
        const int count = kids.getArrayNItems();
        frames.push_back(Frame{std::move(kids), count, 0});
        return;
      }
      if (type.isNameAndEquals("/Pages")) return;  // an empty inner node
      if (pageCount == std::numeric_limits<Index>::max()) return;
      if (node.isIndirect()) pageIndex.emplace(Key(node.getObjGen()), pageCount);
      ++pageCount;
    };
    visit(catalog.getKey("/Pages"));
    while (!frames.empty()) {
      Frame& frame = frames.back();
      if (frame.next >= frame.count) {
        frames.pop_back();
        continue;
      }
      QPDFObjectHandle kid = frame.kids.getArrayItem(frame.next++);
      visit(std::move(kid));  // may grow `frames`
    }
  }

  // Where an outline item leads: its /Dest, else its /A action.
  Target ItemTarget(QPDFObjectHandle& item) {
    QPDFObjectHandle destination = item.getKey("/Dest");
    if (!destination.isNull()) return DestinationTarget(std::move(destination));
    QPDFObjectHandle action = item.getKey("/A");
    if (!action.isDictionary()) return Target();
    QPDFObjectHandle type = action.getKey("/S");
    if (type.isNameAndEquals("/GoTo")) return DestinationTarget(action.getKey("/D"));
    if (type.isNameAndEquals("/Named")) {
      QPDFObjectHandle name = action.getKey("/N");
      if (name.isNameAndEquals("/FirstPage")) return Target{Target::kFirstPage, 0};
      if (name.isNameAndEquals("/LastPage")) return Target{Target::kLastPage, 0};
    }
    return Target();
  }

  // Follows names and /D entries to an explicit destination array, whose
  // first element is a page object or a page index.
  Target DestinationTarget(QPDFObjectHandle destination) {
    for (int hop = 0; hop < kMaxDestinationHops; ++hop) {
      if (destination.isArray()) {
        if (destination.getArrayNItems() < 1) return Target();
        QPDFObjectHandle target = destination.getArrayItem(0);
        if (target.isIndirect()) return Target{Target::kPageObject, Key(target.getObjGen())};
        if (target.isInteger()) {
          const long long page = target.getIntValue();
          if (page < 0) return Target();
          return Target{Target::kPageNumber, static_cast<std::uint64_t>(page)};
        }
        return Target();
      }
      if (destination.isDictionary()) {
        destination = destination.getKey("/D");
      } else if (destination.isName()) {
        destination = NamedDestination(destination.getName().substr(1), true);
      } else if (destination.isString()) {
        destination = NamedDestination(destination.getStringValue(), false);
      } else {
        return Target();
      }
    }
    return Target();
  }

  // A named destination, by name from the catalog's /Dests and by string
  // from the /Names /Dests tree; producers mix the two up, so each falls
  // back on the other. Null when the name is unknown.
  QPDFObjectHandle NamedDestination(const std::string& name, bool isName) {
    if (isName) {
      QPDFObjectHandle value = Entry(Entry(catalog, "/Dests"), ("/" + name).c_str());
      if (!value.isNull()) return value;
    }
    QPDFObjectHandle value = FromNameTree(name);
    if (!value.isNull()) return value;
    if (!isName) return Entry(Entry(catalog, "/Dests"), ("/" + name).c_str());
    return QPDFObjectHandle::newNull();
  }

  // A name tree value: found by descending through /Limits, reading only
  // the nodes on the way; when that finds nothing (an unknown name, or a
  // tree whose limits or order are wrong), from the whole tree, read once.
  QPDFObjectHandle FromNameTree(const std::string& name) {
    if (!nameTreeRead) {
      QPDFObjectHandle value;
      if (SearchNameTree(name, &value)) return value;
      ReadNameTree();
    }
    auto found = nameTree.find(name);
    return found != nameTree.end() ? found->second : QPDFObjectHandle::newNull();
  }

  // The descent through /Limits: true with the value when a leaf on the
  // way holds the name.
  bool SearchNameTree(const std::string& name, QPDFObjectHandle* value) {
    QPDFObjectHandle node = Entry(Entry(catalog, "/Names"), "/Dests");
    std::unordered_set<std::uint64_t> visited;
    while (node.isDictionary()) {
      if (node.isIndirect() && !visited.insert(Key(node.getObjGen())).second) return false;
      QPDFObjectHandle kids = node.getKey("/Kids");
      if (!kids.isArray()) return SearchLeaf(node, name, value);
      // Kids are in order, each covering the names within its /Limits.
      int low = 0, high = kids.getArrayNItems() - 1;
      QPDFObjectHandle next;
      while (low <= high) {
        const int middle = low + (high - low) / 2;
        QPDFObjectHandle kid = kids.getArrayItem(middle);
        QPDFObjectHandle limits = Entry(kid, "/Limits");
        if (!limits.isArray() || limits.getArrayNItems() < 2) return false;
        QPDFObjectHandle first = limits.getArrayItem(0);
        QPDFObjectHandle last = limits.getArrayItem(1);
        if (!first.isString() || !last.isString()) return false;
        if (name < first.getStringValue()) {
          high = middle - 1;
        } else if (name > last.getStringValue()) {
          low = middle + 1;
        } else {
          next = kid;
          break;
        }
      }
      if (!next.isInitialized()) return false;
      node = next;
    }
    return false;
  }

  // A leaf's names, put in a table on the first visit: a leaf may hold the
  // whole tree, and is searched once per outline item that uses a name.
  bool SearchLeaf(QPDFObjectHandle& leaf, const std::string& name, QPDFObjectHandle* value) {
    const std::uint64_t key = leaf.isIndirect() ? Key(leaf.getObjGen()) : 0;
    auto table = leaves.find(key);
    if (table == leaves.end()) {
      table = leaves.emplace(key, std::unordered_map<std::string, QPDFObjectHandle>()).first;
      QPDFObjectHandle names = leaf.getKey("/Names");
      if (names.isArray()) {
        const int count = names.getArrayNItems();
        for (int i = 0; i + 1 < count; i += 2) {
          QPDFObjectHandle entry = names.getArrayItem(i);
          if (entry.isString())
            table->second.emplace(entry.getStringValue(), names.getArrayItem(i + 1));
        }
      }
    }
    auto found = table->second.find(name);
    if (found == table->second.end()) return false;
    *value = found->second;
    return true;
  }

  // All of the destination name tree at once: a look-up is then a hash
  // probe however many outline items use names.
  void ReadNameTree() {
    nameTreeRead = true;
    leaves.clear();
    std::unordered_set<std::uint64_t> visited;
    std::vector<QPDFObjectHandle> pending;
    pending.push_back(Entry(Entry(catalog, "/Names"), "/Dests"));
    while (!pending.empty()) {
      QPDFObjectHandle node = std::move(pending.back());
      pending.pop_back();
      if (!node.isDictionary()) continue;
      if (node.isIndirect() && !visited.insert(Key(node.getObjGen())).second) continue;
      QPDFObjectHandle names = node.getKey("/Names");
      if (names.isArray()) {
        const int count = names.getArrayNItems();
        for (int i = 0; i + 1 < count; i += 2) {
          QPDFObjectHandle name = names.getArrayItem(i);
          if (name.isString()) nameTree.emplace(name.getStringValue(), names.getArrayItem(i + 1));
        }
      }
      QPDFObjectHandle kids = node.getKey("/Kids");
      if (kids.isArray()) {
        // In reverse, so that kids are read in order and the first of
        // duplicate names wins.
        for (int i = kids.getArrayNItems(); i-- > 0;) pending.push_back(kids.getArrayItem(i));
      }
    }
  }

  QPDF* pdf;
  OutlineTree* tree;
  QPDFObjectHandle catalog;
  std::vector<Target> targets = std::vector<Target>(1);  // one per node
  std::unordered_map<std::uint64_t, Index> pageIndex;
  Index pageCount = 0;
  bool pagesFromCounts = false;  // pageIndex was built by IndexPagesFromCounts
  bool nameTreeRead = false;
  std::unordered_map<std::string, QPDFObjectHandle> nameTree;
  std::unordered_map<std::uint64_t, std::unordered_map<std::string, QPDFObjectHandle>> leaves;
};

// qpdf decodes an object stream whole as soon as one object in it is
// needed, and Flate shrinks a run of bytes a thousandfold: a file of a few
// megabytes could make it allocate gigabytes. Real object streams stay far
// below this.
constexpr std::size_t kMaxObjectStreamBytes = std::size_t{256} << 20;

// Counts decoded bytes and stops the decoding once they pass the limit.
class DecodedSizeLimit : public Pipeline {
 public:
  DecodedSizeLimit() : Pipeline("object stream size limit", nullptr) {}
  void write(unsigned char const*, size_t length) override {
    total += length;
    if (total > kMaxObjectStreamBytes) {
      exceeded = true;
      throw std::length_error("object stream too large");
    }
  }
  void finish() override {}
  bool exceeded = false;

 private:
  std::size_t total = 0;
};

// Empties, before anything is read from it, every object stream that
// decodes to more than the limit; its objects then read as null. Returns
// a note for the warning, or "" when every object stream is within it.
std::string EmptyOversizedObjectStreams(QPDF* pdf) {
  std::set<int> streams;
  for (const auto& entry : pdf->getXRefTable())
    if (entry.second.getType() == 2) streams.insert(entry.second.getObjStreamNumber());
  std::string note;
  for (int number : streams) {
    DecodedSizeLimit limit;
    try {
      QPDFObjectHandle stream = pdf->getObjectByID(number, 0);
      if (!stream.isStream()) continue;
      stream.pipeStreamData(&limit, 0, qpdf_dl_specialized, /*suppress_warnings=*/true);
      if (!limit.exceeded) continue;
      stream.replaceStreamData("", QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
      continue;  // damage qpdf reports when the stream is used
    }
    if (note.empty())
      note = "object stream " + std::to_string(number) +
             " decodes to more than 256 MiB; its objects are left out";
  }
  return note;
}

std::string Damaged(const std::string& detail) {
  return detail.empty() ? "damaged beyond repair" : "damaged beyond repair (" + detail + ")";
}

}  // namespace

HRESULT ReadOutlineTree(const std::string& path, pdf::OutlineTree* tree, std::string* message) {
  message->clear();
  FileBytes bytes;
  HRESULT status = ReadFile(path, &bytes, message);
  if (FAILED(status)) return status;
  if (!HasPdfHeader(bytes)) {
    *message = "not a PDF file";
    return kNotPdf;
  }

  // Everything qpdf would print is collected instead: a warning reaches
  // the user once, through the caller.
  QPDF pdf;
  std::shared_ptr<QPDFLogger> logger = QPDFLogger::create();
  logger->setInfo(logger->discard());
  logger->setWarn(logger->discard());
  logger->setError(logger->discard());
  pdf.setLogger(logger);
  pdf.setSuppressWarnings(true);

  try {
    pdf.processMemoryFile(path.c_str(), bytes.data.get(), bytes.size);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const QPDFExc& e) {
    if (e.getErrorCode() == qpdf_e_password) {
      *message = "needs a password";
      return kNeedsPassword;
    }
    if (e.getErrorCode() == qpdf_e_unsupported) {
      *message = "uses a feature that is not supported (" + Describe(e) + ")";
      return kUnsupported;
    }
    *message = Damaged(Describe(e));
    return kDamagedBeyondRepair;
  } catch (const std::exception& e) {
    *message = Damaged(MessageOf(e));
    return kDamagedBeyondRepair;
  }

  std::string oversized;
  try {
    oversized = EmptyOversizedObjectStreams(&pdf);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception&) {
    // the xref table is unreadable: reading the outline will say so
  }

  QPDFObjectHandle catalog;
  try {
    catalog = pdf.getRoot();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    *message = Damaged(MessageOf(e));  // no catalog: nothing to read
    return kDamagedBeyondRepair;
  }
  std::string interrupted;
  try {
    OutlineBuilder(&pdf, std::move(catalog), tree).Build();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    interrupted = MessageOf(e);
  }

  std::vector<QPDFExc> warnings = pdf.getWarnings();
  if (warnings.empty() && interrupted.empty() && oversized.empty()) return S_OK;
  const std::string detail = !oversized.empty() ? oversized
                             : warnings.empty() ? interrupted
                                                : FirstTellingWarning(warnings);
  *message = "the file is damaged; read what could be recovered";
  if (!detail.empty()) *message += " (" + detail + ")";
  return S_FALSE;
}

}  // namespace qpdf_reader
}  // namespace vellox
