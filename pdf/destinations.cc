#include "pdf/destinations.h"

#include <unordered_set>
#include <utility>
#include <vector>

#include "pdf/budgets.h"

namespace vellox {
namespace pdf {

Target Destinations::ItemTarget(const Object& item) {
  Object destination = source->Resolve(item.Get("Dest"));
  if (!destination.IsNull()) return DestinationTarget(std::move(destination));
  const Object action = source->Resolve(item.Get("A"));
  if (!action.IsDictionary()) return Target();
  const Object type = source->Resolve(action.Get("S"));
  if (type.IsName("GoTo")) return DestinationTarget(source->Resolve(action.Get("D")));
  if (type.IsName("Named")) {
    const Object name = source->Resolve(action.Get("N"));
    Target target;
    if (name.IsName("FirstPage")) target.kind = Target::kFirstPage;
    if (name.IsName("LastPage")) target.kind = Target::kLastPage;
    return target;
  }
  return Target();
}

// Follows names and /D entries to an explicit destination array, whose
// first element is a page object or a page index.
Target Destinations::DestinationTarget(Object destination) {
  for (int hop = 0; hop < kMaxDestinationHops; ++hop) {
    if (destination.IsArray()) {
      Target target;
      const Object& page = destination.At(0);
      if (page.IsReference()) {
        target.kind = Target::kPageObject;
        target.page = page;
      } else if (page.IsInteger() && page.IntegerValue() >= 0) {
        target.kind = Target::kPageNumber;
        target.number = static_cast<std::uint64_t>(page.IntegerValue());
      }
      return target;
    }
    if (destination.IsDictionary()) {
      destination = source->Resolve(destination.Get("D"));
    } else if (destination.IsName()) {
      destination = source->Resolve(NamedDestination(destination.Text(), true));
    } else if (destination.IsString()) {
      destination = source->Resolve(NamedDestination(destination.Text(), false));
    } else {
      return Target();
    }
  }
  return Target();
}

// A named destination, by name from the catalog's /Dests and by string
// from the /Names /Dests tree; producers mix the two up, so each falls
// back on the other. Null when the name is unknown.
Object Destinations::NamedDestination(const std::string& name, bool isName) {
  if (isName) {
    Object value = FromDestsDictionary(name);
    if (!value.IsNull()) return value;
  }
  Object value = FromNameTree(name);
  if (!value.IsNull()) return value;
  if (!isName) return FromDestsDictionary(name);
  return Object();
}

Object Destinations::FromDestsDictionary(const std::string& name) {
  if (!destsRead) {
    destsRead = true;
    // The first of duplicate keys wins, as a look-up in the dictionary would.
    const Object dictionary = source->Resolve(catalog.Get("Dests"));
    for (const auto& entry : dictionary.Entries()) dests.emplace(entry.first, entry.second);
  }
  auto found = dests.find(name);
  return found != dests.end() ? found->second : Object();
}

// A name tree value: found by descending through /Limits, reading only
// the nodes on the way; when that finds nothing (an unknown name, or a
// tree whose limits or order are wrong), from the whole tree, read once.
Object Destinations::FromNameTree(const std::string& name) {
  if (!nameTreeRead) {
    Object value;
    if (SearchNameTree(name, &value)) return value;
    ReadNameTree();
  }
  auto found = nameTree.find(name);
  return found != nameTree.end() ? found->second : Object();
}

// The descent through /Limits: true with the value when a leaf on the
// way holds the name.
bool Destinations::SearchNameTree(const std::string& name, Object* value) {
  Object reference = source->Resolve(catalog.Get("Names")).Get("Dests");
  // A descent without a loop passes each node once, and every node it
  // passes is in nameNodes by then: more steps than that is a loop. Counted,
  // not recorded, as the look-up runs once per outline item.
  for (std::size_t step = 0;; ++step) {
    if (step > nameNodes.size()) return false;
    const NameNode* node = NameTreeNode(reference, step == 0);
    if (node == nullptr) return false;
    if (!node->kids.IsArray()) {
      auto found = node->names.find(name);
      if (found == node->names.end()) return false;
      *value = found->second;
      return true;
    }
    // Kids are in order, each covering the names within its /Limits.
    std::size_t low = 0, high = node->kids.Size();
    Object next;
    while (low < high) {
      const std::size_t middle = low + (high - low) / 2;
      const NameNode* kid = NameTreeNode(node->kids.At(middle), false);
      if (kid == nullptr || !kid->hasLimits) return false;
      if (name < kid->first) {
        high = middle;
      } else if (name > kid->last) {
        low = middle + 1;
      } else {
        next = node->kids.At(middle);
        break;
      }
    }
    if (next.IsNull()) return false;
    reference = std::move(next);
  }
}

// Null for what is no node. Only the root may be a direct dictionary, as
// it often is; a direct kid sends the look-up to the whole-tree read.
const Destinations::NameNode* Destinations::NameTreeNode(const Object& reference, bool isRoot) {
  constexpr std::uint64_t kDirectRoot = ~std::uint64_t{0};  // no object has this key
  if (!reference.IsReference() && !isRoot) return nullptr;
  const std::uint64_t key = reference.IsReference() ? reference.Id().Packed() : kDirectRoot;
  auto cached = nameNodes.find(key);
  if (cached != nameNodes.end()) return &cached->second;
  const Object node = source->Resolve(reference);
  if (!node.IsDictionary()) return nullptr;
  NameNode entry;
  const Object limits = source->Resolve(node.Get("Limits"));
  const Object first = source->Resolve(limits.At(0));
  const Object last = source->Resolve(limits.At(1));
  if (first.IsString() && last.IsString()) {
    entry.hasLimits = true;
    entry.first = first.Text();
    entry.last = last.Text();
  }
  entry.kids = source->Resolve(node.Get("Kids"));
  if (!entry.kids.IsArray()) {
    const Object names = source->Resolve(node.Get("Names"));
    for (std::size_t i = 0; i + 1 < names.Size(); i += 2) {
      const Object key = source->Resolve(names.At(i));
      if (key.IsString()) entry.names.emplace(key.Text(), names.At(i + 1));
    }
  }
  return &nameNodes.emplace(key, std::move(entry)).first->second;
}

// All of the destination name tree at once: a look-up is then a hash
// probe however many outline items use names.
void Destinations::ReadNameTree() {
  nameTreeRead = true;
  nameNodes.clear();
  std::unordered_set<std::uint64_t> visited;
  std::vector<Object> pending;
  pending.push_back(source->Resolve(catalog.Get("Names")).Get("Dests"));
  while (!pending.empty()) {
    const Object reference = std::move(pending.back());
    pending.pop_back();
    if (reference.IsReference() && !visited.insert(reference.Id().Packed()).second) continue;
    const Object node = source->Resolve(reference);
    if (!node.IsDictionary()) continue;
    const Object names = source->Resolve(node.Get("Names"));
    for (std::size_t i = 0; i + 1 < names.Size(); i += 2) {
      const Object name = source->Resolve(names.At(i));
      if (name.IsString()) nameTree.emplace(name.Text(), names.At(i + 1));
    }
    // In reverse, so that kids are read in order and the first of
    // duplicate names wins.
    const Object kids = source->Resolve(node.Get("Kids"));
    for (std::size_t i = kids.Size(); i-- > 0;) pending.push_back(kids.At(i));
  }
}

}  // namespace pdf
}  // namespace vellox
