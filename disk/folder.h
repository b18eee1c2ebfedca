#pragma once

#include <string>
#include <vector>

#include "level/level_status.h"

namespace ornivale {

// Whether `path` names a folder (or a link to one).
bool IsFolder(const std::string& path);

// The names of the entries directly in `folder`, its own long names on
// Windows, in no particular order; CannotOpen with the system's reason when
// it can't be listed. Paths and names are UTF-8.
LevelStatus ListFolder(const std::string& folder,
                       std::vector<std::string>* names);

}  // namespace ornivale
