#include "pdf/page_labels.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "pdf/budgets.h"
#include "pdf/pdf_text.h"

namespace vellox {
namespace pdf {
namespace {

void AppendAscii(const std::string& text, bool lower, std::u16string* out) {
  for (char c : text)
    out->push_back(static_cast<char16_t>(lower && c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
}

// Roman numerals; past 3999 one M per further thousand, as readers write it.
std::string Roman(std::int64_t n) {
  static const struct {
    int value;
    const char* text;
  } kNumerals[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"},
                   {90, "XC"},  {50, "L"},   {40, "XL"}, {10, "X"},   {9, "IX"},
                   {5, "V"},    {4, "IV"},   {1, "I"}};
  std::string out;
  for (const auto& numeral : kNumerals) {
    for (; n >= numeral.value; n -= numeral.value) out += numeral.text;
  }
  return out;
}

LabelStyle StyleOf(const Object& name) {
  for (LabelStyle style : {LabelStyle::kDecimal, LabelStyle::kUpperRoman, LabelStyle::kLowerRoman,
                           LabelStyle::kUpperLetters, LabelStyle::kLowerLetters}) {
    const char text[2] = {static_cast<char>(style), '\0'};
    if (name.IsName(text)) return style;
  }
  return LabelStyle::kNone;  // absent, or a style no reader knows
}

PageLabelRange RangeOf(ObjectSource& source, std::int32_t firstPage, const Object& entry) {
  PageLabelRange range;
  range.firstPage = firstPage;
  range.style = StyleOf(source.Resolve(entry.Get("S")));
  const Object prefix = source.Resolve(entry.Get("P"));
  if (prefix.IsString()) {
    // A NUL would end the label where it is passed on as a C string, the
    // page number with it: it drops out instead.
    range.prefix = DecodePdfText(prefix.Text());
    range.prefix.erase(std::remove(range.prefix.begin(), range.prefix.end(), u'\0'),
                       range.prefix.end());
  }
  const Object start = source.Resolve(entry.Get("St"));
  if (start.IsInteger() && start.IntegerValue() >= 1) range.start = start.IntegerValue();
  return range;
}

}  // namespace

std::optional<std::u16string> FormatPageLabel(LabelStyle style, const std::u16string& prefix,
                                              std::int64_t start, std::int64_t indexInRange) {
  if (prefix.size() > kMaxPageLabelLength) return std::nullopt;
  const std::size_t room = kMaxPageLabelLength - prefix.size();
  if (start < 1) start = 1;
  if (indexInRange < 0 || indexInRange > std::numeric_limits<std::int64_t>::max() - start)
    return std::nullopt;
  const std::int64_t n = start + indexInRange;
  std::u16string label = prefix;
  switch (style) {
    case LabelStyle::kNone:
      break;
    case LabelStyle::kDecimal:
      AppendAscii(std::to_string(n), false, &label);
      break;
    case LabelStyle::kUpperRoman:
    case LabelStyle::kLowerRoman:
      // The thousands alone must fit before the numeral is built.
      if (static_cast<std::uint64_t>(n / 1000) > room) return std::nullopt;
      AppendAscii(Roman(n), style == LabelStyle::kLowerRoman, &label);
      break;
    case LabelStyle::kUpperLetters:
    case LabelStyle::kLowerLetters: {
      const std::uint64_t repeat = static_cast<std::uint64_t>((n - 1) / 26) + 1;
      if (repeat > room) return std::nullopt;
      const char16_t base = style == LabelStyle::kLowerLetters ? u'a' : u'A';
      label.append(static_cast<std::size_t>(repeat),
                   static_cast<char16_t>(base + static_cast<char16_t>((n - 1) % 26)));
      break;
    }
  }
  if (label.size() > kMaxPageLabelLength) return std::nullopt;
  return label;
}

PageLabels::PageLabels(std::vector<PageLabelRange> given) : ranges(std::move(given)) {
  const auto byFirstPage = [](const PageLabelRange& a, const PageLabelRange& b) {
    return a.firstPage < b.firstPage;
  };
  std::stable_sort(ranges.begin(), ranges.end(), byFirstPage);
  ranges.erase(std::unique(ranges.begin(), ranges.end(),
                           [](const PageLabelRange& a, const PageLabelRange& b) {
                             return a.firstPage == b.firstPage;
                           }),
               ranges.end());
}

std::optional<std::u16string> PageLabels::LabelOf(std::int32_t pageIndex) const {
  // The last range that starts at or before the page.
  auto after = std::upper_bound(
      ranges.begin(), ranges.end(), pageIndex,
      [](std::int32_t page, const PageLabelRange& range) { return page < range.firstPage; });
  if (after == ranges.begin()) return std::nullopt;
  const PageLabelRange& range = *(after - 1);
  std::optional<std::u16string> label =
      FormatPageLabel(range.style, range.prefix, range.start, pageIndex - range.firstPage);
  // Line breaks and controls in a prefix would break the bookmark's line,
  // as in a title.
  if (label) *label = NormalizeTitle(*label);
  return label;
}

PageLabels ReadPageLabels(ObjectSource& source, const Object& catalog) {
  std::vector<PageLabelRange> ranges;
  std::unordered_set<std::uint64_t> visited;
  // Nodes still to read, the next one last, so that the kids of a node
  // are read in order.
  std::vector<Object> pending{catalog.Get("PageLabels")};
  std::size_t nodesRead = 0;
  while (!pending.empty() && nodesRead < kMaxPageLabelNodes) {
    Object node = std::move(pending.back());
    pending.pop_back();
    if (node.IsReference() && !visited.insert(node.Id().Packed()).second) continue;
    node = source.Resolve(node);
    if (!node.IsDictionary()) continue;
    ++nodesRead;

    const Object nums = source.Resolve(node.Get("Nums"));
    for (std::size_t i = 0; i + 1 < nums.Size() && ranges.size() < kMaxPageLabelRanges; i += 2) {
      const Object key = source.Resolve(nums.At(i));
      if (!key.IsInteger() || key.IntegerValue() < 0 ||
          key.IntegerValue() > std::numeric_limits<std::int32_t>::max())
        continue;
      const Object entry = source.Resolve(nums.At(i + 1));
      if (!entry.IsDictionary()) continue;
      ranges.push_back(RangeOf(source, static_cast<std::int32_t>(key.IntegerValue()), entry));
    }
    const Object kids = source.Resolve(node.Get("Kids"));
    for (std::size_t i = kids.Size(); i-- > 0;) pending.push_back(kids.At(i));
  }
  return PageLabels(std::move(ranges));
}

void LabelOutline(const PageLabels& labels, OutlineTree* tree) {
  if (labels.empty()) return;
  std::unordered_map<std::int32_t, std::int32_t> labelOfPage;
  for (OutlineTree::Node& node : tree->nodes) {
    if (!node.page) continue;
    auto found = labelOfPage.find(*node.page);
    if (found == labelOfPage.end()) {
      std::int32_t index = OutlineTree::kNone;
      std::optional<std::u16string> label = labels.LabelOf(*node.page);
      if (label && !label->empty()) {
        index = static_cast<std::int32_t>(tree->labels.size());
        tree->labels.push_back(std::move(*label));
      }
      found = labelOfPage.emplace(*node.page, index).first;
    }
    node.label = found->second;
  }
}

}  // namespace pdf
}  // namespace vellox
