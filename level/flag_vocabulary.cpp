#include "level/flag_vocabulary.h"

namespace ornivale {
namespace {

template <std::size_t N>
std::optional<int> PositionOf(const std::array<FlagEntry, N>& table,
                              int32_t value) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i].value == value) return static_cast<int>(i);
  }
  return std::nullopt;
}

template <std::size_t N>
std::optional<int32_t> ValueAt(const std::array<FlagEntry, N>& table,
                               int position) {
  if (position < 0 || static_cast<std::size_t>(position) >= N) {
    return std::nullopt;
  }
  return table[static_cast<std::size_t>(position)].value;
}

}  // namespace

std::optional<int> LaraPosition(int32_t value) {
  return PositionOf(LaraTypes, value);
}

std::optional<int> WeatherPosition(int32_t value) {
  return PositionOf(WeatherTypes, value);
}

std::optional<int32_t> LaraValue(int position) {
  return ValueAt(LaraTypes, position);
}

std::optional<int32_t> WeatherValue(int position) {
  return ValueAt(WeatherTypes, position);
}

}  // namespace ornivale
