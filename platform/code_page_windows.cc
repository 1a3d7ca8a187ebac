#include "platform/code_page.h"

#include <climits>
#include <new>
#include <string>

#include "platform/wide_text.h"

namespace vellox {
namespace platform {
namespace {

// Strings go to and come from the component in the thread's ANSI code
// page, without flags: what cannot be decoded or encoded takes the code
// page's own replacement, as every "A" function of the system does.
// Titles alone are converted without best fit (TitleFromWide).
constexpr UINT kConversionCodePage = CP_THREAD_ACP;

// A byte string longer than an int cannot be converted in one call; no
// path or title comes near it, so it counts as a failed allocation.
int CheckedLength(std::size_t n) {
  if (n > static_cast<std::size_t>(INT_MAX)) throw std::bad_alloc();
  return static_cast<int>(n);
}

std::string Narrow(const OLECHAR* s, std::size_t n) {
  if (n == 0) return std::string();
  const int length = CheckedLength(n);
  int bytes = WideCharToMultiByte(kConversionCodePage, 0, s, length, nullptr, 0,
                                  nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<std::size_t>(bytes), '\0');
  bytes = WideCharToMultiByte(kConversionCodePage, 0, s, length, &out[0], bytes,
                              nullptr, nullptr);
  out.resize(bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
  return out;
}

// Appends `s` (n units) without best fit: a character the code page lacks
// becomes its default character, never a look-alike ("e" for epsilon,
// "<" for an angle bracket), which would be a wrong title that looks
// right. `usedDefault` tells whether it did. False, with nothing
// appended, in the code pages that take no flags (UTF-8, GB18030, the
// ISO-2022 ones): they have a form for every character anyway.
bool AppendWithoutBestFit(const OLECHAR* s, std::size_t n, std::string* out, BOOL* usedDefault) {
  *usedDefault = FALSE;
  if (n == 0) return true;
  const int length = CheckedLength(n);
  int bytes = WideCharToMultiByte(kConversionCodePage, WC_NO_BEST_FIT_CHARS, s, length, nullptr,
                                  0, nullptr, usedDefault);
  if (bytes <= 0) {
    // UTF-8 refuses the flag, or the question whether it used a default.
    const DWORD error = GetLastError();
    return error != ERROR_INVALID_FLAGS && error != ERROR_INVALID_PARAMETER;
  }
  const std::size_t start = out->size();
  out->resize(start + static_cast<std::size_t>(bytes));
  bytes = WideCharToMultiByte(kConversionCodePage, WC_NO_BEST_FIT_CHARS, s, length, &(*out)[start],
                              bytes, nullptr, usedDefault);
  out->resize(start + (bytes > 0 ? static_cast<std::size_t>(bytes) : 0));
  return true;
}

// The code page's default character, one or two bytes.
std::string DefaultCharacter() {
  CPINFO info;
  if (!GetCPInfo(kConversionCodePage, &info)) return "?";
  return std::string(reinterpret_cast<const char*>(info.DefaultChar),
                     info.DefaultChar[1] == 0 ? 1 : 2);
}

bool IsHighSurrogate(OLECHAR c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(OLECHAR c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A title in the code page, each character it lacks as one default
// character. The system replaces a character beyond 16 bits (an emoji)
// per UTF-16 unit, two default characters for one character: such a pair
// is converted on its own and stands for one.
std::string TitleFromWide(const OLECHAR* s, std::size_t n) {
  std::string out;
  BOOL usedDefault = FALSE;
  if (!AppendWithoutBestFit(s, n, &out, &usedDefault)) return Narrow(s, n);
  if (!usedDefault) return out;
  out.clear();
  std::size_t start = 0;  // of the units not yet converted
  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (!IsHighSurrogate(s[i]) || !IsLowSurrogate(s[i + 1])) continue;
    AppendWithoutBestFit(s + start, i - start, &out, &usedDefault);
    const std::size_t before = out.size();
    AppendWithoutBestFit(s + i, 2, &out, &usedDefault);
    if (usedDefault) out.replace(before, std::string::npos, DefaultCharacter());
    start = i + 2;
    ++i;
  }
  AppendWithoutBestFit(s + start, n - start, &out, &usedDefault);
  return out;
}

}  // namespace

// The process starts in the user's ANSI code page already, and every
// conversion here names it explicitly; the C runtime's locale is used for
// nothing (its multibyte functions are never called), so it stays "C".
void InitializeCodePage() {}

// Titles and record texts are stepped through by characters of the system
// ANSI code page: in a double-byte code page the trail byte of a character
// can be 0x5C or another ASCII byte. (Paths are UTF-8: paths.h.)
std::size_t CharacterLength(const char* s, std::size_t n) {
  if (n == 0) return 0;
  if (n >= 2 && s[1] != '\0' && IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(s[0])))
    return 2;
  return 1;
}

bool CharacterAsUtf16Unit(const char* s, std::size_t length, char16_t* unit) {
  if (length == 0 || length > 4) return false;
  wchar_t units[2];
  if (MultiByteToWideChar(kConversionCodePage, 0, s, static_cast<int>(length), units, 2) != 1)
    return false;
  *unit = static_cast<char16_t>(units[0]);
  return true;
}

BSTR AllocStringFromBytes(const std::string& bytes) {
  // The component opens the file by this name; converting as the system's
  // "A" functions do lets it find the file that those functions would.
  std::wstring wide;
  if (!bytes.empty()) {
    const int length = CheckedLength(bytes.size());
    int units = MultiByteToWideChar(kConversionCodePage, 0, bytes.data(), length,
                                    nullptr, 0);
    if (units > 0) {
      wide.resize(static_cast<std::size_t>(units));
      units = MultiByteToWideChar(kConversionCodePage, 0, bytes.data(), length,
                                  &wide[0], units);
      wide.resize(units > 0 ? static_cast<std::size_t>(units) : 0);
    }
  }
  BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (result == nullptr) throw std::bad_alloc();
  return result;
}

std::string BytesFromWide(const OLECHAR* s, std::size_t n) {
  return Narrow(s, n);
}

std::string TextFromWide(const OLECHAR* s) {
  if (s == nullptr) return std::string();
  std::size_t n = 0;
  while (s[n] != L'\0') ++n;
  return TitleFromWide(s, n);
}

}  // namespace platform
}  // namespace vellox
