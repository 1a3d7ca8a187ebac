#include "qpdf_reader/budgeted_filters.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFStreamFilter.hh>

#include "pdf/object.h"
#include "pdf/object_source.h"

namespace vellox {
namespace qpdf_reader {
namespace {

thread_local DecodingBudget* current = nullptr;

// Decoded bytes are handed on in pieces of this size at most.
constexpr std::size_t kPiece = 64 * 1024;

// Where a decoder's output goes.
class Output {
 public:
  virtual ~Output() = default;
  virtual void Put(const unsigned char* data, std::size_t size) = 0;
};

// One filter's decoding, fed its encoded bytes piece by piece. Corrupt data
// ends the output where it went wrong and says so in damage(), as qpdf's
// own decoders keep what they could decode.
class Decoder {
 public:
  virtual ~Decoder() = default;
  virtual void Write(const unsigned char* data, std::size_t size, Output* out) = 0;
  virtual void Finish(Output*) {}
  const std::string& damage() const { return damage_; }

 protected:
  std::string damage_;
};

class FlateDecoder : public Decoder {
 public:
  FlateDecoder() {
    if (inflateInit(&stream) != Z_OK) throw std::bad_alloc();
  }
  ~FlateDecoder() override { inflateEnd(&stream); }

  void Write(const unsigned char* data, std::size_t size, Output* out) override {
    while (size > 0 && !ended && damage_.empty()) {
      const uInt piece = static_cast<uInt>(std::min<std::size_t>(size, UINT_MAX));
      stream.next_in = const_cast<unsigned char*>(data);
      stream.avail_in = piece;
      do {
        unsigned char buffer[kPiece];
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        const int result = inflate(&stream, Z_NO_FLUSH);
        out->Put(buffer, sizeof buffer - stream.avail_out);
        if (result == Z_STREAM_END) {
          ended = true;
        } else if (result != Z_OK && result != Z_BUF_ERROR) {
          damage_ = "corrupt compressed data";
        } else if (result == Z_BUF_ERROR && stream.avail_out != 0) {
          break;  // wants more input
        }
        // A full buffer may leave output inside zlib: go on until it is out.
      } while ((stream.avail_in > 0 || stream.avail_out == 0) && !ended && damage_.empty());
      data += piece;
      size -= piece;
    }
  }

  void Finish(Output*) override {
    if (!ended && damage_.empty()) damage_ = "compressed data cut short";
  }

 private:
  z_stream stream = {};
  bool ended = false;
};

// LZW as PDF has it: 9- to 12-bit codes, 256 clears the table, 257 ends
// the data; the code width grows one code early unless /EarlyChange is 0.
class LzwDecoder : public Decoder {
 public:
  explicit LzwDecoder(bool earlyChange) : earlyChange(earlyChange ? 1 : 0) {
    for (unsigned c = 0; c < 256; ++c) length[c] = 1;
  }

  void Write(const unsigned char* data, std::size_t size, Output* out) override {
    for (std::size_t i = 0; i < size && !ended && damage_.empty(); ++i) {
      bits = (bits << 8) | data[i];
      bitCount += 8;
      while (bitCount >= width && !ended && damage_.empty()) {
        bitCount -= width;
        Code(static_cast<unsigned>(bits >> bitCount) & ((1u << width) - 1), out);
      }
    }
  }

 private:
  static constexpr unsigned kClear = 256;
  static constexpr unsigned kEnd = 257;
  static constexpr unsigned kMaxCodes = 4096;

  void Reset() {
    size = 258;
    width = 9;
    previous = -1;
  }


  void Code(unsigned code, Output* out) {
    if (code == kClear) return Reset();
    if (code == kEnd) {
      ended = true;
      return;
    }
    if (previous < 0) {
      if (code > 255) {
        damage_ = "corrupt LZW data";
        return;
      }
      Emit(code, out);
      previous = static_cast<int>(code);
      return;
    }
    if (code > size || (code == size && size >= kMaxCodes)) {
      damage_ = "corrupt LZW data";
      return;
    }
    // A code not yet in the table is the previous string and its own
    // first byte.
    const unsigned first = FirstByte(code == size ? static_cast<unsigned>(previous) : code);
    if (size < kMaxCodes) {
      prefix[size] = static_cast<std::uint16_t>(previous);
      last[size] = static_cast<unsigned char>(first);
      length[size] = static_cast<std::uint16_t>(length[previous] + 1);
      ++size;
      if (size + earlyChange >= (1u << width) && width < 12) ++width;
    }
    Emit(code, out);
    previous = static_cast<int>(code);
  }

