#pragma once

#include <string>

#include "level/level_status.h"

namespace ornivale::cli {

// One line for a terminal saying what failed with which level; the
// program's name goes in front of it.
std::string TerminalMessage(const LevelStatus& status);

}  // namespace ornivale::cli
