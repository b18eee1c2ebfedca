#pragma once

#include <string>
#include <vector>

#include "disk/disk_file.h"

namespace ornivale::cli_test {

// What one run of the command line printed, and its exit status.
struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the command line inside this process.
CliRun RunInProcess(const std::vector<std::string>& args,
                    const LevelFileOpener& opener = OpenDiskFile);

// The lines of `text`, without their line ends ("\n" or "\r\n").
std::vector<std::string> Lines(const std::string& text);

}  // namespace ornivale::cli_test
