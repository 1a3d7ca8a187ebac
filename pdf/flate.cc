#include "pdf/flate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <utility>

#include "pdf/budgets.h"
#include "pdf/object_source.h"

namespace vellox {
namespace pdf {
namespace {

// An integer entry of the parameters, `fallback` when absent.
std::int64_t Parameter(const Object& parameters, const char* key, std::int64_t fallback) {
  const Object& value = parameters.Get(key);
  if (value.IsNull()) return fallback;
  if (!value.IsInteger()) Damaged(std::string("/") + key + " is not an integer");
  return value.IntegerValue();
}

inline unsigned char Paeth(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = std::abs(estimate - left);
  const int toUp = std::abs(estimate - up);
  const int toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<unsigned char>(left);
  if (toUp <= toUpLeft) return static_cast<unsigned char>(up);
  return static_cast<unsigned char>(upLeft);
}

// PNG rows: a filter byte, then the row. Decoded in place, the output
// never overtaking the input; a short last row is decoded as far as it goes.
void UndoPng(std::size_t rowBytes, std::size_t pixelBytes, std::string* data) {
  unsigned char* bytes = reinterpret_cast<unsigned char*>(&(*data)[0]);
  const std::size_t size = data->size();
  std::size_t in = 0;
  std::size_t out = 0;
  bool first = true;
  while (in < size) {
    const unsigned filter = bytes[in++];
    const std::size_t length = std::min(rowBytes, size - in);
    unsigned char* row = bytes + out;
    const unsigned char* up = first ? nullptr : row - rowBytes;
    for (std::size_t i = 0; i < length; ++i) {
      const int raw = bytes[in + i];
      const int left = i >= pixelBytes ? row[i - pixelBytes] : 0;
      const int above = up != nullptr ? up[i] : 0;
      const int aboveLeft = up != nullptr && i >= pixelBytes ? up[i - pixelBytes] : 0;
      int value;
      switch (filter) {
        case 0: value = raw; break;
        case 1: value = raw + left; break;
        case 2: value = raw + above; break;
        case 3: value = raw + (left + above) / 2; break;
        case 4: value = raw + Paeth(left, above, aboveLeft); break;
        default: Damaged("bad PNG predictor row filter");
      }
      row[i] = static_cast<unsigned char>(value);
    }
    in += length;
    out += length;
    first = false;
  }
  data->resize(out);
}

// TIFF predictor 2: each sample is the difference from the one to its left.
void UndoTiff(std::size_t rowBytes, int colors, int bits, std::string* data) {
  unsigned char* bytes = reinterpret_cast<unsigned char*>(&(*data)[0]);
  const std::size_t rows = data->size() / rowBytes;
  const std::size_t colorsCount = static_cast<std::size_t>(colors);
  for (std::size_t r = 0; r < rows; ++r) {
    unsigned char* row = bytes + r * rowBytes;
    if (bits == 8) {
      for (std::size_t i = colorsCount; i < rowBytes; ++i)
        row[i] = static_cast<unsigned char>(row[i] + row[i - colorsCount]);
    } else if (bits == 16) {
      for (std::size_t i = 2 * colorsCount; i + 1 < rowBytes; i += 2) {
        const unsigned value = ((row[i] << 8) | row[i + 1]) +
                               ((row[i - 2 * colorsCount] << 8) | row[i + 1 - 2 * colorsCount]);
        row[i] = static_cast<unsigned char>(value >> 8);
        row[i + 1] = static_cast<unsigned char>(value);
      }
    } else {
      const std::size_t samples = rowBytes * 8 / static_cast<std::size_t>(bits);
      const unsigned mask = (1u << bits) - 1;
      auto get = [&](std::size_t index) {
        const std::size_t bit = index * static_cast<std::size_t>(bits);
        return (row[bit / 8] >> (8 - bits - bit % 8)) & mask;
      };
      for (std::size_t i = colorsCount; i < samples; ++i) {
        const unsigned value = (get(i) + get(i - colorsCount)) & mask;
        const std::size_t bit = i * static_cast<std::size_t>(bits);
        const unsigned shift = static_cast<unsigned>(8 - bits - bit % 8);
        row[bit / 8] = static_cast<unsigned char>((row[bit / 8] & ~(mask << shift)) |
                                                  (value << shift));
      }
    }
  }
}

}  // namespace

std::string Inflate(const char* data, std::size_t size, std::size_t limit,
                    const std::string& limitReason) {
  z_stream stream = {};
  if (inflateInit(&stream) != Z_OK) throw std::bad_alloc();
  // Gives zlib's inflate state back on every way out.
  struct InflateStateGuard {
    z_stream* stream;
    ~InflateStateGuard() { inflateEnd(stream); }
  } guard{&stream};

  // A guess from the input's size; grown by doubling, never past the limit.
  // Left uninitialised: a generous guess costs only the pages inflate
  // writes, where a string's would all be zeroed first.
  struct Buffer {
    char* bytes = nullptr;
    std::size_t size = 0;
    ~Buffer() { std::free(bytes); }
    void Resize(std::size_t wanted) {
      void* grown = std::realloc(bytes, std::max<std::size_t>(wanted, 1));
      if (grown == nullptr) throw std::bad_alloc();
      bytes = static_cast<char*>(grown);
      size = wanted;
    }
  } out;
  out.Resize(std::min(limit, std::max<std::size_t>(size * 8, 16384)));
  std::size_t produced = 0;
  const unsigned char* next = reinterpret_cast<const unsigned char*>(data);
  std::size_t left = size;
  for (;;) {
    if (produced == out.size) {
      if (out.size == limit) {
        // Full: one more byte of output would pass the limit.
        unsigned char probe;
        stream.next_out = &probe;
        stream.avail_out = 1;
        stream.next_in = const_cast<unsigned char*>(next);
        stream.avail_in = static_cast<uInt>(std::min<std::size_t>(left, UINT_MAX));
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (stream.avail_out == 0) throw ReadError(ReadFault::kLimit, limitReason);
        if (result != Z_STREAM_END && result != Z_OK && result != Z_BUF_ERROR)
          Damaged("corrupt compressed data");
        break;
      }
      out.Resize(std::min(limit, out.size * 2));
    }
    stream.next_in = const_cast<unsigned char*>(next);
    stream.avail_in = static_cast<uInt>(std::min<std::size_t>(left, UINT_MAX));
    stream.next_out = reinterpret_cast<unsigned char*>(out.bytes + produced);
    stream.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size - produced, UINT_MAX));
    const uInt inBefore = stream.avail_in;
    const uInt outBefore = stream.avail_out;
    const int result = inflate(&stream, Z_NO_FLUSH);
    left -= inBefore - stream.avail_in;
    next += inBefore - stream.avail_in;
    produced += outBefore - stream.avail_out;
    if (result == Z_STREAM_END) break;
    if (result == Z_BUF_ERROR || (result == Z_OK && left == 0 && stream.avail_out != 0)) {
      if (stream.avail_out == 0) continue;  // wants room
      break;                                // input cut short: keep what it held
    }
    if (result != Z_OK) Damaged("corrupt compressed data");
  }
  return std::string(out.bytes, produced);
}

