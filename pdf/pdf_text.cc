#include "pdf/pdf_text.h"

#include <cstddef>
#include <cstdint>

#include "platform/unicode.h"

namespace vellox {
namespace pdf {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kLanguageEscape = 0x001B;

// PDFDocEncoding where it differs from Latin-1: 0x18-0x1F are spacing
// accents and 0x80-0xA0 typographic characters; 0x7F, 0x9F and 0xAD name
// no character.
constexpr char16_t kLow[8] = {0x02D8, 0x02C7, 0x02C6, 0x02D9,
                              0x02DD, 0x02DB, 0x02DA, 0x02DC};
constexpr char16_t kHigh[0xAE - 0x80] = {
    0x2022, 0x2020, 0x2021, 0x2026, 0x2014, 0x2013, 0x0192, 0x2044,  // 80
    0x2039, 0x203A, 0x2212, 0x2030, 0x201E, 0x201C, 0x201D, 0x2018,  // 88
    0x2019, 0x201A, 0x2122, 0xFB01, 0xFB02, 0x0141, 0x0152, 0x0160,  // 90
    0x0178, 0x017D, 0x0131, 0x0142, 0x0153, 0x0161, 0x017E, 0xFFFD,  // 98
    0x20AC, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0xFFFD,                  // A8
};

char16_t FromPdfDocEncoding(unsigned char b) {
  if (b >= 0x18 && b <= 0x1F) return kLow[b - 0x18];
  if (b == 0x7F) return kReplacement;
  if (b >= 0x80 && b <= 0xAD) return kHigh[b - 0x80];
  return b;
}

// Code units from `bytes` after the mark; a surrogate without its partner
// and an odd last byte become U+FFFD, language escapes are dropped (an
// unclosed one runs to the end).
std::u16string DecodeUtf16(const std::string& bytes, bool bigEndian) {
  const std::size_t units = (bytes.size() - 2) / 2;
  std::u16string out;
  out.reserve(units + 1);
  auto unit = [&](std::size_t i) -> char16_t {
    auto hi = static_cast<unsigned char>(bytes[2 + 2 * i + (bigEndian ? 0 : 1)]);
    auto lo = static_cast<unsigned char>(bytes[2 + 2 * i + (bigEndian ? 1 : 0)]);
    return static_cast<char16_t>((hi << 8) | lo);
  };
  bool inEscape = false;
  for (std::size_t i = 0; i < units; ++i) {
    char16_t c = unit(i);
    if (c == kLanguageEscape) {
      inEscape = !inEscape;
      continue;
    }
    if (inEscape) continue;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
      char16_t next = unit(i + 1);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        out.push_back(c);
        out.push_back(next);
        ++i;
        continue;
      }
    }
    out.push_back(c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
  }
  if ((bytes.size() % 2) != 0 && !inEscape) out.push_back(kReplacement);
  return out;
}

// UTF-8 after the mark; each byte that starts no valid, shortest-form
// sequence becomes one U+FFFD.
std::u16string DecodeUtf8(const std::string& bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (std::size_t i = 3; i < bytes.size();) {
    char32_t c = 0;
    const std::size_t length = platform::DecodeUtf8(bytes.data() + i, bytes.size() - i, &c);
    if (length == 0) {
      out.push_back(kReplacement);
      ++i;
    } else {
      platform::AppendUtf16(c, &out);
      i += length;
    }
  }
  return out;
}

// Whitespace or a control character: a break between words, whatever its
// kind. U+00A0, U+2007 and U+202F do not break, so they are not here.
bool IsBreak(char16_t c) {
  if (c <= 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
  if (c < 0x1680) return false;
  return c == 0x1680 || (c >= 0x2000 && c <= 0x200A && c != 0x2007) || c == 0x2028 ||
         c == 0x2029 || c == 0x205F || c == 0x3000;
}

}  // namespace

std::u16string NormalizeTitle(const std::u16string& title) {
  std::u16string out;
  out.reserve(title.size());
  bool pendingSpace = false;
  for (char16_t c : title) {
    if (IsBreak(c)) {
      pendingSpace = !out.empty();
      continue;
    }
    if (pendingSpace) out.push_back(u' ');
    pendingSpace = false;
    out.push_back(c);
  }
  return out;
}

std::u16string DecodeTitle(const std::string& bytes) {
  std::u16string title = DecodePdfText(bytes);
  const std::size_t nul = title.find(u'\0');
  if (nul != std::u16string::npos) title.resize(nul);
  return NormalizeTitle(title);
}

std::u16string DecodePdfText(const std::string& bytes) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
  };
  if (bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF)
    return DecodeUtf16(bytes, true);
  if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE)
    return DecodeUtf16(bytes, false);
  if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF)
    return DecodeUtf8(bytes);
  std::u16string out;
  out.reserve(bytes.size());
  for (char c : bytes) out.push_back(FromPdfDocEncoding(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace pdf
}  // namespace vellox
