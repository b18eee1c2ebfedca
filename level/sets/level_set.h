#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "level/ports/disk.h"
#include "level/ports/level_status.h"

namespace ornivale {

// Sets of levels, as a user names them: levels, folders and patterns.

// What a name that stands for no level stood for, in the part of its
// NoLevelFound failure.
inline constexpr char kFolderPart[] = "folder";
inline constexpr char kPatternPart[] = "pattern";

// One level of a set, and the name given that stands for it.
struct NamedLevel {
  std::string path;       // the name given, or a folder's joined with an entry
  std::string full_path;  // the file it names, as Disk::FullPath resolves it
                          // (none for a failure)
  std::size_t named = 0;  // the name's place among those given, from 0
  LevelStatus failure;    // why that name stands for no level (path: the name)

  bool ok() const { return failure.ok(); }
};

// The levels that `names` stand for, in the order given: a folder (one not
// named like a level, "x.trc") stands for the .trc levels directly in it,
// in name order (NameBefore); where the disk expands wildcards (Windows'
// console hands them over as typed), a name with `*` or `?` in its last
// part stands for the files whose own long names fit it, in name order; anything else is a
// level as it is. A name that stands for none comes as its failure, in its
// place. Each level comes once, where it is first named: the same file
// named again, by its full path as the system resolves it (a link, "..")
// and disk.PathKey, is passed over. Each folder met is resolved and listed
// once, and a level in it is looked at only where it is a link.
std::vector<NamedLevel> LevelsNamed(const std::vector<std::string>& names, Disk& disk);

// The folder part of `path` by the disk's separators, without its last
// separator: "" for a path without one.
std::string FolderOf(const std::string& path, Disk& disk);

}  // namespace ornivale
