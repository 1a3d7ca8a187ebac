#ifndef VELLOX_PDF_DESTINATIONS_H_
#define VELLOX_PDF_DESTINATIONS_H_

#include <cstdint>
#include <string>
#include <unordered_map>

#include "pdf/object.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {

// Where an outline item leads, before pages are numbered.
struct Target {
  enum Kind : std::uint8_t { kNoPage, kPageObject, kPageNumber, kFirstPage, kLastPage };
  Kind kind = kNoPage;
  Object page;                 // kPageObject: the page's reference
  std::uint64_t number = 0;    // kPageNumber: the page's index
};

// Resolves outline items' destinations: explicit arrays, page numbers,
// names through the catalog's /Dests and the /Names tree, dictionaries
// with /D, GoTo actions, and the FirstPage and LastPage named actions.
class Destinations {
 public:
  Destinations(ObjectSource* source, Object catalog)
      : source(source), catalog(std::move(catalog)) {}

  // The item's /Dest, else its /A action.
  Target ItemTarget(const Object& item);

 private:
  Target DestinationTarget(Object destination);
  Object NamedDestination(const std::string& name, bool isName);
  Object FromDestsDictionary(const std::string& name);
  Object FromNameTree(const std::string& name);
  bool SearchNameTree(const std::string& name, Object* value);
  void ReadNameTree();

  // A name tree node as the descent needs it, read once: each look-up
  // passes the same upper nodes, and a leaf may hold the whole tree.
  struct NameNode {
    bool hasLimits = false;
    std::string first, last;  // its /Limits
    Object kids;              // an array for an inner node
    std::unordered_map<std::string, Object> names;  // a leaf's
  };
  const NameNode* NameTreeNode(const Object& reference, bool isRoot);

  ObjectSource* source;
  Object catalog;
  // The catalog's /Dests, read into a table on first use: it may hold
  // every destination of the document, and is asked once per item.
  bool destsRead = false;
  std::unordered_map<std::string, Object> dests;
  bool nameTreeRead = false;
  std::unordered_map<std::string, Object> nameTree;
  std::unordered_map<std::uint64_t, NameNode> nameNodes;  // by object
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_DESTINATIONS_H_
