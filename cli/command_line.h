#pragma once

#include <string>
#include <vector>

#include "cli/arguments.h"

namespace ornivale::cli {

// The command line read by the table of commands: `args` are the arguments
// after the program's name. Throws UsageError.
Arguments ParseArguments(const std::vector<std::string>& args);

}  // namespace ornivale::cli
