#include "tests/cli/program_run.h"

namespace ornivale::cli_test {
namespace {

std::string Text(const testing::Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

CliRun RunProgram(const std::string& program,
                  const std::vector<std::string>& args,
                  const testing::TempDir& scratch) {
  const std::string out_path = scratch.File("stdout.txt");
  const std::string err_path = scratch.File("stderr.txt");
  CliRun run;
  run.status = RunToFiles(program, args, out_path, err_path);
  run.out = Text(testing::ReadAll(out_path));
  run.err = Text(testing::ReadAll(err_path));
  return run;
}

}  // namespace ornivale::cli_test
