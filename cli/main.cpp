#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

#ifdef _WIN32
#include "cli/console_stream.h"
#include "cli/help.h"
#include "cli/own_console.h"
#include "disk/wide_text.h"

// The wide entry point: Windows hands over any file name intact only as
// UTF-16, which the core takes as UTF-8.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    args.push_back(ornivale::Narrow(argv[i]));
  }
  ornivale::cli::ConsoleStream out(std::cout, ornivale::cli::StandardOutput());
  ornivale::cli::ConsoleStream err(std::cerr, ornivale::cli::StandardError());
  // Double-clicked in Explorer: say how to use it, and keep the console
  // open until that has been read.
  if (args.empty() && ornivale::cli::RunsInConsoleOfItsOwn()) {
    ornivale::cli::PrintShortHelp(std::cout);
    std::cout.flush();
    ornivale::cli::WaitForKey();
    return 0;
  }
#else
int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  // A closed pipe is reported like a full disk, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  return ornivale::cli::RunCli(args, std::cout, std::cerr);
}
