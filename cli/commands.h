#pragma once

#include <array>
#include <ostream>
#include <string>

#include "cli/arguments.h"
#include "cli/tally.h"
#include "level/disk.h"
#include "level/failure_words.h"
#include "level/history.h"

namespace ornivale::cli {

// Exit statuses.
inline constexpr int kAllSucceeded = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kUsageError = 2;

// How a command prints: a line of text a level, or with `json` one JSON
// object a line, failures included; with `quiet`, only the levels that
// failed (or, for check, differ). Each level's outcome goes into `tally`.
struct Output {
  std::ostream& out;
  std::ostream& err;
  Tally& tally;
  bool json = false;
  bool quiet = false;
};

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
