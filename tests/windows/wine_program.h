#ifndef VELLOX_TESTS_WINDOWS_WINE_PROGRAM_H_
#define VELLOX_TESTS_WINDOWS_WINE_PROGRAM_H_

// What the Windows end-to-end tests share: running vellox.exe as a user
// runs it, the bookmark file as it must come out, and the test component's
// registration.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "test_util.h"

namespace vellox {
namespace testing {

// Standard output and error are text streams: lines end in CR LF.
inline std::string Line(const std::string& text) { return text + "\r\n"; }
extern const std::string kBanner;

// The build's paths are POSIX paths; Wine shows the POSIX root as Z:.
std::string WindowsPath(std::string path);
// vellox.exe of this build.
std::string Program();

struct Outcome {
  DWORD exitCode;
  std::string out;
  std::string err;
};

// Runs `program` with the command line `argument0 arguments...`, each
// quoted, in `directory` (the current one when empty), standard output
// and error caught in files of `capture`. Strings are UTF-8, as a user's
// shell hands the program UTF-16.
Outcome RunProgram(const std::string& program, const std::string& argument0,
                   const std::vector<std::string>& arguments, const std::string& directory,
                   const ScratchDirectory& capture);
// The same with the command line as it is typed.
Outcome RunCommandLine(const std::string& program, const std::string& commandLine,
                       const std::string& directory, const ScratchDirectory& capture);

// UTF-8 and UTF-16.
std::wstring Wide(const std::string& text);
std::string Utf8(const std::wstring& text);
// A UTF-8 text as the program writes it to a file or a pipe: in the ANSI
// code page, characters it lacks as '?'.
std::string Ansi(const std::string& text);

// Files by UTF-8 paths (test_util's take the ANSI code page's).
std::string ReadFileAt(const std::string& path);
void WriteFileAt(const std::string& path, const std::string& bytes);
bool FileExistsAt(const std::string& path);
// The names in a folder, UTF-8, sorted.
std::vector<std::string> ListFolder(const std::string& folder);

// The bookmark file as it must come out, built independently of the writer.
struct Record {
  std::int32_t page;
  std::string text;  // label included
};
std::string Pdr(const std::vector<Record>& records);

// `text` split at its line feeds.
std::vector<std::string> Lines(const std::string& text);

// The test component's class key under HKEY_LOCAL_MACHINE.
extern const char kClassKey[];

// Takes the test component's registration away for the scope, so that the
// program finds no component; puts it back as it was.
class ComponentUnregistered {
 public:
  ComponentUnregistered();
  ~ComponentUnregistered();
  ComponentUnregistered(const ComponentUnregistered&) = delete;
  ComponentUnregistered& operator=(const ComponentUnregistered&) = delete;

  // False when there was no registration to take away, or it stayed.
  bool ok() const { return removed; }

 private:
  std::string server;  // the InprocServer32 DLL
  bool removed = false;
};

// Registers the test component's class with `server` as its DLL in the
// registry view `view` selects (0: this process's, KEY_WOW64_32KEY: that
// of 32-bit programs), instead of the test component, for the scope.
class ComponentRegisteredAs {
 public:
  ComponentRegisteredAs(const std::string& server, REGSAM view);
  ~ComponentRegisteredAs();
  ComponentRegisteredAs(const ComponentRegisteredAs&) = delete;
  ComponentRegisteredAs& operator=(const ComponentRegisteredAs&) = delete;

  bool ok() const { return unregistered.ok() && registered; }

 private:
  ComponentUnregistered unregistered;
  REGSAM view;
  bool registered = false;
};

// The system's text for a Win32 error, as the program ends a message
// with it (no closing full stop).
std::string SystemText(DWORD error);

// Sets an environment variable, which the program inherits, for the scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name;
  std::string old;
  bool hadOld = false;
};

}  // namespace testing
}  // namespace vellox

#endif  // VELLOX_TESTS_WINDOWS_WINE_PROGRAM_H_
