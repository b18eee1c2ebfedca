#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "level/level_file.h"

namespace ornivale::cli {

// The entries to select before saving, as list positions; an empty one
// keeps what the level stores.
struct FlagChange {
  std::optional<int> lara;     // c2
  std::optional<int> weather;  // c1
};

// Each command works on one level with a Level4 of its own, so no level
// depends on the one before. It writes its result line to `out` and each
// failure, with the level's path, to `err`, and returns whether it succeeded.

// Prints the level's flags as a line of text or, with `json`, of JSON.
bool ShowLevel(const std::string& path, bool json,
               const LevelFileOpener& opener, std::ostream& out,
               std::ostream& err);

// Saves `change` over the level's flag pair, then prints the flags the level
// now stores.
bool SetLevel(const std::string& path, const FlagChange& change,
              const LevelFileOpener& opener, std::ostream& out,
              std::ostream& err);

}  // namespace ornivale::cli
