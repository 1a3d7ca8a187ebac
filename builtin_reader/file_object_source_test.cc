#include "builtin_reader/file_object_source.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "deflate.h"
#include "pdf/budgets.h"
#include "pdf_builder.h"
#include "test_util.h"

namespace vellox {
namespace pdf {
namespace {

using vellox::testing::BuildDocument;
using vellox::testing::Deflate;
using vellox::testing::DeflatedZeros;
using vellox::testing::OutlineNode;
using vellox::testing::PdfBuilder;
using vellox::testing::ScratchDirectory;
using vellox::testing::WriteFile;

// One cross-reference entry as a hand-written section lists it.
struct Row {
  std::uint32_t number;
  int type;  // 0 free, 1 at an offset, 2 in an object stream
  std::uint64_t second;
  std::uint32_t third;
};

// A PDF written byte by byte: objects where the test puts them, and
// cross-reference sections of any form, damaged ones included.
class RawPdf {
 public:
  RawPdf() : bytes("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n") {}

  // "N G obj body endobj"; its row.
  Row Add(std::uint32_t number, const std::string& body, std::uint32_t generation = 0) {
    const Row row{number, 1, bytes.size(), generation};
    bytes += std::to_string(number) + " " + std::to_string(generation) + " obj\n" + body +
             "\nendobj\n";
    return row;
  }
  // A stream object: `entries` and /Length (or `length` when given) around `data`.
  Row AddStream(std::uint32_t number, const std::string& entries, const std::string& data,
                const std::string& length = "") {
    const Row row{number, 1, bytes.size(), 0};
    bytes += std::to_string(number) + " 0 obj\n<< " + entries + " /Length " +
             (length.empty() ? std::to_string(data.size()) : length) + " >>\nstream\r\n" +
             data + "\r\nendstream\nendobj\n";
    return row;
  }
  // An object stream holding `objects` (number, text), compressed.
  Row AddObjectStream(std::uint32_t number,
                      const std::vector<std::pair<std::uint32_t, std::string>>& objects,
                      const std::string& filter = "/Filter /FlateDecode",
                      std::vector<Row>* rows = nullptr) {
    std::string header;
    std::string body;
    for (std::size_t i = 0; i < objects.size(); ++i) {
      header += std::to_string(objects[i].first) + " " + std::to_string(body.size()) + " ";
      body += objects[i].second + "\n";
      if (rows != nullptr)
        rows->push_back(Row{objects[i].first, 2, number, static_cast<std::uint32_t>(i)});
    }
    const std::string data = header + body;
    return AddStream(number,
                     "/Type /ObjStm /N " + std::to_string(objects.size()) + " /First " +
                         std::to_string(header.size()) + " " + filter,
                     filter.find("Flate") != std::string::npos ? Deflate(data) : data);
  }

  // A classic table and trailer; returns the table's offset.
  std::uint64_t AddTable(std::vector<Row> rows, const std::string& trailer) {
    const std::uint64_t at = bytes.size();
    std::sort(rows.begin(), rows.end(),
              [](const Row& a, const Row& b) { return a.number < b.number; });
    bytes += "xref\n";
    for (std::size_t i = 0; i < rows.size();) {
      std::size_t j = i + 1;
      while (j < rows.size() && rows[j].number == rows[j - 1].number + 1) ++j;
      bytes += std::to_string(rows[i].number) + " " + std::to_string(j - i) + "\n";
      for (; i < j; ++i) {
        char line[32];
        // Lines end in CR LF, LF or a space and LF: all occur.
        std::snprintf(line, sizeof line, "%010llu %05u %c%s",
                      static_cast<unsigned long long>(rows[i].second), rows[i].third,
                      rows[i].type == 0 ? 'f' : 'n', i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : " \n");
        bytes += line;
      }
    }
    bytes += "trailer\n<< " + trailer + " >>\n";
    return at;
  }

  // A cross-reference stream as object `number` (listing itself), with
  // /W [1 4 2], optionally through the PNG Up predictor; returns its offset.
  std::uint64_t AddXrefStream(std::uint32_t number, std::vector<Row> rows,
                              const std::string& trailer, bool predictor = true) {
    const std::uint64_t at = bytes.size();
    rows.push_back(Row{number, 1, at, 0});
    std::sort(rows.begin(), rows.end(),
              [](const Row& a, const Row& b) { return a.number < b.number; });
    std::string index;
    std::string data;
    std::string previous(7, '\0');
    for (std::size_t i = 0; i < rows.size();) {
      std::size_t j = i + 1;
      while (j < rows.size() && rows[j].number == rows[j - 1].number + 1) ++j;
      index += std::to_string(rows[i].number) + " " + std::to_string(j - i) + " ";
      for (; i < j; ++i) {
        std::string row(7, '\0');
        row[0] = static_cast<char>(rows[i].type);
        for (int b = 0; b < 4; ++b) row[1 + b] = static_cast<char>(rows[i].second >> (24 - 8 * b));
        row[5] = static_cast<char>(rows[i].third >> 8);
        row[6] = static_cast<char>(rows[i].third);
        if (predictor) {
          data.push_back(2);  // Up
          for (int b = 0; b < 7; ++b) data.push_back(static_cast<char>(row[b] - previous[b]));
          previous = row;
        } else {
          data += row;
        }
      }
    }
    AddStream(number, "/Type /XRef /W [1 4 2] /Index [" + index + "] /Filter /FlateDecode " +
                          (predictor ? "/DecodeParms << /Predictor 12 /Columns 7 >> " : "") +
                          trailer,
              Deflate(data));
    return at;
  }

