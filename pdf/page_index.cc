#include "pdf/page_index.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace vellox {
namespace pdf {
namespace {

constexpr std::int64_t kMostPages = std::numeric_limits<std::int32_t>::max();

}  // namespace

PageIndex::PageIndex(ObjectSource* source, const Object& catalog) {
  std::int64_t count = 0;  // pages so far, at most kMostPages
  auto addPages = [&count](std::int64_t pages) { count = std::min(kMostPages, count + pages); };
  // The pages under each node walked, by object: a node listed again
  // counts them again without another walk, so that the walk costs what
  // the tree's nodes and /Kids entries take in the file, however often a
  // subtree is listed.
  std::unordered_map<std::uint64_t, std::int64_t> walked;
  // The inner nodes being walked: a kid among them is a loop.
  std::unordered_set<std::uint64_t> open;
  // One frame per open inner node: its kids, the next one to take, and
  // the count where it began. Depth costs heap, not stack.
  struct Frame {
    Object kids;
    std::size_t next;
    Object reference;
    std::int64_t start;
  };
  std::vector<Frame> frames;
  auto visit = [&](const Object& reference) {
    const bool indirect = reference.IsReference();
    const std::uint64_t key = indirect ? reference.Id().Packed() : 0;
    if (indirect) {
      if (open.count(key) != 0) return;
      auto known = walked.find(key);
      if (known != walked.end()) {
        addPages(known->second);
        return;
      }
    }
    // A page's other entries (resources, boxes, annotations) are never
    // looked at here: they need not be built.
    const Object node = source->ResolveEntries(reference, {"Type", "Kids"});
    const Object type = node.IsDictionary() ? source->Resolve(node.Get("Type")) : Object();
    Object kids = node.IsDictionary() ? source->Resolve(node.Get("Kids")) : Object();
    if (node.IsDictionary() && !type.IsName("Page") && kids.IsArray()) {
      if (indirect) open.insert(key);
      frames.push_back(Frame{std::move(kids), 0, reference, count});
      return;
    }
    // A node that is neither a page nor an inner node counts as a page,
    // as viewers do; an empty inner node as none.
    const std::int64_t pages = node.IsDictionary() && !type.IsName("Pages") ? 1 : 0;
    if (pages != 0 && indirect && count < kMostPages)
      indices.emplace(key, static_cast<std::int32_t>(count));
    addPages(pages);
    if (indirect) walked.emplace(key, pages);
  };
  visit(catalog.Get("Pages"));
  while (!frames.empty()) {
    Frame& frame = frames.back();
    if (frame.next >= frame.kids.Size()) {
      if (frame.reference.IsReference()) {
        const std::uint64_t key = frame.reference.Id().Packed();
        open.erase(key);
        walked.emplace(key, count - frame.start);
      }
      frames.pop_back();
      continue;
    }
    const Object kid = frame.kids.At(frame.next++);
    visit(kid);  // may grow `frames`
  }
  pageCount = static_cast<std::int32_t>(count);
}

std::int32_t PageIndex::IndexOf(const Object& reference) const {
  if (!reference.IsReference()) return kNone;
  auto found = indices.find(reference.Id().Packed());
  return found == indices.end() ? kNone : found->second;
}

}  // namespace pdf
}  // namespace vellox
