#pragma once

#include <string>

#include "level/level_status.h"

namespace ornivale::cli {

// Whether the command that met a failure writes levels (set) or only reads
// them (show, check): a reading command's words never speak of changes.
enum class Access { ReadOnly, Writes };

// One line for a terminal saying what failed with which level; the
// program's name goes in front of it.
std::string TerminalMessage(const LevelStatus& status,
                            Access access = Access::Writes);

}  // namespace ornivale::cli
