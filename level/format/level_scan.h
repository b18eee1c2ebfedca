#pragma once

#include <array>
#include <cstdint>

#include "level/format/field_codec.h"
#include "level/format/flag_vocabulary.h"
#include "level/format/level_format.h"
#include "level/format/level_layout.h"
#include "level/ports/level_file.h"
#include "level/ports/level_status.h"

namespace ornivale {

// What the walk over a level found: its header, where its flags lie, the
// stored values, and what follows them. Fields past a failure keep their
// zero start.
struct LevelScan {
  LevelStatus status;
  int64_t size = 0;          // the file's size when it was scanned
  LevelHeader header;
  // The kind of level its version tells, null for none this program reads.
  const LevelFormat* format = nullptr;
  int64_t flags_offset = 0;  // its flag position, where its format's flags lie
  std::array<WordField, kFlagCount> flags;  // in kFlags' order, those it holds
  // The first texture block whose packed size reads as negative (0 to 2),
  // -1 for none. The walk passes over nothing for it, as for a size of 0,
  // but no level is made that way.
  int negative_block = -1;
  // Where a byte other than zero lies in the padding that every TRC level
  // keeps after its flags, as far as the file goes; -1 where there is none.
  int64_t data_after_flags = -1;
  // Where Tomb Raider IV level data begins in place of a TRC level's flags
  // and padding, -1 where there is none: such a level keeps no flags there.
  int64_t tr4_data_offset = -1;
  // A TRC level's two level data sizes after the padding, zero where the
  // file ends first: with the head, they tell one build of a level from
  // another.
  std::array<DwordField, 2> level_data_sizes{};

  bool VersionMatches() const { return format != nullptr; }
  bool HoldsTr4LevelData() const { return tr4_data_offset >= 0; }
  int32_t Value(std::size_t flag) const { return flags[flag].Value; }
};

// Reads the version, the texture counts and the three block headers,
// passing over each block's payload (a PackedSize of 0 or less passes over
// nothing), then the flags, the padding that follows them and the level
// data's sizes. Reads four short stretches of the file, whatever the size
// of the level, and never writes.
LevelScan ScanLevel(LevelFile& file);

}  // namespace ornivale
