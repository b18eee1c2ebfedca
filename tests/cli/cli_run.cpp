#include "tests/cli/cli_run.h"

#include <sstream>

#include "cli/cli.h"

namespace ornivale::cli_test {

CliRun RunInProcess(const std::vector<std::string>& args,
                    Disk& disk) {
  std::ostringstream out;
  std::ostringstream err;
  CliRun run;
  run.status = cli::RunCli(args, out, err, disk);
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

std::vector<std::string> Codes(const std::string& json) {
  const std::string before = "\"error\":{\"code\":\"";
  std::vector<std::string> codes;
  for (const std::string& line : Lines(json)) {
    const std::size_t at = line.find(before);
    if (at == std::string::npos) {
      codes.emplace_back();
      continue;
    }
    const std::size_t start = at + before.size();
    codes.push_back(line.substr(start, line.find('"', start) - start));
  }
  return codes;
}

}  // namespace ornivale::cli_test
