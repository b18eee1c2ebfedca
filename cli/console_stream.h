#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace ornivale::cli {

// Windows' standard output and standard error.
void* StandardOutput();
void* StandardError();

// While it lives, `stream` writes its UTF-8 text to the console as UTF-16
// when `handle` is a console, so every file name shows as it is whatever the
// console's code page. Redirected to a file or a pipe, the stream is left
// alone and writes UTF-8.
class ConsoleStream {
 public:
  ConsoleStream(std::ostream& stream, void* handle);
  ~ConsoleStream();
  ConsoleStream(const ConsoleStream&) = delete;
  ConsoleStream& operator=(const ConsoleStream&) = delete;

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(void* console) : console_(console) {}

   protected:
    int overflow(int c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

   private:
    void* console_;
    std::string pending_;
  };

  std::ostream& stream_;
  Buffer buffer_;
  std::streambuf* previous_ = nullptr;
};

}  // namespace ornivale::cli
