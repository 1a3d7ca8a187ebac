#include "platform/wide_path_windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/paths.h"
#include "platform/random_access_file.h"
#include "test_util.h"

// Names with characters that the ANSI code page lacks (Japanese and Greek
// in code page 1252, Greek with accents in 932) reach every call that
// names a file, and come back from the system as they are.
namespace vellox {
namespace platform {
namespace {

const std::string kJapanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // U+65E5 U+672C U+8A9E
const std::string kGreek = "\xCE\x92\xCE\xB9\xCE\xB2\xCE\xBB\xCE\xAF\xCE\xBF";  // "Biblio"

TEST(WidePathTest, EveryCharacterSurvivesTheTrip) {
  struct Case {
    std::string path;
    std::wstring wide;
  } cases[] = {
      {"", L""},
      {"C:\\My Books\\book.pdf", L"C:\\My Books\\book.pdf"},
      {"C:\\" + kJapanese + ".pdf", L"C:\\\u65E5\u672C\u8A9E.pdf"},
      {kGreek, L"\u0392\u03B9\u03B2\u03BB\u03AF\u03BF"},
      {"\xE0\xB8\x81 \xF0\x9F\x93\x96", L"\u0E01 \U0001F4D6"},  // Thai; beyond 16 bits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WidePath(c.path), c.wide) << c.path;
    EXPECT_EQ(PathFromWide(c.wide), c.path) << c.path;
    BSTR string = AllocStringFromPath(c.path);
    EXPECT_EQ(std::wstring(string, SysStringLen(string)), c.wide) << c.path;
    SysFreeString(string);
  }
}

class WideNamesTest : public ::testing::Test {
 protected:
  // `name` (UTF-8) in the scratch folder; ScratchDirectory::Path takes
  // names in the ANSI code page.
  std::string Path(const std::string& name) const { return scratch.path() + "\\" + name; }
  // A file of `bytes` named `name` in the scratch folder.
  std::string Create(const std::string& name, const std::string& bytes) {
    const std::string path = Path(name);
    HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                              nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << name;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
  }

  testing::ScratchDirectory scratch;
};

TEST_F(WideNamesTest, FilesAreFoundListedAndRead) {
  const std::string japanese = Create(kJapanese + ".pdf", "one");
  const std::string greek = Create(kGreek + ".pdf", "two");
  ASSERT_TRUE(CreateDirectoryW(WidePath(Path(kGreek)).c_str(), nullptr));

  EXPECT_EQ(KindOf(japanese), FileKind::kRegular);
  EXPECT_EQ(KindOf(Path(kGreek)), FileKind::kDirectory);
  EXPECT_EQ(KindOf(Path(kJapanese + ".pdr")), FileKind::kMissing);
  EXPECT_TRUE(IsSameFile(japanese, Path(kGreek + "\\..\\" + kJapanese + ".pdf")));
  EXPECT_FALSE(IsSameFile(japanese, greek));

  std::vector<DirectoryEntry> entries;
  ASSERT_TRUE(ListDirectory(scratch.path(), &entries).ok());
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : entries) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{kGreek, kGreek + ".pdf", kJapanese + ".pdf"}));

  for (const auto& file : {std::make_pair(japanese, "one"), std::make_pair(greek, "two")}) {
    std::unique_ptr<RandomAccessFile> opened;
    ASSERT_TRUE(OpenRandomAccessFile(file.first, &opened).ok()) << file.first;
    std::string bytes;
    ASSERT_TRUE(opened->Read(0, 16, &bytes).ok());
    EXPECT_EQ(bytes, file.second);
  }
}

TEST_F(WideNamesTest, PathsAreCombinedWhole) {
  std::string resolved;
  ASSERT_TRUE(CombinePath(Path(kJapanese), "..\\" + kGreek + ".pdf", &resolved).ok());
  ASSERT_TRUE(CanonicalizePath(resolved, &resolved).ok());
  EXPECT_EQ(resolved, Path(kGreek + ".pdf"));

  // 300 characters, 900 bytes, past MAX_PATH: whole.
  std::string longName;
  for (int i = 0; i < 100; ++i) longName += kJapanese;
  ASSERT_TRUE(CombinePath("C:\\", longName + "\\x\\..\\b.pdf", &resolved).ok());
  ASSERT_TRUE(CanonicalizePath(resolved, &resolved).ok());
  EXPECT_EQ(resolved, "C:\\" + longName + "\\b.pdf");

  // The backslash after U+8A9E, whose last byte is a lead byte in code
  // page 932, still ends the program's folder.
  bool programFolder = false;
  EXPECT_EQ(BaseDirectory("C:\\" + kJapanese + "\\vellox.exe", &programFolder),
            "C:\\" + kJapanese + "\\");
  EXPECT_TRUE(programFolder);
}

// The system takes a path of MAX_PATH units or more only in its "\\?\"
// form (unless the machine allows long paths); it gets that form resolved
// as the system resolves a shorter one. Short paths, devices and what is
// in that form already go as they are.
TEST(WidePathTest, LongPathsInTheSystemsOwnForm) {
  const std::string folder = "C:\\" + std::string(150, 'f') + "\\" + std::string(150, 'g');
  const std::wstring wideFolder = WideString(folder);
  struct Case {
    std::string path;
    std::wstring wide;
  } cases[] = {
      {"C:\\short\\.\\book.pdf", L"C:\\short\\.\\book.pdf"},
      {folder + "\\book.pdf", L"\\\\?\\" + wideFolder + L"\\book.pdf"},
      {folder + "/sub/../book.pdf", L"\\\\?\\" + wideFolder + L"\\book.pdf"},
      {"\\\\server\\share\\" + std::string(300, 's'),
       L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L's')},
      {"\\\\?\\" + folder + "\\x\\..\\book.pdf", L"\\\\?\\" + wideFolder + L"\\x\\..\\book.pdf"},
      {"\\\\.\\" + folder + "\\book.pdf", L"\\\\.\\" + wideFolder + L"\\book.pdf"},
  };
  for (const Case& c : cases) EXPECT_EQ(WidePath(c.path), c.wide) << c.path;
  // A message or the component's path is converted and nothing else.
  EXPECT_EQ(WideString(folder), std::wstring(folder.begin(), folder.end()));
  BSTR string = AllocStringFromPath(folder + "/book.pdf");
  EXPECT_EQ(std::wstring(string, SysStringLen(string)), wideFolder + L"/book.pdf");
  SysFreeString(string);
}

TEST_F(WideNamesTest, TheCurrentDirectoryByItsName) {
  const std::string folder = Path(kJapanese + " " + kGreek);
  ASSERT_TRUE(CreateDirectoryW(WidePath(folder).c_str(), nullptr));
  wchar_t previous[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(WidePath(folder).c_str()));
  std::string current;
  const Status status = CurrentDirectory(&current);
  bool programFolder = true;
  const std::string base = BaseDirectory("vellox", &programFolder);
  SetCurrentDirectoryW(previous);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_TRUE(IsSameFile(current, folder)) << current;
  EXPECT_EQ(base, current);
  EXPECT_FALSE(programFolder);
}

}  // namespace
}  // namespace platform
}  // namespace vellox
