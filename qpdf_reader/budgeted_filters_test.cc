#include "qpdf_reader/budgeted_filters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "deflate.h"
#include "pdf/budgets.h"
#include "pdf_writer.h"

namespace vellox {
namespace qpdf_reader {
namespace {

using testing::Deflate;
using testing::DeflatedZeros;

// Packs codes of growing width, most significant bit first.
class BitWriter {
 public:
  void Put(unsigned code, unsigned width) {
    bits = (bits << width) | code;
    count += width;
    while (count >= 8) {
      count -= 8;
      bytes.push_back(static_cast<char>(bits >> count));
    }
  }
  std::string Finish() {
    if (count > 0) bytes.push_back(static_cast<char>(bits << (8 - count)));
    return bytes;
  }

 private:
  std::uint64_t bits = 0;
  unsigned count = 0;
  std::string bytes;
};

// LZW as PDF writers write it; the table starts afresh (a clear code) when
// it reaches `clearAt` entries, or fills up and stays full.
std::string LzwEncode(const std::string& data, bool earlyChange, unsigned clearAt) {
  BitWriter out;
  std::map<std::string, unsigned> table;
  unsigned next = 0;
  bool fresh = true;  // no code since the table was cleared
  const auto reset = [&] {
    table.clear();
    for (unsigned c = 0; c < 256; ++c) table[std::string(1, static_cast<char>(c))] = c;
    next = 258;
    fresh = true;
  };
  // The width the decoder reads the next code with: it has one entry
  // fewer than the encoder, and none for the first code.
  const auto width = [&] {
    const unsigned size = fresh ? 258 : next - 1;
    unsigned bits = 9;
    while (bits < 12 && size + (earlyChange ? 1 : 0) >= (1u << bits)) ++bits;
    return bits;
  };
  reset();
  out.Put(256, 9);
  std::string word;
  for (char c : data) {
    if (table.count(word + c) != 0) {
      word += c;
      continue;
    }
    out.Put(table[word], width());
    fresh = false;
    if (next < 4096) table[word + c] = next++;
    if (next == clearAt) {
      out.Put(256, width());
      reset();
    }
    word = std::string(1, c);
  }
  if (!word.empty()) {
    out.Put(table[word], width());
    fresh = false;
  }
  out.Put(257, width());
  return out.Finish();
}

std::string RunLengthEncode(const std::string& data) {
  std::string out;
  for (std::size_t i = 0; i < data.size();) {
    std::size_t run = 1;
    while (i + run < data.size() && run < 128 && data[i + run] == data[i]) ++run;
    if (run > 1) {
      out.push_back(static_cast<char>(257 - run));
      out.push_back(data[i]);
      i += run;
      continue;
    }
    std::size_t literal = 1;
    while (i + literal < data.size() && literal < 128 &&
           (i + literal + 1 >= data.size() || data[i + literal] != data[i + literal + 1]))
      ++literal;
    out.push_back(static_cast<char>(literal - 1));
    out.append(data, i, literal);
    i += literal;
  }
  return out + '\x80';
}

// Text with repeats of every length, and every byte value.
std::string Sample(std::size_t size) {
  std::string out;
  for (std::size_t i = 0; out.size() < size; ++i) {
    out += "line " + std::to_string(i % 97) + std::string(i % 13, 'x');
    out.push_back(static_cast<char>(i * 37));
  }
  return out.substr(0, size);
}

class BudgetedFiltersTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterBudgetedFilters(); }

