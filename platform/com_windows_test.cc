#include "platform/com.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "platform/component_library.h"
#include "test_util.h"

namespace vellox {
namespace platform {
namespace {

class ComTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCodePage();
    InitializeComponentLibrary();
  }
  void TearDown() override { UninitializeComponentLibrary(); }
};

TEST_F(ComTest, SystemCodesInTheSystemsWords) {
  // As one line for "vellox: ...".
  for (HRESULT status : {E_FAIL, E_ACCESSDENIED, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)}) {
    std::string text = SystemStatusText(status);
    EXPECT_FALSE(text.empty()) << std::hex << status;
    EXPECT_EQ(text.find("0x"), std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), '.') << text;
  }
  EXPECT_EQ(SystemStatusText(static_cast<HRESULT>(0x8FFF1234)), "");
}

TEST_F(ComTest, ErrorTextIsTakenOnce) {
  EXPECT_EQ(TakeComponentErrorText(), "");
  SetComponentErrorText("not a PDF file");
  EXPECT_EQ(TakeComponentErrorText(), "not a PDF file");
  EXPECT_EQ(TakeComponentErrorText(), "");
  SetComponentErrorText("damaged\r\n");
  EXPECT_EQ(TakeComponentErrorText(), "damaged");
  // A message, in any code page: it may name a path.
  SetComponentErrorText("a \xE0\xB8\x81 \xE6\x97\xA5 b");  // Thai, Japanese
  EXPECT_EQ(TakeComponentErrorText(), "a \xE0\xB8\x81 \xE6\x97\xA5 b");
}

TEST_F(ComTest, UnregisteredClassIsNotRegistered) {
  const CLSID unknown = {0x5479AE9E, 0xD618, 0x4D2E, {0x84, 0x96, 0, 0, 0, 0, 0, 0}};
  void* object = reinterpret_cast<void*>(1);
  HRESULT status = CreateComponent(unknown, IID_IUnknown, &object);
  EXPECT_EQ(status, REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  std::string server = "untouched";
  EXPECT_EQ(CheckComponentRegistration(unknown, &server), ComponentRegistration::kNotRegistered);
  EXPECT_EQ(server, "");
}

// {5479AE9E-D618-4D2E-8496-00000000C0DE}: no class of anyone's.
constexpr CLSID kTestClass = {0x5479AE9E, 0xD618, 0x4D2E,
                              {0x84, 0x96, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xDE}};
const wchar_t kTestClassKey[] =
    L"Software\\Classes\\CLSID\\{5479AE9E-D618-4D2E-8496-00000000C0DE}";

// The headers the loader looks at first, of a DLL of either bitness.
std::string PortableExecutable(bool sixtyFourBit) {
  std::string image(512, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = 0x80;  // e_lfanew
  image.replace(0x80, 4, std::string("PE\0\0", 4));
  image[0x84] = sixtyFourBit ? '\x64' : '\x4C';  // Machine: AMD64 or i386
  image[0x85] = sixtyFourBit ? '\x86' : '\x01';
  image[0x98] = 0x0B;  // optional header magic: 0x10B or 0x20B
  image[0x99] = sixtyFourBit ? 0x02 : 0x01;
  return image;
}

class RegistrationTest : public ComTest {
 protected:
  void TearDown() override {
    Unregister();
    ComTest::TearDown();
  }
  void Unregister() {
    const std::wstring server = std::wstring(kTestClassKey) + L"\\InprocServer32";
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, server.c_str(), view, 0);
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestClassKey, view, 0);
    }
  }
  // Registers the test class, in the view `view` selects: its server
  // `server` as a value of `type`, or no InprocServer32 key when null.
  void Register(const wchar_t* server, DWORD type = REG_SZ, REGSAM view = 0) {
    const std::wstring key =
        std::wstring(kTestClassKey) + (server != nullptr ? L"\\InprocServer32" : L"");
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | view, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    if (server != nullptr) {
      RegSetValueExW(handle, nullptr, 0, type, reinterpret_cast<const BYTE*>(server),
                     static_cast<DWORD>((wcslen(server) + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(handle);
  }
  // The scratch folder's paths are ASCII.
  std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }
  std::string GetSystemFolder() {
    char folder[MAX_PATH];
    return std::string(folder, GetSystemDirectoryA(folder, MAX_PATH));
  }

  testing::ScratchDirectory scratch;
};

TEST_F(RegistrationTest, TheRegistrationSaysWhyThereIsNoComponent) {
  constexpr bool kSixtyFour = sizeof(void*) == 8;
  const std::string other = scratch.Path("other.dll"), same = scratch.Path("same.dll");
  testing::WriteFile(other, PortableExecutable(!kSixtyFour));
  testing::WriteFile(same, PortableExecutable(kSixtyFour));
  testing::WriteFile(scratch.Path("text.dll"), "no DLL");
  SetEnvironmentVariableW(L"VELLOX_TEST_FOLDER", Wide(scratch.path()).c_str());
  const std::string missing = scratch.Path("missing.dll");
  struct Case {
    const char* name;
    std::wstring server;  // empty: no InprocServer32 key at all
    DWORD type;
    REGSAM view;
    ComponentRegistration expected;
    std::string expectedServer;
  } cases[] = {
      {"a DLL that is not there", Wide(missing), REG_SZ, 0,
       ComponentRegistration::kServerMissing, missing},
      {"a DLL of the other bitness", Wide(other), REG_SZ, 0,
       ComponentRegistration::kServerOtherBitness, other},
      {"quoted", L"\"" + Wide(other) + L"\"", REG_SZ, 0,
       ComponentRegistration::kServerOtherBitness, other},
      {"in the environment's words", L"%VELLOX_TEST_FOLDER%\\other.dll", REG_EXPAND_SZ, 0,
       ComponentRegistration::kServerOtherBitness, other},
      {"a DLL of this bitness", Wide(same), REG_SZ, 0, ComponentRegistration::kServerPresent,
       same},
      {"no DLL at all, whatever its name", Wide(scratch.Path("text.dll")), REG_SZ, 0,
       ComponentRegistration::kServerPresent, scratch.Path("text.dll")},
      {"found on the search path", L"kernel32.dll", REG_SZ, 0,
       ComponentRegistration::kServerPresent, GetSystemFolder() + "\\kernel32.dll"},
      {"no server key (another kind of server)", L"", REG_SZ, 0,
       ComponentRegistration::kServerPresent, ""},
      {"only in the other view", Wide(other), REG_SZ,
       kSixtyFour ? KEY_WOW64_32KEY : KEY_WOW64_64KEY, ComponentRegistration::kOtherBitnessOnly,
       ""},
  };
  for (const Case& c : cases) {
    Unregister();
    Register(c.server.empty() ? nullptr : c.server.c_str(), c.type, c.view);
    std::string server;
    EXPECT_EQ(CheckComponentRegistration(kTestClass, &server), c.expected) << c.name;
    if (!c.expectedServer.empty()) {
      EXPECT_EQ(server, c.expectedServer) << c.name;
    }
  }
  SetEnvironmentVariableW(L"VELLOX_TEST_FOLDER", nullptr);
}

}  // namespace
}  // namespace platform
}  // namespace vellox
