#include "platform/code_page.h"

#include <langinfo.h>

#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

#include "platform/unicode.h"
#include "platform/wide_text.h"

namespace vellox {
namespace platform {
namespace {

// UTF-8 is decoded here directly (also in the C locale, whose ASCII would
// mangle every non-ASCII name); other character sets go through mbrtowc.
bool g_utf8 = true;

constexpr char16_t kEscapeBase = 0xDC00;  // + byte, for undecodable bytes
constexpr char kDefaultCharacter = '?';

std::size_t DecodeLocale(const char* s, std::size_t n, char32_t* out) {
  std::mbstate_t state{};
  wchar_t w = 0;
  std::size_t length = std::mbrtowc(&w, s, n, &state);
  if (length == static_cast<std::size_t>(-1) ||
      length == static_cast<std::size_t>(-2))
    return 0;
  *out = static_cast<char32_t>(w);
  return length == 0 ? 1 : length;  // an embedded NUL is one byte
}

std::size_t Decode(const char* s, std::size_t n, char32_t* out) {
  return g_utf8 ? DecodeUtf8(s, n, out) : DecodeLocale(s, n, out);
}

// Appends `c` in the active character set; false when it has no form there.
bool Encode(char32_t c, std::string* out) {
  if (g_utf8) {
    if (c < 0x80) {
      out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out->push_back(static_cast<char>(0xC0 | (c >> 6)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out->push_back(static_cast<char>(0xE0 | (c >> 12)));
      out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xF0 | (c >> 18)));
      out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return true;
  }
  char buffer[MB_LEN_MAX];
  std::mbstate_t state{};
  std::size_t length = std::wcrtomb(buffer, static_cast<wchar_t>(c), &state);
  if (length == static_cast<std::size_t>(-1)) return false;
  out->append(buffer, length);
  return true;
}

// UTF-16 to bytes. With `escapes`, U+DC00..U+DCFF standing alone give back
// the byte they carry; any other unpaired surrogate or unencodable
// character becomes the default character.
std::string FromUtf16(const OLECHAR* s, std::size_t n, bool escapes) {
  std::string out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      if (escapes && c <= 0xDCFF && c >= kEscapeBase) {
        out.push_back(static_cast<char>(c - kEscapeBase));
      } else {
        out.push_back(kDefaultCharacter);
      }
      continue;
    }
    if (!Encode(c, &out)) out.push_back(kDefaultCharacter);
  }
  return out;
}

// True when the environment names, for LC_CTYPE, the C locale or one whose
// character set is UTF-8: what setlocale would take (LC_ALL, else
// LC_CTYPE, else LANG) read as it reads a name, "language_TERRITORY.codeset
// @modifier", the codeset compared in letters and digits, case aside.
bool NamesCOrUtf8Locale() {
  const char* name = nullptr;
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    name = std::getenv(variable);
    if (name != nullptr && *name != '\0') break;
  }
  if (name == nullptr || *name == '\0' || std::strcmp(name, "C") == 0 ||
      std::strcmp(name, "POSIX") == 0)
    return true;
  const char* dot = std::strchr(name, '.');
  if (dot == nullptr) return false;
  std::string codeset;
  for (const char* p = dot + 1; *p != '\0' && *p != '@'; ++p) {
    const char c = *p;
    if (c >= 'A' && c <= 'Z') codeset.push_back(static_cast<char>(c - 'A' + 'a'));
    else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) codeset.push_back(c);
  }
  return codeset == "utf8";
}

}  // namespace

void InitializeCodePage() {
  // The C locale and every UTF-8 one decode alike here, with no locale
  // loaded: most runs need not read the locale's files at all.
  if (NamesCOrUtf8Locale()) {
    g_utf8 = true;
    return;
  }
  // Only the character set is the user's: numbers stay the C way, and
  // loading the other categories would cost a dozen file look-ups per run.
  std::setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  // The C locale's ASCII is taken as UTF-8, which every ASCII string is too.
  g_utf8 = codeset == nullptr || std::strcmp(codeset, "UTF-8") == 0 ||
           std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
           std::strcmp(codeset, "ASCII") == 0;
}

std::size_t CharacterLength(const char* s, std::size_t n) {
  if (n == 0) return 0;
  char32_t c;
  std::size_t length = Decode(s, n, &c);
  return length == 0 ? 1 : length;
}

bool CharacterAsUtf16Unit(const char* s, std::size_t length, char16_t* unit) {
  // As AllocStringFromBytes converts, counting the units it would make.
  std::size_t units = 0;
  for (std::size_t i = 0; i < length;) {
    char32_t c;
    const std::size_t decoded = Decode(s + i, length - i, &c);
    if (decoded == 0) {
      c = kEscapeBase + static_cast<unsigned char>(s[i]);
      i += 1;
    } else {
      i += decoded;
    }
    units += c > 0xFFFF ? 2 : 1;
    if (units > 1) return false;
    *unit = static_cast<char16_t>(c);
  }
  return units == 1;
}

BSTR AllocStringFromBytes(const std::string& bytes) {
  std::u16string wide;
  wide.reserve(bytes.size());
  const char* s = bytes.data();
  std::size_t n = bytes.size();
  for (std::size_t i = 0; i < n;) {
    char32_t c;
    std::size_t length = Decode(s + i, n - i, &c);
    if (length == 0) {
      wide.push_back(static_cast<char16_t>(
          kEscapeBase + static_cast<unsigned char>(s[i])));
      ++i;
    } else {
      AppendUtf16(c, &wide);
      i += length;
    }
  }
  BSTR result = SysAllocStringLen(wide.data(), static_cast<unsigned>(wide.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

std::string BytesFromWide(const OLECHAR* s, std::size_t n) {
  return FromUtf16(s, n, /*escapes=*/true);
}

std::string TextFromWide(const OLECHAR* s) {
  if (s == nullptr) return std::string();
  std::size_t n = 0;
  while (s[n] != 0) ++n;
  return FromUtf16(s, n, /*escapes=*/false);
}

}  // namespace platform
}  // namespace vellox
