#pragma once

#include "cli/arguments.h"
#include "cli/command_output.h"
#include "level/history/history.h"
#include "level/ports/disk.h"

namespace ornivale::cli {

// Prints the changes the history keeps, oldest first: of the levels named
// and of the levels directly in the folders named, or of all.
int RunHistory(const Arguments& args, Disk& disk, const History& history,
               const Output& output);

// Gives each level the values it held before Ornivale first changed it
// (--last: before its last change), through the core's one road for edits:
// only where it still holds what Ornivale last wrote there. A level the
// history holds nothing of is reported and left alone.
int RunRestore(const Arguments& args, Disk& disk, const History& history,
               const Output& output);

// Writes again into each level the values that Ornivale's changes left
// there (ReapplyEdits), as set writes them, recorded as a change of its own:
// what a rebuild of the level took away. A level whose changes were given
// back, or the history holds nothing of, is reported and left alone.
int RunReapply(const Arguments& args, Disk& disk, const History& history,
               const Output& output);

}  // namespace ornivale::cli
