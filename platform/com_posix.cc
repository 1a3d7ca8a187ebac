#include "platform/com.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/code_page.h"
#include "platform/component_library.h"

// A BSTR points just past a 32-bit byte count and is NUL-terminated, as on
// Windows, so that code written for one works with the other.
BSTR SysAllocStringLen(const OLECHAR* s, unsigned int length) {
  if (length > (UINT32_MAX - sizeof(std::uint32_t)) / sizeof(OLECHAR) - 1)
    return nullptr;
  std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
  void* block = std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR));
  if (block == nullptr) return nullptr;
  std::uint32_t count = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &count, sizeof count);
  BSTR string = reinterpret_cast<BSTR>(static_cast<char*>(block) + sizeof count);
  if (s != nullptr) std::memcpy(string, s, bytes);
  string[length] = 0;
  return string;
}

void SysFreeString(BSTR s) {
  if (s != nullptr) std::free(reinterpret_cast<char*>(s) - sizeof(std::uint32_t));
}

unsigned int SysStringLen(BSTR s) {
  if (s == nullptr) return 0;
  std::uint32_t count;
  std::memcpy(&count, reinterpret_cast<char*>(s) - sizeof count, sizeof count);
  return count / sizeof(OLECHAR);
}

namespace vellox {
namespace platform {
namespace {
// No component library keeps it here: the thread does.
thread_local std::string t_errorText;
}  // namespace

void InitializeComponentLibrary() {}
void UninitializeComponentLibrary() {}

HRESULT CreateComponent(REFCLSID, REFIID, void** object) {
  if (object != nullptr) *object = nullptr;
  return REGDB_E_CLASSNOTREG;
}

std::string TakeComponentErrorText() {
  std::string text;
  text.swap(t_errorText);
  return text;
}

void SetComponentErrorText(const std::string& text) { t_errorText = text; }

// No system library defines status codes here.
std::string SystemStatusText(HRESULT) { return std::string(); }

ComponentRegistration CheckComponentRegistration(REFCLSID, std::string* server) {
  server->clear();
  return ComponentRegistration::kNotRegistered;
}

}  // namespace platform
}  // namespace vellox
