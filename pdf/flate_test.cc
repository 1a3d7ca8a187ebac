#include "pdf/flate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "deflate.h"
#include "parsed_object.h"
#include "pdf/budgets.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {
namespace {

using vellox::testing::Deflate;
using vellox::testing::DeflatedZeros;

Object Parse(const std::string& text) { return vellox::testing::ParsedObject(text); }

template <typename Call>
ReadFault FaultOf(Call&& call) {
  try {
    call();
  } catch (const ReadError& error) {
    return error.fault();
  }
  ADD_FAILURE() << "no fault";
  return ReadFault::kDamaged;
}

std::string Sample(std::size_t size) {
  std::string bytes;
  for (std::size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>((i * 7919) >> 3));
  return bytes;
}

TEST(FlateTest, InflatesWithinTheLimitAndStopsAtIt) {
  const std::string original = Sample(300000);
  const std::string packed = Deflate(original);
  EXPECT_EQ(Inflate(packed.data(), packed.size(), original.size(), "limit"), original);
  EXPECT_EQ(FaultOf([&] { Inflate(packed.data(), packed.size(), original.size() - 1, "limit"); }),
            ReadFault::kLimit);

  // A bomb stops at the limit, however much it would make.
  const std::string bomb = DeflatedZeros(std::uint64_t{1} << 30);
  try {
    Inflate(bomb.data(), bomb.size(), 4 * kMebibyte, "too much");
    ADD_FAILURE() << "inflated a bomb";
  } catch (const ReadError& error) {
    EXPECT_EQ(error.fault(), ReadFault::kLimit);
    EXPECT_STREQ(error.what(), "too much");
  }
}

TEST(FlateTest, CorruptDataIsDamageAndCutDataYieldsItsPart) {
  const std::string original = Sample(100000);
  std::string packed = Deflate(original);
  std::string corrupt = packed;
  for (std::size_t i = 2; i < corrupt.size(); i += 3) corrupt[i] = static_cast<char>(~corrupt[i]);
  EXPECT_EQ(FaultOf([&] { Inflate(corrupt.data(), corrupt.size(), 1 << 20, ""); }),
            ReadFault::kDamaged);
  EXPECT_EQ(FaultOf([&] { Inflate("not zlib", 8, 1 << 20, ""); }), ReadFault::kDamaged);

  const std::string part = Inflate(packed.data(), packed.size() / 2, 1 << 20, "");
  EXPECT_FALSE(part.empty());
  EXPECT_EQ(part, original.substr(0, part.size()));
}

// PNG rows: each raw row is encoded with its filter, as a writer would.
std::string PngEncode(const std::string& raw, std::size_t rowBytes, std::size_t pixelBytes,
                      const std::vector<int>& filters) {
  std::string out;
  auto at = [&](std::size_t row, std::size_t i) -> int {
    return static_cast<unsigned char>(raw[row * rowBytes + i]);
  };
  for (std::size_t row = 0; row * rowBytes < raw.size(); ++row) {
    const int filter = filters[row % filters.size()];
    out.push_back(static_cast<char>(filter));
    for (std::size_t i = 0; i < rowBytes && row * rowBytes + i < raw.size(); ++i) {
      const int left = i >= pixelBytes ? at(row, i - pixelBytes) : 0;
      const int up = row > 0 ? at(row - 1, i) : 0;
      const int upLeft = row > 0 && i >= pixelBytes ? at(row - 1, i - pixelBytes) : 0;
      int predicted = 0;
      if (filter == 1) predicted = left;
      if (filter == 2) predicted = up;
      if (filter == 3) predicted = (left + up) / 2;
      if (filter == 4) {
        const int p = left + up - upLeft;
        const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
        predicted = pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
      }
      out.push_back(static_cast<char>(at(row, i) - predicted));
    }
  }
  return out;
}

TEST(FlateTest, UndoesPngPredictors) {
  // 4 columns of 2 colours: 8-byte rows of 2-byte pixels; every filter
  // follows every other, and the last row is cut short.
  const std::string raw = Sample(8 * 25 + 5);
  std::string data = PngEncode(raw, 8, 2, {0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 2, 4, 1, 3});
  Unpredict(Parse("<< /Predictor 12 /Colors 2 /Columns 4 >>"), &data);
  EXPECT_EQ(data, raw);

  // 16-bit samples: 2-byte pixels again, by another route.
  data = PngEncode(raw, 8, 2, {4, 1, 3, 2});
  Unpredict(Parse("<< /Predictor 15 /BitsPerComponent 16 /Columns 4 >>"), &data);
  EXPECT_EQ(data, raw);

  data = std::string("\x05\x01", 2);
  EXPECT_EQ(FaultOf([&] { Unpredict(Parse("<< /Predictor 10 >>"), &data); }),
            ReadFault::kDamaged);
}

TEST(FlateTest, UndoesTiffPredictor) {
  struct {
    const char* parameters;
    std::string encoded;
    std::string decoded;
  } cases[] = {
      {"<< /Predictor 2 /Colors 3 /Columns 2 >>", std::string("\x0A\x14\x1E\x05\x05\x05", 6),
       std::string("\x0A\x14\x1E\x0F\x19\x23", 6)},
      {"<< /Predictor 2 /BitsPerComponent 16 /Columns 2 >>", std::string("\x01\x00\x01\xFF", 4),
       std::string("\x01\x00\x02\xFF", 4)},
      {"<< /Predictor 2 /BitsPerComponent 4 /Columns 4 >>", std::string("\x12\x39", 2),
       std::string("\x13\x6F", 2)},
  };
  for (const auto& c : cases) {
    std::string data = c.encoded;
    Unpredict(Parse(c.parameters), &data);
    EXPECT_EQ(data, c.decoded) << c.parameters;
  }
}

// Parameters no predictor has are damage; a row longer than a stream may
// be is past a limit (a decoder sizing its rows by it would take
// gigabytes), not damage another reader might mend.
TEST(FlateTest, BadPredictorParameters) {
  const struct {
    const char* parameters;
    ReadFault fault;
  } cases[] = {
      {"<< /Predictor 12 /Colors 0 >>", ReadFault::kDamaged},
      {"<< /Predictor 12 /Colors 100000 >>", ReadFault::kDamaged},
      {"<< /Predictor 12 /BitsPerComponent 3 >>", ReadFault::kDamaged},
      {"<< /Predictor 12 /Columns 0 >>", ReadFault::kDamaged},
      {"<< /Predictor 12 /Columns /Four >>", ReadFault::kDamaged},
      {"<< /Predictor 5 >>", ReadFault::kDamaged},
      {"<< /Predictor 12 /Columns 99999999999 >>", ReadFault::kLimit},
      {"<< /Predictor 12 /Columns 2147483648 >>", ReadFault::kLimit},
      {"<< /Predictor 2 /Columns 1073741823 >>", ReadFault::kLimit},
      {"<< /Predictor 2 /Colors 32 /BitsPerComponent 16 /Columns 1048577 >>", ReadFault::kLimit},
  };
  for (const auto& c : cases) {
    std::string data = "\x00\x01\x02\x03";
    EXPECT_EQ(FaultOf([&] { Unpredict(Parse(c.parameters), &data); }), c.fault) << c.parameters;
  }
  // The longest row there may be.
  std::string data(4, '\0');
  Unpredict(Parse("<< /Predictor 2 /Colors 32 /BitsPerComponent 16 /Columns 1048576 >>"), &data);
  EXPECT_EQ(data, std::string(4, '\0'));
}

TEST(FlateTest, DecodesFlateOnlyAndChargesTheDocument) {
  const std::string original = Sample(5000);
  InflationBudget budget;
  EXPECT_EQ(budget.Decode(Object(), Object(), original), original);
  EXPECT_EQ(budget.Decode(Parse("/FlateDecode"), Object(), Deflate(original)), original);
  EXPECT_EQ(budget.Decode(Parse("[/Fl /FlateDecode]"), Object(), Deflate(Deflate(original))),
            original);
  const std::string predicted = PngEncode(original, 5, 1, {2});
  EXPECT_EQ(budget.Decode(Parse("[/FlateDecode]"), Parse("[<< /Predictor 12 /Columns 5 >>]"),
                          Deflate(predicted)),
            original);
  EXPECT_EQ(budget.used(), 4 * original.size());

  for (const char* filter : {"/LZWDecode", "/DCTDecode", "[/FlateDecode /ASCII85Decode]", "5"})
    EXPECT_EQ(FaultOf([&] { budget.Decode(Parse(filter), Object(), original); }),
              ReadFault::kUnsupported)
        << filter;

  // The per-document budget outlasts any one stream but not many.
  const std::string bomb = DeflatedZeros(kMaxStreamBytes);
  InflationBudget document;
  for (std::uint64_t spent = 0; spent + kMaxStreamBytes <= kMaxInflatedBytesPerDocument;
       spent += kMaxStreamBytes)
    EXPECT_EQ(document.Decode(Parse("/FlateDecode"), Object(), bomb).size(), kMaxStreamBytes);
  EXPECT_EQ(FaultOf([&] { document.Decode(Parse("/FlateDecode"), Object(), bomb); }),
            ReadFault::kLimit);
}

}  // namespace
}  // namespace pdf
}  // namespace vellox
