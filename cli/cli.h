#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "level/ports/disk.h"

namespace ornivale::cli {

// Runs the command line `args` (the arguments after the program's name):
// results go to `out`, failures and usage errors to `err`. Returns the exit
// status. `disk` reaches the level files.
int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, Disk& disk = Disk::Default());

}  // namespace ornivale::cli
