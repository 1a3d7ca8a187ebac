#include "builtin_reader/object_parser.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "pdf/budgets.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {
namespace {

// An object as compact text, to compare whole structures at once.
std::string Show(const Object& object) {
  std::ostringstream out;
  switch (object.type()) {
    case Object::Type::kNull: out << "null"; break;
    case Object::Type::kBoolean: out << (object.BooleanValue() ? "true" : "false"); break;
    case Object::Type::kInteger: out << object.IntegerValue(); break;
    case Object::Type::kReal: out << object.NumberValue() << 'r'; break;
    case Object::Type::kString: out << '(' << object.Text() << ')'; break;
    case Object::Type::kName: out << '/' << object.Text(); break;
    case Object::Type::kReference:
      out << object.Id().number << ' ' << object.Id().generation << " R";
      break;
    case Object::Type::kArray: {
      out << '[';
      for (std::size_t i = 0; i < object.Size(); ++i) out << (i ? " " : "") << Show(object.At(i));
      out << ']';
      break;
    }
    case Object::Type::kDictionary: {
      out << "<<";
      for (const auto& entry : object.Entries()) out << '/' << entry.first << ' ' << Show(entry.second) << ';';
      out << ">>";
      break;
    }
  }
  return out.str();
}

Object Parse(const std::string& text) {
  Lexer lexer(text.data(), text.data() + text.size());
  return ObjectParser(&lexer).ParseObject();
}

ReadFault FaultOf(const std::string& text) {
  try {
    Parse(text);
  } catch (const ReadError& error) {
    return error.fault();
  }
  ADD_FAILURE() << "parsed: " << text.substr(0, 60);
  return ReadFault::kDamaged;
}

TEST(ObjectParserTest, ParsesObjects) {
  struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"42", "42"},
      {"-1.5", "-1.5r"},
      {"true", "true"},
      {"null", "null"},
      {"/Name", "/Name"},
      {"(a\\)b)", "(a)b)"},
      {"12 0 R", "12 0 R"},
      {"[1 2 R 3 0 R 4 5]", "[1 2 R 3 0 R 4 5]"},
      {"[1 2 3]", "[1 2 3]"},
      {"<< /Type /Page /Kids [4 0 R] /Nested << /A null >> >>",
       "<</Type /Page;/Kids [4 0 R];/Nested <</A null;>>;>>"},
      {"<</A 1/B>>", "<</A 1;/B null;>>"},
      {"<<>>", "<<>>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(Parse(c.text)), c.shown) << c.text;
  }
}

// A number's look for "G R" reads ahead; what it read and did not take is
// given back, so that the lexer stands right after the object.
TEST(ObjectParserTest, LeavesTheLexerRightAfterTheObject) {
  struct {
    const char* text;
    const char* next;
  } cases[] = {{"42 endobj", "endobj"}, {"42 0 endobj", "0"}, {"42 0 7", "0"},
               {"12 0 R endobj", "endobj"}, {"[1 2] endobj", "endobj"},
               {"<< /A 1 /B 2 >> endobj", "endobj"}, {"-3 1", "1"}};
  for (const auto& c : cases) {
    const std::string input = c.text;
    Lexer lexer(input.data(), input.data() + input.size());
    ObjectParser(&lexer).ParseObject();
    const Token next = lexer.Next();
    EXPECT_EQ(std::string(next.begin, next.end), c.next) << c.text;
  }
  const std::string twice = "5 6 7 R";
  Lexer lexer(twice.data(), twice.data() + twice.size());
  EXPECT_EQ(Show(ObjectParser(&lexer).ParseObject()), "5");
  EXPECT_EQ(Show(ObjectParser(&lexer).ParseObject()), "6 7 R");
}

Object ParseKeeping(const std::string& text, std::initializer_list<const char*> keys) {
  Lexer lexer(text.data(), text.data() + text.size());
  const EntryFilter filter(keys);
  return ObjectParser(&lexer).ParseObject(&filter);
}

TEST(ObjectParserTest, AFilterBuildsOnlyTheEntriesItKeeps) {
  struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"<< /Type /Page /MediaBox [0 0 612 792] /Resources << /Font << /F1 2 0 R >> >> "
       "/Kids [4 0 R] /Annots [(x) <41>] >>",
       "<</Type /Page;/Kids [4 0 R];>>"},
      {"<< /Ty#70e /Pages /Other 1 >>", "<</Type /Pages;>>"},  // keys compare decoded
      {"<< /A 1 /Kids >>", "<</Kids null;>>"},
      {"<< /A 1 /B >>", "<<>>"},
      {"<< /Type 3 0 R /A 4 0 R >>", "<</Type 3 0 R;>>"},
      // Only the outermost dictionary is filtered.
      {"[<< /A 1 /Type /X >>]", "[<</A 1;/Type /X;>>]"},
      {"<< /Kids [<< /A 1 >>] >>", "<</Kids [<</A 1;>>];>>"},
      {"7", "7"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(ParseKeeping(c.text, {"Type", "Kids"})), c.shown) << c.text;
  }
}

