#pragma once

#include <ostream>
#include <string>

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

// Each command opens its level once, closes it before it returns, and
// prints one result line to `out` or, for a failure, one line with the
// level's path to `err` (and its JSON to `out`). Returns whether it
// succeeded.

// Prints the flags the level stores.
bool ShowLevel(const std::string& path, const LevelFileOpener& opener,
               const Output& output);

// Writes the values `change` gives over the level's flag pair in one write,
// then prints the flags it now stores, read back from the file and checked.
bool SetLevel(const std::string& path, const FlagChange& change,
              const LevelFileOpener& opener, const Output& output);

}  // namespace ornivale::cli
