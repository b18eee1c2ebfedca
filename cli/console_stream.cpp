#include "cli/console_stream.h"

#include <windows.h>

#include "level/text/utf8.h"

namespace ornivale::cli {

void* StandardOutput() { return GetStdHandle(STD_OUTPUT_HANDLE); }
void* StandardError() { return GetStdHandle(STD_ERROR_HANDLE); }

ConsoleStream::ConsoleStream(std::ostream& stream, void* handle)
    : stream_(stream), buffer_(handle) {
  DWORD mode = 0;
  if (GetConsoleMode(static_cast<HANDLE>(handle), &mode)) {
    stream_.flush();
    previous_ = stream_.rdbuf(&buffer_);
  }
}

ConsoleStream::~ConsoleStream() {
  if (previous_) {
    stream_.flush();
    stream_.rdbuf(previous_);
  }
}

int ConsoleStream::Buffer::overflow(int c) {
  if (c != traits_type::eof()) {
    const char byte = traits_type::to_char_type(c);
    xsputn(&byte, 1);
  }
  return traits_type::not_eof(c);
}

// Text goes out at the end of a line or at a flush. The program writes whole
// strings, so a character is never split between two writes.
std::streamsize ConsoleStream::Buffer::xsputn(const char* text,
                                              std::streamsize count) {
  pending_.append(text, static_cast<std::size_t>(count));
  if (pending_.find('\n') != std::string::npos && sync() != 0) return 0;
  return count;
}

int ConsoleStream::Buffer::sync() {
  const std::u16string wide = Utf8ToUtf16(pending_);
  pending_.clear();
  DWORD written = 0;
  const bool ok =
      wide.empty() ||
      WriteConsoleW(static_cast<HANDLE>(console_), wide.data(),
                    static_cast<DWORD>(wide.size()), &written, nullptr);
  return ok ? 0 : -1;
}

}  // namespace ornivale::cli
