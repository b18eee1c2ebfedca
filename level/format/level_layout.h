#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "level/format/field_codec.h"

namespace ornivale {

// The version field of every level this program edits: "TR4" and a zero byte.
inline constexpr int32_t kLevelVersion = 3428948;
// The version fields of the remastered edition's levels, another format:
// "TRX5" (this game) and "TRX4" (Tomb Raider IV).
inline constexpr int32_t kRemasteredVersions[] = {0x35585254, 0x34585254};

// Every TRC level keeps this many zero bytes right after its flags; then
// come the two sizes of its level data, a zero word, its room count and its
// rooms.
inline constexpr std::size_t kPaddingBytes = 28;
// The level data's two sizes, unpacked and packed, right after the padding.
inline constexpr std::size_t kLevelDataSizeBytes = 8;

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

// Whether two headers hold the same bytes.
bool SameHeader(const LevelHeader& a, const LevelHeader& b);

}  // namespace ornivale
