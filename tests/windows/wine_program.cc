#include "windows/wine_program.h"

#include <gtest/gtest.h>

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

namespace {

HANDLE Inheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
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
  const std::string outPath = capture.Path("stdout.txt"), errPath = capture.Path("stderr.txt");
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inheritable("NUL", GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = Inheritable(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = Inheritable(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  PROCESS_INFORMATION process = {};
  Outcome run = {~0u, "", ""};
  if (CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
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
