#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/cli/cli_run.h"
#include "tests/test_support.h"

namespace ornivale::cli_test {

// Starts `program` (a UTF-8 path) with `args` as a separate process, as a
// shell or build script would, and waits for it. Its standard output and
// standard error go to files in `scratch`, and come back in the result.
CliRun RunProgram(const std::string& program,
                  const std::vector<std::string>& args,
                  const testing::TempDir& scratch);

// The operating system's part of RunProgram: runs `program` with its
// standard output and standard error written to the two files, and returns
// its exit status.
int RunToFiles(const std::string& program, const std::vector<std::string>& args,
               const std::string& out_path, const std::string& err_path);

// Sets a variable of this process's environment, which the programs it
// starts inherit, until it goes out of scope.
class ScopedVariable {
 public:
  ScopedVariable(const std::string& name, const std::string& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace ornivale::cli_test
