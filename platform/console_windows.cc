#include "platform/console.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "platform/directory.h"

namespace vellox {
namespace platform {
namespace {

HANDLE HandleOf(std::FILE* stream) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

bool IsContinuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The bytes of `text` up to the end of its last whole character: a UTF-8
// sequence cut off at the end is left for the next write.
std::size_t CompleteLength(const char* text, std::size_t length) {
  std::size_t start = length;
  // Back over continuation bytes (10xxxxxx) to the byte that leads them.
  while (start > 0 && length - start < 3 && IsContinuation(text[start - 1])) --start;
  if (start == 0) return length;
  const auto lead = static_cast<unsigned char>(text[start - 1]);
  const std::size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return length - (start - 1) < needed ? start - 1 : length;
}

// What an earlier write left of a split character. Messages are written
// from one thread (a thread_local would allocate on first use here,
// which a report of lack of memory cannot afford).
std::FILE* g_pendingStream = nullptr;
char g_pending[4];
std::size_t g_pendingLength = 0;

// Converts and writes one piece of whole characters, at most kPiece bytes.
constexpr std::size_t kPiece = 512;
void WritePiece(std::FILE* stream, HANDLE handle, bool console, const char* text,
                std::size_t length) {
  wchar_t wide[kPiece];
  const int units = MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(length), wide,
                                        static_cast<int>(kPiece));
  if (units <= 0) return;
  if (console) {
    DWORD written = 0;
    WriteConsoleW(handle, wide, static_cast<DWORD>(units), &written, nullptr);
    return;
  }
  // No best fit: a name shown as a similar one would name another file.
  char narrow[2 * kPiece];
  int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, narrow,
                                  sizeof narrow, nullptr, nullptr);
  if (bytes <= 0 && GetLastError() == ERROR_INVALID_FLAGS)  // code pages without the choice
    bytes = WideCharToMultiByte(CP_ACP, 0, wide, units, narrow, sizeof narrow, nullptr, nullptr);
  if (bytes > 0) std::fwrite(narrow, 1, static_cast<std::size_t>(bytes), stream);
}

}  // namespace

void WriteText(std::FILE* stream, const char* text, std::size_t length) {
  const HANDLE handle = HandleOf(stream);
  const bool console = IsConsole(handle);
  // The runtime's buffer first, so that the order stays.
  if (console) std::fflush(stream);
  // A character an earlier write left unfinished goes first, with the
  // rest of it; the rest of one for another stream is not coming.
  if (g_pendingLength > 0 && g_pendingStream == stream) {
    char joined[4];
    std::size_t used = g_pendingLength;
    std::memcpy(joined, g_pending, used);
    while (used < sizeof joined && length > 0 && IsContinuation(*text)) {
      joined[used++] = *text++;
      --length;
    }
    WritePiece(stream, handle, console, joined, used);
  }
  const std::size_t complete = CompleteLength(text, length);
  for (std::size_t done = 0; done < complete;) {
    const std::size_t piece =
        std::max<std::size_t>(CompleteLength(text + done, std::min(kPiece, complete - done)), 1);
    WritePiece(stream, handle, console, text + done, piece);
    done += piece;
  }
  g_pendingStream = stream;
  g_pendingLength = length - complete;
  std::memcpy(g_pending, text + complete, g_pendingLength);
}

void WriteCodePageText(std::FILE* stream, const std::string& text) {
  const HANDLE handle = HandleOf(stream);
  if (!IsConsole(handle) || text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  const int length = static_cast<int>(text.size());
  // The code page that titles are converted to (code_page_windows.cc).
  const int units = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return;
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, &wide[0], units);
  std::fflush(stream);  // what the runtime holds comes first
  DWORD written = 0;
  WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

// Windows ends no program for writing to a pipe nobody reads, and the
// write end cannot ask whether the reader is there: the failed write is
// reported as any other.
bool IsPipeWithoutReader(std::FILE* /*stream*/) { return false; }

TerminalLine::TerminalLine(std::FILE* stream) : stream_(stream), enabled_(IsTerminal(stream)) {}

// The console clears the rest of the row itself: a UTF-8 text's length in
// bytes says nothing about the columns it takes.
void TerminalLine::Show(const std::string& text) {
  if (!enabled_) return;
  WriteText(stream_, "\r", 1);
  WriteText(stream_, text);
  const HANDLE handle = HandleOf(stream_);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(handle, &info)) return;
  const DWORD rest = info.dwSize.X > info.dwCursorPosition.X
                         ? static_cast<DWORD>(info.dwSize.X - info.dwCursorPosition.X)
                         : 0;
  DWORD filled = 0;
  FillConsoleOutputCharacterW(handle, L' ', rest, info.dwCursorPosition, &filled);
  shown_ = text.size();
}

void TerminalLine::Clear() {
  if (!enabled_) return;
  Show("");
}

}  // namespace platform
}  // namespace vellox
