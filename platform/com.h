#ifndef VELLOX_PLATFORM_COM_H_
#define VELLOX_PLATFORM_COM_H_

// The component object model's types. Windows has them; elsewhere a small
// stand-in supplies the same names so that code talking to components reads
// the same on every platform.

#ifdef _WIN32

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <type_traits>

// Shared code spells UTF-16 as char16_t (u"" literals, std::u16string), as
// the stand-in below does; Windows' OLECHAR is a wchar_t with the same
// code units. A template, so that a null argument still picks the system's.
static_assert(sizeof(OLECHAR) == sizeof(char16_t), "OLECHAR must be UTF-16");
template <typename Char,
          typename = typename std::enable_if<std::is_same<Char, char16_t>::value>::type>
inline BSTR SysAllocStringLen(const Char* s, UINT length) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s), length);
}

#else  // !_WIN32

#include <cstdint>

typedef std::int32_t HRESULT;
typedef std::uint32_t ULONG;
typedef std::int32_t LONG;
typedef char16_t OLECHAR;
typedef OLECHAR* BSTR;

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;

inline bool IsEqualGUID(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
    return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
inline bool operator==(const GUID& a, const GUID& b) { return IsEqualGUID(a, b); }
inline bool operator!=(const GUID& a, const GUID& b) { return !IsEqualGUID(a, b); }

#define STDMETHODCALLTYPE
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#define HRESULT_FACILITY(hr) ((static_cast<HRESULT>(hr) >> 16) & 0x1FFF)
constexpr int FACILITY_ITF = 4;  // codes an interface defines for itself

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);

constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

 protected:
  ~IUnknown() = default;  // objects are destroyed through Release only
};

// Length-prefixed UTF-16 strings, allocated and freed by these two alone.
// Null when the allocation fails. `s` may be null (the string is then
// left uninitialised but terminated).
BSTR SysAllocStringLen(const OLECHAR* s, unsigned int length);
void SysFreeString(BSTR s);
unsigned int SysStringLen(BSTR s);

#endif  // _WIN32

#include <string>

namespace vellox {
namespace platform {

// Creates an in-process or local component. Where no component library
// exists the result is REGDB_E_CLASSNOTREG.
HRESULT CreateComponent(REFCLSID clsid, REFIID iid, void** object);

// The error description a component left for the calling thread with its
// last failing (or warning) call, taken away: the next call sees none.
// Empty when there is none.
std::string TakeComponentErrorText();
// Leaves such a description, given as the program holds messages (see
// wide_path.h), for the caller's side to take.
void SetComponentErrorText(const std::string& text);

// The system's text for a status code, one line; empty where it has none.
// Codes of FACILITY_ITF are the component library's where it returns them
// and a component's own where the component does: only the caller knows.
std::string SystemStatusText(HRESULT status);

// What the registration of a class shows about why its component could
// not be created; the status alone does not tell (Wine reports every such
// failure as REGDB_E_CLASSNOTREG when a local server may be asked too).
enum class ComponentRegistration {
  kNotRegistered,      // no registration that this process can see
  kOtherBitnessOnly,   // registered only for programs of the other bitness
  kServerMissing,      // its DLL is not where the registration says
  kServerOtherBitness, // its DLL is built for the other bitness
  kServerPresent,      // its DLL is there: the reason lies elsewhere
};
// `server` receives the DLL's path, where there is one.
ComponentRegistration CheckComponentRegistration(REFCLSID clsid, std::string* server);

}  // namespace platform
}  // namespace vellox

#endif  // VELLOX_PLATFORM_COM_H_
