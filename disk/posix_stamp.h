#pragma once

#include <string>

#include "level/ports/level_file.h"

namespace ornivale::posix {

// What the system tells of a file.
struct Looked {
  FileStamp stamp;
  bool regular = false;  // a regular file, not a folder, a pipe or a device
};

// Looks at the open file `fd`, or where `fd` is negative at the file that
// `path` names, following links: 0, or -1 with errno set. The birth time
// comes where the system and the file system keep one.
int Look(int fd, const std::string& path, Looked* looked);

}  // namespace ornivale::posix
