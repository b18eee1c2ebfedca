#include "cli/type_names.h"

#include <cstdint>

#include "level/text/ascii.h"

namespace ornivale::cli {
namespace {

std::string ShortName(const char* text) {
  const std::string full = text;
  return AsciiLower(full.substr(0, full.find(' ')));
}

// A stored value written as plain decimal digits, 0 to 65535, or -32768 to
// -1 for the values from 32768 up; none for anything else.
std::optional<uint16_t> StoredValue(const std::string& type) {
  const bool negative = !type.empty() && type[0] == '-';
  const std::string digits = negative ? type.substr(1) : type;
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  int32_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (value < -32768 || value > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(value);
}

}  // namespace

std::optional<uint16_t> FindType(const FlagDescription& flag,
                                 const std::string& type) {
  if (const auto value = StoredValue(type)) return value;
  const std::string wanted = AsciiLower(type);
  for (const FlagEntry& entry : flag.entries) {
    if (wanted == AsciiLower(entry.text) || wanted == ShortName(entry.text)) {
      return static_cast<uint16_t>(entry.value);
    }
  }
  return std::nullopt;
}

std::string TypeNames(const FlagDescription& flag) {
  std::string names;
  for (const FlagEntry& entry : flag.entries) {
    if (!names.empty()) names += ", ";
    names += ShortName(entry.text);
  }
  return names;
}

std::string DescribeValue(const FlagDescription& flag, int32_t value) {
  const char* text = flag.entries.TextOf(value);
  return std::string(text ? text : "unknown") + " (" + std::to_string(value) +
         ")";
}

std::string Describe(const FlagDescription& flag, int32_t value) {
  return std::string(flag.name) + " " + DescribeValue(flag, value);
}

}  // namespace ornivale::cli
