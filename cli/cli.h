#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "disk/disk_file.h"

namespace ornivale::cli {

// Exit statuses.
inline constexpr int kAllSucceeded = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kUsageError = 2;

// Runs the command line `args` (the arguments after the program's name):
// results go to `out`, failures and usage errors to `err`. Returns the exit
// status. `opener` reaches the level files.
int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, const LevelFileOpener& opener = OpenDiskFile);

}  // namespace ornivale::cli
