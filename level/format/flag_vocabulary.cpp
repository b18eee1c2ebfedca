#include "level/format/flag_vocabulary.h"

namespace ornivale {
namespace {

constexpr FlagEntries kLaraEntries = kFlags[kLara].entries;
constexpr FlagEntries kWeatherEntries = kFlags[kWeather].entries;

}  // namespace

std::optional<int> FlagEntries::PositionOf(int32_t value) const {
  for (std::size_t i = 0; i < count; ++i) {
    if (first[i].value == value) return static_cast<int>(i);
  }
  return std::nullopt;
}

const char* FlagEntries::TextOf(int32_t value) const {
  const std::optional<int> position = PositionOf(value);
  return position ? first[*position].text : nullptr;
}

std::optional<int32_t> FlagEntries::ValueAt(int position) const {
  if (position < 0 || static_cast<std::size_t>(position) >= count) {
    return std::nullopt;
  }
  return first[position].value;
}

std::optional<int> LaraPosition(int32_t value) {
  return kLaraEntries.PositionOf(value);
}

std::optional<int> WeatherPosition(int32_t value) {
  return kWeatherEntries.PositionOf(value);
}

std::optional<int32_t> LaraValue(int position) {
  return kLaraEntries.ValueAt(position);
}

std::optional<int32_t> WeatherValue(int position) {
  return kWeatherEntries.ValueAt(position);
}

}  // namespace ornivale
