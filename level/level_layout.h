#pragma once

#include <array>
#include <cstdint>

#include "level/field_codec.h"
#include "level/file_channel.h"

namespace ornivale {

// The version field of every level this program edits: "TR4" and a zero byte.
inline constexpr int32_t kLevelVersion = 3428948;

// The header of one of the three texture blocks ahead of the flag pair.
struct TextureChunk {
  DwordField UnpackedSize;
  DwordField PackedSize;
};

// What a level holds ahead of its flag pair, as read.
struct LevelHeader {
  DwordField LevelVersion;
  std::array<WordField, 3> TexCounts;
  std::array<TextureChunk, 3> Chunks;
};

// Both functions read at the channel's position and throw EndOfFileError,
// whose text names the field, when the file ends inside a field or payload.

// Reads the version at the start of the file into header.LevelVersion.
void ReadLevelVersion(FileChannel& channel, LevelHeader& header);

// Reads the texture counts and the three block headers that follow the
// version, filling `header` as it goes, and passes over each block's payload
// (a PackedSize of 0 or less passes over nothing). Leaves the channel at the
// flag pair and returns its position.
int64_t PassTextures(FileChannel& channel, LevelHeader& header);

}  // namespace ornivale
