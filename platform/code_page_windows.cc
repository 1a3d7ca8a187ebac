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
  return Narrow(s, n);
}

}  // namespace platform
}  // namespace vellox
