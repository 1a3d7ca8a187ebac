#include "builtin_reader/lexer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "pdf/object_source.h"

namespace vellox {
namespace pdf {
namespace {

// The tokens of `text`, one word each: numbers as values, names and
// strings decoded (strings' bytes in brackets), keywords as they are.
std::string Describe(const std::string& text) {
  Lexer lexer(text.data(), text.data() + text.size());
  std::ostringstream out;
  for (Token token = lexer.Next(); token.type != TokenType::kEnd; token = lexer.Next()) {
    if (out.tellp() > 0) out << ' ';
    switch (token.type) {
      case TokenType::kInteger: out << "i" << token.integer; break;
      case TokenType::kReal: out << "r" << token.real; break;
      case TokenType::kName: out << "/" << DecodeName(token.begin, token.end); break;
      case TokenType::kLiteralString:
        out << "(" << DecodeLiteralString(token.begin, token.end) << ")";
        break;
      case TokenType::kHexString: out << "<" << DecodeHexString(token.begin, token.end) << ">"; break;
      case TokenType::kArrayOpen: out << "["; break;
      case TokenType::kArrayClose: out << "]"; break;
      case TokenType::kDictionaryOpen: out << "<<"; break;
      case TokenType::kDictionaryClose: out << ">>"; break;
      case TokenType::kKeyword: out << "k:" << std::string(token.begin, token.end); break;
      case TokenType::kEnd: break;
    }
  }
  return out.str();
}

struct LexerCase {
  const char* name;
  std::string input;
  std::string tokens;
};

class LexerTokens : public ::testing::TestWithParam<LexerCase> {};

TEST_P(LexerTokens, Tokenizes) { EXPECT_EQ(Describe(GetParam().input), GetParam().tokens); }

INSTANTIATE_TEST_SUITE_P(
    Lexer, LexerTokens,
    ::testing::Values(
        LexerCase{"Numbers", "1 -2 +3 0.5 +.5 -.002 4. -0 007",
                  "i1 i-2 i3 r0.5 r0.5 r-0.002 r4 i0 i7"},
        LexerCase{"HugeIntegerBecomesReal", "99999999999999999999", "r1e+20"},
        LexerCase{"NotNumbers", "1.2.3 -- + . 1e5", "k:1.2.3 k:-- k:+ k:. k:1e5"},
        LexerCase{"Keywords", "true false null obj endobj stream endstream R xref trailer "
                  "startxref", "k:true k:false k:null k:obj k:endobj k:stream k:endstream "
                  "k:R k:xref k:trailer k:startxref"},
        LexerCase{"WhitespaceIncludingNulAndFormFeed",
                  std::string("1\0002\f3\t4\r\n5", 10), "i1 i2 i3 i4 i5"},
        LexerCase{"Comments", "1 % a comment ) ( <\n2%another\r3", "i1 i2 i3"},
        LexerCase{"DelimitersEndTokens", "[1/A(x)<41>]<</B 2>>{}", "[ i1 /A (x) <A> ] << /B i2 >> k:{ k:}"},
        LexerCase{"Names", "/Name /A#20B /#41#42 / /a#zz /x#4", "/Name /A B /AB / /a#zz /x#4"},
        LexerCase{"NestedString", "(a(b)c)", "(a(b)c)"},
        LexerCase{"StringEscapes", "(\\n\\r\\t\\b\\f\\(\\)\\\\\\q)", "(\n\r\t\b\f()\\q)"},
        LexerCase{"OctalEscapes", "(\\101\\60\\0617\\7)", "(A0" "17\a)"},
        LexerCase{"LineContinuations", "(a\\\nb\\\r\nc\\\rd)", "(abcd)"},
        LexerCase{"BareLineEndsBecomeLf", "(a\r\nb\rc\nd)", "(a\nb\nc\nd)"},
        LexerCase{"HexStrings", "<41 42\n43> <4> <414> <>", "<ABC> <@> <A@> <>"}),
    [](const ::testing::TestParamInfo<LexerCase>& info) { return info.param.name; });

TEST(LexerTest, MalformedTokensAreDamage) {
  for (const char* text : {"(open", "<41", "<4G>", ")", "> 1", "<"}) {
    const std::string input = text;
    try {
      Describe(input);
      ADD_FAILURE() << text;
    } catch (const ReadError& error) {
      EXPECT_EQ(error.fault(), ReadFault::kDamaged) << text;
    }
  }
}

TEST(LexerTest, ReportsScansThatRanIntoTheEnd) {
  struct {
    const char* text;
    bool reachedEnd;
  } cases[] = {{"12 ", false}, {"12", true}, {"/Na", true}, {"(x) ", false}, {"<<", false}};
  for (const auto& c : cases) {
    const std::string input = c.text;
    Lexer lexer(input.data(), input.data() + input.size());
    lexer.Next();
    EXPECT_EQ(lexer.ReachedEnd(), c.reachedEnd) << c.text;
  }
}

}  // namespace
}  // namespace pdf
}  // namespace vellox
