#include "tests/cli/cli_run.h"

#include <sstream>

#include "cli/cli.h"

namespace ornivale::cli_test {

CliRun RunInProcess(const std::vector<std::string>& args,
                    const LevelFileOpener& opener) {
  std::ostringstream out;
  std::ostringstream err;
  CliRun run;
  run.status = cli::RunCli(args, out, err, opener);
  run.out = out.str();
  run.err = err.str();
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace ornivale::cli_test
