#include "app/argument_table.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <vector>

namespace vellox {
namespace {

using Table = std::map<std::string, std::vector<std::string>>;

struct GrammarCase {
  const char* name;
  std::vector<const char*> arguments;  // after argument 0
  Table expected;                      // every key present, with its values
};

// Names the case in test output (and keeps the raw bytes of the struct,
// padding included, out of it).
void PrintTo(const GrammarCase& c, std::ostream* out) { *out << c.name; }

class ArgumentGrammarTest : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(ArgumentGrammarTest, GroupsOptionsAndValues) {
  const GrammarCase& c = GetParam();
  std::vector<const char*> argv = {"vellox"};
  argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
  ArgumentTable table;
  EXPECT_TRUE(table.Parse(static_cast<int>(argv.size()), argv.data()));

  for (const auto& [key, values] : c.expected) {
    EXPECT_TRUE(table.HasOption(key)) << "key '" << key << "'";
    for (std::uint32_t i = 0; i < values.size(); ++i)
      EXPECT_EQ(table.GetValue(key, i), values[i]) << key << " #" << i;
    // One past the end, like an absent key, reads as empty.
    EXPECT_EQ(table.GetValue(key, static_cast<std::uint32_t>(values.size())), "");
  }
  for (const char* probe : {"", "-ML", "-ml", "-x", "--", "-ML5"}) {
    if (c.expected.count(probe) == 0) {
      EXPECT_FALSE(table.HasOption(probe)) << "key '" << probe << "'";
      EXPECT_EQ(table.GetValue(probe, 0), "");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ArgumentGrammarTest,
    ::testing::Values(
        GrammarCase{"NoArguments", {}, {}},
        GrammarCase{"PositionalsThenRepeatedOption",
                    {"book.pdf", "extra.pdf", "-ML", "2", "-x", "-ML", "5", "tail"},
                    {{"", {"book.pdf", "extra.pdf"}},
                     {"-ML", {"2", "5", "tail"}},
                     {"-x", {}}}},
        GrammarCase{"ValueAfterOptionIsNotPositional",
                    {"-ML", "2", "book.pdf"},
                    {{"-ML", {"2", "book.pdf"}}}},
        GrammarCase{"OptionWithoutValue", {"book.pdf", "-ML"}, {{"", {"book.pdf"}}, {"-ML", {}}}},
        GrammarCase{"GluedValueIsAnotherKey", {"-ML5"}, {{"-ML5", {}}}},
        GrammarCase{"NegativeNumbersAreValues", {"-ML", "-1", "-5"}, {{"-ML", {"-1", "-5"}}}},
        GrammarCase{"LoneMinusAndEmptyAreValues", {"-", ""}, {{"", {"-", ""}}}},
        GrammarCase{"DoubleMinusIsAnOption", {"--", "x"}, {{"--", {"x"}}}},
        GrammarCase{"KeysAreCaseSensitive", {"-ml", "3"}, {{"-ml", {"3"}}}}),
    [](const ::testing::TestParamInfo<GrammarCase>& info) { return info.param.name; });

TEST(ArgumentTableTest, OptionsComeOnceInTheOrderGiven) {
  ArgumentTable table;
  const char* argv[] = {"vellox", "book.pdf", "-x", "1", "-ML", "2", "-x", "--", "-ML"};
  table.Parse(9, argv);
  EXPECT_EQ(table.Options(), (std::vector<std::string>{"-x", "-ML", "--"}));
  table.Parse(1, argv);
  EXPECT_TRUE(table.Options().empty());
}

TEST(ArgumentTableTest, ParseReplacesEarlierContent) {
  ArgumentTable table;
  const char* first[] = {"vellox", "-ML", "1"};
  const char* second[] = {"vellox", "book.pdf"};
  table.Parse(3, first);
  table.Parse(2, second);
  EXPECT_FALSE(table.HasOption("-ML"));
  EXPECT_EQ(table.GetValue("", 0), "book.pdf");
}

TEST(ArgumentTableTest, BaseDirectoryIsCurrentDirectoryWithoutBackslash) {
  for (const char* program : {"vellox", "./bin/vellox"}) {
    ArgumentTable table;
    const char* argv[] = {program};
    table.Parse(1, argv);
    EXPECT_FALSE(table.BaseDirectory().empty()) << program;
    EXPECT_NE(table.BaseDirectory(), "./bin/") << program;
  }
}

}  // namespace
}  // namespace vellox
