#pragma once

#include <string>
#include <vector>

#include "level/ports/disk.h"

namespace ornivale::cli_test {

// What one run of the command line printed, and its exit status.
struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the command line inside this process.
CliRun RunInProcess(const std::vector<std::string>& args,
                    Disk& disk = Disk::Default());

// The lines of `text`, without their line ends ("\n" or "\r\n").
std::vector<std::string> Lines(const std::string& text);

// The failure codes of the lines that --json printed, in order: "cut-short"
// for {"path":…,"error":{"code":"cut-short",…}}, "" for a line that is no
// failure.
std::vector<std::string> Codes(const std::string& json);

}  // namespace ornivale::cli_test
