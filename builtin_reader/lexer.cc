#include "builtin_reader/lexer.h"

#include <limits>

#include "pdf/object_source.h"

namespace vellox {
namespace pdf {
namespace {

constexpr std::uint8_t kWhitespace = 1;
constexpr std::uint8_t kDelimiter = 2;

struct CharacterClasses {
  std::uint8_t of[256] = {};
  constexpr CharacterClasses() {
    for (unsigned char c : {0, 9, 10, 12, 13, 32}) of[c] = kWhitespace;
    for (unsigned char c : {'(', ')', '<', '>', '[', ']', '{', '}', '/', '%'}) of[c] = kDelimiter;
  }
};
constexpr CharacterClasses kClasses;

inline std::uint8_t ClassOf(char c) { return kClasses.of[static_cast<unsigned char>(c)]; }

inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads [begin, end) as a number: [+-] digits [. digits], at least one
// digit. False when it is none.
bool ParseNumber(const char* begin, const char* end, Token* token) {
  const char* p = begin;
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  const char* const wholeBegin = p;
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t whole = 0;
  bool overflow = false;
  for (; p != end && *p >= '0' && *p <= '9'; ++p) {
    const unsigned digit = static_cast<unsigned>(*p - '0');
    if (whole > kMost / 10 || (whole == kMost / 10 && digit > kMost % 10)) overflow = true;
    whole = whole * 10 + digit;
  }
  const char* const wholeEnd = p;
  int digits = static_cast<int>(wholeEnd - wholeBegin);
  // The whole part as a double, summed digit by digit as the value of a
  // number too large for an integer always was; below 2^53 that sum is
  // exact, and the integer itself.
  auto wholeAsReal = [&]() {
    if (!overflow && whole < (std::uint64_t{1} << 53)) return static_cast<double>(whole);
    double real = 0;
    for (const char* q = wholeBegin; q != wholeEnd; ++q) real = real * 10 + (*q - '0');
    return real;
  };
  if (p == end) {
    if (digits == 0) return false;
    if (!overflow && whole <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
      token->type = TokenType::kInteger;
      token->integer = negative ? -static_cast<std::int64_t>(whole) : static_cast<std::int64_t>(whole);
    } else {
      // Too large for an integer: a real is as close as readers come.
      const double real = wholeAsReal();
      token->type = TokenType::kReal;
      token->real = negative ? -real : real;
    }
    return true;
  }
  if (*p != '.') return false;
  ++p;
  // The fraction's digits as one integer, divided once: summing digit by
  // digit would collect rounding errors.
  std::uint64_t fraction = 0;
  int fractionDigits = 0;
  for (; p != end && *p >= '0' && *p <= '9'; ++p, ++digits) {
    if (fractionDigits < 18) {
      fraction = fraction * 10 + static_cast<unsigned>(*p - '0');
      ++fractionDigits;
    }
  }
  if (p != end || digits == 0) return false;
  double real = wholeAsReal();
  static const double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
  real += static_cast<double>(fraction) / kPowers[fractionDigits];
  token->type = TokenType::kReal;
  token->real = negative ? -real : real;
  return true;
}

}  // namespace

bool IsPdfWhitespace(char c) { return ClassOf(c) == kWhitespace; }
bool IsPdfRegular(char c) { return ClassOf(c) == 0; }

void Lexer::SkipWhitespace() {
  const char* p = position_;
  for (;;) {
    while (p != end_ && ClassOf(*p) == kWhitespace) ++p;
    if (p == end_ || *p != '%') break;
    while (p != end_ && *p != '\n' && *p != '\r') ++p;
  }
  position_ = p;
}

const char* Lexer::ScanRegular(const char* from) {
  const char* p = from;
  while (p != end_ && ClassOf(*p) == 0) ++p;
  if (p == end_) reachedEnd_ = true;
  return p;
}

Token Lexer::Next() {
  SkipWhitespace();
  Token token;
  const char* p = position_;
  if (p == end_) {
    reachedEnd_ = true;
    token.begin = token.end = p;
    return token;
  }
  switch (*p) {
    case '[':
      token.type = TokenType::kArrayOpen;
      ++p;
      break;
    case ']':
      token.type = TokenType::kArrayClose;
      ++p;
      break;
    case '/': {
      token.type = TokenType::kName;
      token.begin = p + 1;
      p = ScanRegular(p + 1);
      token.end = p;
      position_ = p;
      return token;
    }
    case '<': {
      if (p + 1 == end_) {
        reachedEnd_ = true;
        Damaged("unterminated hex string");
      }
      if (p[1] == '<') {
        token.type = TokenType::kDictionaryOpen;
        p += 2;
        break;
      }
      token.type = TokenType::kHexString;
      token.begin = ++p;
      while (p != end_ && *p != '>') {
        if (HexValue(*p) < 0 && ClassOf(*p) != kWhitespace)
          Damaged("bad character in a hex string");
        ++p;
      }
      if (p == end_) {
        reachedEnd_ = true;
        Damaged("unterminated hex string");
      }
      token.end = p;
      position_ = p + 1;
      return token;
    }
    case '>':
      if (p + 1 == end_) {
        reachedEnd_ = true;
        Damaged("unexpected '>'");
      }
      if (p[1] != '>') Damaged("unexpected '>'");
      token.type = TokenType::kDictionaryClose;
      p += 2;
      break;
    case '(': {
      token.type = TokenType::kLiteralString;
      token.begin = ++p;
      int depth = 1;
      for (; p != end_; ++p) {
        if (*p == '\\') {
          if (++p == end_) break;
        } else if (*p == '(') {
          ++depth;
        } else if (*p == ')' && --depth == 0) {
          break;
        }
      }
      if (p == end_) {
        reachedEnd_ = true;
        Damaged("unterminated string");
      }
      token.end = p;
      position_ = p + 1;
      return token;
    }
    case ')':
      Damaged("unexpected ')'");
    case '{':
    case '}':
      // PostScript braces: no object uses them, so the parser rejects them.
      token.type = TokenType::kKeyword;
      token.begin = p;
      token.end = ++p;
      position_ = p;
      return token;
    default: {
      token.begin = p;
      p = ScanRegular(p);
      token.end = p;
      position_ = p;
      if (!ParseNumber(token.begin, token.end, &token)) token.type = TokenType::kKeyword;
      return token;
    }
  }
  token.begin = position_;
  token.end = p;
  position_ = p;
  return token;
}

std::string DecodeLiteralString(const char* begin, const char* end) {
  const std::size_t size = static_cast<std::size_t>(end - begin);
  if (std::memchr(begin, '\\', size) == nullptr && std::memchr(begin, '\r', size) == nullptr)
    return std::string(begin, size);  // nothing to undo, as in most strings
  std::string out;
  out.reserve(static_cast<std::size_t>(end - begin));
  for (const char* p = begin; p != end; ++p) {
    char c = *p;
    if (c == '\r') {
      // An unescaped line end of any kind reads as LF.
      if (p + 1 != end && p[1] == '\n') ++p;
      out.push_back('\n');
      continue;
    }
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++p == end) break;
    c = *p;
    switch (c) {
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case 't': out.push_back('\t'); break;
      case 'b': out.push_back('\b'); break;
      case 'f': out.push_back('\f'); break;
      case '\r':
        // A backslash before a line end continues the line.
        if (p + 1 != end && p[1] == '\n') ++p;
        break;
      case '\n':
        break;
      default:
        if (c >= '0' && c <= '7') {
          unsigned value = static_cast<unsigned>(c - '0');
          for (int i = 1; i < 3 && p + 1 != end && p[1] >= '0' && p[1] <= '7'; ++i)
            value = value * 8 + static_cast<unsigned>(*++p - '0');
          out.push_back(static_cast<char>(value & 0xFF));
        } else {
          out.push_back(c);  // \( \) \\ and any other: the character itself
        }
    }
  }
  return out;
}

std::string DecodeHexString(const char* begin, const char* end) {
  std::string out;
  out.reserve(static_cast<std::size_t>(end - begin) / 2 + 1);
  int high = -1;
  for (const char* p = begin; p != end; ++p) {
    const int value = HexValue(*p);
    if (value < 0) continue;
    if (high < 0) {
      high = value;
    } else {
      out.push_back(static_cast<char>(high * 16 + value));
      high = -1;
    }
  }
  if (high >= 0) out.push_back(static_cast<char>(high * 16));
  return out;
}

std::string DecodeName(const char* begin, const char* end) {
  const std::size_t size = static_cast<std::size_t>(end - begin);
  if (std::memchr(begin, '#', size) == nullptr) return std::string(begin, size);  // most names
  std::string out;
  out.reserve(static_cast<std::size_t>(end - begin));
  for (const char* p = begin; p != end; ++p) {
    if (*p == '#' && end - p >= 3 && HexValue(p[1]) >= 0 && HexValue(p[2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(p[1]) * 16 + HexValue(p[2])));
      p += 2;
    } else {
      out.push_back(*p);
    }
  }
  return out;
}

}  // namespace pdf
}  // namespace vellox
