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

// A stored value written as plain decimal digits, 0 to 65535; none for
// anything else.
std::optional<uint16_t> StoredValue(const std::string& type) {
  if (type.empty() || type.size() > 5) return std::nullopt;
  int32_t value = 0;
  for (char c : type) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(value);
}

// The stored value that `type` gives or the value of the entry it names.
template <typename Entries>
std::optional<uint16_t> Find(const Entries& entries, const std::string& type) {
  if (const auto value = StoredValue(type)) return value;
  const std::string wanted = AsciiLower(type);
  for (const FlagEntry& entry : entries) {
    if (wanted == AsciiLower(entry.text) || wanted == ShortName(entry.text)) {
      return static_cast<uint16_t>(entry.value);
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

std::optional<uint16_t> FindLaraType(const std::string& type) {
  return Find(LaraTypes, type);
}

std::optional<uint16_t> FindWeatherType(const std::string& type) {
  return Find(WeatherTypes, type);
}

std::string LaraTypeNames() { return Names(LaraTypes); }
std::string WeatherTypeNames() { return Names(WeatherTypes); }

}  // namespace ornivale::cli
