#pragma once

#include <memory>
#include <string>

#include "level/level_file.h"

namespace ornivale {

// Opens a level on the operating system's own disk: POSIX descriptors, or
// Win32 handles with the UTF-8 path turned into UTF-16 so that any file name
// works. Only a regular file opens; a folder, a pipe or a device is refused
// at once, without waiting for it. Opened for writing, a level on Windows is
// shared with no other program until it is closed, and an open that meets
// another program's hold is tried again for about a second first.
LevelStatus OpenDiskFile(const std::string& path, OpenMode mode,
                         std::unique_ptr<LevelFile>* file);

}  // namespace ornivale
