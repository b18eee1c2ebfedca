#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/cli/program_run.h"

extern char** environ;

namespace ornivale::cli_test {

int RunToFiles(const std::string& program, const std::vector<std::string>& args,
               const std::string& out_path, const std::string& err_path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);

  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  pid_t child = 0;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr,
                                  argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("can't start " + program);
  int wait_status = 0;
  if (waitpid(child, &wait_status, 0) != child || !WIFEXITED(wait_status)) {
    throw std::runtime_error(program + " did not exit normally");
  }
  return WEXITSTATUS(wait_status);
}

ScopedVariable::ScopedVariable(const std::string& name, const std::string& value)
    : name_(name) {
  if (const char* old = std::getenv(name.c_str())) old_ = old;
  setenv(name.c_str(), value.c_str(), 1);
}

ScopedVariable::~ScopedVariable() {
  if (old_) {
    setenv(name_.c_str(), old_->c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

}  // namespace ornivale::cli_test