  // Object 1 of a file holding one stream with these dictionary entries
  // and raw data, decoded by qpdf; false when qpdf cannot decode it.
  bool Decode(const std::string& entries, const std::string& raw, std::string* decoded) {
    std::string pdf;
    testing::StringOutput output(&pdf);
    testing::PdfWriter writer(&output, "1.7");
    writer.AddObject(1, "<< " + entries + " /Length " + std::to_string(raw.size()) +
                            " >>\nstream\n" + raw + "\nendstream");
    writer.AddObject(2, "<< /Type /Catalog >>");
    writer.EndWithTable("/Root 2 0 R");
    QPDF qpdf;
    qpdf.setSuppressWarnings(true);
    qpdf.processMemoryFile("test", pdf.data(), pdf.size());
    try {
      std::shared_ptr<Buffer> data =
          qpdf.getObjectByID(1, 0).getStreamData(qpdf_dl_specialized);
      decoded->assign(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
      return true;
    } catch (const std::exception&) {
      return false;
    }
  }

  std::string Decoded(const std::string& entries, const std::string& raw) {
    std::string decoded;
    EXPECT_TRUE(Decode(entries, raw, &decoded)) << entries;
    return decoded;
  }
};

TEST_F(BudgetedFiltersTest, LzwAsThePdfReferenceWritesIt) {
  // The reference's own example: 45 45 45 45 45 65 45 45 45 66.
  EXPECT_EQ(Decoded("/Filter /LZWDecode", "\x80\x0B\x60\x50\x22\x0C\x0C\x85\x01"),
            "-----A---B");
  // Past every code width, with the table full and cleared, both ways
  // of changing width.
  const std::string text = Sample(200000);
  for (bool early : {true, false}) {
    for (unsigned clearAt : {4096u, 1000u}) {
      SCOPED_TRACE(std::string(early ? "early change" : "no early change") + ", clear at " +
                   std::to_string(clearAt));
      const std::string entries =
          early ? "/Filter /LZWDecode" : "/Filter /LZW /DecodeParms << /EarlyChange 0 >>";
      EXPECT_EQ(Decoded(entries, LzwEncode(text, early, clearAt)), text);
    }
  }
}

TEST_F(BudgetedFiltersTest, RunLengthFlateAndPredictors) {
  const std::string text = Sample(100000) + std::string(1000, 'r');
  EXPECT_EQ(Decoded("/Filter /RunLengthDecode", RunLengthEncode(text)), text);
  EXPECT_EQ(Decoded("/Filter /RL", RunLengthEncode(text)), text);
  EXPECT_EQ(Decoded("/Filter /FlateDecode", Deflate(text)), text);
  EXPECT_EQ(Decoded("/Filter [/Fl /FlateDecode]", Deflate(Deflate(text))), text);
  // PNG Up rows of 5 bytes, and TIFF differences of 8-bit samples.
  std::string png;
  std::string tiff;
  const std::string rows = text.substr(0, 5000);
  for (std::size_t at = 0; at < rows.size(); at += 5) {
    png.push_back(2);
    for (std::size_t i = 0; i < 5; ++i)
      png.push_back(static_cast<char>(rows[at + i] - (at > 0 ? rows[at + i - 5] : 0)));
    tiff.push_back(rows[at]);
    for (std::size_t i = 1; i < 5; ++i) tiff.push_back(static_cast<char>(rows[at + i] - rows[at + i - 1]));
  }
  EXPECT_EQ(Decoded("/Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 5 >>",
                    Deflate(png)),
            rows);
  EXPECT_EQ(Decoded("/Filter /LZWDecode /DecodeParms << /Predictor 2 /Columns 5 >>",
                    LzwEncode(tiff, true, 4096)),
            rows);
  // Parameters qpdf's own decoders refuse are refused.
  std::string decoded;
  EXPECT_FALSE(Decode("/Filter /FlateDecode /DecodeParms << /Predictor 7 >>", Deflate(text),
                      &decoded));
  EXPECT_FALSE(Decode("/Filter /FlateDecode /DecodeParms << /Columns /Five >>", Deflate(text),
                      &decoded));
}

// Data that is corrupt or cut short: what decoded before the fault is
// kept, as qpdf keeps it, and the budget tells of the damage.
TEST_F(BudgetedFiltersTest, CorruptDataKeepsWhatDecoded) {
  const std::string text = Sample(100000);
  const std::string packed = Deflate(text);
  std::string garbled = packed;
  for (std::size_t i = packed.size() / 2; i < packed.size() / 2 + 16; ++i) garbled[i] = '\xFF';
  const struct {
    const char* name;
    std::string raw;
  } cases[] = {
      {"cut short", packed.substr(0, packed.size() / 2)},
      {"garbled", garbled},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DecodingBudget budget;
    const std::string decoded = Decoded("/Filter /FlateDecode", c.raw);
    EXPECT_GT(decoded.size(), 1000u);
    EXPECT_LT(decoded.size(), text.size());
    EXPECT_EQ(decoded.substr(0, 1000), text.substr(0, 1000));
    EXPECT_NE(budget.damage(), "");
    EXPECT_EQ(budget.limitReason(), "");
  }
}

// A stream past the per-stream limit, a predictor row past it, and streams
// past the document's: each refuses the document, and every decoding after
// it fails at once. Outside a budget the per-stream limit still holds.
TEST_F(BudgetedFiltersTest, LimitsRefuseAndStayRefused) {
  const std::string small = Deflate("small");
  std::string decoded;
  const std::string bomb = DeflatedZeros(pdf::kMaxStreamBytes + 1);
  const struct {
    const char* name;
    std::string entries;
    std::string raw;
    int times;  // the stream decoded that often
    std::string reason;
  } cases[] = {
      {"a bomb", "/Filter /FlateDecode", bomb, 1, "a stream exceeds the limit of 64 MiB"},
      {"a predictor's row", "/Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 2147483648 >>",
       small, 1, "a predictor's row exceeds the limit of 64 MiB"},
      {"the document's streams", "/Filter /FlateDecode", DeflatedZeros(pdf::kMaxStreamBytes - 1),
       static_cast<int>(pdf::kMaxInflatedBytesPerDocument / pdf::kMaxStreamBytes) + 1,
       "the document's streams exceed the limit of 256 MiB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DecodingBudget budget;
    for (int i = 0; i + 1 < c.times; ++i) ASSERT_TRUE(Decode(c.entries, c.raw, &decoded));
    EXPECT_FALSE(Decode(c.entries, c.raw, &decoded));
    EXPECT_EQ(budget.limitReason(), c.reason);
    EXPECT_FALSE(Decode("/Filter /FlateDecode", small, &decoded));
  }
  EXPECT_FALSE(Decode("/Filter /FlateDecode", bomb, &decoded));
  EXPECT_EQ(Decoded("/Filter /FlateDecode", small), "small");
}

}  // namespace
}  // namespace qpdf_reader
}  // namespace vellox
