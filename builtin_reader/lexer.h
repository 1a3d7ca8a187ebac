#ifndef VELLOX_BUILTIN_READER_LEXER_H_
#define VELLOX_BUILTIN_READER_LEXER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace vellox {
namespace pdf {

enum class TokenType : std::uint8_t {
  kEnd,  // no more tokens in the range
  kInteger,
  kReal,
  kName,
  kLiteralString,
  kHexString,
  kArrayOpen,
  kArrayClose,
  kDictionaryOpen,
  kDictionaryClose,
  kKeyword,  // any other run of regular characters: true, obj, R...
};

// One token, pointing into the lexer's range: a name without its slash, a
// string without its brackets, still encoded (DecodeName, Decode...String).
struct Token {
  TokenType type = TokenType::kEnd;
  const char* begin = nullptr;
  const char* end = nullptr;
  std::int64_t integer = 0;
  double real = 0;

  std::size_t size() const { return static_cast<std::size_t>(end - begin); }
  bool IsKeyword(const char* word) const {
    return type == TokenType::kKeyword && size() == std::strlen(word) &&
           std::memcmp(begin, word, size()) == 0;
  }
};

// Splits a byte range into PDF tokens. The range need not hold whole
// objects: ReachedEnd() tells when a scan ran into its end, so that a
// caller reading a window of a file can try again with a larger one.
// Malformed tokens throw ReadError(kDamaged).
class Lexer {
 public:
  Lexer(const char* begin, const char* end) : begin_(begin), end_(end), position_(begin) {}

  Token Next();
  // Skips whitespace and comments.
  void SkipWhitespace();

  const char* begin() const { return begin_; }
  const char* end() const { return end_; }
  const char* position() const { return position_; }
  void Seek(const char* position) { position_ = position; }

  bool ReachedEnd() const { return reachedEnd_; }
  // For callers that need bytes past the range to go on.
  void MarkReachedEnd() { reachedEnd_ = true; }

 private:
  const char* ScanRegular(const char* from);

  const char* begin_;
  const char* end_;
  const char* position_;
  bool reachedEnd_ = false;
};

bool IsPdfWhitespace(char c);
// A regular character: neither whitespace nor a delimiter.
bool IsPdfRegular(char c);

// The bytes of a literal string's body (between its parentheses): escapes
// undone, unescaped line ends made LF.
std::string DecodeLiteralString(const char* begin, const char* end);
// The bytes of a hex string's body; an odd last digit stands for digit*16.
std::string DecodeHexString(const char* begin, const char* end);
// A name's body with its #xx escapes undone.
std::string DecodeName(const char* begin, const char* end);

}  // namespace pdf
}  // namespace vellox

#endif  // VELLOX_BUILTIN_READER_LEXER_H_
