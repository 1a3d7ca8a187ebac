#include "builtin_reader/cross_reference.h"

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "builtin_reader/indirect_object.h"
#include "builtin_reader/object_parser.h"
#include "pdf/budgets.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {
namespace {

[[noreturn]] void NumberTooLarge() {
  OverLimit("an object number exceeds", std::to_string(kMaxObjectNumber));
}

constexpr std::uint64_t kTypeShift = 62;
constexpr std::uint64_t kFree = 1;
constexpr std::uint64_t kInFile = 2;
constexpr std::uint64_t kInStream = 3;
constexpr std::uint64_t kMaxOffset = (std::uint64_t{1} << 46) - 1;

// Bytes from an offset on, one at a time, a block at a time: a classic
// table of a million entries is read without holding it whole.
class ByteCursor {
 public:
  ByteCursor(FileWindow* window, std::uint64_t offset) : window(window), base(offset) {
    Refill();
  }

  int Peek() {
    if (p == end) Refill();
    return p == end ? -1 : static_cast<unsigned char>(*p);
  }
  void Skip() { ++p; }
  std::uint64_t offset() const { return base + static_cast<std::uint64_t>(p - begin); }

  void SkipWhitespace() {
    for (int c = Peek(); c >= 0 && IsPdfWhitespace(static_cast<char>(c)); c = Peek()) Skip();
  }

  // Consumes `word` if it comes next.
  bool Match(const char* word) {
    for (; *word != '\0'; ++word) {
      if (Peek() != static_cast<unsigned char>(*word)) return false;
      Skip();
    }
    return true;
  }

  std::uint64_t Unsigned() {
    int c = Peek();
    if (c < '0' || c > '9') Damaged("bad cross-reference table");
    std::uint64_t value = 0;
    for (; c >= '0' && c <= '9'; c = Peek()) {
      if (value > kMaxOffset) Damaged("bad cross-reference table");
      value = value * 10 + static_cast<unsigned>(c - '0');
      Skip();
    }
    return value;
  }

 private:
  void Refill() {
    base = offset();
    window->View(base, &begin, &end);
    p = begin;
  }

