#include "pdf/page_index.h"

#include <limits>
#include <unordered_set>
#include <utility>
#include <vector>

namespace vellox {
namespace pdf {

PageIndex::PageIndex(ObjectSource* source, const Object& catalog) {
  std::unordered_set<std::uint64_t> visited;
  // One frame per open inner node: its kids and the next one to take.
  // Depth costs heap, not stack.
  struct Frame {
    Object kids;
    std::size_t next;
  };
  std::vector<Frame> frames;
  auto visit = [&](const Object& reference) {
    if (reference.IsReference() && !visited.insert(reference.Id().Packed()).second) return;
    const Object node = source->Resolve(reference);
    if (!node.IsDictionary()) return;
    const Object type = source->Resolve(node.Get("Type"));
    Object kids = source->Resolve(node.Get("Kids"));
    if (!type.IsName("Page") && kids.IsArray()) {
      frames.push_back(Frame{std::move(kids), 0});
      return;
    }
    if (type.IsName("Pages")) return;  // an empty inner node
    if (pageCount == std::numeric_limits<std::int32_t>::max()) return;
    if (reference.IsReference()) indices.emplace(reference.Id().Packed(), pageCount);
    ++pageCount;
  };
  visit(catalog.Get("Pages"));
  while (!frames.empty()) {
    Frame& frame = frames.back();
    if (frame.next >= frame.kids.Size()) {
      frames.pop_back();
      continue;
    }
    const Object kid = frame.kids.At(frame.next++);
    visit(kid);  // may grow `frames`
  }
}

std::int32_t PageIndex::IndexOf(const Object& reference) const {
  if (!reference.IsReference()) return kNone;
  auto found = indices.find(reference.Id().Packed());
  return found == indices.end() ? kNone : found->second;
}

}  // namespace pdf
}  // namespace vellox