// What is not built is still parsed: a dropped value fails as it would if
// it were built.
TEST(ObjectParserTest, DroppedValuesKeepEveryCheck) {
  auto faultOf = [](const std::string& text) {
    try {
      ParseKeeping(text, {"Type"});
    } catch (const ReadError& error) {
      return error.fault();
    }
    ADD_FAILURE() << "parsed: " << text.substr(0, 60);
    return ReadFault::kDamaged;
  };
  for (const char* text : {"<< /A [1 2 >>", "<< /A << 1 2 >> >>", "<< /A << /B ] >> >>",
                           "<< /A endobj >>", "<< /A [ { ] >>", "<< /A"})
    EXPECT_EQ(faultOf(text), ReadFault::kDamaged) << text;
  EXPECT_EQ(faultOf("<< /A " + std::string(kMaxNestingDepth + 1, '[') +
                    std::string(kMaxNestingDepth + 1, ']') + " >>"),
            ReadFault::kLimit);
  std::string manyItems = "<< /A [";
  for (std::size_t i = 0; i <= kMaxObjectValues; ++i) manyItems += "/N ";
  EXPECT_EQ(faultOf(manyItems + "] >>"), ReadFault::kLimit);
}

TEST(ObjectParserTest, ReadsIndirectObjectHeaders) {
  const std::string text = "7 3 obj << /A 1 >> endobj";
  Lexer lexer(text.data(), text.data() + text.size());
  ObjectParser parser(&lexer);
  const ObjectId id = parser.ParseObjectHeader();
  EXPECT_EQ(id.number, 7u);
  EXPECT_EQ(id.generation, 3u);
  EXPECT_EQ(Show(parser.ParseObject()), "<</A 1;>>");
  EXPECT_TRUE(lexer.Next().IsKeyword("endobj"));

  for (const char* bad : {"7 obj", "-7 0 obj", "7 0 R", "7 99999 obj"}) {
    const std::string input = bad;
    Lexer other(input.data(), input.data() + input.size());
    EXPECT_THROW(ObjectParser(&other).ParseObjectHeader(), ReadError) << bad;
  }
}

TEST(ObjectParserTest, MalformedSyntaxIsDamage) {
  for (const char* text : {"[1 2", "<< /A 1", "<< 1 2 >>", "]", ">>", "endobj", "{", "", "<< /A ]",
                           "[-1 0 R]"})  // no reference, and R alone is no object
    EXPECT_EQ(FaultOf(text), ReadFault::kDamaged) << text;
}

TEST(ObjectParserTest, BudgetsStopHostileObjects) {
  const std::string deepArray =
      std::string(kMaxNestingDepth + 1, '[') + std::string(kMaxNestingDepth + 1, ']');
  EXPECT_EQ(FaultOf(deepArray), ReadFault::kLimit);
  std::string deepDictionary;
  for (int i = 0; i <= kMaxNestingDepth; ++i) deepDictionary += "<</A ";
  EXPECT_EQ(FaultOf(deepDictionary), ReadFault::kLimit);
  // Just within the depth is fine.
  const std::string deepest =
      std::string(kMaxNestingDepth, '[') + std::string(kMaxNestingDepth, ']');
  EXPECT_TRUE(Parse(deepest).IsArray());

  std::string manyItems = "[";
  for (std::size_t i = 0; i <= kMaxObjectValues; ++i) manyItems += "0 ";
  EXPECT_EQ(FaultOf(manyItems + "]"), ReadFault::kLimit);

  EXPECT_EQ(Parse("(" + std::string(1000, 'x') + ")").Text().size(), 1000u);
}

TEST(ObjectParserTest, StringsPastTheLimitAreCut) {
  EXPECT_EQ(Parse("(" + std::string(kMaxStringBytes + 1, 'x') + ")").Text(),
            std::string(kMaxStringBytes, 'x'));
  EXPECT_EQ(Parse("<" + std::string(2 * kMaxStringBytes + 3, 'a') + ">").Text(),
            std::string(kMaxStringBytes, '\xAA'));
  EXPECT_EQ(Parse("[(" + std::string(kMaxStringBytes + 9, 'y') + ") 7]").At(1).IntegerValue(), 7);
}

}  // namespace
}  // namespace pdf
}  // namespace vellox