  FileWindow* window;
  std::uint64_t base;
  const char* begin = nullptr;
  const char* end = nullptr;
  const char* p = nullptr;
};

std::uint64_t ReadField(const unsigned char* bytes, std::int64_t width) {
  std::uint64_t value = 0;
  for (std::int64_t i = 0; i < width; ++i) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

std::uint64_t FindStartXref(FileWindow* window) {
  const std::uint64_t size = window->size();
  const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(size, 2048));
  const std::string bytes = window->Read(size - tail, tail);
  const std::size_t at = bytes.rfind("startxref");
  if (at == std::string::npos) Damaged("no startxref at the end of the file");
  std::size_t p = at + 9;
  while (p < bytes.size() && IsPdfWhitespace(bytes[p])) ++p;
  std::uint64_t offset = 0;
  std::size_t digits = 0;
  for (; p < bytes.size() && bytes[p] >= '0' && bytes[p] <= '9' && digits < 16; ++p, ++digits)
    offset = offset * 10 + static_cast<unsigned>(bytes[p] - '0');
  if (digits == 0 || offset >= size) Damaged("no usable startxref");
  return offset;
}

void CrossReference::Read(FileWindow* window, InflationBudget* budget) {
  std::uint64_t offset = FindStartXref(window);
  std::unordered_set<std::uint64_t> visited;
  // Sections may overlap one another (one can start inside another's
  // trailer), so what is bounded is the bytes they take together, which
  // in a real file is part of its size: a long chain of updates reads
  // as it costs, and a hostile one ends at once.
  sectionBytes = 0;
  sectionBytesLimit = kXrefBytesPerFileByte * window->size() + kXrefBytesBeyondFileSize;
  // A /Prev back to a section already read ends the chain.
  while (visited.insert(offset).second) {
    bool isStream = false;
    std::vector<std::uint32_t> freed;
    const Object trailer = ReadSection(window, budget, offset, &isStream, &freed);
    MergeTrailer(trailer);
    // A hybrid file: the stream holds the objects the table leaves out or
    // marks free, there for readers that know no streams; its entries
    // lie beneath the table's objects but above its free entries.
    const Object& hybrid = trailer.Get("XRefStm");
    if (!isStream && hybrid.IsInteger()) {
      if (hybrid.IntegerValue() < 0 ||
          static_cast<std::uint64_t>(hybrid.IntegerValue()) >= window->size())
        Damaged("/XRefStm points outside the file");
      if (visited.insert(static_cast<std::uint64_t>(hybrid.IntegerValue())).second)
        ReadStream(window, budget, static_cast<std::uint64_t>(hybrid.IntegerValue()));
    }
    for (std::uint32_t number : freed) AddFree(number);
    const Object& prev = trailer.Get("Prev");
    if (!prev.IsInteger()) break;
    if (prev.IntegerValue() < 0 || static_cast<std::uint64_t>(prev.IntegerValue()) >= window->size())
      Damaged("/Prev points outside the file");
    offset = static_cast<std::uint64_t>(prev.IntegerValue());
  }
  trailer_ = Object::MakeDictionary(std::move(trailerEntries));
  trailerEntries.clear();
  trailerKeys.clear();
}

void CrossReference::ChargeSection(std::uint64_t bytes) {
  sectionBytes += bytes;
  if (sectionBytes > sectionBytesLimit)
    OverLimit("cross-reference sections read exceed",
              std::to_string(kXrefBytesPerFileByte) + " times the file's size");
}

Object CrossReference::ReadSection(FileWindow* window, InflationBudget* budget,
                                   std::uint64_t offset, bool* isStream,
                                   std::vector<std::uint32_t>* freed) {
  ByteCursor cursor(window, offset);
  cursor.SkipWhitespace();
  if (cursor.Match("xref")) {
    *isStream = false;
    return ReadTable(window, cursor.offset(), freed);
  }
  *isStream = true;
  return ReadStream(window, budget, offset);
}

Object CrossReference::ReadTable(FileWindow* window, std::uint64_t offset,
                                 std::vector<std::uint32_t>* freed) {
  ByteCursor cursor(window, offset);
  for (;;) {
    cursor.SkipWhitespace();
    if (cursor.Peek() == 't') {
      if (!cursor.Match("trailer")) Damaged("bad cross-reference table");
      break;
    }
    const std::uint64_t first = cursor.Unsigned();
    cursor.SkipWhitespace();
    const std::uint64_t count = cursor.Unsigned();
    if (count > 0 && first + count - 1 > kMaxObjectNumber) NumberTooLarge();
    for (std::uint64_t i = 0; i < count; ++i) {
      // An entry is "oooooooooo ggggg n": fields of ten and five digits.
      // Anything else is a garbled table, which the repairing reader mends.
      cursor.SkipWhitespace();
      const std::uint64_t offsetStart = cursor.offset();
      const std::uint64_t entryOffset = cursor.Unsigned();
      const std::uint64_t offsetDigits = cursor.offset() - offsetStart;
      cursor.SkipWhitespace();
      const std::uint64_t generationStart = cursor.offset();
      const std::uint64_t generation = cursor.Unsigned();
      const std::uint64_t generationDigits = cursor.offset() - generationStart;
      cursor.SkipWhitespace();
      const int type = cursor.Peek();
      const std::uint32_t number = static_cast<std::uint32_t>(first + i);
      if (offsetDigits != 10 || generationDigits != 5)
        Damaged("bad cross-reference table entry");
      if (type == 'n') {
        // Offset 0 holds no object: some writers mark unused numbers so.
        if (entryOffset == 0) {
          freed->push_back(number);
        } else {
          AddInFile(number, entryOffset, generation);
        }
      } else if (type == 'f') {
        freed->push_back(number);
      } else {
        Damaged("bad cross-reference table entry");
      }
      cursor.Skip();
    }
  }
  std::uint64_t trailerBytes = 0;
  const Object trailer = window->ParseAt(cursor.offset(), [&trailerBytes](Lexer& lexer) {
    Object parsed = ObjectParser(&lexer).ParseObject();
    trailerBytes = static_cast<std::uint64_t>(lexer.position() - lexer.begin());
    return parsed;
  });
  ChargeSection(cursor.offset() - offset + trailerBytes);
  if (!trailer.IsDictionary()) Damaged("the trailer is not a dictionary");
  return trailer;
}

Object CrossReference::ReadStream(FileWindow* window, InflationBudget* budget,
                                  std::uint64_t offset) {
  const IndirectObject object = ReadIndirectObject(window, offset);
  ChargeSection(object.textBytes);
  const Object& dictionary = object.value;
  if (!dictionary.IsStream() || !dictionary.Get("Type").IsName("XRef"))
    Damaged("no cross-reference section where startxref or /Prev points");
  const Object& length = dictionary.Get("Length");
  if (!length.IsInteger() || length.IntegerValue() < 0)
    Damaged("a cross-reference stream without a direct /Length");
  CheckStreamLength(static_cast<std::uint64_t>(length.IntegerValue()));
  ChargeSection(static_cast<std::uint64_t>(length.IntegerValue()));
  const std::string data = budget->Decode(
      dictionary.Get("Filter"), dictionary.Get("DecodeParms"),
      window->Read(object.dataOffset, static_cast<std::size_t>(length.IntegerValue())));

  const Object& w = dictionary.Get("W");
  std::int64_t widths[3];
  std::int64_t rowWidth = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    const Object& width = w.At(i);
    if (!width.IsInteger() || width.IntegerValue() < 0 || width.IntegerValue() > 8)
      Damaged("bad /W in a cross-reference stream");
    widths[i] = width.IntegerValue();
    rowWidth += widths[i];
  }
  if (w.Size() != 3 || rowWidth == 0) Damaged("bad /W in a cross-reference stream");

