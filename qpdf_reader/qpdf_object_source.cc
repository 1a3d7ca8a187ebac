#include "qpdf_reader/qpdf_object_source.h"

#include <new>
#include <string>
#include <utility>

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "pdf/budgets.h"

namespace vellox {
namespace qpdf_reader {
namespace {

using pdf::Object;

// Longest qpdf message quoted in a reason.
constexpr std::size_t kMaxQuoted = 160;

// qpdf messages may quote bytes of the file.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (out.size() >= kMaxQuoted) {
      out += "...";
      break;
    }
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) {
      if (!out.empty() && out.back() != ' ') out.push_back(' ');
    } else {
      out.push_back(b < 0x80 ? c : '?');
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// Copies `handle`; nested indirect objects stay references.
Object Convert(QPDFObjectHandle handle, bool top, int depth) {
  if (!top && handle.isIndirect()) {
    const QPDFObjGen id = handle.getObjGen();
    if (id.getObj() <= 0 || id.getGen() < 0) return Object();
    return Object::Reference(pdf::ObjectId{static_cast<std::uint32_t>(id.getObj()),
                                           static_cast<std::uint32_t>(id.getGen())});
  }
  // Deeper direct objects read as null; qpdf's own parser stops well before.
  if (depth > pdf::kMaxNestingDepth) return Object();
  if (handle.isBool()) return Object::Boolean(handle.getBoolValue());
  if (handle.isInteger()) return Object::Integer(handle.getIntValue());
  if (handle.isReal()) return Object::Real(handle.getNumericValue());
  if (handle.isString()) return Object::String(handle.getStringValue());
  if (handle.isName()) return Object::Name(handle.getName().substr(1));
  if (handle.isArray()) {
    pdf::Array items;
    const int count = handle.getArrayNItems();
    items.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) items.push_back(Convert(handle.getArrayItem(i), false, depth + 1));
    return Object::MakeArray(std::move(items));
  }
  if (handle.isDictionary() || handle.isStream()) {
    const bool stream = handle.isStream();
    QPDFObjectHandle dictionary = stream ? handle.getDict() : handle;
    pdf::Dictionary entries;
    for (auto& entry : dictionary.ditems())
      entries.emplace_back(entry.first.substr(1), Convert(entry.second, false, depth + 1));
    return Object::MakeDictionary(std::move(entries), stream);
  }
  return Object();
}

template <typename Body>
Object Guarded(Body&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const pdf::ReadError&) {
    throw;
  } catch (const std::exception& e) {
    throw pdf::ReadError(pdf::ReadFault::kDamaged, DescribeQpdfError(e));
  }
}

}  // namespace

std::string DescribeQpdfError(const std::exception& error) {
  if (auto* pdfError = dynamic_cast<const QPDFExc*>(&error)) {
    std::string text = pdfError->getMessageDetail();
    if (!pdfError->getObject().empty()) text += " in " + pdfError->getObject();
    return OneLine(text);
  }
  return OneLine(error.what());
}

Object QpdfObjectSource::Catalog() {
  return Guarded([&] { return Convert(pdf->getRoot(), true, 0); });
}

Object QpdfObjectSource::Resolve(const Object& object) {
  if (!object.IsReference()) return object;
  return Guarded([&] {
    const pdf::ObjectId id = object.Id();
    return Convert(pdf->getObject(static_cast<int>(id.number), static_cast<int>(id.generation)),
                   true, 0);
  });
}

}  // namespace qpdf_reader
}  // namespace vellox
