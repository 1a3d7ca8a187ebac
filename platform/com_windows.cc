#include "platform/com.h"

#include <string>

#include "platform/component_library.h"
#include "platform/system_message_windows.h"
#include "platform/wide_path_windows.h"

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

constexpr bool kSixtyFourBit = sizeof(void*) == 8;

// The registry view of the other bitness: the 32-bit view of a 64-bit
// process, the 64-bit view of a 32-bit one (none on 32-bit Windows, where
// the flag is ignored and the same view is read again).
constexpr REGSAM kOtherView = kSixtyFourBit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

std::wstring ClassKey(REFCLSID clsid) {
  wchar_t guid[40] = L"";
  StringFromGUID2(clsid, guid, 40);
  return std::wstring(L"CLSID\\") + guid;
}

// In this process's own registry view.
bool ClassKeyExists(REFCLSID clsid) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, ClassKey(clsid).c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// The in-process server's registered file, in the registry view `view`
// selects (0: this process's own); false when the class has none there.
bool RegisteredServer(REFCLSID clsid, REGSAM view, std::wstring* server) {
  const std::wstring subkey = ClassKey(clsid) + L"\\InprocServer32";
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subkey.c_str(), 0, KEY_QUERY_VALUE | view, &key) !=
      ERROR_SUCCESS)
    return false;
  DWORD type = 0, bytes = 0;
  LONG status = RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &bytes);
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
    status = RegQueryValueExW(key, nullptr, nullptr, &type,
                              reinterpret_cast<BYTE*>(&value[0]), &bytes);
  } else {
    status = ERROR_FILE_NOT_FOUND;
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return false;
  value.resize(wcslen(value.c_str()));
  if (type == REG_EXPAND_SZ) {
    const DWORD length = ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
    std::wstring expanded(length, L'\0');
    if (length > 0 && ExpandEnvironmentStringsW(value.c_str(), &expanded[0], length) == length) {
      expanded.resize(length - 1);
      value = expanded;
    }
  }
  // Installers sometimes quote the path.
  if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
    value = value.substr(1, value.size() - 2);
  *server = value;
  return true;
}

// The server file as the loader finds it: a bare name is searched for.
bool FindServer(const std::wstring& server, std::wstring* found) {
  if (server.find_first_of(L"\\/") != std::wstring::npos) {
    *found = server;
    return GetFileAttributesW(server.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  wchar_t path[MAX_PATH];
  const DWORD length = SearchPathW(nullptr, server.c_str(), nullptr, MAX_PATH, path, nullptr);
  if (length == 0 || length >= MAX_PATH) {
    *found = server;
    return false;
  }
  *found = path;
  return true;
}

enum class ImageBitness { kUnknown, k32, k64 };

// From the optional header's magic number: PE32 or PE32+.
ImageBitness BitnessOf(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ImageBitness::kUnknown;
  auto readAt = [file](LONG offset, void* into, DWORD size) {
    DWORD got = 0;
    return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, into, size, &got, nullptr) && got == size;
  };
  ImageBitness bitness = ImageBitness::kUnknown;
  IMAGE_DOS_HEADER dos;
  DWORD signature = 0;
  WORD magic = 0;
  if (readAt(0, &dos, sizeof dos) && dos.e_magic == IMAGE_DOS_SIGNATURE && dos.e_lfanew > 0 &&
      readAt(dos.e_lfanew, &signature, sizeof signature) && signature == IMAGE_NT_SIGNATURE &&
      readAt(dos.e_lfanew + sizeof signature + sizeof(IMAGE_FILE_HEADER), &magic, sizeof magic)) {
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) bitness = ImageBitness::k32;
    if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) bitness = ImageBitness::k64;
  }
  CloseHandle(file);
  return bitness;
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
  // A message, which names paths: any character may be in it.
  if (SUCCEEDED(info->GetDescription(&description)) && description != nullptr)
    text = MessageFromWide(description, wcslen(description));
  SysFreeString(description);
  info->Release();
  // Descriptions often end in a line break; the message is one line.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

void SetComponentErrorText(const std::string& text) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return;
  // Messages are held as paths are.
  std::wstring description = WideString(text);
  create->SetDescription(&description[0]);
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

std::string SystemStatusText(HRESULT status) { return SystemMessage(static_cast<DWORD>(status)); }

ComponentRegistration CheckComponentRegistration(REFCLSID clsid, std::string* server) {
  server->clear();
  std::wstring registered;
  if (!RegisteredServer(clsid, 0, &registered)) {
    // A class without a DLL may still be served otherwise (a local server).
    if (ClassKeyExists(clsid)) return ComponentRegistration::kServerPresent;
    return RegisteredServer(clsid, kOtherView, &registered)
               ? ComponentRegistration::kOtherBitnessOnly
               : ComponentRegistration::kNotRegistered;
  }
  std::wstring found;
  const bool present = FindServer(registered, &found);
  *server = PathFromWide(found);
  if (!present) return ComponentRegistration::kServerMissing;
  const ImageBitness bitness = BitnessOf(found);
  if (bitness == (kSixtyFourBit ? ImageBitness::k32 : ImageBitness::k64))
    return ComponentRegistration::kServerOtherBitness;
  return ComponentRegistration::kServerPresent;
}

}  // namespace platform
}  // namespace vellox
