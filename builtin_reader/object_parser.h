#ifndef VELLOX_BUILTIN_READER_OBJECT_PARSER_H_
#define VELLOX_BUILTIN_READER_OBJECT_PARSER_H_

#include <cstddef>
#include <initializer_list>

#include "builtin_reader/lexer.h"
#include "pdf/object.h"

namespace vellox {
namespace pdf {

// The keys of the entries to build of a dictionary; the values of the
// others are parsed, with every check, but not built.
class EntryFilter {
 public:
  explicit EntryFilter(std::initializer_list<const char*> keys) : keys(keys) {}
  // Whether the key that name token's bytes spell is one of them.
  bool Keeps(const Token& name) const;

 private:
  std::initializer_list<const char*> keys;
};

// Builds objects from a lexer's tokens. The budgets of budgets.h (nesting,
// values per object, bytes per string) are checked before memory is spent
// and throw ReadError(kLimit); bad syntax throws ReadError(kDamaged).
class ObjectParser {
 public:
  explicit ObjectParser(Lexer* lexer) : lexer(lexer) {}

  // The next object: "N G R" reads as a reference. The lexer is left
  // right after it. With `filter`, an object that is a dictionary gets
  // only the entries it keeps.
  Object ParseObject(const EntryFilter* filter = nullptr);
  // "N G obj": the object's id.
  ObjectId ParseObjectHeader();

 private:
  // A token read ahead, and where the lexer stood before it.
  struct Ahead {
    Token token;
    const char* start = nullptr;
  };

  Object Parse(const Token& token, int depth);
  Object ParseArray(int depth);
  Object ParseDictionary(int depth);
  // Parses what `token` starts and builds nothing: no strings, names or
  // containers made, the same checks and budgets as Parse.
  void Skip(const Token& token, int depth);
  void SkipArray(int depth);
  void SkipDictionary(int depth);
  void CheckNesting(int depth);
  // After an integer token: a reference when "G R" follows, else nothing
  // is consumed.
  bool TryReference(const Token& number, Object* reference);
  void CountValue();

  // The next token, the ones read ahead first.
  Token Next();
  // The token `index` places ahead (0 or 1), read once: a run of numbers
  // (a rectangle, a destination) is lexed once, not again after each
  // failed look for "G R".
  const Token& Peek(std::size_t index);
  // Puts the lexer back before the tokens read ahead and not taken.
  void Rewind();

  Lexer* lexer;
  const EntryFilter* filter = nullptr;  // for the outermost dictionary
  std::size_t values = 0;
  Ahead ahead[2];
  std::size_t aheadCount = 0;
};

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_OBJECT_PARSER_H_
