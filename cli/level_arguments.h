#pragma once

#include <string>
#include <vector>

#include "level/level_status.h"

namespace ornivale::cli {

// What a LEVEL given on the command line that names no level stood for, in
// the part of its NoLevelFound failure.
inline constexpr char kFolderPart[] = "folder";
inline constexpr char kPatternPart[] = "pattern";

// One level to work on, or why a LEVEL given stands for none.
struct LevelArgument {
  std::string path;
  LevelStatus failure;
};

// The levels that the LEVELs given stand for, in order: a folder (one not
// named like a level, "x.trc") stands for the .trc levels directly in it,
// in name order; on Windows, where the
// console hands them over as typed, a name with `*` or `?` stands for the
// files whose own long names fit it, in name order. Anything else is a
// level as it is.
std::vector<LevelArgument> ExpandLevelArguments(
    const std::vector<std::string>& given);

}  // namespace ornivale::cli