  void EndWith(std::uint64_t xref) {
    bytes += "startxref\n" + std::to_string(xref) + "\n%%EOF\n";
  }

  std::string bytes;
};

std::string Show(const Object& object);

// An object with its references followed to `depth`, dictionary keys
// sorted: the same document reads the same however it is stored.
std::string Canonical(ObjectSource* source, const Object& object, int depth) {
  if (object.IsReference()) {
    if (depth == 0) return "R";
    return Canonical(source, source->Resolve(object), depth - 1);
  }
  if (object.IsArray()) {
    std::string out = "[";
    for (const Object& item : object.Items()) out += Canonical(source, item, depth) + " ";
    return out + "]";
  }
  if (object.IsDictionary()) {
    std::map<std::string, std::string> sorted;
    for (const auto& entry : object.Entries())
      if (entry.first != "Length") sorted[entry.first] = Canonical(source, entry.second, depth);
    std::string out = "<<";
    for (const auto& entry : sorted) out += "/" + entry.first + " " + entry.second + " ";
    return out + ">>";
  }
  return Show(object);
}

std::string Show(const Object& object) {
  switch (object.type()) {
    case Object::Type::kNull: return "null";
    case Object::Type::kBoolean: return object.BooleanValue() ? "true" : "false";
    case Object::Type::kInteger: return std::to_string(object.IntegerValue());
    case Object::Type::kReal: return std::to_string(object.NumberValue());
    case Object::Type::kString: return "(" + object.Text() + ")";
    case Object::Type::kName: return "/" + object.Text();
    case Object::Type::kReference: return std::to_string(object.Id().number) + " R";
    default: return "?";
  }
}

Object Ref(std::uint32_t number, std::uint32_t generation = 0) {
  return Object::Reference(ObjectId{number, generation});
}

class FileObjectSourceTest : public ::testing::Test {
 protected:
  // A source over `bytes`, which hold a PDF header.
  std::unique_ptr<FileObjectSource> Open(const std::string& bytes) {
    const std::string path = scratch.Path("file" + std::to_string(files++) + ".pdf");
    WriteFile(path, bytes);
    StatusOr<std::unique_ptr<FileObjectSource>> source = FileObjectSource::Open(path);
    EXPECT_TRUE(source.ok()) << source.status().message();
    return source.ok() ? std::move(source).value() : nullptr;
  }

  // The fault opening (and reading the catalog and `number`) meets.
  ReadFault FaultOf(const std::string& bytes, std::uint32_t number = 0) {
    try {
      std::unique_ptr<FileObjectSource> source = Open(bytes);
      source->Catalog();
      if (number != 0) source->Resolve(Ref(number));
    } catch (const ReadError& error) {
      return error.fault();
    }
    ADD_FAILURE() << "read without a fault";
    return ReadFault::kDamaged;
  }

