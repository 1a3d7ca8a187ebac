#ifndef VELLOX_BUILTIN_READER_INDIRECT_OBJECT_H_
#define VELLOX_BUILTIN_READER_INDIRECT_OBJECT_H_

#include <cstdint>
#include <string>

#include "builtin_reader/file_window.h"
#include "builtin_reader/object_parser.h"
#include "pdf/object.h"

namespace vellox {
namespace pdf {

// "N G obj ... endobj" as read from the file.
struct IndirectObject {
  ObjectId id;
  Object value;                  // a stream reads as its dictionary, IsStream() true
  std::uint64_t dataOffset = 0;  // where a stream's data starts
  std::uint64_t textBytes = 0;   // the object's text, header to endobj or stream
};

// "object N G", for messages.
std::string ObjectName(ObjectId id);

// Reads the indirect object at `offset`; kDamaged when none is there.
// With `filter`, a dictionary gets only the entries it keeps.
IndirectObject ReadIndirectObject(FileWindow* window, std::uint64_t offset,
                                  const EntryFilter* filter = nullptr);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_INDIRECT_OBJECT_H_
