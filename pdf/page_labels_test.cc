#include "pdf/page_labels.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vellox {
namespace pdf {
namespace {

using Label = std::optional<std::u16string>;

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

TEST(FormatPageLabelTest, Styles) {
  struct Case {
    LabelStyle style;
    std::u16string prefix;
    std::int64_t start;
    std::int64_t index;
    Label expected;
  } cases[] = {
      {LabelStyle::kDecimal, u"", 1, 0, u"1"},
      {LabelStyle::kDecimal, u"", 1, 9, u"10"},
      {LabelStyle::kDecimal, u"", 5, 2, u"7"},
      {LabelStyle::kDecimal, u"A-", 1, 0, u"A-1"},
      {LabelStyle::kDecimal, u"", 0, 0, u"1"},   // a start below 1 counts as 1
      {LabelStyle::kDecimal, u"", -7, 2, u"3"},
      {LabelStyle::kDecimal, u"", INT64_MAX, 0, u"9223372036854775807"},
      {LabelStyle::kDecimal, u"", INT64_MAX, 1, std::nullopt},
      {LabelStyle::kUpperRoman, u"", 1, 0, u"I"},
      {LabelStyle::kUpperRoman, u"", 1, 3, u"IV"},
      {LabelStyle::kUpperRoman, u"", 1994, 0, u"MCMXCIV"},
      {LabelStyle::kUpperRoman, u"", 3999, 0, u"MMMCMXCIX"},
      // Past 3999, one M per thousand.
      {LabelStyle::kUpperRoman, u"", 4000, 0, u"MMMM"},
      {LabelStyle::kUpperRoman, u"", 4999, 0, u"MMMMCMXCIX"},
      {LabelStyle::kUpperRoman, u"", 12001, 0, u"MMMMMMMMMMMMI"},
      {LabelStyle::kLowerRoman, u"", 1, 2, u"iii"},
      {LabelStyle::kLowerRoman, u"p. ", 1994, 0, u"p. mcmxciv"},
      {LabelStyle::kUpperLetters, u"", 1, 0, u"A"},
      {LabelStyle::kUpperLetters, u"", 26, 0, u"Z"},
      {LabelStyle::kUpperLetters, u"", 27, 0, u"AA"},
      {LabelStyle::kUpperLetters, u"", 52, 0, u"ZZ"},
      {LabelStyle::kUpperLetters, u"", 53, 0, u"AAA"},
      {LabelStyle::kLowerLetters, u"", 1, 27, u"bb"},
      {LabelStyle::kNone, u"Cover", 1, 3, u"Cover"},  // the prefix alone
      {LabelStyle::kNone, u"", 1, 0, u""},
      {LabelStyle::kDecimal, u"Anhang\u00A0", 1, 1, u"Anhang\u00A02"},
      // Longer than a label may be: a hostile start, or a long prefix.
      {LabelStyle::kUpperLetters, u"", 26 * 128, 0, std::u16string(128, u'Z')},
      {LabelStyle::kUpperLetters, u"", 26 * 128 + 1, 0, std::nullopt},
      {LabelStyle::kUpperLetters, u"", 2000000000, 0, std::nullopt},
      {LabelStyle::kUpperRoman, u"", INT64_MAX, 0, std::nullopt},
      {LabelStyle::kDecimal, std::u16string(125, u'x'), 1000, 0, std::nullopt},
      {LabelStyle::kNone, std::u16string(129, u'x'), 1, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatPageLabel(c.style, c.prefix, c.start, c.index), c.expected)
        << static_cast<char>(c.style) << " start " << c.start << " index " << c.index;
  }
}

// Every roman numeral a page count reaches, against the numerals written
// digit by digit.
TEST(FormatPageLabelTest, RomanNumeralsUpTo3999) {
  const char* ones[] = {"", "I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX"};
  const char* tens[] = {"", "X", "XX", "XXX", "XL", "L", "LX", "LXX", "LXXX", "XC"};
  const char* hundreds[] = {"", "C", "CC", "CCC", "CD", "D", "DC", "DCC", "DCCC", "CM"};
  for (int n = 1; n <= 3999; ++n) {
    const std::string expected = std::string(static_cast<std::size_t>(n / 1000), 'M') +
                                 hundreds[n / 100 % 10] + tens[n / 10 % 10] + ones[n % 10];
    ASSERT_EQ(FormatPageLabel(LabelStyle::kUpperRoman, u"", n, 0), Ascii(expected)) << n;
  }
}

TEST(PageLabelsTest, LabelOfFindsTheRangeOfThePage) {
  // Given out of order; the second range at page 4 is a duplicate.
  PageLabels labels({{12, LabelStyle::kNone, u"Back", 1},
                     {4, LabelStyle::kDecimal, u"", 1},
                     {2, LabelStyle::kLowerRoman, u"", 1},
                     {4, LabelStyle::kUpperLetters, u"", 1},
                     {10, LabelStyle::kDecimal, u"A-", 1},
                     {13, LabelStyle::kUpperLetters, u"", 26 * 200}});
  struct Case {
    std::int32_t page;
    Label expected;
  } cases[] = {
      {-1, std::nullopt}, {0, std::nullopt},  // before the first range
      {2, u"i"},          {3, u"ii"},          {4, u"1"},  {9, u"6"},
      {10, u"A-1"},       {11, u"A-2"},        {12, u"Back"},
      {13, std::nullopt},  // too long a label
  };
  for (const Case& c : cases) EXPECT_EQ(labels.LabelOf(c.page), c.expected) << c.page;
  EXPECT_EQ(PageLabels().LabelOf(0), std::nullopt);
}

// Objects by number; an object number past those given can be made up on
// the spot by `generate`. Counts look-ups.
class FakeSource : public ObjectSource {
 public:
  Object Catalog() override { return catalog; }
  Object Resolve(const Object& object) override {
    ++resolved;
    Object current = object;
    for (int hop = 0; hop < 8 && current.IsReference(); ++hop) {
      auto found = objects.find(current.Id().number);
      if (found != objects.end()) {
        current = found->second;
      } else if (generate) {
        current = generate(current.Id().number);
      } else {
        return Object();
      }
    }
    return current.IsReference() ? Object() : current;
  }

