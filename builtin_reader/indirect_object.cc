#include "builtin_reader/indirect_object.h"

#include <string>
#include <utility>

#include "builtin_reader/object_parser.h"

namespace vellox {
namespace pdf {

std::string ObjectName(ObjectId id) {
  return "object " + std::to_string(id.number) + " " + std::to_string(id.generation);
}

IndirectObject ReadIndirectObject(FileWindow* window, std::uint64_t offset,
                                  const EntryFilter* filter) {
  return window->ParseAt(offset, [offset, filter](Lexer& lexer) {
    ObjectParser parser(&lexer);
    IndirectObject result;
    result.id = parser.ParseObjectHeader();
    result.value = parser.ParseObject(filter);
    const Token next = lexer.Next();
    result.textBytes = static_cast<std::uint64_t>(lexer.position() - lexer.begin());
    if (next.IsKeyword("endobj")) return result;
    if (!next.IsKeyword("stream") || !result.value.IsDictionary())
      throw ReadError(ReadFault::kDamaged,
                      "object " + std::to_string(result.id.number) + " lacks its endobj");
    // The data starts after the keyword's line end: CR LF or LF (a lone CR
    // is taken too, as other readers do).
    const char* p = lexer.position();
    if (p != lexer.end() && *p == '\r') ++p;
    if (p != lexer.end() && *p == '\n') ++p;
    if (p == lexer.end()) lexer.MarkReachedEnd();
    result.dataOffset = offset + static_cast<std::uint64_t>(p - lexer.begin());
    result.value = Object::MakeDictionary(Dictionary(result.value.Entries()), true);
    return result;
  });
}

}  // namespace pdf
}  // namespace vellox
