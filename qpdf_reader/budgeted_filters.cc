#include "qpdf_reader/budgeted_filters.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFStreamFilter.hh>

#include "pdf/object.h"
#include "pdf/object_source.h"
#include "qpdf_reader/stream_decoders.h"

namespace vellox {
namespace qpdf_reader {
namespace {

thread_local DecodingBudget* current = nullptr;

// Output held for a predictor is handed on in pieces of this size.
constexpr std::size_t kPiece = 64 * 1024;

}  // namespace

// Runs a decoder within the thread's budget and hands its output on to
// qpdf, through the predictor when there is one.
class BudgetedDecoder : public Pipeline, private DecodedOutput {
 public:
  BudgetedDecoder(std::unique_ptr<StreamDecoder> decoder, pdf::Object predictor, Pipeline* next)
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

  std::unique_ptr<StreamDecoder> decoder;
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
    std::unique_ptr<StreamDecoder> decoder;
    switch (kind) {
      case Kind::kFlate:
        decoder = NewFlateDecoder();
        break;
      case Kind::kLzw:
        decoder = NewLzwDecoder(earlyChange);
        break;
      case Kind::kRunLength:
        decoder = NewRunLengthDecoder();
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
