#pragma once

#include <string>
#include <vector>

#include "level/level_status.h"

namespace ornivale {

// Whether `path` names a folder (or a link to one) in `is_folder`; a path
// that names nothing is no folder. CannotOpen with the system's reason when
// it can't be told: an unreadable folder on the way, a loop of links, a
// failing disk.
LevelStatus IsFolder(const std::string& path, bool* is_folder);

// The names of the entries directly in `folder`, its own long names on
// Windows, in no particular order; CannotOpen with the system's reason when
// it can't be listed. Paths and names are UTF-8.
LevelStatus ListFolder(const std::string& folder,
                       std::vector<std::string>* names);

}  // namespace ornivale
