#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace ornivale {

// The two drop-down lists of the main window that show a level's flags.
enum class FlagList {
  c1,  // weather
  c2,  // Lara type
};

// One entry of a flag list: the text the user sees and the value the level
// stores for it. An entry's list position is its index in its table.
struct FlagEntry {
  const char* text;
  int32_t value;
};

// The entries of c2, in list order. The stored values 2 and 5 have none.
inline constexpr std::array<FlagEntry, 5> LaraTypes{{
    {"Normal Lara", 0},
    {"Young Lara", 1},
    {"Catsuit", 3},
    {"Divesuit", 4},
    {"Invisible", 6},
}};

// The entries of c1, in list order.
inline constexpr std::array<FlagEntry, 3> WeatherTypes{{
    {"Normal Weather", 0},
    {"Rain", 1},
    {"Snow", 2},
}};

// Stored value -> list position; none for a value without an entry.
std::optional<int> LaraPosition(int32_t value);
std::optional<int> WeatherPosition(int32_t value);

// List position -> stored value; none for -1 (no selection) or a position
// the list does not have.
std::optional<int32_t> LaraValue(int position);
std::optional<int32_t> WeatherValue(int position);

// A list's entries, whichever table they come from.
struct FlagEntries {
  const FlagEntry* first;
  std::size_t count;

  const FlagEntry* begin() const { return first; }
  const FlagEntry* end() const { return first + count; }
  // The position of the entry for `value`, none when it has none.
  std::optional<int> PositionOf(int32_t value) const;
  // The text of the entry for `value`, null when it has none.
  const char* TextOf(int32_t value) const;
  // The value of the entry at `position`, none for -1 (no selection) or a
  // position the list does not have.
  std::optional<int32_t> ValueAt(int position) const;
};

// A flag that a level stores as a 16-bit value beside the others, with
// everything a front end needs to show, name, take and print it.
struct FlagDescription {
  const char* name;       // in sentences: "Lara type", "weather"
  const char* type_name;  // what a TYPE of it is called: "weather type"
  const char* key;        // the JSON member, and the option "--lara"
  FlagList list;          // the window's list of it
  FlagEntries entries;
};

// The flags in the order the level stores them, from its flag position on,
// two bytes each. A front end goes through this table and names no flag.
inline constexpr std::size_t kFlagCount = 2;
inline constexpr std::size_t kLara = 0;
inline constexpr std::size_t kWeather = 1;
inline constexpr std::array<FlagDescription, kFlagCount> kFlags{{
    {"Lara type", "Lara type", "lara", FlagList::c2,
     {LaraTypes.data(), LaraTypes.size()}},
    {"weather", "weather type", "weather", FlagList::c1,
     {WeatherTypes.data(), WeatherTypes.size()}},
}};

// Two bytes for each flag: the most that a kind of level's flags, or a
// history record's values, take (LevelFormat).
inline constexpr std::size_t kFlagBytes = 2 * kFlagCount;

}  // namespace ornivale
