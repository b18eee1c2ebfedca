#pragma once

#include <ostream>
#include <string>

#include "cli/failure_text.h"
#include "level/level_file.h"
#include "level/level_state.h"

namespace ornivale::cli {

// How a command prints: a line of text a level, or with `json` one JSON
// object a line, failures included.
struct Output {
  std::ostream& out;
  std::ostream& err;
  bool json = false;
};

// Each command prints one result line to `out` or, for a failure, one line
// with the level's path to `err` (and its JSON to `out`), and returns
// whether it succeeded. Every file it opens is closed before it returns.

// Prints the flags the level stores.
bool ShowLevel(const std::string& path, const LevelFileOpener& opener,
               const Output& output);

// Prints the flags the level stores when they are the values `asked` names;
// otherwise says on `err` what it holds, and fails. Only reads.
bool CheckLevel(const std::string& path, const FlagChange& asked,
                const LevelFileOpener& opener, const Output& output);

// Reads the level; when it doesn't already hold the values `change` gives,
// opens it for writing and writes them over its flag pair in one write,
// checked against what was read and read back. Prints what the level held
// and what it holds now.
bool SetLevel(const std::string& path, const FlagChange& change,
              const LevelFileOpener& opener, const Output& output);

// Reports a failure met before any level was read (a folder without levels).
bool ReportFailure(const LevelStatus& status, Access access,
                   const Output& output);

}  // namespace ornivale::cli
