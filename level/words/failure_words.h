#pragma once

#include <string>
#include <vector>

#include "level/ports/level_status.h"

namespace ornivale {

// The one place that turns failure codes into words: each code's stable
// name and what each front end says of it stand together in one table.

// A stable lower-case name for scripts: "cut-short", "in-use", …
const char* CodeName(LevelCode code);

// The text of the window's "Error" box.
std::string WindowMessage(const LevelStatus& status);

// A few words for a level's row in a list of levels ("in use by another
// program", "can't be opened: reason"), where the level's path stands
// beside them.
std::string BriefReason(const LevelStatus& status);

// Whether the command that met a failure writes levels (set) or only reads
// them (show, check): a reading command's words never speak of changes.
enum class Access { ReadOnly, Writes };

// ornivale-cli's one line for a terminal saying what failed with which
// level; the program's name goes in front of it.
std::string TerminalMessage(const LevelStatus& status, Access access);

// Why a file the failure is about can't be used, said within a message
// about something else (the history's file): its reason, or for a failure
// that comes without one, words of its own. Never empty.
std::string ReasonOf(const LevelStatus& status);

// The codes that ornivale-cli can meet, in the table's order.
std::vector<LevelCode> TerminalCodes();

}  // namespace ornivale
