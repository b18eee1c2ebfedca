#pragma once

#include <cstdint>
#include <optional>

#include "level/level_file.h"
#include "level/level_scan.h"
#include "level/level_status.h"

namespace ornivale {

// The stored values to write; a flag left empty keeps its two bytes.
struct FlagChange {
  std::optional<uint16_t> lara;
  std::optional<uint16_t> weather;
};

// Writes `change` over the flag pair of the level `scanned` found, two bytes
// for each value given and no other byte, then syncs the file to the disk.
// First it scans `file` again: a file that no longer holds that level
// (Changed) or that holds Tomb Raider IV level data after the flag position
// (Tr4Level) is not written at all. The caller closes the file and reports
// a failed close.
LevelStatus WriteFlags(LevelFile& file, const LevelScan& scanned,
                       const FlagChange& change);

}  // namespace ornivale