  unsigned FirstByte(unsigned code) const {
    while (code > 255) code = prefix[code];
    return code;
  }

  void Emit(unsigned code, Output* out) {
    if (code < 256) {
      const unsigned char byte = static_cast<unsigned char>(code);
      out->Put(&byte, 1);
      return;
    }
    unsigned char text[kMaxCodes];
    std::size_t at = length[code];
    for (unsigned c = code; c > 255; c = prefix[c]) text[--at] = last[c];
    text[0] = static_cast<unsigned char>(FirstByte(code));
    out->Put(text, length[code]);
  }

  const unsigned earlyChange;
  std::uint64_t bits = 0;
  unsigned bitCount = 0;
  unsigned width = 9;
  unsigned size = 258;
  int previous = -1;
  bool ended = false;
  // The table: each code's string is its prefix code's string and a last
  // byte.
  std::uint16_t prefix[kMaxCodes] = {};
  unsigned char last[kMaxCodes] = {};
  std::uint16_t length[kMaxCodes] = {};
};

// RunLength: a length byte n, then n + 1 bytes as they are (n < 128) or one
// byte 257 - n times (n > 128); 128 ends the data.
class RunLengthDecoder : public Decoder {
 public:
  void Write(const unsigned char* data, std::size_t size, Output* out) override {
    for (std::size_t i = 0; i < size && !ended;) {
      if (literal > 0) {
        const std::size_t take = std::min<std::size_t>(literal, size - i);
        out->Put(data + i, take);
        literal -= take;
        i += take;
      } else if (repeat > 0) {
        unsigned char run[128];
        std::fill(run, run + repeat, data[i++]);
        out->Put(run, repeat);
        repeat = 0;
      } else {
        const unsigned n = data[i++];
        if (n == 128) {
          ended = true;
        } else if (n < 128) {
          literal = n + 1;
        } else {
          repeat = 257 - n;
        }
      }
    }
  }

 private:
  std::size_t literal = 0;
  std::size_t repeat = 0;
  bool ended = false;
};

}  // namespace

// Runs a decoder within the thread's budget and hands its output on to
// qpdf, through the predictor when there is one.
class BudgetedDecoder : public Pipeline, private Output {
 public:
  BudgetedDecoder(std::unique_ptr<Decoder> decoder, pdf::Object predictor, Pipeline* next)
      : Pipeline("vellox budgeted decoder", next),
        decoder(std::move(decoder)),
        predictor(std::move(predictor)),
        budget(current) {
    limit = Inflation().StreamLimit(&reason);
    // After a limit met, nothing more is decoded.
    if (budget != nullptr && !budget->limitReason_.empty()) {
      refused = true;
      reason = budget->limitReason_;
    }
  }

  void write(unsigned char const* data, size_t size) override {
    if (refused) throw std::length_error(reason);
    decoder->Write(data, size, this);
  }

  // qpdf finishes a pipeline again after a failure, and ignores what that
  // throws.
  void finish() override {
    if (refused) throw std::length_error(reason);
    if (finished) return;
    finished = true;
    decoder->Finish(this);
    if (!predictor.IsNull()) {
      try {
        pdf::Unpredict(predictor, &held);
      } catch (const pdf::ReadError& error) {
        if (error.fault() == pdf::ReadFault::kLimit) Refuse(error.what());
        throw;
      }
      for (std::size_t at = 0; at < held.size(); at += kPiece)
        getNext()->write(reinterpret_cast<const unsigned char*>(held.data()) + at,
                         std::min(kPiece, held.size() - at));
      std::string().swap(held);
    }
    if (budget != nullptr && budget->damage_.empty()) budget->damage_ = decoder->damage();
    getNext()->finish();
  }

 private:
  pdf::InflationBudget& Inflation() { return budget != nullptr ? budget->inflation : ownInflation; }

  // Records the limit met, so that the document is refused and every
  // later decoding stops at once, and stops this one.
  [[noreturn]] void Refuse(const std::string& why) {
    refused = true;
    reason = why;
    if (budget != nullptr && budget->limitReason_.empty()) budget->limitReason_ = why;
    throw std::length_error(why);
  }

