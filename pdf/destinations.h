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
  bool SearchLeaf(const Object& leafReference, const Object& leaf, const std::string& name,
                  Object* value);
  void ReadNameTree();

  ObjectSource* source;
  Object catalog;
  bool nameTreeRead = false;
  std::unordered_map<std::string, Object> nameTree;
  // Leaves met on the way down, by object, each as a table: a leaf may
  // hold the whole tree and is searched once per item that uses a name.
  std::unordered_map<std::uint64_t, std::unordered_map<std::string, Object>> leaves;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_DESTINATIONS_H_
