#ifndef VELLOX_BUILTIN_READER_OBJECT_PARSER_H_
#define VELLOX_BUILTIN_READER_OBJECT_PARSER_H_

#include <cstddef>

#include "builtin_reader/lexer.h"
#include "pdf/object.h"

namespace vellox {
namespace pdf {

// Builds objects from a lexer's tokens. The budgets of budgets.h (nesting,
// values per object, bytes per string) are checked before memory is spent
// and throw ReadError(kLimit); bad syntax throws ReadError(kDamaged).
class ObjectParser {
 public:
  explicit ObjectParser(Lexer* lexer) : lexer(lexer) {}

  // The next object: "N G R" reads as a reference.
  Object ParseObject();
  // "N G obj": the object's id.
  ObjectId ParseObjectHeader();
  // The object a token starts.
  Object ParseObject(const Token& first) { return Parse(first, 0); }

 private:
  Object Parse(const Token& token, int depth);
  Object ParseArray(int depth);
  Object ParseDictionary(int depth);
  // After an integer token: a reference when "G R" follows, else nothing
  // is consumed.
  bool TryReference(const Token& number, Object* reference);
  void CountValue();

  Lexer* lexer;
  std::size_t values = 0;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_OBJECT_PARSER_H_
