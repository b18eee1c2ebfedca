#include "cli/flag_report.h"

#include <cstdio>

#include "cli/type_names.h"
#include "level/failure_words.h"
#include "level/flag_vocabulary.h"
#include "level/utf8.h"

namespace ornivale::cli {
namespace {

// A JSON string. Bytes that are not UTF-8 (a Linux file name may hold any)
// become U+FFFD, so the line stays valid JSON.
std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (char c : Utf16ToUtf8(Utf8ToUtf16(text))) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      char escaped[7];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

// The flags' members of a level's JSON: "lara":{…},"weather":{…}.
std::string FlagMembers(const LevelScan& scan) {
  std::string members;
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    const int32_t value = scan.Value(i);
    const char* text = kFlags[i].entries.TextOf(value);
    if (i > 0) members += ",";
    members += JsonString(kFlags[i].key) + ":{\"value\":" +
               std::to_string(value) +
               ",\"text\":" + (text ? JsonString(text) : "null") + "}";
  }
  return members;
}

std::string JsonBool(bool value) { return value ? "true" : "false"; }

bool ValuesDiffer(const LevelScan& a, const LevelScan& b) {
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (a.Value(i) != b.Value(i)) return true;
  }
  return false;
}

// The flags' descriptions, each as `describe` gives it, comma-separated.
template <typename Describe>
std::string EachFlag(Describe describe) {
  std::string line;
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (i > 0) line += ", ";
    line += describe(i);
  }
  return line;
}

}  // namespace

std::string DescribeFlags(const LevelScan& scan) {
  return EachFlag([&](std::size_t i) { return Describe(kFlags[i], scan.Value(i)); });
}

std::string DescribeSet(const LevelScan& before, const LevelScan& after) {
  const std::string line = EachFlag([&](std::size_t i) {
    const std::string held = Describe(kFlags[i], before.Value(i));
    return before.Value(i) == after.Value(i)
               ? held
               : held + " -> " + DescribeValue(kFlags[i], after.Value(i));
  });
  return ValuesDiffer(before, after) ? line : line + ", unchanged";
}

std::string DescribeDifference(const LevelScan& scan, const FlagChange& asked) {
  return EachFlag([&](std::size_t i) {
    std::string line = Describe(kFlags[i], scan.Value(i));
    const auto& wanted = asked.values[i];
    // A value as the level stores it, the way a scan decodes it.
    const int32_t stored = wanted ? static_cast<int16_t>(*wanted) : 0;
    if (wanted && stored != scan.Value(i)) {
      line += ", not " + DescribeValue(kFlags[i], stored);
    }
    return line;
  });
}

std::string FlagsJson(const std::string& path, const LevelScan& scan) {
  return "{\"path\":" + JsonString(path) + "," + FlagMembers(scan) + "}";
}

std::string SetJson(const std::string& path, const LevelScan& before,
                    const LevelScan& after) {
  return "{\"path\":" + JsonString(path) + "," + FlagMembers(after) +
         ",\"before\":{" + FlagMembers(before) +
         "},\"changed\":" + JsonBool(ValuesDiffer(before, after)) + "}";
}

std::string CheckJson(const std::string& path, const LevelScan& scan,
                      bool matches) {
  return "{\"path\":" + JsonString(path) + "," + FlagMembers(scan) +
         ",\"matches\":" + JsonBool(matches) + "}";
}

std::string FailureJson(const LevelStatus& status, const std::string& message) {
  return "{\"path\":" + JsonString(status.path) +
         ",\"error\":{\"code\":" + JsonString(CodeName(status.code)) +
         ",\"message\":" + JsonString(message) + "}}";
}

}  // namespace ornivale::cli
