#include "windows/wine_program.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vellox {
namespace testing {

const std::string kBanner = Line("Converter PDF Outlines to Amazon Kindle bookmarks");
const char kClassKey[] = "Software\\Classes\\CLSID\\{5479AE9E-D618-4D2E-8496-C31B68603CB4}";

std::string WindowsPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return "Z:" + path;
}

std::string Program() { return WindowsPath(VELLOX_EXE); }

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], n,
                      nullptr, nullptr);
  return narrow;
}

std::string Ansi(const std::string& text) {
  const std::wstring wide = Wide(text);
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                    static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      &narrow[0], n, nullptr, nullptr);
  return narrow;
}

std::string ReadFileAt(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

void WriteFileAt(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << path;
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

bool FileExistsAt(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(Utf8(name));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

HANDLE Inheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     disposition, 0, nullptr);
}

std::string BigEndian32(std::uint32_t v) {
  return Bytes({int(v >> 24) & 0xFF, int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v) & 0xFF});
}

}  // namespace

Outcome RunProgram(const std::string& program, const std::string& argument0,
                   const std::vector<std::string>& arguments, const std::string& directory,
                   const ScratchDirectory& capture) {
  std::string commandLine = "\"" + argument0 + "\"";
  for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
  return RunCommandLine(program, commandLine, directory, capture);
}

Outcome RunCommandLine(const std::string& program, const std::string& commandLine,
                       const std::string& directory, const ScratchDirectory& capture) {
  std::wstring line = Wide(commandLine);
  const std::string outPath = capture.Path("stdout.txt"), errPath = capture.Path("stderr.txt");
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = Inheritable(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = Inheritable(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION process = {};
  Outcome run = {~0u, "", ""};
  if (CreateProcessW(Wide(program).c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                     directory.empty() ? nullptr : Wide(directory).c_str(), &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) CloseHandle(h);
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  DeleteFileA(outPath.c_str());
  DeleteFileA(errPath.c_str());
  return run;
}

std::string Pdr(const std::vector<Record>& records) {
  std::string bytes = Bytes({0xDE, 0xAD, 0xCA, 0xBB, 0x01, 0, 0, 0, 0}) +
                      BigEndian32(static_cast<std::uint32_t>(records.size()));
  for (const Record& r : records) {
    int length = static_cast<int>(r.text.size());
    bytes += Bytes({0}) + BigEndian32(static_cast<std::uint32_t>(r.page)) +
             Bytes({length >> 8, length & 0xFF}) + r.text;
  }
  return bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

ComponentUnregistered::ComponentUnregistered() {
  char dll[MAX_PATH] = "";
  LONG size = sizeof dll;
  if (RegQueryValueA(HKEY_LOCAL_MACHINE, (std::string(kClassKey) + "\\InprocServer32").c_str(),
                     dll, &size) != ERROR_SUCCESS)
    return;
  server = dll;
  removed = RegDeleteTreeA(HKEY_LOCAL_MACHINE, kClassKey) == ERROR_SUCCESS;
}

ComponentUnregistered::~ComponentUnregistered() {
  if (!removed) return;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kClassKey) + "\\InprocServer32").c_str(),
                      0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    ADD_FAILURE() << "the test component's registration cannot be put back";
    return;
  }
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                 static_cast<DWORD>(server.size() + 1));
  RegSetValueExA(key, "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>("Apartment"),
                 10);
  RegCloseKey(key);
}

ComponentRegisteredAs::ComponentRegisteredAs(const std::string& server, REGSAM view)
    : view(view) {
  if (!unregistered.ok()) return;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kClassKey) + "\\InprocServer32").c_str(),
                      0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  const std::wstring value = Wide(server);
  registered = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
  RegCloseKey(key);
}

ComponentRegisteredAs::~ComponentRegisteredAs() {
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, (std::string(kClassKey) + "\\InprocServer32").c_str(),
                  view, 0);
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kClassKey, view, 0);
}

std::string SystemText(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = Utf8(std::wstring(buffer, length));
  LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                           text.back() == '.'))
    text.pop_back();
  return text;
}

ScopedEnvironment::ScopedEnvironment(const char* name, const char* value) : name(name) {
  char buffer[1024];
  DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  hadOld = length > 0 && length < sizeof buffer;
  if (hadOld) old.assign(buffer, length);
  SetEnvironmentVariableA(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
  SetEnvironmentVariableA(name.c_str(), hadOld ? old.c_str() : nullptr);
}

}  // namespace testing
}  // namespace vellox
