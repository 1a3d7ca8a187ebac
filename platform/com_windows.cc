#include "platform/com.h"

#include <cstdio>
#include <string>

#include "platform/code_page.h"
#include "platform/system_message_windows.h"

namespace vellox {
namespace platform {
namespace {

// In-process server, in-process handler or local server, whichever the
// registration offers. The component ships as a 32-bit in-process server
// (a DLL): only a 32-bit process can load it, and such a process on 64-bit
// Windows finds its registration in the 32-bit view of the registry, where
// the component's installer writes it. So the 32-bit vellox.exe reaches a
// 32-bit component directly; the 64-bit one falls back on the built-in
// reader unless a 64-bit component (or a surrogate) is registered.
constexpr DWORD kClassContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
static_assert((kClassContext & CLSCTX_INPROC_SERVER) != 0,
              "the component is an in-process server");

constexpr HRESULT FromWin32(DWORD error) {
  return static_cast<HRESULT>((error & 0xFFFF) | (FACILITY_WIN32 << 16) | 0x80000000u);
}

// Codes with which the component library says that no component is
// registered under the class, or that its registration leads nowhere.
bool MeansNotAvailable(HRESULT status) {
  switch (status) {
    case REGDB_E_CLASSNOTREG:
    case CLASS_E_CLASSNOTAVAILABLE:
    case CO_E_DLLNOTFOUND:
    case CO_E_APPNOTFOUND:
    case CO_E_ERRORINDLL:
    case FromWin32(ERROR_MOD_NOT_FOUND):
    case FromWin32(ERROR_BAD_EXE_FORMAT):
    case FromWin32(ERROR_PROC_NOT_FOUND):
      return true;
    default:
      return false;
  }
}

}  // namespace

void InitializeComponentLibrary() { CoInitialize(nullptr); }
void UninitializeComponentLibrary() { CoUninitialize(); }

HRESULT CreateComponent(REFCLSID clsid, REFIID iid, void** object) {
  return CoCreateInstance(clsid, nullptr, kClassContext, iid, object);
}

std::string TakeComponentErrorText() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return std::string();
  BSTR description = nullptr;
  std::string text;
  if (SUCCEEDED(info->GetDescription(&description))) text = TextFromWide(description);
  SysFreeString(description);
  info->Release();
  // Descriptions often end in a line break; the message is one line.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

void SetComponentErrorText(const std::u16string& text) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return;
  // OLECHAR is a 16-bit wchar_t here: the same code units.
  std::wstring description(text.begin(), text.end());
  create->SetDescription(&description[0]);
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

std::string DescribeStatus(HRESULT status) {
  if (MeansNotAvailable(status)) return "the PDF document component is not available";
  // The same words as on POSIX for the two codes the walker itself uses.
  if (status == E_OUTOFMEMORY) return "out of memory";
  if (status == E_NOINTERFACE) return "the PDF document component offers no outline";
  // Interface-specific codes mean what the component means by them; the
  // system's text for the same number would be another component's.
  if (HRESULT_FACILITY(status) != FACILITY_ITF) {
    std::string text = SystemMessage(static_cast<DWORD>(status));
    if (!text.empty()) return text;
  }
  char text[48];
  std::snprintf(text, sizeof text, "the PDF document component failed (0x%08X)",
                static_cast<unsigned>(status));
  return text;
}

}  // namespace platform
}  // namespace vellox