void Unpredict(const Object& parameters, std::string* data) {
  const std::int64_t predictor = Parameter(parameters, "Predictor", 1);
  if (predictor == 1) return;
  if (predictor != 2 && (predictor < 10 || predictor > 15)) Damaged("unknown predictor");
  const std::int64_t colors = Parameter(parameters, "Colors", 1);
  const std::int64_t bits = Parameter(parameters, "BitsPerComponent", 8);
  const std::int64_t columns = Parameter(parameters, "Columns", 1);
  if (colors < 1 || colors > 32) Damaged("bad /Colors for a predictor");
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
    Damaged("bad /BitsPerComponent for a predictor");
  if (columns < 1) Damaged("bad /Columns for a predictor");
  // No stream holds a row longer than a stream may be: such parameters
  // are absurd, and a decoder that sized its rows by them would take
  // gigabytes (qpdf's does).
  const std::uint64_t pixelBits = static_cast<std::uint64_t>(colors * bits);
  const std::uint64_t rowBits = std::uint64_t{8} * kMaxStreamBytes;
  if (static_cast<std::uint64_t>(columns) > rowBits / pixelBits)
    OverLimit("a predictor's row exceeds", Mebibytes(kMaxStreamBytes));
  const std::size_t rowBytes =
      static_cast<std::size_t>((static_cast<std::uint64_t>(columns) * pixelBits + 7) / 8);
  const std::size_t pixelBytes = static_cast<std::size_t>((pixelBits + 7) / 8);
  if (predictor == 2) {
    UndoTiff(rowBytes, static_cast<int>(colors), static_cast<int>(bits), data);
  } else {
    UndoPng(rowBytes, pixelBytes, data);
  }
}

void CheckStreamLength(std::uint64_t length) {
  if (length > kMaxStreamBytes) OverLimit("a stream exceeds", Mebibytes(kMaxStreamBytes));
}

std::size_t InflationBudget::StreamLimit(std::string* reason) const {
  const std::uint64_t documentLeft =
      used_ < kMaxInflatedBytesPerDocument ? kMaxInflatedBytesPerDocument - used_ : 0;
  if (kMaxStreamBytes <= documentLeft) {
    *reason = LimitReason("a stream exceeds", Mebibytes(kMaxStreamBytes));
    return kMaxStreamBytes;
  }
  *reason = LimitReason("the document's streams exceed", Mebibytes(kMaxInflatedBytesPerDocument));
  return static_cast<std::size_t>(documentLeft);
}

std::string InflationBudget::Decode(const Object& filter, const Object& parameters,
                                    std::string raw) {
  std::string reason;
  const std::size_t limit = StreamLimit(&reason);

  // A single filter may come alone or in a one-item array; a chain of
  // FlateDecode filters is applied in turn.
  Array filters;
  Array parameterList;
  if (filter.IsArray()) {
    filters = filter.Items();
    parameterList = parameters.Items();
  } else if (!filter.IsNull()) {
    filters.push_back(filter);
    parameterList.push_back(parameters);
  }
  for (const Object& name : filters)
    if (!name.IsName("FlateDecode") && !name.IsName("Fl"))
      throw ReadError(ReadFault::kUnsupported,
                      name.IsName() ? "the " + name.Text() + " filter is not supported"
                                    : "a stream's filter is not supported");

  std::string data = std::move(raw);
  if (data.size() > limit) throw ReadError(ReadFault::kLimit, reason);
  for (std::size_t i = 0; i < filters.size(); ++i) {
    data = Inflate(data.data(), data.size(), limit, reason);
    const Object& decodeParameters = i < parameterList.size() ? parameterList[i] : Object();
    if (!decodeParameters.IsNull() && !decodeParameters.IsDictionary())
      Damaged("bad /DecodeParms");
    Unpredict(decodeParameters, &data);
  }
  used_ += data.size();
  return data;
}

}  // namespace pdf
}  // namespace vellox
