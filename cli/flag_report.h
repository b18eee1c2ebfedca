#pragma once

#include <string>

#include "level/level_scan.h"
#include "level/level_status.h"

namespace ornivale::cli {

// "Lara type Catsuit (3), weather Rain (1)"; a value without an entry is
// "unknown (5)".
std::string DescribeFlags(const LevelScan& scan);

// {"path":…,"lara":{"value":3,"text":"Catsuit"},"weather":{…}} on one line;
// the text of a value without an entry is null.
std::string FlagsJson(const std::string& path, const LevelScan& scan);

// {"path":…,"error":{"code":"cut-short","message":…}} on one line.
std::string FailureJson(const LevelStatus& status, const std::string& message);

}  // namespace ornivale::cli
