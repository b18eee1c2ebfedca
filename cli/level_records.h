#pragma once

#include <istream>
#include <string>
#include <vector>

#include "level/level_state.h"

namespace ornivale::cli {

// A level and the values a record of it gives back.
struct LevelRecord {
  std::string path;
  FlagChange values;
};

// What the lines of a records file hold: the lines that `show --json`,
// `set --json` and `check --json` print.
struct Records {
  std::vector<LevelRecord> levels;
  // Failure records: they hold no values, so they are passed over.
  std::vector<std::string> failed_paths;
  // The first line that is not such a record (counted from 1), 0 when all
  // are; nothing of the file is to be used then.
  int bad_line = 0;
};

// A record gives its level the values it names ("lara" and "weather"), or
// for a set record the values the level held before ("before"), so that the
// output of a set undoes it. Blank lines are passed over.
Records ReadRecords(std::istream& in);

}  // namespace ornivale::cli