  void Put(const unsigned char* data, std::size_t size) override {
    if (size == 0) return;
    // Checked before the bytes are kept or handed on.
    if (size > limit - produced) Refuse(reason);
    produced += size;
    Inflation().Charge(size);
    if (predictor.IsNull()) {
      getNext()->write(data, size);
    } else {
      held.append(reinterpret_cast<const char*>(data), size);
    }
  }

  std::unique_ptr<Decoder> decoder;
  pdf::Object predictor;  // null, or the /DecodeParms to undo
  DecodingBudget* budget;
  pdf::InflationBudget ownInflation;  // outside any DecodingBudget
  std::size_t limit = 0;
  std::string reason;
  std::size_t produced = 0;
  std::string held;  // the output, while a predictor waits for it whole
  bool refused = false;
  bool finished = false;
};

namespace {

enum class Kind { kFlate, kLzw, kRunLength };

// A filter as qpdf asks for it: parameters first, then the pipeline.
class BudgetedFilter : public QPDFStreamFilter {
 public:
  explicit BudgetedFilter(Kind kind) : kind(kind) {}

  // As qpdf's own: Flate and LZW take a predictor, LZW /EarlyChange, and
  // parameters that are not integers make the stream undecodable.
  bool setDecodeParms(QPDFObjectHandle parameters) override {
    if (parameters.isNull()) return true;
    if (kind == Kind::kRunLength || !parameters.isDictionary()) return false;
    pdf::Dictionary entries;
    for (const char* key : {"Predictor", "Colors", "BitsPerComponent", "Columns"}) {
      QPDFObjectHandle value = parameters.getKey(std::string("/") + key);
      if (value.isNull()) continue;
      if (!value.isInteger()) return false;
      entries.emplace_back(key, pdf::Object::Integer(value.getIntValue()));
    }
    QPDFObjectHandle early = parameters.getKey("/EarlyChange");
    if (kind == Kind::kLzw && !early.isNull()) {
      if (!early.isInteger()) return false;
      earlyChange = early.getIntValue() != 0;
    }
    const pdf::Object dictionary = pdf::Object::MakeDictionary(std::move(entries));
    const pdf::Object& kindOfPredictor = dictionary.Get("Predictor");
    if (kindOfPredictor.IsNull() || kindOfPredictor.IntegerValue() == 1) return true;
    const std::int64_t value = kindOfPredictor.IntegerValue();
    if (value != 2 && (value < 10 || value > 15)) return false;
    predictor = dictionary;
    return true;
  }

  Pipeline* getDecodePipeline(Pipeline* next) override {
    std::unique_ptr<Decoder> decoder;
    switch (kind) {
      case Kind::kFlate:
        decoder.reset(new FlateDecoder);
        break;
      case Kind::kLzw:
        decoder.reset(new LzwDecoder(earlyChange));
        break;
      case Kind::kRunLength:
        decoder.reset(new RunLengthDecoder);
        break;
    }
    pipeline.reset(new BudgetedDecoder(std::move(decoder), predictor, next));
    return pipeline.get();
  }

  // qpdf counts RunLength as specialized compression, which its writer
  // leaves alone.
  bool isSpecializedCompression() override { return kind == Kind::kRunLength; }

 private:
  const Kind kind;
  bool earlyChange = true;
  pdf::Object predictor;
  std::unique_ptr<BudgetedDecoder> pipeline;
};

}  // namespace

void RegisterBudgetedFilters() {
  static std::once_flag once;
  std::call_once(once, [] {
    const std::pair<const char*, Kind> filters[] = {
        {"/FlateDecode", Kind::kFlate},        {"/Fl", Kind::kFlate},
        {"/LZWDecode", Kind::kLzw},            {"/LZW", Kind::kLzw},
        {"/RunLengthDecode", Kind::kRunLength}, {"/RL", Kind::kRunLength},
    };
    for (const auto& filter : filters) {
      const Kind kind = filter.second;
      QPDF::registerStreamFilter(filter.first,
                                 [kind] { return std::make_shared<BudgetedFilter>(kind); });
    }
  });
}

DecodingBudget::DecodingBudget() : outer(current) { current = this; }

DecodingBudget::~DecodingBudget() { current = outer; }

}  // namespace qpdf_reader
}  // namespace vellox
