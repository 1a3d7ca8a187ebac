#include "builtin_reader/object_parser.h"

#include <cstring>
#include <string>
#include <utility>

#include "pdf/budgets.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {
namespace {

bool IsObjectNumber(const Token& token) {
  return token.type == TokenType::kInteger && token.integer >= 0 &&
         token.integer <= kMaxObjectNumber;
}

bool IsGeneration(const Token& token) {
  return token.type == TokenType::kInteger && token.integer >= 0 && token.integer <= 65535;
}

}  // namespace

bool EntryFilter::Keeps(const Token& name) const {
  const bool escaped = std::memchr(name.begin, '#', name.size()) != nullptr;
  const std::string decoded = escaped ? DecodeName(name.begin, name.end) : std::string();
  const char* bytes = escaped ? decoded.data() : name.begin;
  const std::size_t size = escaped ? decoded.size() : name.size();
  for (const char* key : keys) {
    if (std::strlen(key) == size && std::memcmp(key, bytes, size) == 0) return true;
  }
  return false;
}

Object ObjectParser::ParseObject(const EntryFilter* entryFilter) {
  filter = entryFilter;
  Object object = Parse(Next(), 0);
  Rewind();
  return object;
}

ObjectId ObjectParser::ParseObjectHeader() {
  const Token number = Next();
  const Token generation = Next();
  const Token keyword = Next();
  if (!IsObjectNumber(number) || !IsGeneration(generation) || !keyword.IsKeyword("obj"))
    Damaged("no object header where one should be");
  return ObjectId{static_cast<std::uint32_t>(number.integer),
                  static_cast<std::uint32_t>(generation.integer)};
}

void ObjectParser::CountValue() {
  if (++values > kMaxObjectValues)
    OverLimit("an object exceeds", std::to_string(kMaxObjectValues) + " values");
}

Token ObjectParser::Next() {
  if (aheadCount == 0) return lexer->Next();
  const Token token = ahead[0].token;
  ahead[0] = ahead[1];
  --aheadCount;
  return token;
}

const Token& ObjectParser::Peek(std::size_t index) {
  while (aheadCount <= index) {
    Ahead& next = ahead[aheadCount];
    next.start = lexer->position();
    next.token = lexer->Next();
    ++aheadCount;
  }
  return ahead[index].token;
}

void ObjectParser::Rewind() {
  if (aheadCount == 0) return;
  lexer->Seek(ahead[0].start);
  aheadCount = 0;
}

bool ObjectParser::TryReference(const Token& number, Object* reference) {
  if (!IsObjectNumber(number)) return false;
  const Token& generation = Peek(0);
  if (!IsGeneration(generation)) return false;
  if (!Peek(1).IsKeyword("R")) return false;
  *reference = Object::Reference(ObjectId{static_cast<std::uint32_t>(number.integer),
                                          static_cast<std::uint32_t>(generation.integer)});
  aheadCount = 0;
  return true;
}

Object ObjectParser::Parse(const Token& token, int depth) {
  CountValue();
  switch (token.type) {
    case TokenType::kInteger: {
      Object reference;
      if (TryReference(token, &reference)) return reference;
      return Object::Integer(token.integer);
    }
    case TokenType::kReal:
      return Object::Real(token.real);
    case TokenType::kName:
      return Object::Name(DecodeName(token.begin, token.end));
    case TokenType::kLiteralString:
    case TokenType::kHexString: {
      // A string past the limit is cut, not refused: a bookmark's text
      // holds far less anyway. The cut is on the encoded text, whose size
      // bounds the decoded one; a hex string keeps whole bytes.
      const char* end = token.end;
      std::size_t most = token.size();
      if (token.type == TokenType::kHexString) most /= 2;
      if (most > kMaxStringBytes)
        end = token.begin + (token.type == TokenType::kHexString ? 2 * kMaxStringBytes
                                                                  : kMaxStringBytes);
      return Object::String(token.type == TokenType::kHexString
                                ? DecodeHexString(token.begin, end)
                                : DecodeLiteralString(token.begin, end));
    }
    case TokenType::kArrayOpen:
    case TokenType::kDictionaryOpen:
      CheckNesting(depth);
      return token.type == TokenType::kArrayOpen ? ParseArray(depth + 1)
                                                 : ParseDictionary(depth + 1);
    case TokenType::kKeyword:
      if (token.IsKeyword("null")) return Object();
      if (token.IsKeyword("true")) return Object::Boolean(true);
      if (token.IsKeyword("false")) return Object::Boolean(false);
      Damaged("unexpected '" + std::string(token.begin, token.size() > 20 ? 20 : token.size()) +
              "'");
    case TokenType::kEnd:
      Damaged("an object ends too early");
    case TokenType::kArrayClose:
      Damaged("unexpected ']'");
    case TokenType::kDictionaryClose:
      Damaged("unexpected '>>'");
  }
  Damaged("unexpected token");
}

Object ObjectParser::ParseArray(int depth) {
  Array items;
  items.reserve(4);  // most arrays are rectangles, destinations, short lists
  for (;;) {
    const Token token = Next();
    if (token.type == TokenType::kArrayClose) break;
    items.push_back(Parse(token, depth));
  }
  return Object::MakeArray(std::move(items));
}

Object ObjectParser::ParseDictionary(int depth) {
  const EntryFilter* const keys = depth == 1 ? filter : nullptr;
  Dictionary entries;
  entries.reserve(8);
  for (;;) {
    const Token key = Next();
    if (key.type == TokenType::kDictionaryClose) break;
    if (key.type != TokenType::kName) Damaged("a dictionary key is not a name");
    const Token value = Next();
    const bool kept = keys == nullptr || keys->Keeps(key);
    if (value.type == TokenType::kDictionaryClose) {
      // A key without a value: null, as other readers take it.
      if (kept) entries.emplace_back(DecodeName(key.begin, key.end), Object());
      break;
    }
    if (kept) {
      entries.emplace_back(DecodeName(key.begin, key.end), Parse(value, depth));
    } else {
      Skip(value, depth);
    }
  }
  return Object::MakeDictionary(std::move(entries));
}

void ObjectParser::CheckNesting(int depth) {
  if (depth >= kMaxNestingDepth)
    OverLimit("objects nest deeper than", std::to_string(kMaxNestingDepth));
}

void ObjectParser::Skip(const Token& token, int depth) {
  switch (token.type) {
    case TokenType::kArrayOpen:
    case TokenType::kDictionaryOpen:
      CountValue();
      CheckNesting(depth);
      if (token.type == TokenType::kArrayOpen) {
        SkipArray(depth + 1);
      } else {
        SkipDictionary(depth + 1);
      }
      return;
    case TokenType::kName:
    case TokenType::kLiteralString:
    case TokenType::kHexString:
      CountValue();
      return;
    default:
      Parse(token, depth);  // a number, a reference, a keyword: nothing to spare
  }
}

void ObjectParser::SkipArray(int depth) {
  for (;;) {
    const Token token = Next();
    if (token.type == TokenType::kArrayClose) return;
    Skip(token, depth);
  }
}

void ObjectParser::SkipDictionary(int depth) {
  for (;;) {
    const Token key = Next();
    if (key.type == TokenType::kDictionaryClose) return;
    if (key.type != TokenType::kName) Damaged("a dictionary key is not a name");
    const Token value = Next();
    if (value.type == TokenType::kDictionaryClose) return;
    Skip(value, depth);
  }
}

}  // namespace pdf
}  // namespace vellox
