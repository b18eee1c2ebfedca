#pragma once

#include <array>
#include <ostream>
#include <string>

#include "cli/arguments.h"
#include "level/failure_words.h"
#include "level/level_file.h"

namespace ornivale::cli {

// Exit statuses.
inline constexpr int kAllSucceeded = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kUsageError = 2;

// How a command prints: a line of text a level, or with `json` one JSON
// object a line, failures included.
struct Output {
  std::ostream& out;
  std::ostream& err;
  bool json = false;
};

// The options a command takes, as bits.
enum Takes : unsigned {
  kTakesJson = 1u << 0,    // --json
  kTakesValues = 1u << 1,  // a TYPE for each flag: --lara, --weather
  kNeedsValues = 1u << 2,  // at least one TYPE, or --from
  kTakesFrom = 1u << 3,    // --from FILE instead of LEVELs
};

// One command of ornivale-cli: its name, the options it takes, what its
// help says of it, and what runs it. The command line, the dispatch and the
// help all come from kCommands.
struct Command {
  const char* name;
  unsigned takes;
  Access access;
  const char* help;  // lines after the name, each at most 60 characters
  // Runs the command; returns the exit status.
  int (*run)(const Arguments& args, Disk& disk, const Output& output);
};

extern const std::array<Command, 3> kCommands;

// The row of the command named `name`, null for none.
const Command* FindCommand(const std::string& name);

}  // namespace ornivale::cli
