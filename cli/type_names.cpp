#include "cli/type_names.h"

#include <cstdint>

#include "cli/ascii_lower.h"
#include "level/flag_vocabulary.h"

namespace ornivale::cli {
namespace {

std::string ShortName(const char* text) {
  const std::string full = text;
  return AsciiLower(full.substr(0, full.find(' ')));
}

// A stored value written as plain decimal digits; none for anything else.
std::optional<int32_t> StoredValue(const std::string& type) {
  if (type.empty() || type.size() > 5) return std::nullopt;
  int32_t value = 0;
  for (char c : type) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

template <typename Entries, typename PositionOf>
std::optional<int> Find(const Entries& entries, PositionOf position_of,
                        const std::string& type) {
  if (auto value = StoredValue(type)) return position_of(*value);
  const std::string wanted = AsciiLower(type);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (wanted == AsciiLower(entries[i].text) ||
        wanted == ShortName(entries[i].text)) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

template <typename Entries>
std::string Names(const Entries& entries) {
  std::string names;
  for (const FlagEntry& entry : entries) {
    if (!names.empty()) names += ", ";
    names += ShortName(entry.text);
  }
  return names;
}

}  // namespace

std::optional<int> FindLaraType(const std::string& type) {
  return Find(LaraTypes, LaraPosition, type);
}

std::optional<int> FindWeatherType(const std::string& type) {
  return Find(WeatherTypes, WeatherPosition, type);
}

std::string LaraTypeNames() { return Names(LaraTypes); }
std::string WeatherTypeNames() { return Names(WeatherTypes); }

}  // namespace ornivale::cli
