#pragma once

#include <array>
#include <string>

#include "cli/arguments.h"
#include "cli/command_output.h"
#include "level/history/history.h"
#include "level/ports/disk.h"
#include "level/words/failure_words.h"

namespace ornivale::cli {

// The options a command takes, as bits.
enum Takes : unsigned {
  kTakesJson = 1u << 0,    // --json
  kTakesDryRun = 1u << 1,  // --dry-run
  kTakesLast = 1u << 2,    // --last
  kTakesValues = 1u << 3,  // a TYPE for each flag: --lara, --weather
  kNeedsValues = 1u << 4,  // at least one TYPE, or --from
  kTakesFrom = 1u << 5,    // --from FILE instead of LEVELs
  kNeedsLevels = 1u << 6,  // at least one LEVEL
  kUsesHistory = 1u << 7,  // records changes in the history, or reads it
  kTakesCompact = 1u << 8,  // --compact, instead of LEVELs
  kTakesQuiet = 1u << 9,    // --quiet
};

// One command of ornivale-cli: its name, the options it takes, what its
// help says of it, and what runs it. The command line, the dispatch and the
// help all come from kCommands.
struct Command {
  const char* name;
  unsigned takes;
  Access access;
  const char* levels;  // what its LEVELs are called in its usage
  const char* help;    // lines after the name, each at most 60 characters
  // Runs the command; returns the exit status.
  int (*run)(const Arguments& args, Disk& disk, const History& history, const Output& output);
};

extern const std::array<Command, 6> kCommands;

// The row of the command named `name`, null for none.
const Command* FindCommand(const std::string& name);

}  // namespace ornivale::cli
