#pragma once

#include <cstdint>
#include <string>

#include "level/level4.h"

namespace ornivale::cli {

// The Lara type and weather exactly as a level stores them, including values
// that no list entry has.
struct StoredFlags {
  int32_t lara = 0;
  int32_t weather = 0;
};

// Reads the flag pair of the level that `level`'s last scan reached. Throws
// LevelError or EndOfFileError as the scan does.
StoredFlags ReadStoredFlags(const Level4& level, const ScannedLevel& scanned);

}  // namespace ornivale::cli
