#pragma once

#include <string>

#include "cli/stored_flags.h"

namespace ornivale::cli {

// "Lara type Catsuit (3), weather Rain (1)"; a value without an entry is
// "unknown (5)".
std::string DescribeFlags(const StoredFlags& flags);

// {"path":…,"lara":{"value":3,"text":"Catsuit"},"weather":{…}} on one line;
// the text of a value without an entry is null.
std::string FlagsJson(const std::string& path, const StoredFlags& flags);

}  // namespace ornivale::cli
