#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command_output.h"
#include "cli/tally.h"
#include "level/edit/level_access.h"
#include "level/ports/disk.h"
#include "level/sets/level_set.h"

namespace ornivale::cli {

// The commands, each over the levels its arguments stand for. Each level
// gets one result line on `out` or, for a failure, one line with its path
// on `err` (and its JSON on `out`); a failed level does not stop the
// others. Each returns the exit status.

// Prints the flags each level stores.
int RunShow(const Arguments& args, Disk& disk, const History& history, const Output& output);

// Prints the flags of each level that holds the values asked; says on `err`
// what any other holds, and fails. Only reads.
int RunCheck(const Arguments& args, Disk& disk, const History& history, const Output& output);

// Gives each level the values asked, or those its record in --from names,
// through the core's one road for edits, and prints what each held and
// holds now (with --dry-run: would hold).
int RunSet(const Arguments& args, Disk& disk, const History& history, const Output& output);

// Makes `edits` and prints a line for each, in order.
int RunEdits(const std::vector<LevelEdit>& edits, const EditRun& run, Disk& disk,
             const Output& output);

// What a level with nothing to do says after its name, in JSON, and how it
// counts: no failure.
struct NothingToDo {
  Outcome outcome;
  const char* words;
  std::string (*json)(const std::string& full_path);
};

// What a level named comes to in a run that writes: its edit, or why there
// is none, a failure or nothing to do.
struct Step {
  std::optional<LevelEdit> edit;
  LevelStatus failure;
  const NothingToDo* nothing = nullptr;
};

// Makes the edits of `steps` (one for each of `levels`, in order), a batch
// at a time, and reports each level that has none in its place among them.
int RunSteps(std::vector<Step>& steps, const std::vector<NamedLevel>& levels, const EditRun& run,
             Disk& disk, const Output& output);

}  // namespace ornivale::cli
