#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

#ifdef _WIN32
#include "cli/console_stream.h"
#include "level/utf8.h"

#ifdef __MINGW32__
// A Windows console hands `*` and `?` over as typed; the C runtime's start-up
// code expands them in the arguments (`show *.trc`), as Visual C++ programs
// linked with wsetargv.obj do.
extern "C" {
int _dowildcard = -1;
}
#endif

// The wide entry point: Windows hands over any file name intact only as
// UTF-16, which the core takes as UTF-8.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    args.push_back(
        ornivale::Utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
  }
  ornivale::cli::ConsoleStream out(std::cout, ornivale::cli::StandardOutput());
  ornivale::cli::ConsoleStream err(std::cerr, ornivale::cli::StandardError());
#else
int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // A closed pipe is reported like a full disk, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  return ornivale::cli::RunCli(args, std::cout, std::cerr);
}
