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
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "platform/files.h"
#include "qpdf_reader/pdf_text.h"

namespace vellox {
namespace qpdf_reader {
namespace {

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
class OutlineBuilder {
 public:
  OutlineBuilder(QPDF* pdf, QPDFObjectHandle catalog, OutlineTree* tree)
      : pdf(pdf), tree(tree), catalog(std::move(catalog)) {}

  void Build() {
    IndexPages();
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

 private:
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
      std::u16string text = DecodePdfText(title.getStringValue());
      node.titleStart = tree->titles.size();
      node.titleLength = text.size();
      tree->titles += text;
    }
    node.page = ItemPage(item);

    const auto index = static_cast<Index>(tree->nodes.size());
    tree->nodes.push_back(node);
    if (previous == kNone) {
      tree->nodes[static_cast<std::size_t>(parent)].firstChild = index;
    } else {
      tree->nodes[static_cast<std::size_t>(previous)].nextSibling = index;
    }
    return index;
  }

  // Page index of every page object, in page tree order, walked once with
  // an explicit stack; a node met again (loop or shared kid) is skipped.
  void IndexPages() {
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

  // The page an outline item leads to: its /Dest, else its /A action.
  Index ItemPage(QPDFObjectHandle& item) {
    QPDFObjectHandle destination = item.getKey("/Dest");
    if (!destination.isNull()) return DestinationPage(std::move(destination));
    QPDFObjectHandle action = item.getKey("/A");
    if (!action.isDictionary()) return kNone;
    QPDFObjectHandle type = action.getKey("/S");
    if (type.isNameAndEquals("/GoTo")) return DestinationPage(action.getKey("/D"));
    if (type.isNameAndEquals("/Named") && pageCount > 0) {
      QPDFObjectHandle name = action.getKey("/N");
      if (name.isNameAndEquals("/FirstPage")) return 0;
      if (name.isNameAndEquals("/LastPage")) return pageCount - 1;
    }
    return kNone;
  }

  // Follows names and /D entries to an explicit destination array, whose
  // first element is a page object or a page index.
  Index DestinationPage(QPDFObjectHandle destination) {
    for (int hop = 0; hop < kMaxDestinationHops; ++hop) {
      if (destination.isArray()) {
        if (destination.getArrayNItems() < 1) return kNone;
        QPDFObjectHandle target = destination.getArrayItem(0);
        if (target.isIndirect()) {
          auto found = pageIndex.find(Key(target.getObjGen()));
          return found == pageIndex.end() ? kNone : found->second;
        }
        if (target.isInteger()) {
          const long long page = target.getIntValue();
          return page >= 0 && page < pageCount ? static_cast<Index>(page) : kNone;
        }
        return kNone;
      }
      if (destination.isDictionary()) {
        destination = destination.getKey("/D");
      } else if (destination.isName()) {
        destination = NamedDestination(destination.getName().substr(1), true);
      } else if (destination.isString()) {
        destination = NamedDestination(destination.getStringValue(), false);
      } else {
        return kNone;
      }
    }
    return kNone;
  }

  // A named destination, by name from the catalog's /Dests and by string
  // from the /Names /Dests tree; producers mix the two up, so each falls
  // back on the other. Null when the name is unknown.
  QPDFObjectHandle NamedDestination(const std::string& name, bool isName) {
    if (isName) {
      QPDFObjectHandle value = Entry(Entry(catalog, "/Dests"), ("/" + name).c_str());
      if (!value.isNull()) return value;
    }
    if (!nameTreeRead) ReadNameTree();
    auto found = nameTree.find(name);
    if (found != nameTree.end()) return found->second;
    if (!isName) return Entry(Entry(catalog, "/Dests"), ("/" + name).c_str());
    return QPDFObjectHandle::newNull();
  }

  // All of the destination name tree at once, on first use: a look-up is
  // then a hash probe however many outline items use names.
  void ReadNameTree() {
    nameTreeRead = true;
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
  std::unordered_map<std::uint64_t, Index> pageIndex;
  Index pageCount = 0;
  bool nameTreeRead = false;
  std::unordered_map<std::string, QPDFObjectHandle> nameTree;
};

std::string Damaged(const std::string& detail) {
  return detail.empty() ? "damaged beyond repair" : "damaged beyond repair (" + detail + ")";
}

}  // namespace

HRESULT ReadOutlineTree(const std::string& path, OutlineTree* tree, std::string* message) {
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
  if (warnings.empty() && interrupted.empty()) return S_OK;
  const std::string detail = warnings.empty() ? interrupted : FirstTellingWarning(warnings);
  *message = "the file is damaged; read what could be recovered";
  if (!detail.empty()) *message += " (" + detail + ")";
  return S_FALSE;
}

}  // namespace qpdf_reader
}  // namespace vellox
