#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "level/format/level_state.h"

namespace ornivale::cli {

struct Command;

// What the command line asks for.
struct Arguments {
  enum class Action { Help, Version, Run };
  Action action = Action::Help;
  const Command* command = nullptr;  // for Run: its row of kCommands
  bool json = false;     // one JSON object a level
  bool dry_run = false;  // say what would be done, open no level for writing
  bool last = false;     // restore: before the last change, not the first
  bool compact = false;  // history: rewrite it, keeping what undo needs
  bool quiet = false;    // only the levels that fail, and no count line
  FlagChange change;  // set: the values to write; check: the values asked
  // set --from: the file of show or set records to give back, "-" for
  // standard input; the records name the levels and their values.
  std::optional<std::string> from;
  std::vector<std::string> levels;
};

// A command line the program can't follow: `what` says why, `hint` is the
// one line that helps the user on.
class UsageError : public std::runtime_error {
 public:
  UsageError(const std::string& what, std::string hint)
      : std::runtime_error(what), hint_(std::move(hint)) {}
  const std::string& hint() const { return hint_; }

 private:
  std::string hint_;
};

}  // namespace ornivale::cli
