#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace ornivale {

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

}  // namespace ornivale
