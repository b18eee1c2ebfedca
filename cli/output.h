#pragma once

#include <string>

#include "cli/command_output.h"
#include "level/edit/level_access.h"
#include "level/words/failure_words.h"

namespace ornivale::cli {

// One line of text on `stream`, kept to one line whatever a path holds.
void PrintLine(std::ostream& stream, const std::string& text);

// A failed level: its message on `err` and, with --json, its error object
// on `out`. Returns false, so that a command can fold it into its success.
bool Report(const LevelStatus& status, Access access, const Output& output);

// A level that failed: Report, counted in the tally as refused where the
// command writes, as failed where it only reads. Returns false.
bool ReportLevel(const LevelStatus& status, Access access, const Output& output);

// A note on `err` of the lines of the history that can't be read and were
// passed over, where there are any.
void NoteUnreadable(const History& history, int unreadable, std::ostream& err);
// A note of the lines that a later version of Ornivale wrote, passed over.
void NoteNewer(const History& history, int newer, std::ostream& err);

// An edit's line: what the level held and what it holds now (or would,
// for a dry run), or its failure, counted in the tally; with --quiet, only
// a failure. A note where the history could not keep how the write left
// the level. Returns whether it succeeded.
bool PrintEdit(const EditResult& edit, const std::string& path, const Output& output);

}  // namespace ornivale::cli
