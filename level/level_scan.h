#pragma once

#include <cstdint>

#include "level/field_codec.h"
#include "level/level_file.h"
#include "level/level_layout.h"
#include "level/level_status.h"

namespace ornivale {

// What the walk over a level found: its header, where its flag pair lies and
// the two stored values. Fields past a failure keep their zero start.
struct LevelScan {
  LevelStatus status;
  int64_t size = 0;          // the file's size when it was scanned
  LevelHeader header;
  int64_t flags_offset = 0;  // the Lara type; the weather follows
  WordField lara;
  WordField weather;
  // Where Tomb Raider IV level data begins in place of a TRC level's
  // padding, -1 where there is none: such a level keeps no flags there.
  int64_t tr4_data_offset = -1;

  bool VersionMatches() const {
    return header.LevelVersion.Value == kLevelVersion;
  }
  bool HoldsTr4LevelData() const { return tr4_data_offset >= 0; }
};

// Reads the version, the texture counts and the three block headers,
// passing over each block's payload (a PackedSize of 0 or less passes over
// nothing), then the flag pair and what follows it. Reads a few short
// fields, whatever the size of the level, and never writes.
LevelScan ScanLevel(LevelFile& file);

}  // namespace ornivale