  ScratchDirectory scratch;
  int files = 0;
};

std::vector<OutlineNode> SampleOutline() {
  return {OutlineNode{"Chapter 1", "/Dest [0 /Fit]", {{"Section 1.1", "/Dest [1 /Fit]", {}}}},
          OutlineNode{"Chapter (2)", "/Dest [2 /XYZ 0 792 null]", {}}};
}

TEST_F(FileObjectSourceTest, ReadsAClassicFile) {
  std::unique_ptr<FileObjectSource> source = Open(BuildDocument(3, SampleOutline()));
  const Object catalog = source->Catalog();
  EXPECT_TRUE(catalog.Get("Type").IsName("Catalog"));
  EXPECT_EQ(source->Resolve(catalog.Get("Pages")).Get("Count").IntegerValue(), 3);
  const Object outlines = source->Resolve(catalog.Get("Outlines"));
  const Object first = source->Resolve(outlines.Get("First"));
  EXPECT_EQ(first.Get("Title").Text(), "Chapter 1");
  EXPECT_EQ(source->Resolve(source->Resolve(first.Get("Next")).Get("Title")).Text(),
            "Chapter (2)");
  EXPECT_TRUE(source->Trailer().Get("Size").IsInteger());
  // Missing and free objects read as null; direct objects as themselves.
  EXPECT_TRUE(source->Resolve(Ref(999)).IsNull());
  EXPECT_TRUE(source->Resolve(Ref(0)).IsNull());
  EXPECT_TRUE(source->Resolve(Ref(1, 7)).IsNull());
  EXPECT_EQ(source->Resolve(Object::Integer(5)).IntegerValue(), 5);
}

TEST_F(FileObjectSourceTest, ObjectStreamsReadAsTheClassicFileDoes) {
  std::vector<OutlineNode> outline = SampleOutline();
  for (int i = 0; i < 300; ++i) outline.push_back(OutlineNode{"Item " + std::to_string(i), "", {}});
  const std::string classic = BuildDocument(40, outline);
  const std::string packed = testing::WithObjectStreams(classic);
  ASSERT_NE(packed.find("/ObjStm"), std::string::npos);
  ASSERT_NE(packed.find("/XRef"), std::string::npos);

  std::unique_ptr<FileObjectSource> plain = Open(classic);
  std::unique_ptr<FileObjectSource> streamed = Open(packed);
  const Object plainCatalog = plain->Catalog();
  const Object streamedCatalog = streamed->Catalog();
  EXPECT_EQ(Canonical(streamed.get(), streamedCatalog, 4),
            Canonical(plain.get(), plainCatalog, 4));
  // Every outline item, along the sibling chain.
  Object a = plain->Resolve(plain->Resolve(plainCatalog.Get("Outlines")).Get("First"));
  Object b = streamed->Resolve(streamed->Resolve(streamedCatalog.Get("Outlines")).Get("First"));
  int items = 0;
  while (a.IsDictionary() && b.IsDictionary()) {
    EXPECT_EQ(Canonical(streamed.get(), b, 1), Canonical(plain.get(), a, 1));
    a = plain->Resolve(a.Get("Next"));
    b = streamed->Resolve(b.Get("Next"));
    ++items;
  }
  EXPECT_EQ(items, 302);
  EXPECT_TRUE(b.IsNull());
}

// A catalog in an object stream, the stream's /Length indirect, and a
// damaged neighbour: only the requested object is parsed.
TEST_F(FileObjectSourceTest, ParsesOnlyTheRequestedObjectOfAnObjectStream) {
  const std::vector<std::string> objects = {"<< /Type /Catalog /Pages 4 0 R >>",
                                            "[1 2 [ >> ]]]", "(in the stream)"};
  const std::uint32_t numbers[] = {1, 2, 4};
  std::string header;
  std::string body;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    header += std::to_string(numbers[i]) + " " + std::to_string(body.size()) + " ";
    body += objects[i] + "\n";
  }
  const std::string packed = Deflate(header + body);
  RawPdf pdf;
  std::vector<Row> rows;
  rows.push_back(pdf.Add(3, std::to_string(packed.size())));
  rows.push_back(pdf.AddStream(10, "/Type /ObjStm /N 3 /First " + std::to_string(header.size()) +
                                       " /Filter /FlateDecode",
                               packed, "3 0 R"));
  rows.push_back(Row{1, 2, 10, 0});
  rows.push_back(Row{2, 2, 10, 1});
  rows.push_back(Row{4, 2, 10, 2});
  pdf.EndWith(pdf.AddXrefStream(11, rows, "/Size 12 /Root 1 0 R"));

