#include "reader_agreement.h"

#include <cstdint>
#include <optional>
#include <string>

#include "builtin_reader/builtin_reader.h"
#include "qpdf_reader/outline_reader.h"

namespace vellox {
namespace testing {
namespace {

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else {
      out += "\\u" + std::to_string(static_cast<unsigned>(unit));
    }
  }
  return out;
}

std::string PageText(const std::optional<std::int32_t>& page) {
  return page ? std::to_string(*page) : "none";
}

}  // namespace

std::string OutlineDifference(const OutlineTree& builtin, const OutlineTree& qpdf) {
  if (builtin.nodes.size() != qpdf.nodes.size())
    return "built-in reader: " + std::to_string(builtin.nodes.size() - 1) + " items, qpdf: " +
           std::to_string(qpdf.nodes.size() - 1);
  for (std::size_t i = 1; i < builtin.nodes.size(); ++i) {
    const auto& a = builtin.nodes[i];
    const auto& b = qpdf.nodes[i];
    const auto node = static_cast<std::int32_t>(i);
    const std::string where = "item " + std::to_string(i) + ": ";
    if (a.parent != b.parent || a.firstChild != b.firstChild || a.nextSibling != b.nextSibling)
      return where + "placed differently in the tree";
    if (a.page != b.page)
      return where + "page " + PageText(a.page) + " vs " + PageText(b.page);
    if (builtin.Title(node) != qpdf.Title(node))
      return where + "title '" + Utf8(builtin.Title(node)) + "' vs '" + Utf8(qpdf.Title(node)) + "'";
  }
  return "";
}

std::string CompareReaders(const std::string& path, std::string* handedOver, bool qpdfMustRead) {
  StatusOr<OutlineTree> builtin = pdf::ReadWithBuiltinReader(path);
  if (!builtin.ok()) {
    if (handedOver != nullptr) *handedOver = builtin.status().message();
    return "";
  }
  StatusOr<OutlineTree> qpdf = qpdf_reader::ReadWithQpdf(path);
  if (!qpdf.ok())
    return qpdfMustRead ? "the built-in reader read what qpdf cannot: " + qpdf.status().message()
                        : "";
  // Where qpdf finds damage and repairs it, what it rebuilds is a guess of
  // its own, not the file's outline; only a clean read is the reference.
  if (!qpdf->repairNote.empty()) return "";
  return OutlineDifference(*builtin, *qpdf);
}

Readers ReadersWithQpdfLinked() {
  Readers readers;
  readers.fallback = [] { return StatusOr<Readers::FallbackReader>(&qpdf_reader::ReadWithQpdf); };
  return readers;
}

}  // namespace testing
}  // namespace vellox
