#ifndef VELLOX_PDF_OBJECT_SOURCE_H_
#define VELLOX_PDF_OBJECT_SOURCE_H_

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "pdf/object.h"

namespace vellox {
namespace pdf {

// Why a reader gave up on a document. Inside a reader a fault unwinds as a
// ReadError to the reader's entry point, which turns it into a status: the
// parser's call chains are deep, and nearly every step can meet one.
enum class ReadFault {
  kDamaged,      // not what a well-formed PDF says it is: repair may help
  kEncrypted,    // needs a password, or a security handler this reader lacks
  kUnsupported,  // a filter or structure this reader does not decode
  kLimit,        // past a budget: a hostile or absurd file; final
};

class ReadError : public std::runtime_error {
 public:
  ReadError(ReadFault fault, const std::string& reason)
      : std::runtime_error(reason), fault_(fault) {}
  ReadFault fault() const { return fault_; }

 private:
  ReadFault fault_;
};

// Throws ReadError(kDamaged, what).
[[noreturn]] void Damaged(const std::string& what);

// The words for a budget passed, "WHAT the limit of AMOUNT", where WHAT
// says what passed it ("a stream exceeds", "objects nest deeper than").
std::string LimitReason(const std::string& what, const std::string& amount);
// Throws ReadError(kLimit) with those words.
[[noreturn]] void OverLimit(const std::string& what, const std::string& amount);
// A number of bytes in whole mebibytes, as the limits name them: "64 MiB".
std::string Mebibytes(std::uint64_t bytes);

// Where the document logic (outline, pages, destinations) gets its
// objects: the built-in reader, or the fallback reader over qpdf. Either
// may throw ReadError (and std::bad_alloc) from any call.
class ObjectSource {
 public:
  virtual ~ObjectSource() = default;

  // The trailer's /Root dictionary, resolved.
  virtual Object Catalog() = 0;

  // A reference's object, direct (itself a reference chain is followed);
  // any other object as it is. Null for an object the file does not have,
  // as PDF prescribes.
  virtual Object Resolve(const Object& object) = 0;

  // Resolve for a walk over many dictionaries of which it reads a few
  // entries (a page tree's nodes and pages, whose resources, boxes and
  // annotations it never looks at): the entries under `keys` are those
  // Resolve gives; the others may be left out, unbuilt. This default
  // leaves none out.
  virtual Object ResolveEntries(const Object& object, std::initializer_list<const char*> keys) {
    static_cast<void>(keys);
    return Resolve(object);
  }
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_PDF_OBJECT_SOURCE_H_
