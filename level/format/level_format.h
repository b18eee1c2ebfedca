#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "level/format/flag_vocabulary.h"
#include "level/format/level_layout.h"

namespace ornivale {

// Where a kind of level keeps one flag: its row of kFlags, and its place
// from the level's flag position, two bytes little-endian.
struct FlagPlace {
  std::size_t flag;
  std::size_t offset;
};

// A kind of level this program reads and writes: the version field that
// tells it, the flags it holds and where, what must follow them, and so
// the bytes a history record's values take. The scan, the write, the rules
// and the records go by it.
struct LevelFormat {
  const char* name;  // as a history line names it ("format"; "trc" where none)
  int32_t version;
  const FlagPlace* flags;
  std::size_t flag_count;
  // The zero bytes every such level keeps right after its flags, and then
  // the bytes of the level data's sizes, which tell one build from another.
  std::size_t zero_bytes_after;
  std::size_t sizes_after;

  constexpr const FlagPlace* begin() const { return flags; }
  constexpr const FlagPlace* end() const { return flags + flag_count; }
  // The place of kFlags[flag], null where this kind holds no such flag.
  constexpr const FlagPlace* Place(std::size_t flag) const {
    for (const FlagPlace& place : *this) {
      if (place.flag == flag) return &place;
    }
    return nullptr;
  }
  // From the flag position to the end of the last flag.
  constexpr std::size_t FlagBytes() const {
    std::size_t bytes = 0;
    for (const FlagPlace& place : *this) bytes = std::max(bytes, place.offset + 2);
    return bytes;
  }
  // What a record's values take: two bytes for each flag held.
  constexpr std::size_t RecordBytes() const { return 2 * flag_count; }
  // From the flag position to the end of the level data's sizes.
  constexpr std::size_t TailBytes() const {
    return FlagBytes() + zero_bytes_after + sizes_after;
  }
};

// A Tomb Raider Chronicles level: the Lara type, then the weather.
inline constexpr FlagPlace kTrcFlags[] = {{kLara, 0}, {kWeather, 2}};
inline constexpr LevelFormat kTrcFormat{
    "trc", kLevelVersion, kTrcFlags, std::size(kTrcFlags), kPaddingBytes, kLevelDataSizeBytes};

// The edit writes a format's flags as one run, and a record keeps them as
// that run: each format registered keeps them side by side, in the order
// of its places.
constexpr bool SideBySide(const LevelFormat& format) {
  std::size_t next = 0;
  for (const FlagPlace& place : format) {
    if (place.offset != next) return false;
    next += 2;
  }
  return next <= kFlagBytes;
}
static_assert(SideBySide(kTrcFormat));

// The kinds registered: TRC alone. A Tomb Raider IV level shares its
// version and is told by its bytes; the remastered edition's levels are told
// by theirs (kRemasteredVersions) and refused.
inline constexpr const LevelFormat* kLevelFormats[] = {&kTrcFormat};

// The most bytes any format's tail takes (TailBytes).
constexpr std::size_t LongestTail() {
  std::size_t bytes = 0;
  for (const LevelFormat* format : kLevelFormats) bytes = std::max(bytes, format->TailBytes());
  return bytes;
}

// The format whose version field is `version`, null for none.
const LevelFormat* FormatOfVersion(int32_t version);
// The format a history line names, null for one this program does not know.
const LevelFormat* FormatNamed(std::string_view name);

}  // namespace ornivale
