#include "platform/console.h"

#include <poll.h>

#include "platform/directory.h"

namespace vellox {
namespace platform {

void WriteText(std::FILE* stream, const char* text, std::size_t length) {
  std::fwrite(text, 1, length, stream);
}

void WriteCodePageText(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

bool IsPipeWithoutReader(std::FILE* stream) {
  // poll reports the closed reading end as an error (a pipe) or a hang-up
  // (a socket).
  struct pollfd self = {fileno(stream), 0, 0};
  return poll(&self, 1, 0) == 1 && (self.revents & (POLLERR | POLLHUP)) != 0;
}

TerminalLine::TerminalLine(std::FILE* stream) : stream_(stream), enabled_(IsTerminal(stream)) {}

// Spaces over what is left of the longer text before.
void TerminalLine::Show(const std::string& text) {
  if (!enabled_) return;
  std::string padded = text;
  if (padded.size() < shown_) padded.append(shown_ - padded.size(), ' ');
  std::fprintf(stream_, "\r%s", padded.c_str());
  std::fflush(stream_);
  shown_ = text.size();
}

void TerminalLine::Clear() {
  if (!enabled_) return;
  if (shown_ > 0) Show("");
  std::fputs("\r", stream_);
}

}  // namespace platform
}  // namespace vellox