  Object catalog;
  std::map<std::uint32_t, Object> objects;
  std::function<Object(std::uint32_t)> generate;
  std::size_t resolved = 0;
};

Object Ref(std::uint32_t number) { return Object::Reference(ObjectId{number, 0}); }
Object Int(std::int64_t value) { return Object::Integer(value); }
Object Dict(Dictionary entries) { return Object::MakeDictionary(std::move(entries)); }
Object List(Array items) { return Object::MakeArray(std::move(items)); }
Object Style(const char* name) { return Dict({{"S", Object::Name(name)}}); }

std::vector<Label> LabelsOfPages(const PageLabels& labels, int count) {
  std::vector<Label> out;
  for (int page = 0; page < count; ++page) out.push_back(labels.LabelOf(page));
  return out;
}

TEST(ReadPageLabelsTest, ReadsTheNumberTreeSkippingWhatIsNotALabel) {
  FakeSource source;
  // The root has two kids; the second leads back to the root.
  source.objects[1] = Dict({{"Kids", List({Ref(2), Ref(3), Ref(2)})}});
  source.objects[2] = Dict({{"Nums", Ref(4)}});
  source.objects[4] = List({
      Int(0), Style("r"),
      Object::Name("bad"), Style("D"),         // a key that is no number
      Int(-3), Style("D"),                     // a negative one
      Int(2), Object::String("not a label"),   // a value that is no dictionary
      Int(2), Ref(5),
  });
  source.objects[5] = Dict({{"S", Object::Name("D")}, {"St", Int(0)}});  // a start below 1
  source.objects[3] = Dict({
      {"Nums", List({Int(4), Dict({{"S", Object::Name("A")},
                                   {"P", Object::String(std::string("\xFE\xFF\x00\xA7\x00 ", 6))},
                                   {"St", Int(3)}}),
                     Int(6), Dict({{"S", Object::Name("X")}, {"P", Ref(6)}}),
                     Int(7), Dict({{"P", Object::Integer(5)}}),
                     Int(8)})},                // an odd item out
      {"Kids", List({Ref(1), Ref(3)})},
  });
  source.objects[6] = Object::String("Plate");
  source.catalog = Dict({{"PageLabels", Ref(1)}});

  PageLabels labels = ReadPageLabels(source, source.catalog);
  EXPECT_EQ(LabelsOfPages(labels, 9),
            (std::vector<Label>{u"i", u"ii", u"1", u"2", u"\u00A7 C", u"\u00A7 D", u"Plate", u"",
                                u""}));
}

// Prefixes with line breaks, controls and NULs: whitespace and controls
// fold into one space as in titles, a NUL drops out, and the number stays.
TEST(ReadPageLabelsTest, PrefixesAreFoldedAsTitles) {
  const struct {
    std::string prefix;  // raw bytes of /P
    const char* style;
    Label expected;
  } cases[] = {
      {"X\nY", "D", u"X Y1"},
      {std::string("X\nY\0Z", 5), "D", u"X YZ1"},
      {std::string("\0", 1), "D", u"1"},
      {"Chapter ", "D", u"Chapter 1"},
      {" \t Part\r\n", "", u"Part"},
      {"A\x07\x01-", "r", u"A -i"},
      {std::string("\xFE\xFF\x00X\x20\x28\x00\x00\x00Y", 10), "A", u"X YA"},  // U+2028, NUL
      {"\n\t", "", u""},
  };
  for (const auto& c : cases) {
    FakeSource source;
    Dictionary range = {{"P", Object::String(c.prefix)}};
    if (*c.style != '\0') range.emplace_back("S", Object::Name(c.style));
    source.catalog = Dict({{"PageLabels", Dict({{"Nums", List({Int(0), Dict(range)})}})}});
    EXPECT_EQ(ReadPageLabels(source, source.catalog).LabelOf(0), c.expected) << c.prefix;
  }
}

TEST(ReadPageLabelsTest, NoTreeOrNoDictionaryGivesNoLabels) {
  FakeSource source;
  source.objects[1] = Object::Integer(3);
  for (const Object& catalog : {Dict({}), Dict({{"PageLabels", Ref(1)}}),
                                Dict({{"PageLabels", Ref(9)}}), Object::Integer(1)}) {
    EXPECT_TRUE(ReadPageLabels(source, catalog).empty());
  }
}

TEST(ReadPageLabelsTest, AnEndlessTreeStopsAtTheBudget) {
  // Node n labels page n and has node n + 1 for its kid, without end.
  FakeSource source;
  source.generate = [](std::uint32_t n) {
    return Dict({{"Nums", List({Int(n), Style("R")})}, {"Kids", List({Ref(n + 1)})}});
  };
  source.catalog = Dict({{"PageLabels", Ref(0)}});
  PageLabels labels = ReadPageLabels(source, source.catalog);
  EXPECT_EQ(labels.LabelOf(0), u"I");
  EXPECT_EQ(labels.LabelOf(1), u"I");  // a range of its own
  EXPECT_LT(source.resolved, std::size_t{1} << 20);
}

TEST(LabelOutlineTest, NodesGetTheirPagesLabelsShared) {
  OutlineTree tree;
  const std::optional<std::int32_t> pages[] = {0, 3, 0, std::nullopt, 5, 9};
  for (const std::optional<std::int32_t>& page : pages) {
    OutlineTree::Node node;
    node.parent = 0;
    node.page = page;
    tree.nodes.push_back(node);
  }
  LabelOutline(PageLabels({{0, LabelStyle::kLowerRoman, u"", 1},
                           {3, LabelStyle::kDecimal, u"", 1},
                           {5, LabelStyle::kNone, u"", 1},
                           {9, LabelStyle::kUpperLetters, u"", 100000}}),
               &tree);
  std::vector<std::u16string> shown;
  for (std::int32_t node = 1; node < static_cast<std::int32_t>(tree.nodes.size()); ++node)
    shown.push_back(tree.Label(node) != nullptr ? *tree.Label(node) : u"(none)");
  // An empty label and one too long are none: the page number shows.
  EXPECT_EQ(shown, (std::vector<std::u16string>{u"i", u"1", u"i", u"(none)", u"(none)",
                                                u"(none)"}));
  EXPECT_EQ(tree.labels.size(), 2u);
  EXPECT_EQ(tree.Label(0), nullptr);  // the root
}

}  // namespace
}  // namespace pdf
}  // namespace vellox