  std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
  const Object catalog = source->Catalog();
  EXPECT_TRUE(catalog.Get("Type").IsName("Catalog"));
  EXPECT_EQ(source->Resolve(catalog.Get("Pages")).Text(), "in the stream");
  try {
    source->Resolve(Ref(2));
    ADD_FAILURE() << "parsed a broken object";
  } catch (const ReadError& error) {
    EXPECT_EQ(error.fault(), ReadFault::kDamaged);
  }
}

// Cross-reference sections of every form, chained by /Prev: the newest
// definition of each object wins, a newer free entry deletes an object.
TEST_F(FileObjectSourceTest, NewestSectionWinsAcrossEveryForm) {
  enum Form { kTable, kStream, kStreamWithoutPredictor };
  struct Case {
    const char* name;
    std::vector<Form> sections;  // oldest first
  };
  const Case cases[] = {
      {"tables", {kTable, kTable, kTable}},
      {"streams", {kStream, kStreamWithoutPredictor, kStream}},
      {"table then streams", {kTable, kStream, kStream}},
      {"stream then table", {kStream, kTable, kStreamWithoutPredictor}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawPdf pdf;
    std::uint64_t previous = 0;
    for (std::size_t s = 0; s < c.sections.size(); ++s) {
      std::vector<Row> rows;
      const std::string version = "(version " + std::to_string(s) + ")";
      if (s == 0) {
        rows.push_back(pdf.Add(1, "<< /Type /Catalog /Version 2 0 R /Gone 3 0 R /Kept 4 0 R >>"));
        rows.push_back(pdf.Add(3, "(to be deleted)"));
        rows.push_back(pdf.Add(4, "(kept from the first)"));
      }
      rows.push_back(pdf.Add(2, version));
      if (s == 1) rows.push_back(Row{3, 0, 0, 1});
      std::string trailer = "/Size 20";
      if (s == 0) trailer += " /Root 1 0 R";
      if (s > 0) trailer += " /Prev " + std::to_string(previous);
      const std::uint32_t streamNumber = static_cast<std::uint32_t>(10 + s);
      switch (c.sections[s]) {
        case kTable: previous = pdf.AddTable(rows, trailer); break;
        case kStream: previous = pdf.AddXrefStream(streamNumber, rows, trailer); break;
        case kStreamWithoutPredictor:
          previous = pdf.AddXrefStream(streamNumber, rows, trailer, false);
          break;
      }
    }
    pdf.EndWith(previous);
    std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
    const Object catalog = source->Catalog();
    EXPECT_EQ(source->Resolve(catalog.Get("Version")).Text(), "version 2");
    EXPECT_TRUE(source->Resolve(catalog.Get("Gone")).IsNull());
    EXPECT_EQ(source->Resolve(catalog.Get("Kept")).Text(), "kept from the first");
    // The root came from the oldest trailer only.
    EXPECT_TRUE(source->Trailer().Get("Root").IsReference());
  }
}

// Hybrid sections: the /XRefStm stream finds what the same section's table
// leaves out or marks free (the PDF reference's example marks them
// "0000000000 65535 f"); the table's own objects lie above the stream's;
// newer sections above older ones, whatever their form.
TEST_F(FileObjectSourceTest, HybridSectionsReadTheStreamBeneathTheTable) {
  const Row hidden3{3, 0, 0, 65535};
  const Row hidden5{5, 0, 0, 65535};
  struct Case {
    const char* name;
    std::vector<Row> extraTableRows;  // beside the catalog's and object 2's
    std::string expectedB;            // object 3, "null" when none
    bool update;                      // a newer table frees object 3
  };
  const Case cases[] = {
      {"compressed objects marked free", {hidden3, hidden5}, "from the object stream", false},
      {"compressed objects left out", {}, "from the object stream", false},
      {"a newer section frees one", {hidden3, hidden5}, "null", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawPdf pdf;
    std::vector<Row> tableRows = c.extraTableRows;
    std::vector<Row> streamRows;
    tableRows.push_back(pdf.Add(1, "<< /Type /Catalog /A 2 0 R /B 3 0 R >>"));
    streamRows.push_back(pdf.Add(2, "(old)"));
    tableRows.push_back(pdf.Add(2, "(new)"));
    pdf.AddObjectStream(5, {{3, "(from the object stream)"}}, "/Filter /FlateDecode",
                        &streamRows);
    streamRows.push_back(Row{5, 1, pdf.bytes.find("5 0 obj"), 0});
    const std::uint64_t stream = pdf.AddXrefStream(6, streamRows, "/Size 7");
    std::uint64_t last =
        pdf.AddTable(tableRows, "/Size 7 /Root 1 0 R /XRefStm " + std::to_string(stream));
    if (c.update) last = pdf.AddTable({Row{3, 0, 0, 1}}, "/Size 7 /Prev " + std::to_string(last));
    pdf.EndWith(last);

    std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
    const Object catalog = source->Catalog();
    EXPECT_EQ(source->Resolve(catalog.Get("A")).Text(), "new");
    const Object b = source->Resolve(catalog.Get("B"));
    EXPECT_EQ(b.IsNull() ? "null" : b.Text(), c.expectedB);
  }

  // A newer hybrid section's stream above an older section's object: the
  // table marks it free, its stream puts it in an object stream.
  RawPdf pdf;
  std::vector<Row> oldRows;
  oldRows.push_back(pdf.Add(1, "<< /Type /Catalog /A 2 0 R >>"));
  oldRows.push_back(pdf.Add(2, "(old)"));
  const std::uint64_t old = pdf.AddTable(oldRows, "/Size 3 /Root 1 0 R");
  std::vector<Row> streamRows;
  pdf.AddObjectStream(5, {{2, "(new, compressed)"}}, "/Filter /FlateDecode", &streamRows);
  streamRows.push_back(Row{5, 1, pdf.bytes.rfind("5 0 obj"), 0});
  const std::uint64_t stream = pdf.AddXrefStream(6, streamRows, "/Size 7");
  pdf.EndWith(pdf.AddTable({Row{2, 0, 0, 65535}, hidden5},
                           "/Size 7 /Root 1 0 R /XRefStm " + std::to_string(stream) +
                               " /Prev " + std::to_string(old)));
  std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
  EXPECT_EQ(source->Resolve(source->Catalog().Get("A")).Text(), "new, compressed");
}

// Thousands of incremental updates read as they cost, each section once.
TEST_F(FileObjectSourceTest, LongChainsOfSectionsAreRead) {
  RawPdf pdf;
  std::uint64_t previous = pdf.AddTable({pdf.Add(1, "<< /Type /Catalog /V 2 0 R >>")},
                                        "/Size 3 /Root 1 0 R");
  constexpr int kUpdates = 5000;
  for (int update = 1; update <= kUpdates; ++update)
    previous = pdf.AddTable({pdf.Add(2, std::to_string(update))},
                            "/Size 3 /Root 1 0 R /Prev " + std::to_string(previous));
  pdf.EndWith(previous);
  std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
  EXPECT_EQ(source->Resolve(source->Catalog().Get("V")).IntegerValue(), kUpdates);
}

// Sections that start inside another's trailer (here, inside a string
// of it, nested) read the same bytes again and again: the bytes all of
// them read are bounded by the file's size.
TEST_F(FileObjectSourceTest, OverlappingSectionsMeetTheBudget) {
  RawPdf pdf;
  const std::uint64_t base = pdf.AddTable({pdf.Add(1, "<< /Type /Catalog >>")},
                                          "/Size 2 /Root 1 0 R");
  constexpr int kLevels = 20000;
  // Level k: "xref 0 0 trailer << /Prev <level k + 1> /Pad (" ... ") >>".
  const std::string open = "xref\n0 0\ntrailer\n<< /Size 2 /Root 1 0 R /Prev ";
  const std::uint64_t start = pdf.bytes.size();
  std::string nested;
  std::uint64_t at = start;
  for (int level = 0; level < kLevels; ++level) {
    const std::uint64_t next = at + open.size() + 10 + 7;
    char prev[11];
    std::snprintf(prev, sizeof prev, "%010llu",
                  static_cast<unsigned long long>(level + 1 < kLevels ? next : base));
    nested += open + prev + " /Pad (";
    at = next;
  }
  for (int level = 0; level < kLevels; ++level) nested += ") >>";
  pdf.bytes += nested + "\n";
  pdf.EndWith(start);
  EXPECT_EQ(FaultOf(pdf.bytes), ReadFault::kLimit);
}

TEST_F(FileObjectSourceTest, ObjectsLargerThanABlockAndAcrossBlocks) {
  RawPdf pdf;
  std::vector<Row> rows;
  pdf.bytes += std::string(65536 - 20 - pdf.bytes.size(), ' ');
  rows.push_back(pdf.Add(1, "<< /Type /Catalog /Big 2 0 R /Across 3 0 R >>"));
  std::string big = "[";
  for (int i = 0; i < 60000; ++i) big += std::to_string(i) + " ";
  rows.push_back(pdf.Add(2, big + "]"));
  pdf.bytes += std::string(65536 * 5 - 10 - pdf.bytes.size() % 65536, ' ');
  rows.push_back(pdf.Add(3, "12345678"));
  pdf.EndWith(pdf.AddTable(rows, "/Size 4 /Root 1 0 R"));

  std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
  const Object catalog = source->Catalog();
  const Object array = source->Resolve(catalog.Get("Big"));
  ASSERT_EQ(array.Size(), 60000u);
  EXPECT_EQ(array.At(59999).IntegerValue(), 59999);
  EXPECT_EQ(source->Resolve(catalog.Get("Across")).IntegerValue(), 12345678);
}

TEST_F(FileObjectSourceTest, DamagedFilesAreDamage) {
  const std::string good = BuildDocument(2, SampleOutline());
  testing::Damage wrongOffsets;
  wrongOffsets.wrongOffsets = true;
  testing::Damage noTable;
  noTable.noXrefTable = true;
  const std::size_t startxref = good.rfind("startxref");
  struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"wrong offsets", [&] {
         PdfBuilder builder;
         builder.AddPages(2);
         builder.AddCatalog();
         return builder.Build(wrongOffsets);
       }()},
      {"no table", [&] {
         PdfBuilder builder;
         builder.AddPages(2);
         builder.AddCatalog();
         return builder.Build(noTable);
       }()},
      {"truncated", good.substr(0, good.size() / 2)},
      {"no startxref", good.substr(0, startxref)},
      {"startxref to an object", good.substr(0, startxref) + "startxref\n" +
                                     std::to_string(good.find("1 0 obj")) + "\n%%EOF\n"},
      {"startxref past the end", good.substr(0, startxref) + "startxref\n99999999\n%%EOF\n"},
      // A table entry whose offset field lost a digit to a space.
      {"garbled table entry", [&] {
         std::string bytes = good;
         const std::size_t entry = bytes.find(" 00000 n", bytes.find("xref\n")) - 10;
         bytes.replace(entry, 18, "0000000 89500000 n");
         return bytes;
       }()},
      {"root not a dictionary", [] {
         PdfBuilder builder;
         builder.SetRoot(builder.AddObject("[1 2]"));
         return builder.Build();
       }()},
      {"no root", [] {
         PdfBuilder builder;
         builder.AddObject("<< /Type /Catalog >>");
         return builder.Build();
       }()},
  };
  for (const auto& c : cases) EXPECT_EQ(FaultOf(c.bytes), ReadFault::kDamaged) << c.name;

  // Trailing garbage after %%EOF is tolerated.
  EXPECT_TRUE(Open(good + "\r\n%%EOF\r\ngarbage " + std::string(500, 'x'))
                  ->Catalog()
                  .IsDictionary());
}

TEST_F(FileObjectSourceTest, EncryptedAndUnsupportedFiles) {
  EXPECT_EQ(FaultOf(testing::Encrypted(BuildDocument(2, SampleOutline()), "user", "owner")),
            ReadFault::kEncrypted);

  RawPdf pdf;
  std::vector<Row> rows;
  rows.push_back(pdf.Add(1, "<< /Type /Catalog /A 2 0 R >>"));
  rows.push_back(pdf.AddObjectStream(5, {{2, "(text)"}}, "/Filter /LZWDecode", &rows));
  pdf.EndWith(pdf.AddXrefStream(6, rows, "/Size 7 /Root 1 0 R"));
  EXPECT_EQ(FaultOf(pdf.bytes, 2), ReadFault::kUnsupported);
}

const std::string& Bomb() {
  static const std::string bomb = DeflatedZeros(std::uint64_t{1} << 30);
  return bomb;
}

TEST_F(FileObjectSourceTest, DeflateBombsStopAtTheLimit) {
  {
    RawPdf pdf;
    pdf.Add(1, "<< /Type /Catalog >>");
    const std::uint64_t at = pdf.bytes.size();
    pdf.AddStream(2, "/Type /XRef /W [1 4 2] /Size 3 /Root 1 0 R /Filter /FlateDecode", Bomb());
    pdf.EndWith(at);
    EXPECT_EQ(FaultOf(pdf.bytes), ReadFault::kLimit);
  }
  {
    RawPdf pdf;
    std::vector<Row> rows;
    rows.push_back(pdf.Add(1, "<< /Type /Catalog /A 2 0 R >>"));
    rows.push_back(pdf.AddStream(5, "/Type /ObjStm /N 1 /First 4 /Filter /FlateDecode", Bomb()));
    rows.push_back(Row{2, 2, 5, 0});
    pdf.EndWith(pdf.AddXrefStream(6, rows, "/Size 7 /Root 1 0 R"));
    EXPECT_EQ(FaultOf(pdf.bytes, 2), ReadFault::kLimit);
  }
}

TEST_F(FileObjectSourceTest, HostileStructuresMeetTheirBudgets) {
  struct {
    const char* name;
    std::string body;  // object 2
  } cases[] = {
      {"deep nesting", std::string(100000, '[')},
      {"huge object", "[" + std::string(kMaxObjectBytes + 100, ' ') + "]"},
      {"reference loop", "3 0 R"},
  };
  for (const auto& c : cases) {
    RawPdf pdf;
    std::vector<Row> rows;
    rows.push_back(pdf.Add(1, "<< /Type /Catalog >>"));
    rows.push_back(pdf.Add(2, c.body));
    rows.push_back(pdf.Add(3, "2 0 R"));
    pdf.EndWith(pdf.AddTable(rows, "/Size 4 /Root 1 0 R"));
    EXPECT_EQ(FaultOf(pdf.bytes, 2), ReadFault::kLimit) << c.name;
  }

  RawPdf pdf;
  std::vector<Row> rows;
  rows.push_back(pdf.Add(1, "<< /Type /Catalog >>"));
  const std::uint64_t table = pdf.AddTable(rows, "/Size 2 /Root 1 0 R");
  pdf.bytes += "xref\n8388608 1\n0000000009 00000 n \ntrailer << /Prev " +
               std::to_string(table) + " >>\n";
  pdf.EndWith(pdf.bytes.rfind("xref"));
  EXPECT_EQ(FaultOf(pdf.bytes), ReadFault::kLimit);
}

// A large object that many refer to (an action or destination items share)
// is parsed once; past the budget for such objects, parsing it again is
// charged, and the document's parsing budget ends that.
TEST_F(FileObjectSourceTest, LargeObjectsReadAgainAreParsedOnce) {
  RawPdf pdf;
  std::vector<Row> rows;
  rows.push_back(pdf.Add(1, "<< /Type /Catalog >>"));
  const std::uint64_t huge = 12 * kMebibyte;
  const std::uint32_t count = kKeptObjectBytes / huge + 1;  // the last is not kept
  for (std::uint32_t i = 0; i < count; ++i)
    rows.push_back(pdf.Add(2 + i, "%" + std::string(huge, 'x') + "\n" + std::to_string(i)));
  pdf.EndWith(pdf.AddTable(rows, "/Size " + std::to_string(count + 2) + " /Root 1 0 R"));
  std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
  const std::uint64_t pastParsing = kMaxParsedBytesPerDocument / huge + 1;
  for (std::uint64_t round = 0; round < pastParsing; ++round)
    for (std::uint32_t i = 0; i + 1 < count; ++i)
      ASSERT_EQ(source->Resolve(Ref(2 + i)).IntegerValue(), i);
  try {
    for (std::uint64_t round = 0; round < pastParsing; ++round)
      ASSERT_EQ(source->Resolve(Ref(1 + count)).IntegerValue(), count - 1);
    ADD_FAILURE() << "parsed without end";
  } catch (const ReadError& error) {
    EXPECT_EQ(error.fault(), ReadFault::kLimit);
  }
}

// ResolveEntries builds the entries asked for, wherever the object lies;
// the object read whole afterwards, a large one kept included, is whole.
TEST_F(FileObjectSourceTest, ResolveEntriesBuildsTheEntriesAskedFor) {
  const std::string resources = "/Resources << /Font << /F1 9 0 R >> /Pad (" +
                                std::string(2 * kKeptObjectMinBytes, 'p') + ") >>";
  RawPdf pdf;
  std::vector<Row> rows;
  rows.push_back(pdf.Add(1, "<< /Type /Catalog /Pages 2 0 R >>"));
  rows.push_back(pdf.Add(2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 " + resources + " >>"));
  rows.push_back(pdf.Add(5, "2 0 R"));
  pdf.AddObjectStream(6, {{3, "<< /Type /Page /MediaBox [0 0 1 1] /Parent 2 0 R >>"},
                          {4, "<< /Parent 2 0 R /Type /Page " + resources + " >>"}},
                      "/Filter /FlateDecode", &rows);
  rows.push_back(Row{6, 1, pdf.bytes.rfind("6 0 obj"), 0});
  pdf.EndWith(pdf.AddXrefStream(7, rows, "/Size 8 /Root 1 0 R"));
  // The entries, "/Key value" each, an array as its items.
  auto entries = [](const Object& dictionary) {
    std::string shown;
    for (const auto& entry : dictionary.Entries()) {
      shown += "/" + entry.first;
      for (const Object& item : entry.second.IsArray() ? entry.second.Items() : Array{entry.second})
        shown += " " + Show(item);
      shown += ";";
    }
    return shown;
  };
  std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
  for (std::uint32_t number : {2u, 5u}) {
    EXPECT_EQ(entries(source->ResolveEntries(Ref(number), {"Type", "Kids"})),
              "/Type /Pages;/Kids 3 R 4 R;");
  }
  EXPECT_EQ(entries(source->ResolveEntries(Ref(3), {"Type", "Kids"})), "/Type /Page;");
  EXPECT_EQ(entries(source->ResolveEntries(Ref(4), {"Type", "Kids"})), "/Type /Page;");
  EXPECT_TRUE(source->ResolveEntries(Ref(99), {"Type"}).IsNull());
  // Read whole twice, the large objects are kept, and given whole after.
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(entries(source->Resolve(Ref(2))).substr(0, 38),
              "/Type /Pages;/Kids 3 R 4 R;/Count 2;/R");
    EXPECT_EQ(entries(source->Resolve(Ref(4))).substr(0, 28), "/Parent 2 R;/Type /Page;/Res");
  }
  const Object node = source->ResolveEntries(Ref(5), {"Type", "Kids"});
  EXPECT_TRUE(node.Get("Type").IsName("Pages"));
  EXPECT_EQ(node.Get("Kids").Size(), 2u);
}

// Items in one object stream and their titles in another, each larger
// than half of what a cache of a few streams would hold: read in turn,
// each stream is inflated once and charged once.
TEST_F(FileObjectSourceTest, ObjectStreamsReadInTurnAreInflatedOnce) {
  constexpr int kItems = 200;
  const std::string padding(17 * kMebibyte, ' ');
  RawPdf pdf;
  std::vector<Row> rows;
  rows.push_back(pdf.Add(1, "<< /Type /Catalog /First 10 0 R >>"));
  std::vector<std::pair<std::uint32_t, std::string>> items;
  std::vector<std::pair<std::uint32_t, std::string>> titles;
  for (int i = 0; i < kItems; ++i) {
    const std::uint32_t item = 10 + 2 * i;
    items.emplace_back(item, "<< /Title " + std::to_string(item + 1) + " 0 R" +
                                 (i + 1 < kItems ? " /Next " + std::to_string(item + 2) + " 0 R"
                                                 : std::string()) +
                                 " >>");
    titles.emplace_back(item + 1, "(Title " + std::to_string(i) + ")");
  }
  items.back().second += padding;
  titles.back().second += padding;
  pdf.AddObjectStream(2, items, "/Filter /FlateDecode", &rows);
  rows.push_back(Row{2, 1, pdf.bytes.rfind("2 0 obj"), 0});
  pdf.AddObjectStream(3, titles, "/Filter /FlateDecode", &rows);
  rows.push_back(Row{3, 1, pdf.bytes.rfind("3 0 obj"), 0});
  pdf.EndWith(pdf.AddXrefStream(4, rows, "/Size 1000 /Root 1 0 R"));

  std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
  Object item = source->Resolve(source->Catalog().Get("First"));
  for (int i = 0; i < kItems; ++i) {
    ASSERT_EQ(source->Resolve(item.Get("Title")).Text(), "Title " + std::to_string(i));
    item = source->Resolve(item.Get("Next"));
  }
}

// An object stream's index in the cross-reference is a hint: wrong hints
// still find every object (through an index of the stream's header, made
// once).
TEST_F(FileObjectSourceTest, WrongObjectStreamHintsStillFindTheObjects) {
  constexpr std::uint32_t kObjects = 300;
  RawPdf pdf;
  std::vector<Row> rows;
  rows.push_back(pdf.Add(1, "<< /Type /Catalog >>"));
  std::vector<std::pair<std::uint32_t, std::string>> objects;
  for (std::uint32_t i = 0; i < kObjects; ++i)
    objects.emplace_back(10 + i, "(object " + std::to_string(10 + i) + ")");
  std::vector<Row> packed;
  pdf.AddObjectStream(2, objects, "/Filter /FlateDecode", &packed);
  for (Row& row : packed) row.third = kObjects - 1 - row.third;  // every hint wrong
  rows.insert(rows.end(), packed.begin(), packed.end());
  rows.push_back(Row{9, 2, 2, 0});  // said to be there, and not
  rows.push_back(Row{2, 1, pdf.bytes.rfind("2 0 obj"), 0});
  pdf.EndWith(pdf.AddXrefStream(3, rows, "/Size 1000 /Root 1 0 R"));
  std::unique_ptr<FileObjectSource> source = Open(pdf.bytes);
  for (std::uint32_t i = 0; i < kObjects; ++i)
    ASSERT_EQ(source->Resolve(Ref(10 + i)).Text(), "object " + std::to_string(10 + i));
  EXPECT_EQ(FaultOf(pdf.bytes, 9), ReadFault::kDamaged);
}

TEST_F(FileObjectSourceTest, PrevLoopsEndTheChain) {
  RawPdf pdf;
  std::vector<Row> rows;
  rows.push_back(pdf.Add(1, "<< /Type /Catalog >>"));
  const std::uint64_t at = pdf.bytes.size();
  pdf.AddTable(rows, "/Size 2 /Root 1 0 R /Prev " + std::to_string(pdf.bytes.size()));
  pdf.EndWith(at);
  EXPECT_TRUE(Open(pdf.bytes)->Catalog().IsDictionary());
}

TEST_F(FileObjectSourceTest, OpenFailuresKeepTheirReasons) {
  struct {
    const char* name;
    std::function<std::string()> make;  // the path
    StatusCode code;
    const char* message;
  } cases[] = {
      {"missing", [&] { return scratch.Path("missing.pdf"); }, StatusCode::kNotFound,
       "No such file or directory"},
      {"directory", [&] { return scratch.path(); }, StatusCode::kIoError, "is a directory"},
      {"fifo",
       [&] {
         const std::string path = scratch.Path("fifo.pdf");
         mkfifo(path.c_str(), 0600);
         return path;
       },
       StatusCode::kIoError, "not a regular file"},
      {"not a pdf",
       [&] {
         const std::string path = scratch.Path("text.pdf");
         WriteFile(path, std::string(2000, 'x') + "%PDF-1.4\n");
         return path;
       },
       StatusCode::kInvalidData, "not a PDF file"},
      {"empty",
       [&] {
         const std::string path = scratch.Path("empty.pdf");
         WriteFile(path, "");
         return path;
       },
       StatusCode::kInvalidData, "not a PDF file"},
  };
  for (const auto& c : cases) {
    StatusOr<std::unique_ptr<FileObjectSource>> source = FileObjectSource::Open(c.make());
    ASSERT_FALSE(source.ok()) << c.name;
    EXPECT_EQ(source.status().code(), c.code) << c.name;
    EXPECT_EQ(source.status().message(), c.message) << c.name;
  }
}

}  // namespace
}  // namespace pdf
}  // namespace vellox
