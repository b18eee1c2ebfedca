#pragma once

#include <string>

#include "level/level_status.h"

namespace ornivale {

// The text of the window's "Error" box for a failure.
std::string WindowMessage(const LevelStatus& status);

}  // namespace ornivale
