#include "builtin_reader/object_parser.h"

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

Object ObjectParser::ParseObject() { return Parse(lexer->Next(), 0); }

ObjectId ObjectParser::ParseObjectHeader() {
  const Token number = lexer->Next();
  const Token generation = lexer->Next();
  const Token keyword = lexer->Next();
  if (!IsObjectNumber(number) || !IsGeneration(generation) || !keyword.IsKeyword("obj"))
    Damaged("no object header where one should be");
  return ObjectId{static_cast<std::uint32_t>(number.integer),
                  static_cast<std::uint32_t>(generation.integer)};
}

void ObjectParser::CountValue() {
  if (++values > kMaxObjectValues)
    OverLimit("an object exceeds", std::to_string(kMaxObjectValues) + " values");
}

bool ObjectParser::TryReference(const Token& number, Object* reference) {
  if (!IsObjectNumber(number)) return false;
  const char* mark = lexer->position();
  const Token generation = lexer->Next();
  if (IsGeneration(generation)) {
    const Token keyword = lexer->Next();
    if (keyword.IsKeyword("R")) {
      *reference = Object::Reference(ObjectId{static_cast<std::uint32_t>(number.integer),
                                              static_cast<std::uint32_t>(generation.integer)});
      return true;
    }
  }
  lexer->Seek(mark);
  return false;
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
      if (depth >= kMaxNestingDepth)
        OverLimit("objects nest deeper than", std::to_string(kMaxNestingDepth));
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
    const Token token = lexer->Next();
    if (token.type == TokenType::kArrayClose) break;
    items.push_back(Parse(token, depth));
  }
  return Object::MakeArray(std::move(items));
}

Object ObjectParser::ParseDictionary(int depth) {
  Dictionary entries;
  entries.reserve(8);
  for (;;) {
    const Token key = lexer->Next();
    if (key.type == TokenType::kDictionaryClose) break;
    if (key.type != TokenType::kName) Damaged("a dictionary key is not a name");
    const Token value = lexer->Next();
    std::string name = DecodeName(key.begin, key.end);
    if (value.type == TokenType::kDictionaryClose) {
      // A key without a value: null, as other readers take it.
      entries.emplace_back(std::move(name), Object());
      break;
    }
    entries.emplace_back(std::move(name), Parse(value, depth));
  }
  return Object::MakeDictionary(std::move(entries));
}

}  // namespace pdf
}  // namespace vellox