  Array index = dictionary.Get("Index").Items();
  if (dictionary.Get("Index").IsNull()) {
    const Object& size = dictionary.Get("Size");
    if (!size.IsInteger()) Damaged("a cross-reference stream without /Size");
    index = {Object::Integer(0), size};
  }
  if (index.size() % 2 != 0) Damaged("bad /Index in a cross-reference stream");

  const unsigned char* row = reinterpret_cast<const unsigned char*>(data.data());
  std::size_t rowsLeft = data.size() / static_cast<std::size_t>(rowWidth);
  // Rows the stream lacks are damage, which the repairing reader may mend.
  std::uint64_t claimed = 0;
  for (std::size_t s = 0; s < index.size(); s += 2) {
    const Object& first = index[s];
    const Object& count = index[s + 1];
    if (!first.IsInteger() || !count.IsInteger() || first.IntegerValue() < 0 ||
        count.IntegerValue() < 0)
      Damaged("bad /Index in a cross-reference stream");
    claimed += static_cast<std::uint64_t>(count.IntegerValue());
    if (claimed > rowsLeft) Damaged("a cross-reference stream shorter than its /Index");
  }
  for (std::size_t s = 0; s < index.size() && rowsLeft > 0; s += 2) {
    const Object& first = index[s];
    const Object& count = index[s + 1];
    const std::uint64_t firstNumber = static_cast<std::uint64_t>(first.IntegerValue());
    const std::uint64_t entries =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(count.IntegerValue()), rowsLeft);
    if (entries > 0 && firstNumber + entries - 1 > kMaxObjectNumber) NumberTooLarge();
    for (std::uint64_t i = 0; i < entries; ++i, --rowsLeft, row += rowWidth) {
      const std::uint64_t type = widths[0] == 0 ? 1 : ReadField(row, widths[0]);
      const std::uint64_t second = ReadField(row + widths[0], widths[1]);
      const std::uint64_t third = ReadField(row + widths[0] + widths[1], widths[2]);
      const std::uint32_t number = static_cast<std::uint32_t>(firstNumber + i);
      switch (type) {
        case 0: AddFree(number); break;
        case 1: AddInFile(number, second, third); break;
        case 2: AddInStream(number, second, third); break;
        default: break;  // unknown types read as null references
      }
    }
  }
  return dictionary;
}

void CrossReference::MergeTrailer(const Object& trailer) {
  // The newest value of a key wins, as does the first of a key repeated
  // in one trailer; the set keeps a trailer of many keys linear.
  for (const auto& entry : trailer.Entries())
    if (trailerKeys.insert(entry.first).second) trailerEntries.push_back(entry);
}

void CrossReference::Add(std::uint32_t number, std::uint64_t packed) {
  const std::size_t page = number / kPageEntries;
  if (page >= pages.size()) pages.resize(page + 1);
  if (!pages[page]) pages[page].reset(new Page(kPageEntries, 0));
  std::uint64_t& slot = (*pages[page])[number % kPageEntries];
  if (slot == 0) slot = packed;
}

void CrossReference::AddInFile(std::uint32_t number, std::uint64_t offset,
                               std::uint64_t generation) {
  if (offset > kMaxOffset) Damaged("a cross-reference offset is past any file");
  if (generation > 65535) generation = 65535;
  Add(number, (kInFile << kTypeShift) | (offset << 16) | generation);
}

void CrossReference::AddInStream(std::uint32_t number, std::uint64_t stream,
                                 std::uint64_t index) {
  if (stream > kMaxObjectNumber) NumberTooLarge();
  if (index > 0xFFFFFFFFu) Damaged("bad object stream index");
  Add(number, (kInStream << kTypeShift) | (stream << 32) | index);
}

void CrossReference::AddFree(std::uint32_t number) { Add(number, kFree << kTypeShift); }

ObjectLocation CrossReference::Find(std::uint32_t number) const {
  ObjectLocation location;
  const std::size_t page = number / kPageEntries;
  if (page >= pages.size() || !pages[page]) return location;
  const std::uint64_t packed = (*pages[page])[number % kPageEntries];
  switch (packed >> kTypeShift) {
    case kFree:
      location.type = ObjectLocation::Type::kFree;
      break;
    case kInFile:
      location.type = ObjectLocation::Type::kInFile;
      location.offset = (packed >> 16) & kMaxOffset;
      location.generation = static_cast<std::uint32_t>(packed & 0xFFFF);
      break;
    case kInStream:
      location.type = ObjectLocation::Type::kInStream;
      location.stream = static_cast<std::uint32_t>((packed >> 32) & kMaxObjectNumber);
      location.index = static_cast<std::uint32_t>(packed & 0xFFFFFFFFu);
      break;
    default:
      break;
  }
  return location;
}

}  // namespace pdf
}  // namespace vellox
